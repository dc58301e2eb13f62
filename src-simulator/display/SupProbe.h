// Super probes: recorded lead tabs that can show their wire's value.
#pragma once

#include "construction/Blocks.h"

class SuperProbe {
public:
  SuperProbe* link;
  int signalIndex;
  int x;
  int y;
  int w;
  int h;
};

class SuperProbeList {
public:
  SuperProbe* start = nullptr;

  SuperProbeList() = default;
  ~SuperProbeList();
  SuperProbeList(const SuperProbeList&) = delete;
  SuperProbeList& operator=(const SuperProbeList&) = delete;

  void addSuperProbe(int signalIndex, int x, int y, int w, int h);  // at the front
  void clear();

private:
  NodeBlocks<SuperProbe, 1024> probes;  // the nodes, without an allocation each
};
