#include "construction/CompList.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <new>
#include <vector>

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

void ComponentList::gatherOrderFree(const ComponentNode* after) {
  std::vector<ComponentNode*> nodes;
  for (ComponentNode* node = after != nullptr ? after->ptr : start; node != nullptr; node = node->ptr)
    nodes.push_back(node);
  if (nodes.empty()) return;
  // The new order: source[i] is the place whose contents move to place i.
  auto group = [](const ComponentNode* node) {
    const ComponentKindRow& row = componentKind(node->kind);
    return row.orderFree ? 1 + static_cast<int>(node->kind) : 0;
  };
  std::vector<uint32_t> source(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) source[i] = static_cast<uint32_t>(i);
  std::stable_sort(source.begin(), source.end(),
                   [&](uint32_t a, uint32_t b) { return group(nodes[a]) < group(nodes[b]); });
  // Moved along the permutation's cycles, one node's contents held aside at a time.
  const int firstIndex = nodes.front()->componentIndex;
  std::vector<bool> placed(nodes.size(), false);
  auto take = [&](size_t to, ComponentNode&& from) {
    ComponentNode* const link = nodes[to]->ptr;
    *nodes[to] = std::move(from);
    nodes[to]->ptr = link;
    nodes[to]->componentIndex = firstIndex + static_cast<int>(to);
  };
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (placed[i] || source[i] == i) continue;
    ComponentNode held = std::move(*nodes[i]);
    size_t to = i;
    while (source[to] != i) {
      take(to, std::move(*nodes[source[to]]));
      placed[to] = true;
      to = source[to];
    }
    take(to, std::move(held));
    placed[to] = true;
  }
}

void ComponentList::print() const {
  for (ComponentNode* node = start; node != nullptr; node = node->ptr) node->print();
}

ComponentList::~ComponentList() {
  if (!quietFlag) standardError() << "There are " << numberOfComponents << " components." << std::endl;
  // Nothing reads the list once the arrays are built.
  releaseBefore(nullptr);
}
