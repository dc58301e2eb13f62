#include "kernel/RTSigSup.h"

int integerFromSignals(int numberOfBits, const int* inputs) {
  const SignalValue* current = phaseThree->currentSignals;
  uint32_t result = 0;
  for (int i = 0; i < numberOfBits; ++i) {
    SignalValue v = current[inputs[i]];
    if (v == ONE) {
      // Bits beyond the word must still be definite levels, but add nothing.
      if (i < 32) result |= uint32_t{1} << i;
    } else if (v != ZERO) {
      return -1;
    }
  }
  return static_cast<int>(result);
}

namespace {

inline uint32_t packCode(SignalValue v) {
  switch (v) {
    case ZERO: return 1;
    case ONE: return 2;
    case XXX: return 3;
    default: return 0;  // UNINITIALIZED; HIZ has no code of its own
  }
}

constexpr SignalValue unpackedValue[4] = {UNINITIALIZED, ZERO, ONE, XXX};

}  // namespace

void packSignals(int numberOfSignals, const int* inputs, uint32_t* packed32BitFileWordStart) {
  if (numberOfSignals <= 0) return;  // no word is occupied, so none may be cleared
  const SignalValue* current = phaseThree->currentSignals;
  int words = (numberOfSignals - 1) / 16 + 1;
  for (int w = 0; w < words; ++w) packed32BitFileWordStart[w] = 0;
  for (int i = 0; i < numberOfSignals; ++i)
    packed32BitFileWordStart[i / 16] |= packCode(current[inputs[i]]) << (2 * (i % 16));
}

void unpackSignals(int numberOfSignals, const uint32_t* packed32BitFileWordStart, SignalValue* sigVals) {
  for (int i = 0; i < numberOfSignals; ++i)
    sigVals[i] = unpackedValue[(packed32BitFileWordStart[i / 16] >> (2 * (i % 16))) & 3u];
}
