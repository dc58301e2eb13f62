// A 4-bit synchronous counter from four Dffs: bit i toggles on a rising clock edge when every
// lower bit is 1. Key r toggles the (active-high, asynchronous) clear, key c the clock.
#include "tavrin.h"

void simnet() {
  Signal rst(1, "rst"), clk(1, "clk");
  Signal Count(4, "Count"), D(4, "D"), carry(4, "carry");
  Switch(SD("aa"), rst, 'r', One);   // starts in reset
  Switch(SD("ba"), clk, 'c', Zero);
  // carry[i]: every bit below i is 1 (carry[0] is always 1).
  Not(SD("ab"), Zero, carry[0]);
  for (int i = 1; i < 4; ++i) And(SD("bb"), (carry[i - 1], Count[i - 1]), carry[i]);
  for (int i = 0; i < 4; ++i) Xor(SD("ac"), (Count[i], carry[i]), D[i]);
  // Dff pins, bit 3 down to bit 0: preset, D, clock, clear.
  for (int i = 0; i < 4; ++i) Dff(SD("ad"), (Zero, D[i], clk, rst), Count[i]);
  Probe(SD("ae"), Count);
}
