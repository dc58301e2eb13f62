#include "construction/CompList.h"

#include <iostream>

#include "process/Settings.h"
#include "process/StandardStreams.h"

void ComponentNode::print() const {
  standardError() << "  componentIndex = " << componentIndex << " decal = " << decal << std::endl;
}

void ComponentList::add(ComponentNode* newComponent) {
  newComponent->componentIndex = numberOfComponents;
  newComponent->ptr = nullptr;
  if (end == nullptr)
    start = newComponent;
  else
    end->ptr = newComponent;
  end = newComponent;
  ++numberOfComponents;
}

void ComponentList::print() const {
  for (ComponentNode* node = start; node != nullptr; node = node->ptr) node->print();
}

ComponentList::~ComponentList() {
  if (!quietFlag) standardError() << "There are " << numberOfComponents << " components." << std::endl;
  // Nothing reads the list once the arrays are built.
  while (start != nullptr) {
    ComponentNode* next = start->ptr;
    delete start;
    start = next;
  }
  end = nullptr;
}
