// The simulation kernel: simulated time, the event queue, transitions and the run loop.
#pragma once

#include <cstdint>

#include "construction/Signal.h"
#include "kernel/SkewHeap.h"

// Delay pair of altSignalTransition, added to the caller's delta.
constexpr int defaultQuickTimeDelta = 4;
constexpr int defaultLazyTimeDelta = 9;

class PhaseFour {
public:
  uint64_t time = 0;
  SkewHeap skewHeap;

  PhaseFour() = default;
  ~PhaseFour() = default;

  void signalTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime);
  void altSignalTransition(int signalSerialNumber, SignalValue newSignalValue, int deltaTime);
  void tsbSignalTransition(int cind, int signalSerialNumber, SignalValue newSignalValue, int quickTime,
                           int lazyTime);
  void recordEventQueueInput(Event ev);

  void runInitialize();
  void run();
};

extern PhaseFour* phaseFour;
