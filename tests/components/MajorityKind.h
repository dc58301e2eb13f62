// Majority: a component kind of the tests' own, built the way docs/adding-a-component.md shows.
#pragma once

#include "construction/Schmtc.h"
#include "construction/Signal.h"

// out (1 bit) is ONE when two or three bits of in (3 bits) are ONE, ZERO when two or three are
// ZERO, else XXX; delay pair (7, 10).
// Error: "I/O length error--Majority() at <pos> in.length = .. out.length = .. should be 3 & 1."
void Majority(const SD& sd, const Signal& in, const Signal& out);
