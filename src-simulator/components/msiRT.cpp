#include "components/msiRT.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iostream>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "process/StandardStreams.h"

namespace {

constexpr int quickTime = 13;
constexpr int lazyTime = 17;

bool definite(SignalValue v) { return v == ZERO || v == ONE; }

// A missing output (construction made no length check) is driven by nobody.
void request(const Pins& out, int i, SignalValue v) {
  int s = out.wire(i);
  if (s >= 0) phaseFour->signalTransition(s, v, quickTime, lazyTime);
}

void request(int cind, int i, SignalValue v) { request(outputPins(cind), i, v); }

void requestAll(int cind, SignalValue v) {
  const Pins out = outputPins(cind);
  for (int i = 0; i < out.count; ++i) request(out, i, v);
}

// A group of data inputs as a number; -1 when a bit is not definite or not there.
int dataNumber(int cind, int first, int count) {
  const ComponentCore& c = phaseTwo->core[cind];
  if (first < 0 || count < 0 || first + count > c.numberOfDataInputs) return -1;
  if (count == 0) return 0;
  return integerFromSignals(count, c.dataInputs() + first);
}

int controlNumber(int cind, int first, int count) {
  const ComponentCore& c = phaseTwo->core[cind];
  if (first < 0 || count < 0 || first + count > c.numberOfControlInputs) return -1;
  if (count == 0) return 0;
  return integerFromSignals(count, c.controlInputs() + first);
}

// The strobe handshake of registers and output components: true when the component acts.
bool strobeHandshake(int cind, SignalValue strobe, SignalValue enable) {
  int& state = phaseTwo->core[cind].state;
  switch (state) {
    case 0: state = 1; [[fallthrough]];
    case 1:
      if (definite(enable)) state = 2;
      return false;
    case 2:
      if (strobe == ONE && enable == ONE) {
        state = 4;
        return true;
      }
      if (strobe == ONE) state = 3;
      return false;
    default:  // 3 and 4: strobe high
      if (strobe == ZERO) state = 2;
      return false;
  }
}

void uninitializedBitsError(const char* component, int state) {
  standardError() << "\nERROR -- " << component << " component trying to output uninitialized bits \n"
                  << " or bits in transition. state = " << state << "\n";
}

}  // namespace

void adder(int cind) {
  int w = phaseTwo->core[cind].integerParameters()[0];
  const Pins in = dataPins(cind);
  const Pins out = outputPins(cind);
  SignalValue carry = ZERO;
  for (int i = 0; i < w; ++i) {
    SignalValue a = in[i];
    SignalValue b = in[w + i];
    int ones = (a == ONE) + (b == ONE) + (carry == ONE);
    int zeros = (a == ZERO) + (b == ZERO) + (carry == ZERO);
    SignalValue sum = (ones + zeros == 3) ? ((ones & 1) ? ONE : ZERO) : XXX;
    carry = ones >= 2 ? ONE : (zeros >= 2 ? ZERO : XXX);
    request(out, i, sum);
  }
}

void increment(int cind) {
  const Pins in = dataPins(cind);
  const Pins out = outputPins(cind);
  bool carry = true;
  for (int i = 0; i < out.count; ++i) {
    SignalValue v = in[i];
    if (!carry) {
      request(out, i, v);
    } else if (v == ONE) {
      request(out, i, ZERO);
    } else if (v == ZERO) {
      request(out, i, ONE);
      carry = false;
    } else {
      request(out, i, XXX);
    }
  }
}

namespace {

// Any width and any number of selects: the word chosen by select s is data inputs s * width on;
// XXX for a select that is not definite and for bits beyond the data inputs.
[[gnu::noinline]] void muxOfAnyWidth(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  const int* const in = c.dataInputs();
  const int* const out = c.outputs();
  const int w = c.numberOfOutputs;
  const int s = controlNumber(cind, 0, c.numberOfControlInputs);
  const int64_t first = s >= 0 ? int64_t{s} * w : int64_t{c.numberOfDataInputs};
  const int64_t chosen = std::clamp<int64_t>(int64_t{c.numberOfDataInputs} - first, 0, w);
  const SignalValue* const current = phaseThree->currentSignals;
  PhaseFour& four = *phaseFour;
  int i = 0;
  for (; i < chosen; ++i)
    if (out[i] >= 0) four.signalTransition(out[i], current[in[first + i]], quickTime, lazyTime);
  for (; i < w; ++i)
    if (out[i] >= 0) four.signalTransition(out[i], XXX, quickTime, lazyTime);
}

}  // namespace

