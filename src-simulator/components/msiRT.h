// Run-time evaluators of the medium-scale components. Each takes the component number.
#pragma once

void adder(int cind);
void increment(int cind);
void mux(int cind);
void decoder(int cind);
void encoder(int cind);
void gate(int cind);
void counter(int cind);
void dff(int cind);
// The wire on which an XXX alone cannot make component cind act, or -1. For a Dff it is its
// clock, when nobody else drives its output (driversOfWire counts each wire's drivers) and
// reset and set are not both constant wires.
int quietClockOf(int cind, const int* driversOfWire);
void jkff(int cind);
void enabledRegister(int cind);
void bitAddressibleRegister(int cind);
void _stderr(int cind);
void intOut(int cind);
void hexOut(int cind);
