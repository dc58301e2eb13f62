#include "kernel/SkewHeap.h"

#include <iostream>
#include <utility>

namespace {

// Node allocation in one place, so that a free list can replace it without touching callers.
inline Event* allocateNode(const Event& e) {
  Event* node = new Event(e);
  node->lptr = nullptr;
  node->rptr = nullptr;
  return node;
}

inline void releaseNode(Event* node) { delete node; }

}  // namespace

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

// The recursive rule: the earlier top wins (the first on a tie); with a left child, the
// merge of its right child with the other heap goes left and the old left child moves right;
// without one, the other heap becomes its left child. Written as a loop that fills the link
// the recursion would have returned into, so a long right spine cannot exhaust the stack.
Event* SkewHeap::merge(Event* first, Event* second) {
  Event* result = nullptr;
  Event** slot = &result;
  Event* a = first;
  Event* b = second;
  for (;;) {
    if (a == nullptr) {
      *slot = b;
      break;
    }
    if (b == nullptr) {
      *slot = a;
      break;
    }
    if (b->time < a->time) std::swap(a, b);
    *slot = a;
    Event* left = a->lptr;
    if (left == nullptr) {
      a->lptr = b;
      break;
    }
    Event* right = a->rptr;
    a->rptr = left;
    slot = &a->lptr;
    a = right;
  }
  return result;
}

void SkewHeap::add(Event e) {
  root = merge(root, allocateNode(e));
  ++length;
}

void SkewHeap::removeMin() {
  Event* top = root;
  root = merge(top->rptr, top->lptr);
  releaseNode(top);
  --length;
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
