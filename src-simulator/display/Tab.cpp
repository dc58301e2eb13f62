#include "display/Tab.h"

TabList::~TabList() { clear(); }

void TabList::addTab(int cmp, int signalIndex, int xc, int yc) {
  start = new Tab{start, cmp, signalIndex, xc, yc};
}

void TabList::clear() {
  while (start != nullptr) {
    Tab* next = start->link;
    delete start;
    start = next;
  }
}
