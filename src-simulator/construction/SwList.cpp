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

void SwitchList::print() const {
  // A switch node prints nothing; the walk is kept for symmetry with the component list.
  for (SwitchNode* node = start; node != nullptr; node = node->ptr) {
  }
}
