#include "kernel/Activations.h"

#include <algorithm>

namespace {

// The (word, mask) pairs of an ascending list of components, leaving out those in skip (ascending).
void pairsOf(const int* list, int length, const int* skip, const int* skipEnd, std::vector<WordMaskPair>& pairs) {
  pairs.clear();
  for (int k = 0; k < length; ++k) {
    while (skip != skipEnd && *skip < list[k]) ++skip;
    if (skip != skipEnd && *skip == list[k]) continue;
    const uint32_t word = static_cast<uint32_t>(list[k]) >> 6;
    const uint64_t bit = uint64_t{1} << (list[k] & 63);
    // Lists are ascending, so a word's components are adjacent.
    if (pairs.empty() || pairs.back().word != word) pairs.push_back({word, 0});
    pairs.back().mask |= bit;
  }
}

}  // namespace

Activations::Activations(int numberOfComponents)
    : flags(phaseThree->componentsActivated),
      count(numberOfComponents),
      bits(static_cast<size_t>(numberOfComponents) / 64 + 1, 0),
      summary(bits.size() / 64 + 1, 0) {
  const PhaseTwo& two = *phaseTwo;
  const PhaseThree& three = *phaseThree;
  const int signals = two.numberOfSignals;

  byWord.assign(bits.size(), nullptr);
  for (size_t word = 0; word < bits.size(); ++word) {
    const int first = static_cast<int>(word * 64);
    const int end = std::min(numberOfComponents, first + 64);
    if (first >= end) continue;
    const ComponentKind kind = two.record[first].kind;
    const ComponentKindRow& row = componentKind(kind);
    if (row.evaluateWord == nullptr) continue;
    bool one = true;
    for (int c = first; c < end && one; ++c)
      one = two.record[c].kind == kind && two.core[c].logicEvaluate == row.logicEvaluate;
    if (one) byWord[word] = row.evaluateWord;
  }

  // The drivers of each wire. Only a component with an evaluator or a hook drives its outputs; a
  // module's box lists the outputs of what it contains only to show them.
  std::vector<int> drivers(static_cast<size_t>(signals), 0);
  for (int c = 0; c < numberOfComponents; ++c) {
    const ComponentKindRow& kind = two.kindOf(c);
    if (kind.logicEvaluate == nullptr && kind.xEventTriggered == nullptr && kind.heapQueueEventTriggered == nullptr)
      continue;
    const ComponentCore& core = two.core[c];
    for (int k = 0; k < core.numberOfOutputs; ++k) {
      const int s = core.outputs()[k];
      if (s >= 0 && s < signals) ++drivers[static_cast<size_t>(s)];
    }
  }
  // The components a change of a wire cannot make act, as (wire, component, whether for any
  // value or only for an XXX), ascending.
  struct Quiet {
    int wire, component;
    bool anyValue;
    bool operator<(const Quiet& o) const { return wire != o.wire ? wire < o.wire : component < o.component; }
  };
  std::vector<Quiet> quiet;
  for (int c = 0; c < numberOfComponents; ++c) {
    const QuietInputsRule rule = two.kindOf(c).quietInputs;
    if (rule == nullptr) continue;
    uint32_t always = 0, onXxx = 0;
    rule(c, drivers.data(), always, onXxx);
    if ((always | onXxx) == 0) continue;
    const ComponentCore& core = two.core[c];
    const int* const dataInputs = core.dataInputs();
    // A wire is quiet for c when every pin of c on it is: a control input or (for a
    // self-activating component) an output on the same wire activates it as before.
    auto onOtherPins = [&](int s) {
      for (int k = 0; k < core.numberOfControlInputs; ++k)
        if (core.controlInputs()[k] == s) return true;
      if (two.kindOf(c).selfActivating != 0)
        for (int k = 0; k < core.numberOfOutputs; ++k)
          if (core.outputs()[k] == s) return true;
      return false;
    };
    for (int k = 0; k < core.numberOfDataInputs && k < 32; ++k) {
      const uint32_t bit = 1u << k;
      if (((always | onXxx) & bit) == 0) continue;
      const int s = dataInputs[k];
      if (s < 0 || s >= signals || onOtherPins(s)) continue;
      bool anyValue = true, xxx = true;
      for (int j = 0; j < core.numberOfDataInputs; ++j) {
        if (dataInputs[j] != s) continue;
        const uint32_t b = j < 32 ? 1u << j : 0;
        if ((always & b) == 0) anyValue = false;
        if (((always | onXxx) & b) == 0) xxx = false;
      }
      if (xxx) quiet.push_back({s, c, anyValue});
    }
  }
  std::sort(quiet.begin(), quiet.end());
  quiet.erase(
      std::unique(quiet.begin(), quiet.end(),
                  [](const Quiet& a, const Quiet& b) { return a.wire == b.wire && a.component == b.component; }),
      quiet.end());

  fanout.assign(static_cast<size_t>(signals), Fanout{{0, 0}, {0, 0}});
  std::vector<WordMaskPair> pairs, xxxPairs;
  std::vector<int> skipAny, skipXxx;
  size_t q = 0;
  for (int s = 0; s < signals; ++s) {
    const int* list = three.activationList[s];
    const int length = three.lengthOfActivationList[s];
    skipAny.clear();
    skipXxx.clear();
    for (; q < quiet.size() && quiet[q].wire == s; ++q) {
      skipXxx.push_back(quiet[q].component);
      if (quiet[q].anyValue) skipAny.push_back(quiet[q].component);
    }
    pairsOf(list, length, skipAny.data(), skipAny.data() + skipAny.size(), pairs);
    Fanout& f = fanout[static_cast<size_t>(s)];
    const uint64_t first = masks.size();
    if (!skipXxx.empty()) {
      pairsOf(list, length, skipXxx.data(), skipXxx.data() + skipXxx.size(), xxxPairs);
      masks.insert(masks.end(), pairs.begin(), pairs.end());
      const uint64_t end = masks.size();
      masks.insert(masks.end(), xxxPairs.begin(), xxxPairs.end());
      f = {{static_cast<uint32_t>(masks.size()), splitWords}, {first, end}};
    } else if (pairs.size() == 1) {
      f = {{pairs[0].word, pairs[0].word}, {pairs[0].mask, 0}};
    } else if (pairs.size() == 2) {
      f = {{pairs[0].word, pairs[1].word}, {pairs[0].mask, pairs[1].mask}};
    } else if (pairs.size() > 2) {
      masks.insert(masks.end(), pairs.begin(), pairs.end());
      f = {{0, manyWords}, {first, masks.size()}};
    }
  }
}
