// The time-ordered event queue. Its exact merge decides the order of equal-time events.
#pragma once

#include <cstdint>

#include "kernel/Event.h"
#include "process/ThreadLocal.h"

class SkewHeap {
public:
  Event* root = nullptr;
  int length = 0;

  SkewHeap() = default;
  ~SkewHeap();
  SkewHeap(const SkewHeap&) = delete;
  SkewHeap& operator=(const SkewHeap&) = delete;

  void add(Event e);
  // The same as add(Event(time, signalChange, signalSerialNumber, sigValue)), without the copies.
  void add(uint64_t time, int signalSerialNumber, SignalValue sigValue);
  Event min() const { return *root; }
  void removeMin();
  // Removes every event of the earliest time, in the order removeMin would, calling
  // apply(event) on each just before its removal; apply must not touch the queue. Returns
  // how many there were. The queue must not be empty.
  template <typename Apply>
  int removeEarliest(Apply apply);
  bool isEmpty() const { return root == nullptr; }
  int getLength() const { return length; }

  static Event* merge(Event* first, Event* second);

  // Returns the node storage of the current thread to the system: for a thread that ends, once
  // every queue it made is destroyed (after teardown). Without it the storage is kept until the
  // process ends, as on the main thread.
  static void releaseThreadNodes();

  void print() const;
  static void traverse(const Event* node);

private:
  // Node storage: released nodes are kept on a free list, linked through lptr, and reused;
  // it is refilled a block at a time. Shared by all queues of a thread, returned to the system
  // only by releaseThreadNodes.
  static inline TAVRIN_THREAD_LOCAL Event* freeNodes = nullptr;
  static Event* newBlockNode();
  static Event* newNode();
  static void releaseNode(Event* node);
  void insert(Event* node);
};

// The queue is the kernel's hot path: its operations are inline.

inline Event* SkewHeap::newNode() {
  Event* node = freeNodes;
  if (node == nullptr) [[unlikely]]
    return newBlockNode();
  freeNodes = node->lptr;
  return node;
}

inline void SkewHeap::releaseNode(Event* node) {
  node->lptr = freeNodes;
  freeNodes = node;
}

// The recursive rule: the earlier top wins (the first on a tie); with a left child, the
// merge of its right child with the other heap goes left and the old left child moves right;
// without one, the other heap becomes its left child. Written as a loop that fills the link
// the recursion would have returned into, so a long right spine cannot exhaust the stack.
inline Event* SkewHeap::merge(Event* a, Event* b) {
  if (a == nullptr) return b;
  if (b == nullptr) return a;
  Event* result;
  Event** slot = &result;
  for (;;) {  // neither a nor b is null here
    if (b->time < a->time) {
      Event* const t = a;
      a = b;
      b = t;
    }
    *slot = a;
    Event* const left = a->lptr;
    if (left == nullptr) {
      a->lptr = b;
      return result;
    }
    Event* const right = a->rptr;
    a->rptr = left;
    slot = &a->lptr;
    if (right == nullptr) {
      *slot = b;
      return result;
    }
    a = right;
  }
}

// merge(root, node) for a node without children: the same walk down the heap, without the
// tests that a one-node heap makes needless.
inline void SkewHeap::insert(Event* node) {
  Event** slot = &root;
  Event* a = root;
  for (;;) {
    if (a == nullptr || node->time < a->time) {
      // The node takes this place; what was here becomes its left child.
      node->lptr = a;
      *slot = node;
      break;
    }
    Event* const left = a->lptr;
    if (left == nullptr) {
      a->lptr = node;
      break;
    }
    Event* const right = a->rptr;
    a->rptr = left;
    slot = &a->lptr;
    *slot = right;
    a = right;
  }
  ++length;
}

inline void SkewHeap::add(Event e) {
  Event* node = newNode();
  *node = e;
  node->lptr = nullptr;
  node->rptr = nullptr;
  insert(node);
}

inline void SkewHeap::add(uint64_t time, int signalSerialNumber, SignalValue sigValue) {
  Event* node = newNode();
  node->lptr = nullptr;
  node->rptr = nullptr;
  node->time = time;
  node->signalSerialNumber = signalSerialNumber;
  node->sigValue = sigValue;
  insert(node);
}

inline void SkewHeap::removeMin() {
  Event* top = root;
  root = merge(top->rptr, top->lptr);
  releaseNode(top);
  --length;
}

template <typename Apply>
inline int SkewHeap::removeEarliest(Apply apply) {
  // The root, the free list and the count stay in registers for the whole time step.
  Event* top = root;
  Event* released = freeNodes;
  const uint64_t now = top->time;
  int removed = 0;
  do {
    apply(*static_cast<const Event*>(top));
    Event* const next = merge(top->rptr, top->lptr);
    top->lptr = released;
    released = top;
    ++removed;
    top = next;
  } while (top != nullptr && top->time == now);
  root = top;
  freeNodes = released;
  length -= removed;
  return removed;
}
