// The set of components to evaluate in the next pass, as the run loop keeps it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"

// One word of the activation bit set and the components of it to set there.
struct WordMaskPair {
  uint32_t word;
  uint64_t mask;
};

// Components to evaluate in the next pass. After a reset that is every component, as the
// flags in phaseThree->componentsActivated say. Otherwise the activated components are kept
// as a two-level bit set (one bit per component, one summary bit per word of them): it yields
// them in ascending order at a cost that follows the number activated, not the size of the
// circuit. Each wire's activation list is turned once into (word, mask) pairs, so that a wire
// feeding many components, a clock above all, activates them a word at a time; a wire whose
// components share one word (most wires) holds its pair itself.
using WordEvaluator = void (*)(int base, uint64_t bits);

class Activations {
public:
  explicit Activations(int numberOfComponents);

  // After a reset every component is activated (the reset has set every flag).
  void allSet() { everything = count > 0; }
  bool any() const { return everything || pending; }

  // The components on the activation list of wire s, which has just taken the value v, but for
  // those that this change cannot make act (their kind's quiet-input rule says which: a
  // flip-flop's D, and its clock turning XXX): evaluating them for it would change nothing.
  void markWire(int s, SignalValue v) {
    const Fanout& f = fanout[static_cast<size_t>(s)];
    if (f.word < manyWords) {
      if (f.mask == 0) return;
      bits[f.word] |= f.mask;
      summary[f.word >> 6] |= uint64_t{1} << (f.word & 63);
    } else {
      uint32_t first = f.first, end = static_cast<uint32_t>(f.mask);
      if (f.word == splitWords && v == XXX) {
        first = end;
        end = static_cast<uint32_t>(f.mask >> 32);
      }
      for (const WordMask *p = masks.data() + first, *last = masks.data() + end; p != last; ++p) {
        bits[p->word] |= p->mask;
        summary[p->word >> 6] |= uint64_t{1} << (p->word & 63);
      }
    }
    pending = true;
  }

  // Visits the activated components in ascending order, as a sweep over the flags would, and
  // empties the set as it goes: nothing is activated while a pass evaluates. (Fetching the next
  // component's core ahead of its visit measured slower: a core is half a cache line, and the
  // prefetch costs more instructions than the misses it saves.)
  template <typename Visit>
  void takeAscending(Visit visit) {
    takeByWords(
        [&](size_t word, uint64_t b) {
          for (; b != 0; b &= b - 1) visit(static_cast<int>(word * 64 + static_cast<size_t>(std::countr_zero(b))));
        },
        visit);
  }
  // The same, a word at a time: visitWord(word, bits) for each word of the bit set with an
  // activated component (bit k: component word * 64 + k), ascending; after a reset, when every
  // component is activated, visit(i) for each.
  template <typename VisitWord, typename Visit>
  void takeByWords(VisitWord visitWord, Visit visit) {
    if (everything) {
      for (int i = 0; i < count; ++i)
        if (flags[i] != 0) visit(i);
      std::memset(flags, 0, sizeof(int) * static_cast<size_t>(count));
      everything = false;
      clearBits();
      return;
    }
    if (!pending) return;
    pending = false;
    for (size_t s = 0; s < summary.size(); ++s) {
      uint64_t words = summary[s];
      summary[s] = 0;
      for (; words != 0; words &= words - 1) {
        const size_t word = s * 64 + static_cast<size_t>(std::countr_zero(words));
        const uint64_t b = bits[word];
        bits[word] = 0;
        visitWord(word, b);
      }
    }
  }

  // Per word of the bit set: the evaluateWord of the kind of all its components (kinds table),
  // where they are of one kind that has one and evaluate with its logicEvaluate; else null.
  const std::vector<WordEvaluator>& wordEvaluators() const { return byWord; }

  // One bit per component, in the bit set's layout: whether its drawDynamic hook is called at
  // this level. Without a window (nothing shows the drawings) those of kinds whose hook only
  // draws panes (drawsOnlyPanes: the switches') are left out, and without probe watchers those
  // whose hook only tells them (tellsOnlyProbeWatchers: the probes').
  // Null when no component is.
  const uint64_t* drawMasks(int level, bool withoutWindow, bool withoutProbeWatchers) {
    if (level != drawLevel || withoutWindow != drawWithoutWindow || withoutProbeWatchers != drawWithoutWatchers ||
        drawBits.empty()) {
      const PhaseTwo& two = *phaseTwo;
      drawBits.assign(bits.size() + 1, 0);  // never empty, also for no component
      drawAny = false;
      for (int i = 0; i < count; ++i) {
        const ComponentKindRow& kind = two.kindOf(i);
        const int drawnAt = two.record[i].graphicLevel;
        if (kind.drawDynamic != nullptr && (kind.outputOverloadable == 0 ? level >= drawnAt : level == drawnAt) &&
            (!withoutWindow || !kind.drawsOnlyPanes) && (!withoutProbeWatchers || !kind.tellsOnlyProbeWatchers)) {
          drawBits[static_cast<size_t>(i) >> 6] |= uint64_t{1} << (i & 63);
          drawAny = true;
        }
      }
      drawLevel = level;
      drawWithoutWindow = withoutWindow;
      drawWithoutWatchers = withoutProbeWatchers;
    }
    return drawAny ? drawBits.data() : nullptr;
  }

private:
  void clearBits() {
    if (!pending) return;
    for (size_t s = 0; s < summary.size(); ++s) {
      for (uint64_t words = summary[s]; words != 0; words &= words - 1)
        bits[s * 64 + static_cast<size_t>(std::countr_zero(words))] = 0;
      summary[s] = 0;
    }
    pending = false;
  }

  using WordMask = WordMaskPair;

  int* flags;
  int count;
  bool everything = false;  // after a reset: every component, the bit set unused
  bool pending = false;     // the bit set holds a component
  int drawLevel = 0;
  bool drawWithoutWindow = false;
  bool drawWithoutWatchers = false;
  bool drawAny = false;
  std::vector<uint64_t> drawBits;
  std::vector<uint64_t> bits;
  std::vector<uint64_t> summary;
  std::vector<WordEvaluator> byWord;
  // Per wire: the one word of components it activates, with their mask (a zero mask for none);
  // with word manyWords, its pairs in masks from first up to the index in mask; with word
  // splitWords, those pairs for a level other than XXX, and for an XXX the pairs from there up to
  // the index in mask's upper half.
  struct Fanout {
    uint32_t word;
    uint32_t first;
    uint64_t mask;
  };
  static constexpr uint32_t manyWords = UINT32_MAX - 1;
  static constexpr uint32_t splitWords = UINT32_MAX;
  std::vector<Fanout> fanout;
  std::vector<WordMask> masks;
};
