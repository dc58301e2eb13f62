// The window tests' circuit: rows a..c, columns a..d; every value has a probe of its own.
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), b(1, "b"), u(1, "u"), x(1, "x"), hz(1, "hz"), ck(1, "ck"), mo(1, "mo");
  Switch(SD("aa"), a, 'a', Zero, "sa");   // ZERO until 'a' is pressed
  Switch(SD("ab"), b, 'b', One, "sb");    // ONE
  Not(SD("ac"), u, x);                    // u is never driven: x is XXX
  Clock(SD("ad"), ck, 20, 10, 40, Zero);  // keeps time moving for stop times
  Probe(SD("ba"), a, "pa");
  Probe(SD("bb"), b, "pb");
  Probe(SD("bc"), x, "px");
  Probe(SD("bd"), hz, "phz");
  SD box("ca");
  Module(box, "M", b, mo);                // drawn at level 1 only
  Probe(SD(box, "aa"), b, "ib");          // level 2
  Probe(SD(box, "ab"), a, "ia");          // level 2
  Probe(SD("cb"), u, "pu");
  Tsb(SD("cd"), b, Zero, hz);             // never enabled: HIZ
}