namespace {

// One bit of two: every netlist multiplexer, read without the general loop.
bool oneOfTwo(const ComponentCore& c) {
  return c.numberOfControlInputs == 1 && c.numberOfDataInputs == 2 && c.numberOfOutputs == 1;
}
// Both inputs read, and the choice made without a branch on the select's level.
SignalValue chosenOfTwo(const int* pins, const SignalValue* current) {
  constexpr uint8_t chosen[8] = {0, 2, 2, 2, 1, 2, 2, 2};  // by the select: low, high or XXX
  const SignalValue options[3] = {current[pins[0]], current[pins[1]], XXX};
  return options[chosen[static_cast<unsigned>(current[pins[2]]) & 7]];
}

}  // namespace

namespace {

constexpr LevelTable oneOfTwoLevels() {
  LevelTable t{};
  t.dataInputs = 2;
  t.controlInputs = 1;
  t.quickTime = quickTime;
  t.lazyTime = lazyTime;
  for (int z = 0; z < 8; ++z)
    for (int x = 0; x < 8; ++x)
      for (int y = 0; y < 8; ++y)
        t.level[z][x][y] = static_cast<uint8_t>(z == ZERO ? x : z == ONE ? y : XXX);
  return t;
}

}  // namespace

constexpr LevelTable muxLevels = oneOfTwoLevels();

void mux(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  if (oneOfTwo(c)) {
    if (c.pins[3] >= 0)
      phaseFour->signalTransition(c.pins[3], chosenOfTwo(c.pins, phaseThree->currentSignals), quickTime, lazyTime);
    return;
  }
  muxOfAnyWidth(cind);
}


void decoder(int cind) {
  SignalValue enable = controlInputValue(cind, 0);
  int n = dataNumber(cind, 0, phaseTwo->core[cind].numberOfDataInputs);
  const Pins out = outputPins(cind);
  for (int i = 0; i < out.count; ++i) {
    SignalValue v = XXX;
    if (enable == ZERO)
      v = ZERO;
    else if (enable == ONE && n >= 0)
      v = (i == n) ? ONE : ZERO;
    request(out, i, v);
  }
}

void encoder(int cind) {
  int k = phaseTwo->core[cind].numberOfOutputs - 1;  // the last output is valid
  int p = -1;
  bool invalid = false;
  for (int i = phaseTwo->core[cind].numberOfDataInputs - 1; i >= 0; --i) {
    SignalValue v = dataInputValue(cind, i);
    if (v == ONE) {
      if (p < 0) p = i;
    } else if (v != ZERO) {
      invalid = true;
    }
  }
  if (invalid) {
    requestAll(cind, XXX);
  } else if (p >= 0) {
    request(cind, k, ONE);
    for (int i = 0; i < k; ++i) request(cind, i, (i < 31 && ((p >> i) & 1)) ? ONE : ZERO);
  } else {
    requestAll(cind, ZERO);
  }
}

void gate(int cind) {
  int& state = phaseTwo->core[cind].state;
  SignalValue clock = dataInputValue(cind, 0);
  SignalValue enable = dataInputValue(cind, 1);
  bool prepared = false;
  SignalValue out = UNINITIALIZED;
  if (state == 0) {
    out = UNINITIALIZED;
    prepared = true;
    state = 1;
  }
  if (state == 1) {
    if (!definite(enable)) {
      if (prepared) request(cind, 0, out);
      return;
    }
    out = ZERO;
    prepared = true;
    state = 2;
  }
  switch (state) {
    case 2:
      if (clock == ONE && enable == ONE) {
        out = ONE;
        prepared = true;
        state = 4;
      } else if (clock == ONE) {
        state = 3;
      }
      break;
    case 3:
      if (clock == ZERO) state = 2;
      break;
    case 4:
      if (clock == ZERO) {
        out = ZERO;
        prepared = true;
        state = 2;
      }
      break;
  }
  if (prepared) request(cind, 0, out);
}

void counter(int cind) {
  int& state = phaseTwo->core[cind].state;
  SignalValue clock = dataInputValue(cind, 0);
  SignalValue clear = dataInputValue(cind, 1);
  bool clearCount = false, count = false;
  switch (state) {
    case 0:
      if (clear == ZERO) clearCount = true;
      break;
    case 1:
      if (clear == ONE) state = 2;
      break;
    case 2:
      if (clear == ZERO)
        clearCount = true;
      else if (clock == ONE)
        state = 3;
      break;
    case 3:
      if (clear == ZERO)
        clearCount = true;
      else if (clock == ZERO)
        count = true;
      break;
  }
  if (clearCount) {
    state = 1;
    requestAll(cind, ZERO);
  } else if (count) {
    const Pins out = outputPins(cind);
    for (int i = 0; i < out.count; ++i) {
      SignalValue v = out[i];
      if (v == ONE) {
        request(out, i, ZERO);
      } else if (v == ZERO) {
        request(out, i, ONE);
        break;
      } else {
        standardError() << "Counter clocked when the count is in transition\n";
        state = 0;
        return;
      }
    }
    state = 2;
  }
}

