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
void jkff(int cind);
void enabledRegister(int cind);
void bitAddressibleRegister(int cind);
void _stderr(int cind);
void intOut(int cind);
void hexOut(int cind);
