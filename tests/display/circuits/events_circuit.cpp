// The event tests' circuit: two switches ('0' drives a, '1' drives b) with inverters and
// probes; the second inverter and its probe are one level deeper. EVENTS_CLOCK adds a clock.
#include <cstdlib>
#include "tavrin.h"
void simnet() {
  Signal a(1, "a"), b(1, "b"), y(1, "y"), z(1, "z");
  Switch(SD("aa"), a, '0', Zero, "a");
  Switch(SD("ab"), b, '1', One, "b");
  Not(SD("ac"), a, y);
  Probe(SD("ad"), y, "y");
  SD lower("ba-bd");
  Not(SD(lower, "aa"), b, z);
  Probe(SD(lower, "ab"), z, "z");
  if (std::getenv("EVENTS_CLOCK") != nullptr) {
    Signal c(1, "c");
    Clock(SD("ca"), c, 5, 5, 10, Zero);
    Probe(SD("cb"), c, "c");
  }
}
