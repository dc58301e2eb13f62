// Placeholder circuit until the processor lands: a switch driving an inverter and two probes.
#include "tavrin.h"

void simnet() {
  Signal a(1, "a"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero, "");
  Not(SD("ab"), a, y);
  Probe(SD("ac"), a, "a");
  Probe(SD("ad"), y, "y");
}
