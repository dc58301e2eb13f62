// The time-ordered event queue. Its exact merge decides the order of equal-time events.
#pragma once

#include "kernel/Event.h"

class SkewHeap {
public:
  Event* root = nullptr;
  int length = 0;

  SkewHeap() = default;
  ~SkewHeap();
  SkewHeap(const SkewHeap&) = delete;
  SkewHeap& operator=(const SkewHeap&) = delete;

  void add(Event e);
  Event min() const { return *root; }
  void removeMin();
  bool isEmpty() const { return root == nullptr; }
  int getLength() const { return length; }

  static Event* merge(Event* first, Event* second);

  void print() const;
  static void traverse(const Event* node);
};
