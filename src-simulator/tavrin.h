// Everything a circuit description needs: signals, designations and the component library.
//
// A circuit defines `void simnet()`, which creates its signals and components:
//
//   #include "tavrin.h"
//   void simnet() {
//     Signal a(1, "a"), y(1, "y");
//     Switch(SD("aa"), a, 'a', Zero);
//     Not(SD("ab"), a, y);
//     Probe(SD("ac"), y);
//   }
#pragma once

#include "components/msiPh1.h"
#include "components/ssiPh1.h"
#include "components/vlsiPh1.h"
#include "construction/Schmtc.h"
#include "construction/Signal.h"
#include "construction/addStCmp.h"
#include "startup/Sim.h"
