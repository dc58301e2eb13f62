#include "components/ssiRT.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "display/Pane.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "kernel/RunTime.h"
#include "process/EndProcess.h"
#include "process/ErrorOutput.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

namespace {

constexpr int quickTime = 7;
constexpr int lazyTime = 10;

// A component registered without an output (s = -1) drives nothing.
void transition(int s, SignalValue v) {
  if (s >= 0) phaseFour->signalTransition(s, v, quickTime, lazyTime);
}

// Delays come from the circuit's parameters and their differences, so they are worked out
// wide and saturated where the kernel's own additions would overflow.
void delayedTransition(int s, SignalValue v, int64_t delta) {
  constexpr int64_t lowest = INT_MIN;
  constexpr int64_t highest = INT_MAX - defaultLazyTimeDelta;
  if (s >= 0) phaseFour->altSignalTransition(s, v, static_cast<int>(std::clamp(delta, lowest, highest)));
}

// Drives a component's first output.
void drive(int cind, SignalValue v) { transition(outputSignal(cind, 0), v); }

// A gate's pins, read once from the core for its general way (any number of inputs), which
// requests its one output without looking the component up again.
struct GatePins {
  const int* pins;
  int data;
  int control;
  int outputs;
  const SignalValue* current;

  [[gnu::always_inline]] explicit GatePins(int cind) : GatePins(phaseTwo->core[cind], phaseThree->currentSignals) {}
  [[gnu::always_inline]] GatePins(const ComponentCore& c, const SignalValue* values)
      : pins(c.pins),
        data(c.numberOfDataInputs),
        control(c.numberOfControlInputs),
        outputs(c.numberOfOutputs),
        current(values) {}
  // Gates drive only their first output.
  [[gnu::always_inline]] void drive(SignalValue v) const {
    if (outputs > 0) transition(pins[data + control], v);
  }
};

// The lowest (And) or highest (Or) of start and n values from wires w; Complemented reads each
// complemented.
template <bool Lowest, bool Complemented>
[[gnu::always_inline]] inline SignalValue reduce(const int* w, int n, const SignalValue* current, SignalValue start) {
  SignalValue result = start;
  for (int i = 0; i < n; ++i) {
    const SignalValue v = Complemented ? complement(current[w[i]]) : current[w[i]];
    result = Lowest ? (v < result ? v : result) : (v > result ? v : result);
  }
  return result;
}

// ONE <-> ZERO, anything else XXX: looked up, since the levels follow no pattern a predictor
// could learn.
constexpr SignalValue invert(SignalValue v) {
  constexpr SignalValue inverted[8] = {ONE, XXX, XXX, XXX, ZERO, XXX, XXX, XXX};
  return inverted[static_cast<unsigned>(v) & 7];
}

[[gnu::always_inline]] inline SignalValue andValue(const GatePins& g) {
  return reduce<true, false>(g.pins, g.data, g.current, ONE);
}
[[gnu::always_inline]] inline SignalValue orValue(const GatePins& g) {
  return reduce<false, false>(g.pins, g.data, g.current, ZERO);
}

// The parity of the inputs; XXX when one of them is not a definite level. Worked out without
// branches on the levels, which follow no pattern a predictor could learn.
[[gnu::always_inline]] inline SignalValue xorValue(const GatePins& g) {
  unsigned ones = 0, indefinite = 0;
  auto take = [&](SignalValue v) {
    ones ^= static_cast<unsigned>(v == ONE);
    indefinite |= static_cast<unsigned>(v != ONE && v != ZERO);
  };
  for (int i = 0; i < g.data; ++i) take(g.current[g.pins[i]]);
  return indefinite != 0 ? XXX : ones != 0 ? ONE : ZERO;
}

// Minimum over the true inputs (control list) and the complemented data inputs.
[[gnu::always_inline]] inline SignalValue iandValue(const GatePins& g) {
  const SignalValue trueInputs = reduce<true, false>(g.pins + g.data, g.control, g.current, ONE);
  return reduce<true, true>(g.pins, g.data, g.current, trueInputs);
}

// Maximum over the complemented data inputs and the true inputs (control list).
[[gnu::always_inline]] inline SignalValue ciorValue(const GatePins& g) {
  const SignalValue complemented = reduce<false, true>(g.pins, g.data, g.current, ZERO);
  return reduce<false, false>(g.pins + g.data, g.control, g.current, complemented);
}

int integerParameter(int cind, int i) {
  return i < phaseTwo->record[cind].numberOfIntegerParameters ? phaseTwo->core[cind].integerParameters()[i] : 0;
}

// The resting level of an interactive component: the present value of its init wire.
SignalValue restingLevel(int cind, int parameterIndex) {
  int s = parameterIndex < phaseTwo->record[cind].numberOfIntegerParameters
              ? phaseTwo->core[cind].integerParameters()[parameterIndex]
              : -1;
  return s >= 0 ? phaseThree->currentSignals[s] : XXX;
}

void drawProbeByte(int cind, void (*draw)(int, int, int, int, SignalValue*, bool, float)) {
  int n = phaseTwo->core[cind].numberOfDataInputs;
  if (n != 8) {
    standardError() << "ERROR -- Probe8 at " << phaseTwo->record[cind].rcpos
                    << " length error: cannot has more than 8 inputs"
                    << " ,you have " << n << " inputs " << std::endl;
    endProcess(1);
  }
  SignalValue values[8];
  for (int i = 0; i < 8; ++i) values[7 - i] = dataInputValue(cind, i);  // most significant bit first
  const ScreenTile& t = phaseTwo->record[cind].tile;
  draw(t.x, t.y, t.w, t.h, values, true, paneShrink);
}

// Each gate's evaluator takes its usual shape straight from the core (two data inputs, or one
// true and one complemented for the mixed-polarity ones, and an output: every netlist cell), and
// hands its request on as its last act, so that it needs no saved registers; any other shape
// (any number of inputs, a missing output) takes the general way, out of line.
template <typename Value>
[[gnu::always_inline]] inline void twoInputs(int cind, int data, int control, void (*general)(int), Value value) {
  const ComponentCore& c = phaseTwo->core[cind];
  if (c.numberOfDataInputs != data || c.numberOfControlInputs != control || c.numberOfOutputs == 0) [[unlikely]] {
    general(cind);
    return;
  }
  const SignalValue* const current = phaseThree->currentSignals;
  const int* const pins = c.pins;
  transition(pins[2], value(current[pins[0]], current[pins[1]]));
}

constexpr SignalValue lower(SignalValue a, SignalValue b) { return b < a ? b : a; }
constexpr SignalValue higher(SignalValue a, SignalValue b) { return b > a ? b : a; }
constexpr SignalValue parity(SignalValue a, SignalValue b) {
  const bool definite = (a == ZERO || a == ONE) & (b == ZERO || b == ONE);
  return definite ? ((a == ONE) != (b == ONE) ? ONE : ZERO) : XXX;
}

SignalValue same(SignalValue v) { return v; }
SignalValue notInput(const GatePins& g) { return g.data > 0 ? g.current[g.pins[0]] : XXX; }

// The general way of a gate: its value over any number of inputs, then made its output's level.
template <SignalValue (*Value)(const GatePins&), SignalValue (*Output)(SignalValue)>
[[gnu::noinline]] void ofAny(int cind) {
  const GatePins g(cind);
  g.drive(Output(Value(g)));
}
constexpr auto andOfAny = ofAny<andValue, same>;
constexpr auto orOfAny = ofAny<orValue, same>;
constexpr auto nandOfAny = ofAny<andValue, invert>;
constexpr auto norOfAny = ofAny<orValue, invert>;
constexpr auto xorOfAny = ofAny<xorValue, same>;
constexpr auto xnorOfAny = ofAny<xorValue, invert>;
constexpr auto iandOfAny = ofAny<iandValue, same>;
constexpr auto inandOfAny = ofAny<iandValue, complement>;
constexpr auto ciorOfAny = ofAny<ciorValue, same>;
constexpr auto cinorOfAny = ofAny<ciorValue, complement>;
constexpr auto notOfAny = ofAny<notInput, invert>;

constexpr SignalValue notLower(SignalValue a, SignalValue b) { return invert(lower(a, b)); }
constexpr SignalValue notHigher(SignalValue a, SignalValue b) { return invert(higher(a, b)); }
constexpr SignalValue notParity(SignalValue a, SignalValue b) { return invert(parity(a, b)); }
// The data input is the complemented one, the control the true one.
constexpr SignalValue lowerOfTrue(SignalValue complemented, SignalValue truth) { return lower(truth, complement(complemented)); }
constexpr SignalValue notLowerOfTrue(SignalValue complemented, SignalValue truth) {
  return complement(lowerOfTrue(complemented, truth));
}
constexpr SignalValue higherOfTrue(SignalValue complemented, SignalValue truth) {
  return higher(complement(complemented), truth);
}
constexpr SignalValue notHigherOfTrue(SignalValue complemented, SignalValue truth) {
  return complement(higherOfTrue(complemented, truth));
}

// The table of a gate of the usual shape (data and control inputs, one output) whose output is
// value of its first two inputs.
template <SignalValue (*Value)(SignalValue, SignalValue)>
constexpr LevelTable gateLevels(int data, int control) {
  LevelTable t{};
  t.dataInputs = data;
  t.controlInputs = control;
  t.quickTime = quickTime;
  t.lazyTime = lazyTime;
  for (int z = 0; z < 8; ++z)
    for (int x = 0; x < 8; ++x)
      for (int y = 0; y < 8; ++y)
        t.level[z][x][y] = static_cast<uint8_t>(Value(static_cast<SignalValue>(x), static_cast<SignalValue>(y)));
  return t;
}
constexpr SignalValue invertFirst(SignalValue a, SignalValue) { return invert(a); }

}  // namespace

