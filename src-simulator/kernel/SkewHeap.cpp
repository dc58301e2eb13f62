#include "kernel/SkewHeap.h"

#include <iostream>
#include <vector>

#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

namespace {

constexpr size_t nodesPerBlock = 1024;
// The current thread's.
TAVRIN_THREAD_LOCAL Event* blockNext = nullptr;  // the unused rest of the newest block
TAVRIN_THREAD_LOCAL Event* blockEnd = nullptr;
TAVRIN_THREAD_LOCAL std::vector<Event*>* blocks = nullptr;  // every block, so that they stay reachable

}  // namespace

Event* SkewHeap::newBlockNode() {
  if (blockNext == blockEnd) {
    if (blocks == nullptr) blocks = new std::vector<Event*>();
    blockNext = new Event[nodesPerBlock];
    blockEnd = blockNext + nodesPerBlock;
    blocks->push_back(blockNext);
  }
  return blockNext++;
}

void SkewHeap::releaseThreadNodes() {
  if (blocks != nullptr)
    for (Event* block : *blocks) delete[] block;
  delete blocks;
  blocks = nullptr;
  blockNext = blockEnd = nullptr;
  freeNodes = nullptr;
}

SkewHeap::~SkewHeap() {
  // Rotating left children up frees the tree without recursion.
  Event* p = root;
  while (p != nullptr) {
    if (p->lptr != nullptr) {
      Event* left = p->lptr;
      p->lptr = left->rptr;
      left->rptr = p;
      p = left;
    } else {
      Event* right = p->rptr;
      releaseNode(p);
      p = right;
    }
  }
  root = nullptr;
  length = 0;
}

void SkewHeap::print() const {
  traverse(root);
  standardError() << std::endl;
}

void SkewHeap::traverse(const Event* node) {
  if (node == nullptr) return;
  node->printEvent();
  standardError() << " down-left";
  traverse(node->lptr);
  standardError() << " up";
  standardError() << " down-right";
  traverse(node->rptr);
  standardError() << " up";
}
