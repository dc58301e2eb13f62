#include "components/ssiRT.h"

#include <algorithm>
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

// Gates drive only their first output.
void drive(int cind, SignalValue v) { transition(outputSignal(cind, 0), v); }

SignalValue invert(SignalValue v) {
  if (v == ONE) return ZERO;
  if (v == ZERO) return ONE;
  return XXX;
}

SignalValue andValue(int cind) {
  SignalValue result = ONE;
  const Pins in = dataPins(cind);
  for (int i = 0; i < in.count; ++i) {
    SignalValue v = in.current[in.wires[i]];
    if (v < result) result = v;
  }
  return result;
}

SignalValue orValue(int cind) {
  SignalValue result = ZERO;
  const Pins in = dataPins(cind);
  for (int i = 0; i < in.count; ++i) {
    SignalValue v = in.current[in.wires[i]];
    if (v > result) result = v;
  }
  return result;
}

// The parity of the inputs; XXX when one of them is not a definite level. Worked out without
// branches on the levels, which follow no pattern a predictor could learn.
SignalValue xorValue(int cind) {
  const Pins in = dataPins(cind);
  unsigned ones = 0, indefinite = 0;
  for (int i = 0; i < in.count; ++i) {
    const SignalValue v = in.current[in.wires[i]];
    ones ^= static_cast<unsigned>(v == ONE);
    indefinite |= static_cast<unsigned>(v != ONE && v != ZERO);
  }
  return indefinite != 0 ? XXX : ones != 0 ? ONE : ZERO;
}

// Minimum over the true inputs (control list) and the complemented data inputs.
SignalValue iandValue(int cind) {
  SignalValue result = ONE;
  const ComponentCore& c = phaseTwo->core[cind];
  const SignalValue* const current = phaseThree->currentSignals;
  const int* truePins = c.controlInputs();
  for (int i = 0, n = c.numberOfControlInputs; i < n; ++i) {
    SignalValue v = current[truePins[i]];
    if (v < result) result = v;
  }
  const int* complementPins = c.dataInputs();
  for (int i = 0, n = c.numberOfDataInputs; i < n; ++i) {
    SignalValue v = complement(current[complementPins[i]]);
    if (v < result) result = v;
  }
  return result;
}

SignalValue ciorValue(int cind) {
  SignalValue result = ZERO;
  const ComponentCore& c = phaseTwo->core[cind];
  const SignalValue* const current = phaseThree->currentSignals;
  const int* complementPins = c.dataInputs();
  for (int i = 0, n = c.numberOfDataInputs; i < n; ++i) {
    SignalValue v = complement(current[complementPins[i]]);
    if (v > result) result = v;
  }
  const int* truePins = c.controlInputs();
  for (int i = 0, n = c.numberOfControlInputs; i < n; ++i) {
    SignalValue v = current[truePins[i]];
    if (v > result) result = v;
  }
  return result;
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

}  // namespace

void and_(int cind) { drive(cind, andValue(cind)); }
void or_(int cind) { drive(cind, orValue(cind)); }
void not_(int cind) { drive(cind, invert(dataInputValue(cind, 0))); }
void nand(int cind) { drive(cind, invert(andValue(cind))); }
void nor(int cind) { drive(cind, invert(orValue(cind))); }
void xor_(int cind) { drive(cind, xorValue(cind)); }

void xnor(int cind) {
  SignalValue v = xorValue(cind);
  drive(cind, v == ZERO ? ONE : v == ONE ? ZERO : XXX);
}

void multiLevelCompare(int cind) {
  if (phaseTwo->core[cind].numberOfDataInputs < 2) {
    drive(cind, ZERO);
    return;
  }
  drive(cind, dataInputValue(cind, 0) == dataInputValue(cind, 1) ? ONE : ZERO);
}

void iand(int cind) { drive(cind, iandValue(cind)); }
void inand(int cind) { drive(cind, complement(iandValue(cind))); }
void cior(int cind) { drive(cind, ciorValue(cind)); }
void cinor(int cind) { drive(cind, complement(ciorValue(cind))); }

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
