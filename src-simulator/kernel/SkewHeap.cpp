#include "kernel/SkewHeap.h"

#include <iostream>
#include <vector>

namespace {

constexpr size_t nodesPerBlock = 1024;
Event* blockNext = nullptr;  // the unused rest of the newest block
Event* blockEnd = nullptr;
std::vector<Event*>* blocks = nullptr;  // every block, so that they stay reachable

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
  std::cerr << std::endl;
}

void SkewHeap::traverse(const Event* node) {
  if (node == nullptr) return;
  node->printEvent();
  std::cerr << " down-left";
  traverse(node->lptr);
  std::cerr << " up";
  std::cerr << " down-right";
  traverse(node->rptr);
  std::cerr << " up";
}
