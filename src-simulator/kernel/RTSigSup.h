// Run-time signal support used by evaluators: inversion, reading buses, packed storage.
#pragma once

#include <cstdint>

#include "construction/Signal.h"

// ZERO <-> ONE, UNINITIALIZED <-> XXX; HIZ (and anything else) gives HIZ.
constexpr SignalValue complement(SignalValue sv) {
  switch (sv) {
    case ZERO: return ONE;
    case ONE: return ZERO;
    case UNINITIALIZED: return XXX;
    case XXX: return UNINITIALIZED;
    default: return HIZ;
  }
}

// The wires' present values as an unsigned number (first wire = bit 0), or -1 when one is
// not a definite level.
int integerFromSignals(int numberOfBits, const int* inputs);

// Two bits per wire, sixteen wires per 32-bit word (UNINITIALIZED 0, ZERO 1, ONE 2, XXX 3).
void packSignals(int numberOfSignals, const int* inputs, uint32_t* packed32BitFileWordStart);
void unpackSignals(int numberOfSignals, const uint32_t* packed32BitFileWordStart, SignalValue* sigVals);

// Reading a component's own pins. Some constructions make no length check, so an evaluator
// may ask for a pin its component does not have: such a pin reads XXX, and a missing output
// is driven by nobody (outputSignal gives -1).
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"

inline SignalValue pinValue(int count, const int* pins, int i) {
  return (i >= 0 && i < count) ? phaseThree->currentSignals[pins[i]] : XXX;
}
inline SignalValue dataInputValue(int cind, int i) {
  const ComponentCore& c = phaseTwo->core[cind];
  return pinValue(c.numberOfDataInputs, c.dataInputs(), i);
}
inline SignalValue controlInputValue(int cind, int i) {
  const ComponentCore& c = phaseTwo->core[cind];
  return pinValue(c.numberOfControlInputs, c.controlInputs(), i);
}
inline SignalValue outputValue(int cind, int i) {
  const ComponentCore& c = phaseTwo->core[cind];
  return pinValue(c.numberOfOutputs, c.outputs(), i);
}
inline int outputSignal(int cind, int i) {
  const ComponentCore& c = phaseTwo->core[cind];
  return (i >= 0 && i < c.numberOfOutputs) ? c.outputs()[i] : -1;
}

// One of a component's pin lists, read once per evaluation: the arrays stay put during a run,
// and a request in between (a store) would otherwise make the compiler fetch them again.
struct Pins {
  const int* wires;
  int count;
  const SignalValue* current;

  SignalValue operator[](int i) const { return (i >= 0 && i < count) ? current[wires[i]] : XXX; }
  int wire(int i) const { return (i >= 0 && i < count) ? wires[i] : -1; }
};
inline Pins dataPins(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  return {c.dataInputs(), c.numberOfDataInputs, phaseThree->currentSignals};
}
inline Pins controlPins(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  return {c.controlInputs(), c.numberOfControlInputs, phaseThree->currentSignals};
}
inline Pins outputPins(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  return {c.outputs(), c.numberOfOutputs, phaseThree->currentSignals};
}
