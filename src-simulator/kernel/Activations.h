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
  void markWire(int s, SignalValue v) { markWireIf(s, v, true); }
  // The same where changed, else nothing; without a branch on changed for a wire whose
  // components lie in at most two words (most wires), since whether a wire's new value differs
  // from its old follows no pattern a predictor could learn.
  [[gnu::always_inline]] void markWireIf(int s, SignalValue v, bool changed) {
    const Fanout& f = fanout[static_cast<size_t>(s)];
    if (f.word[1] >= manyWords) [[unlikely]] {
      if (changed) markList(f, v);
      return;
    }
    const uint64_t on = uint64_t{0} - static_cast<uint64_t>(changed);
    const uint64_t m0 = f.mask[0] & on, m1 = f.mask[1] & on;
    bits[f.word[0]] |= m0;
    summary[f.word[0] >> 6] |= static_cast<uint64_t>(m0 != 0) << (f.word[0] & 63);
    bits[f.word[1]] |= m1;
    summary[f.word[1] >> 6] |= static_cast<uint64_t>(m1 != 0) << (f.word[1] & 63);
    pending |= (m0 | m1) != 0;
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
  // Per wire: the words of components it activates, with their masks, when they are at most
  // two (a zero mask for none; an unused second pair repeats the first word); else with
  // word[1] manyWords, its pairs in masks from mask[0] up to mask[1], and with word[1]
  // splitWords, those pairs for a level other than XXX, and for an XXX the pairs from mask[1]
  // up to the index in word[0].
  struct Fanout {
    uint32_t word[2];
    uint64_t mask[2];
  };
  static constexpr uint32_t manyWords = UINT32_MAX - 1;
  static constexpr uint32_t splitWords = UINT32_MAX;
  void markList(const Fanout& f, SignalValue v) {
    uint64_t first = f.mask[0], end = f.mask[1];
    if (f.word[1] == splitWords && v == XXX) {
      first = end;
      end = f.word[0];
    }
    for (const WordMask *p = masks.data() + first, *last = masks.data() + end; p != last; ++p) {
      bits[p->word] |= p->mask;
      summary[p->word >> 6] |= uint64_t{1} << (p->word & 63);
    }
    pending = true;
  }
  std::vector<Fanout> fanout;
  std::vector<WordMask> masks;
};