constexpr LevelTable andLevels = gateLevels<lower>(2, 0);
constexpr LevelTable orLevels = gateLevels<higher>(2, 0);
constexpr LevelTable nandLevels = gateLevels<notLower>(2, 0);
constexpr LevelTable norLevels = gateLevels<notHigher>(2, 0);
constexpr LevelTable xorLevels = gateLevels<parity>(2, 0);
constexpr LevelTable xnorLevels = gateLevels<notParity>(2, 0);
constexpr LevelTable notLevels = gateLevels<invertFirst>(1, 0);
constexpr LevelTable iandLevels = gateLevels<lowerOfTrue>(1, 1);
constexpr LevelTable inandLevels = gateLevels<notLowerOfTrue>(1, 1);
constexpr LevelTable ciorLevels = gateLevels<higherOfTrue>(1, 1);
constexpr LevelTable cinorLevels = gateLevels<notHigherOfTrue>(1, 1);

// Of two levels the lower (higher) is the general way's result: its start, ONE for And and ZERO
// for Or, never wins against one of the five.
void and_(int cind) { twoInputs(cind, 2, 0, andOfAny, lower); }
void or_(int cind) { twoInputs(cind, 2, 0, orOfAny, higher); }
void nand(int cind) { twoInputs(cind, 2, 0, nandOfAny, notLower); }
void nor(int cind) { twoInputs(cind, 2, 0, norOfAny, notHigher); }
void xor_(int cind) { twoInputs(cind, 2, 0, xorOfAny, parity); }
void xnor(int cind) { twoInputs(cind, 2, 0, xnorOfAny, notParity); }
void not_(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  if (c.numberOfDataInputs != 1 || c.numberOfControlInputs != 0 || c.numberOfOutputs == 0) [[unlikely]] {
    notOfAny(cind);
    return;
  }
  transition(c.pins[1], invert(phaseThree->currentSignals[c.pins[0]]));
}

