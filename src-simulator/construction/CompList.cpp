#include "construction/CompList.h"

#include <iostream>
#include <new>

#include "process/Settings.h"
#include "process/StandardStreams.h"

void ComponentNode::print() const {
  standardError() << "  componentIndex = " << componentIndex << " decal = " << decal << std::endl;
}

ComponentNode& ComponentList::add() {
  if (blocks.empty() || usedInLast == perBlock || blocks.back() == nullptr) {
    blocks.push_back(static_cast<ComponentNode*>(::operator new(sizeof(ComponentNode) * perBlock)));
    usedInLast = 0;
  }
  ComponentNode* node = new (blocks.back() + usedInLast++) ComponentNode();
  node->componentIndex = numberOfComponents;
  if (end == nullptr)
    start = node;
  else
    end->ptr = node;
  end = node;
  ++numberOfComponents;
  return *node;
}

void ComponentList::releaseBefore(const ComponentNode* node) {
  while (start != nullptr && start != node) {
    ComponentNode* next = start->ptr;
    start->~ComponentNode();
    start = next;
    // A block goes once every node made in it has.
    const int made = frontBlock + 1 == blocks.size() ? usedInLast : perBlock;
    if (++releasedInFront == made) {
      ::operator delete(blocks[frontBlock]);
      blocks[frontBlock++] = nullptr;
      releasedInFront = 0;
    }
  }
  if (start == nullptr) end = nullptr;
}

void ComponentList::print() const {
  for (ComponentNode* node = start; node != nullptr; node = node->ptr) node->print();
}

ComponentList::~ComponentList() {
  if (!quietFlag) standardError() << "There are " << numberOfComponents << " components." << std::endl;
  // Nothing reads the list once the arrays are built.
  releaseBefore(nullptr);
}
