// Run-time evaluators of the medium-scale components. Each takes the component number.
#pragma once

#include <cstdint>

void adder(int cind);
void increment(int cind);
void mux(int cind);
void decoder(int cind);
void encoder(int cind);
void gate(int cind);
void counter(int cind);
void dff(int cind);
// The data inputs of component cind whose change alone cannot make it act, so that the run need
// not evaluate it for one: bit k of always for input k whatever its new value, bit k of onXxx
// for input k turning XXX. For a Dff: D always, and the clock on XXX, when nobody else drives its
// output (driversOfWire counts each wire's drivers) and set and reset are not both constant
// wires. Both are 0 for every other component.
void quietInputs(int cind, const int* driversOfWire, uint32_t& always, uint32_t& onXxx);
void jkff(int cind);
void enabledRegister(int cind);
void bitAddressibleRegister(int cind);
void _stderr(int cind);
void intOut(int cind);
void hexOut(int cind);