void multiLevelCompare(int cind) {
  if (phaseTwo->core[cind].numberOfDataInputs < 2) {
    drive(cind, ZERO);
    return;
  }
  drive(cind, dataInputValue(cind, 0) == dataInputValue(cind, 1) ? ONE : ZERO);
}

void iand(int cind) { twoInputs(cind, 1, 1, iandOfAny, lowerOfTrue); }
void inand(int cind) { twoInputs(cind, 1, 1, inandOfAny, notLowerOfTrue); }
void cior(int cind) { twoInputs(cind, 1, 1, ciorOfAny, higherOfTrue); }
void cinor(int cind) { twoInputs(cind, 1, 1, cinorOfAny, notHigherOfTrue); }

void tsb(int cind) {
  int s = outputSignal(cind, 0);
  if (s < 0) return;
  SignalValue control = controlPins(cind)[0];
  SignalValue in = dataPins(cind)[0];
  SignalValue v = HIZ;
  if (control == ONE && (in == ONE || in == ZERO)) v = in;
  phaseFour->tsbSignalTransition(cind, s, v, quickTime, lazyTime);
}

void probe(int cind) { phaseFour->probeChanged(cind); }

void probebyte(int cind) { drawProbeByte(cind, drawPane_byte); }
void probebyteh(int cind) { drawProbeByte(cind, drawPane_byte_h); }

