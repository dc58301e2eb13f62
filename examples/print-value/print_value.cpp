// A Counter whose value is printed as text: IntOut writes it in decimal with a newline, HexOut
// in hexadecimal, each on the rising edge of its strobe while enabled. Key r releases the
// counter's clear (active low), key c is the clock: the count goes up on its falling edge and is
// printed on the rising edge that follows.
#include "tavrin.h"

void simnet() {
  Signal clear(1, "clear"), clk(1, "clk"), Count(8, "Count");
  Switch(SD("aa"), clear, 'r', Zero);
  Switch(SD("ba"), clk, 'c', Zero);
  Counter(SD("ab"), (clear, clk), Count);   // bit 0 clock, bit 1 clear
  IntOut(SD("ac"), (One, clk), Count);      // bit 0 strobe, bit 1 enable
  HexOut(SD("bc"), (One, clk), Count);
  Probe(SD("ad"), Count);
}
