#include "construction/SwList.h"

#include "construction/Ph1.h"

void SwitchList::add(int serialNumber, char keyChar) {
  SwitchNode* node = new SwitchNode{nullptr, PhaseOne::instance().componentList.numberOfComponents, serialNumber, 0,
                                    keyChar};
  if (end == nullptr)
    start = node;
  else
    end->ptr = node;
  end = node;
  ++numberOfSwitches;
}

SwitchList::~SwitchList() {
  while (start != nullptr) {
    SwitchNode* next = start->ptr;
    delete start;
    start = next;
  }
  end = nullptr;
}

void SwitchList::print() const {
  // A switch node prints nothing; the walk is kept for symmetry with the component list.
  for (SwitchNode* node = start; node != nullptr; node = node->ptr) {
  }
}