void dff(int cind) {
  int& state = phaseTwo->core[cind].state;
  if (state == 0) {
    state = 1;
    request(cind, 0, XXX);
    return;
  }
  // Most evaluations change nothing: the outputs are fetched only for a request.
  const Pins in = dataPins(cind);
  SignalValue reset, clock, set;
  if (in.count >= 4) {
    reset = in.current[in.wires[0]];
    clock = in.current[in.wires[1]];
    set = in.current[in.wires[3]];
  } else {
    reset = in[0];
    clock = in[1];
    set = in[3];
  }
  if (reset == ZERO && set == ZERO) {
    if (state == 1 && clock == ZERO) {
      state = 2;
    } else if (state == 2 && clock == ONE) {
      state = 1;
      request(cind, 0, in[2]);
    }
  } else if (reset == ZERO && set == ONE) {
    state = 1;
    request(cind, 0, ONE);
  } else if (reset == ONE && set == ZERO) {
    state = 1;
    request(cind, 0, ZERO);
  }
}

// Why a change of D alone, or an XXX on the clock alone, may go unannounced to a Dff. Its last
// evaluation saw the present reset, set and clock: a change of reset or set always activates it,
// and so does a change of the clock other than to XXX. With the clock at XXX it neither changes
// state nor takes D. With reset and set low, its state after the last evaluation already agrees
// with the clock (2 when low, 1 when high), so D is not taken either. With reset or set active it
// asks again for the level it asked for last time, which is still the one scheduled when nobody
// else drives the output. Where the clock's wire is also reset's or set's, that pin reads XXX too,
// and nothing happens at all. The exception is the first evaluation after a reset, which looks at
// no input: reset or set not constant, they start UNINITIALIZED (where nothing happens) and their
// change to a level activates it; both constant, the next evaluation may be the first to see them.
void dffQuietInputs(int cind, const int* driversOfWire, uint32_t& always, uint32_t& onXxx) {
  always = onXxx = 0;
  const PhaseTwo& two = *phaseTwo;
  const ComponentCore& c = two.core[cind];
  if (c.numberOfDataInputs < 3) return;
  for (int k = 0; k < c.numberOfOutputs; ++k) {
    const int s = c.outputs()[k];
    if (s >= 0 && driversOfWire[s] != 1) return;
  }
  const int* in = c.dataInputs();
  if (c.numberOfDataInputs >= 4 && two.constSignals[in[0]] != 0 && two.constSignals[in[3]] != 0) return;
  always = 1u << 2;
  onXxx = 1u << 1;
}

namespace {

// The complement output (bit 0) first, then Q (bit 1); XXX goes to both.
void requestJkffOutputs(int cind, SignalValue q) {
  if (q == XXX) {
    request(cind, 0, XXX);
    request(cind, 1, XXX);
  } else {
    request(cind, 0, complement(q));
    request(cind, 1, q);
  }
}

}  // namespace

void jkff(int cind) {
  int& state = phaseTwo->core[cind].state;
  if (state == 0) {
    state = 1;
    requestJkffOutputs(cind, XXX);
    return;
  }
  SignalValue reset = dataInputValue(cind, 0);
  SignalValue k = dataInputValue(cind, 1);
  SignalValue clock = dataInputValue(cind, 2);
  SignalValue j = dataInputValue(cind, 3);
  SignalValue set = dataInputValue(cind, 4);
  if (reset == ZERO && set == ZERO) {
    switch (state) {
      case 1:
        if (clock == ZERO) state = 2;
        break;
      case 2:
        if (clock != ONE) break;
        if (j == ONE && k == ZERO) {
          state = 4;
        } else if (j == ZERO && k == ONE) {
          state = 3;
        } else if (j == ONE && k == ONE) {
          SignalValue q = outputValue(cind, 1);
          state = q == ZERO ? 4 : (q == ONE ? 3 : 5);
        } else if (j == ZERO && k == ZERO) {
          state = 1;
        } else {
          state = 5;
        }
        break;
      case 3:
      case 4:
      case 5:
        if (clock == ZERO) {
          requestJkffOutputs(cind, state == 3 ? ZERO : (state == 4 ? ONE : XXX));
          state = 2;
        }
        break;
    }
  } else if (reset == ONE && set == ZERO) {
    state = 1;
    requestJkffOutputs(cind, ZERO);
  } else if (reset == ZERO && set == ONE) {
    state = 1;
    requestJkffOutputs(cind, ONE);
  }
}

