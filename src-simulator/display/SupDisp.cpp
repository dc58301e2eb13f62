#include "display/Pane.h"
#include "display/Ph5.h"
#include "elaboration/Ph3.h"

void PhaseFive::displaySuperProbes() {
  for (SuperProbe* p = superProbeList.start; p != nullptr; p = p->link)
    drawPane(p->x, p->y, p->w, p->h, phaseThree->currentSignals[p->signalIndex], true, 0.66f);
}
