// Run-time evaluators of the medium-scale components. Each takes the component number.
#pragma once

#include <cstdint>

void adder(int cind);
void increment(int cind);
void mux(int cind);
// Its word evaluator (the kinds table's evaluateWord), as ssiRT.h's for the gates.
void muxWord(int base, uint64_t bits);
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
