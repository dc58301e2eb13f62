#include "display/SupProbe.h"

SuperProbeList::~SuperProbeList() { clear(); }

void SuperProbeList::addSuperProbe(int signalIndex, int x, int y, int w, int h) {
  SuperProbe* probe = probes.make();
  *probe = SuperProbe{start, signalIndex, x, y, w, h};
  start = probe;
}

void SuperProbeList::clear() {
  probes.release();
  start = nullptr;
}
