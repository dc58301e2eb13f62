// The simulation kernel: simulated time, the event queue, transitions and the run loop.
#pragma once

#include <cstdint>

#include "construction/Signal.h"
#include "elaboration/Ph3.h"
#include "kernel/SkewHeap.h"

// Delay pair of altSignalTransition, added to the caller's delta.
constexpr int defaultQuickTimeDelta = 4;
constexpr int defaultLazyTimeDelta = 9;

class PhaseFour {
public:
  uint64_t time = 0;
  SkewHeap skewHeap;
  // Run statistics for the benchmark: events applied, evaluation passes.
  uint64_t appliedEvents = 0;
  uint64_t passes = 0;

  PhaseFour() = default;
  ~PhaseFour() = default;

  // Most requests ask for the value already scheduled; those end here, inline.
  void signalTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime) {
    if (newSignalValue == phaseThree->scheduledSignals[signalSerialNumber]) return;
    scheduleTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime);
  }
  // The rest of signalTransition: a request for another value than the last scheduled.
  void scheduleTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime);
  void altSignalTransition(int signalSerialNumber, SignalValue newSignalValue, int deltaTime);
  void tsbSignalTransition(int cind, int signalSerialNumber, SignalValue newSignalValue, int quickTime,
                           int lazyTime);
  void recordEventQueueInput(Event ev);

  void runInitialize();
  void run();
};

extern PhaseFour* phaseFour;
