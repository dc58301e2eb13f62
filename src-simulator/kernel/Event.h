// One scheduled change of one wire; also one node of the event queue.
#pragma once

#include <cstdint>

#include "construction/Signal.h"

enum EventType { signalChange = 0 };

class Event {
public:
  Event* lptr;
  Event* rptr;
  uint64_t time;
  int eventType;
  int signalSerialNumber;
  SignalValue sigValue;

  Event() = default;
  Event(uint64_t when, int type, int wire, SignalValue value)
      : lptr(nullptr), rptr(nullptr), time(when), eventType(type), signalSerialNumber(wire), sigValue(value) {}

  Event* getLeft() const { return lptr; }
  Event* getRight() const { return rptr; }
  void putLeft(Event* p) { lptr = p; }
  void putRight(Event* p) { rptr = p; }
  uint64_t getValue() const { return time; }
  void printEvent() const;
};
