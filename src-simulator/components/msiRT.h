// Run-time evaluators of the medium-scale components. Each takes the component number.
#pragma once

#include <cstdint>

#include "construction/ComponentKind.h"

void adder(int cind);
void increment(int cind);
void mux(int cind);
// The table of a one-bit multiplexer (the kinds table's levels): inputs in0, in1, select.
extern const LevelTable muxLevels;
void decoder(int cind);
void encoder(int cind);
void gate(int cind);
void counter(int cind);
void dff(int cind);
// The Dff's quiet-input rule (see QuietInputsRule): D always, and the clock on XXX, when nobody
// else drives its output (driversOfWire counts each wire's drivers) and set and reset are not
// both constant wires.
void dffQuietInputs(int cind, const int* driversOfWire, uint32_t& always, uint32_t& onXxx);
void jkff(int cind);
void enabledRegister(int cind);
void bitAddressibleRegister(int cind);
void _stderr(int cind);
void intOut(int cind);
void hexOut(int cind);
