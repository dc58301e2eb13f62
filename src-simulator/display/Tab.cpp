#include "display/Tab.h"

TabList::~TabList() { clear(); }

void TabList::addTab(int cmp, int signalIndex, int xc, int yc) {
  Tab* tab = tabs.make();
  *tab = Tab{start, cmp, signalIndex, xc, yc};
  start = tab;
}

void TabList::clear() {
  tabs.release();
  start = nullptr;
}
