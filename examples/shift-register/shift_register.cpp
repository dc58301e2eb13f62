// A 4-bit serial-in, parallel-out shift register from master-slave Jkffs. Key d sets the serial
// input, key c the clock: a press (rising edge) samples, the next press (falling edge) shifts.
// Key r clears every stage (active high, asynchronous).
#include "tavrin.h"

void simnet() {
  Signal rst(1, "rst"), clk(1, "clk"), din(1, "din"), dinN(1, "dinN");
  Signal Q(4, "Q"), QN(4, "QN");
  Switch(SD("aa"), rst, 'r', One);
  Switch(SD("ba"), clk, 'c', Zero);
  Switch(SD("ca"), din, 'd', Zero);
  Not(SD("ab"), din, dinN);
  // Jkff pins, bit 4 down to bit 0: preset, J, clock, K, clear; outputs (Q, Q') with Q' in bit 0.
  Jkff(SD("ac"), (Zero, din, clk, dinN, rst), (Q[3], QN[3]));
  for (int i = 2; i >= 0; --i) Jkff(SD("ac"), (Zero, Q[i + 1], clk, QN[i + 1], rst), (Q[i], QN[i]));
  Probe(SD("ad"), Q);
}