void switchPane(int cind) {
  const ScreenTile& t = phaseTwo->record[cind].tile;
  drawPane(t.x, t.y, t.w, t.h, outputValue(cind, 0), false, paneShrink);
}

void toggleSwitch(int cind) {
  SignalValue v = restingLevel(cind, 0);
  int& state = phaseTwo->core[cind].state;
  transition(outputSignal(cind, 0), state == 0 ? v : complement(v));
  state = state == 0 ? 1 : 0;
}

SignalValue switchLevel(int cind) {
  const SignalValue v = restingLevel(cind, 0);
  return phaseTwo->core[cind].state == 0 ? complement(v) : v;  // the reset's toggle leaves state 1
}

bool isToggleSwitch(int cind) { return phaseTwo->record[cind].kind == ComponentKind::Switch; }

void togglePulser(int cind) {
  int s = outputSignal(cind, 0);
  SignalValue v = restingLevel(cind, 1);
  int& state = phaseTwo->core[cind].state;
  if (state == 0) {
    transition(s, v);
    state = 1;
    return;
  }
  transition(s, complement(v));
  delayedTransition(s, v, integerParameter(cind, 0));
}

void powerOn(int cind) {
  int& state = phaseTwo->core[cind].state;
  if (state != 0) return;
  int s = outputSignal(cind, 0);
  SignalValue v = restingLevel(cind, 1);
  transition(s, v);
  delayedTransition(s, complement(v), integerParameter(cind, 0));
  state = 1;
}

namespace tavrin {
void clock(int cind) {
  int s = outputSignal(cind, 0);
  int duration = integerParameter(cind, 0);
  SignalValue off = restingLevel(cind, 3);
  SignalValue on = complement(off);
  int& state = phaseTwo->core[cind].state;
  if (state == 0) {
    transition(s, off);
    state = 1;  // and go on in the new state
  }
  SignalValue present = outputValue(cind, 0);
  switch (state) {
    case 1:
      if (present == off) {
        delayedTransition(s, on, integerParameter(cind, 1));
        state = 2;
      }
      break;
    case 2:
      if (present == on) {
        delayedTransition(s, off, duration);
        state = 3;
      }
      break;
    case 3:
      if (present == off) {
        delayedTransition(s, on, int64_t{integerParameter(cind, 2)} - duration);
        state = 2;
      }
      break;
    default: break;
  }
}
}  // namespace tavrin

void stop(int cind) {
  if (dataInputValue(cind, 0) == ONE) done = 1;
}
