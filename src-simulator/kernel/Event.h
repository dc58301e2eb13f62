// One scheduled change of one wire; also one node of the event queue.
#pragma once

#include <cstdint>

#include "construction/Signal.h"

enum EventType { signalChange = 0 };

// 32 bytes, aligned so that a node never straddles two cache lines: the queue's walks touch
// one line per node. There is one kind of event, so its type is not stored.
class alignas(32) Event {
public:
  static constexpr int eventType = signalChange;
  Event* lptr;
  Event* rptr;
  uint64_t time;
  int signalSerialNumber;
  SignalValue sigValue;

  Event() = default;
  Event(uint64_t when, int /* type: always signalChange */, int wire, SignalValue value)
      : lptr(nullptr), rptr(nullptr), time(when), signalSerialNumber(wire), sigValue(value) {}

  Event* getLeft() const { return lptr; }
  Event* getRight() const { return rptr; }
  void putLeft(Event* p) { lptr = p; }
  void putRight(Event* p) { rptr = p; }
  uint64_t getValue() const { return time; }
  void printEvent() const;
};
