// A traffic light as a state machine: a 2-bit Register holds the phase, a Decoder turns it into
// one line per phase, and gates light the lamps. Phases 0 red, 1 red and yellow, 2 green,
// 3 yellow; key c clocks the next phase, key r (high) forces phase 0 on the next clock.
#include "tavrin.h"

void simnet() {
  Signal rst(1, "rst"), clk(1, "clk");
  Signal State(2, "State"), next(2, "next"), step(2, "step"), phase(4, "phase");
  Signal Red(1, "Red"), Yellow(1, "Yellow"), Green(1, "Green");
  Switch(SD("aa"), rst, 'r', One);
  Switch(SD("ba"), clk, 'c', Zero);
  Increment(SD("ab"), State, step);
  Mux(SD("bb"), rst, (2 * Zero, step), next);  // rst 0: step; rst 1: phase 0
  Register(SD("ac"), One, clk, next, State);    // writes on the rising edge of clk
  Decoder(SD("ad"), One, State, phase);         // enable in controlIn, select in dataIn
  Or(SD("ae"), (phase[0], phase[1]), Red);
  Or(SD("be"), (phase[1], phase[3]), Yellow);
  Or(SD("ce"), (phase[2], Zero), Green);
  Probe(SD("af"), State);
  Probe(SD("bf"), Red);
  Probe(SD("cf"), Yellow);
  Probe(SD("df"), Green);
}
