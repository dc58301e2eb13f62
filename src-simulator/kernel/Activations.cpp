#include "kernel/Activations.h"

#include <algorithm>
#include <utility>

#include "components/msiRT.h"

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

  // The components an XXX on a wire cannot make act, as (wire, component), ascending. Only a
  // component with an evaluator or a hook drives its outputs; a module's box lists the outputs
  // of what it contains only to show them.
  std::vector<int> drivers(static_cast<size_t>(signals), 0);
  for (int c = 0; c < numberOfComponents; ++c) {
    if (two.logicEvaluate[c] == nullptr && two.xEventTriggered[c] == nullptr &&
        two.heapQueueEventTriggered[c] == nullptr)
      continue;
    for (int k = 0; k < two.numberOfOutputs[c]; ++k) {
      const int s = two.outputs[c][k];
      if (s >= 0 && s < signals) ++drivers[static_cast<size_t>(s)];
    }
  }
  std::vector<std::pair<int, int>> quiet;
  for (int c = 0; c < numberOfComponents; ++c) {
    const int s = quietClockOf(c, drivers.data());
    if (s >= 0 && s < signals) quiet.push_back({s, c});
  }
  std::sort(quiet.begin(), quiet.end());

  fanout.assign(static_cast<size_t>(signals), Fanout{0, 0, 0});
  std::vector<WordMaskPair> pairs, xxxPairs;
  std::vector<int> skip;
  size_t q = 0;
  for (int s = 0; s < signals; ++s) {
    const int* list = three.activationList[s];
    const int length = three.lengthOfActivationList[s];
    pairsOf(list, length, nullptr, nullptr, pairs);
    skip.clear();
    for (; q < quiet.size() && quiet[q].first == s; ++q) skip.push_back(quiet[q].second);
    bool split = false;
    if (!skip.empty()) {
      pairsOf(list, length, skip.data(), skip.data() + skip.size(), xxxPairs);
      split = xxxPairs.size() != pairs.size() ||
              !std::equal(pairs.begin(), pairs.end(), xxxPairs.begin(), [](const WordMaskPair& a, const WordMaskPair& b) {
                return a.word == b.word && a.mask == b.mask;
              });
    }
    Fanout& f = fanout[static_cast<size_t>(s)];
    const uint32_t first = static_cast<uint32_t>(masks.size());
    if (split) {
      masks.insert(masks.end(), pairs.begin(), pairs.end());
      const uint64_t end = masks.size();
      masks.insert(masks.end(), xxxPairs.begin(), xxxPairs.end());
      f = {splitWords, first, end | (uint64_t{masks.size()} << 32)};
    } else if (pairs.size() == 1) {
      f = {pairs[0].word, 0, pairs[0].mask};
    } else if (pairs.size() > 1) {
      masks.insert(masks.end(), pairs.begin(), pairs.end());
      f = {manyWords, first, masks.size()};
    }
  }
}
