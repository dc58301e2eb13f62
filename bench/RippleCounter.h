// A gate-level 16-bit synchronous counter, the unit that the scaling benchmark and the big-circuit
// test repeat: 16 Dffs (preset tied to Zero, cleared while reset is ONE) and a ripple incrementer
// of a Not, 15 Xors and 14 Ands, 46 components in all. The pieces are placed in the cells
// at + "ab" .. at + "ae"; q is the count, bit 0 first, incremented on every rising edge of clk.
#pragma once

#include <string>

#include "tavrin.h"

inline void RippleCounter(const std::string& at, const Signal& clk, const Signal& reset, const Signal& q) {
  const std::string inc = at + "ab", sum = at + "ac", carries = at + "ad", flipFlops = at + "ae";
  Signal d(16, "d"), carry(14, "carry");
  Not(SD(inc.c_str()), q[0], d[0]);
  for (int i = 1; i < 16; ++i) {
    const Signal carryIn = i == 1 ? q[0] : carry[i - 2];
    Xor(SD(sum.c_str()), (q[i], carryIn), d[i]);
    if (i < 15) And(SD(carries.c_str()), (q[i], carryIn), carry[i - 1]);
  }
  for (int i = 0; i < 16; ++i) Dff(SD(flipFlops.c_str()), (Zero, d[i], clk, reset), q[i]);
}
