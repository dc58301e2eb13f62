// Lead ends drawn since the last interconnect pass.
#pragma once

#include "construction/Blocks.h"

class Tab {
public:
  Tab* link;
  int cmp;
  int signalIndex;
  int xc;
  int yc;
};

class TabList {
public:
  Tab* start = nullptr;

  TabList() = default;
  ~TabList();
  TabList(const TabList&) = delete;
  TabList& operator=(const TabList&) = delete;

  void addTab(int cmp, int signalIndex, int xc, int yc);  // at the front
  void clear();

private:
  NodeBlocks<Tab, 1024> tabs;  // the nodes, without an allocation each
};