void enabledRegister(int cind) {
  if (!strobeHandshake(cind, controlInputValue(cind, 0), controlInputValue(cind, 1))) return;
  const Pins in = dataPins(cind);
  const Pins out = outputPins(cind);
  for (int i = 0; i < out.count; ++i) request(out, i, in[i]);
}

void bitAddressibleRegister(int cind) {
  int& state = phaseTwo->core[cind].state;
  int numberOfOutputs = phaseTwo->core[cind].numberOfOutputs;
  int registerBits = numberOfOutputs - 1;  // the last output is bit out
  int k = (phaseTwo->core[cind].numberOfDataInputs - 1) / 2;
  int ra = dataNumber(cind, 0, k);
  int wa = dataNumber(cind, k, k);
  SignalValue q = dataInputValue(cind, 2 * k);
  SignalValue write = controlInputValue(cind, 0);
  SignalValue enable = controlInputValue(cind, 1);
  SignalValue set = controlInputValue(cind, 2);
  SignalValue clear = controlInputValue(cind, 3);

  bool everyOutput = false;  // every output was just given the value all
  SignalValue all = XXX;
  bool written = false;  // q was just written at wa
  auto setAll = [&](SignalValue v) {
    all = v;
    everyOutput = true;
  };
  // Clear alone gives every output ZERO, set alone ONE; either ends in state 2 when asked.
  auto clearOrSet = [&](int nextState) {
    if (clear == ONE && set == ZERO) {
      setAll(ZERO);
    } else if (clear == ZERO && set == ONE) {
      setAll(ONE);
    } else {
      return false;
    }
    if (nextState >= 0) state = nextState;
    return true;
  };
  switch (state) {
    case 0:
      state = 1;
      setAll(XXX);
      break;
    case 1:
      if (!clearOrSet(2) && clear == ZERO && set == ZERO && write == ZERO) state = 3;
      break;
    case 2:
      if (clear == ZERO && set == ZERO && write == ZERO) state = 3;
      break;
    case 3:
      if (clearOrSet(2)) break;
      if (enable == ONE && write == ONE) {
        if (wa >= 0 && wa < registerBits) {
          request(cind, wa, q);
          written = true;
        }
        state = 4;
      } else if (write == ONE) {
        state = 4;
      }
      break;
    case 4:
      if (write == ZERO)
        state = 3;
      else
        clearOrSet(-1);
      break;
  }
  if (everyOutput) requestAll(cind, all);

  SignalValue bitOut;
  if (ra < 0)
    bitOut = XXX;
  else if (everyOutput)
    bitOut = all;
  else if (written && wa == ra)
    bitOut = q;
  else
    bitOut = ra < registerBits ? outputValue(cind, ra) : XXX;
  request(cind, numberOfOutputs - 1, bitOut);
}

void _stderr(int cind) {
  if (!strobeHandshake(cind, dataInputValue(cind, 8), dataInputValue(cind, 9))) return;
  int c = dataNumber(cind, 0, 8);
  if (c < 0) {
    uninitializedBitsError("Stderr", phaseTwo->core[cind].state);
  } else if (c == 10) {
    standardError() << "\n";
  } else if (c < 32) {
    standardError() << '^' << static_cast<char>(c + 64);
  } else if (c < 128) {
    standardError() << static_cast<char>(c);
  } else if (c - 128 >= 32) {
    standardError() << '|' << static_cast<char>(c - 128);
  } else {
    standardError() << "|^" << static_cast<char>(c - 64);
  }
}

void intOut(int cind) {
  if (!strobeHandshake(cind, controlInputValue(cind, 0), controlInputValue(cind, 1))) return;
  int n = dataNumber(cind, 0, phaseTwo->core[cind].numberOfDataInputs);
  if (n < 0)
    uninitializedBitsError("IntOut", phaseTwo->core[cind].state);
  else
    standardError() << n << "\n";
}

void hexOut(int cind) {
  if (!strobeHandshake(cind, controlInputValue(cind, 0), controlInputValue(cind, 1))) return;
  int n = phaseTwo->core[cind].numberOfDataInputs;
  // The top n mod 4 bits form the first digit, then full groups of four downwards.
  int top = n % 4 != 0 ? n - n % 4 : n - 4;
  for (int low = top; low >= 0; low -= 4) {
    int digit = dataNumber(cind, low, (low == n - n % 4 && n % 4 != 0) ? n % 4 : 4);
    if (digit < 0)
      uninitializedBitsError("HexOut", phaseTwo->core[cind].state);
    else
      standardError() << std::hex << digit << std::dec;
  }
}
