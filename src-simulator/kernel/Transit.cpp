#include <iostream>
#include <vector>

#include "elaboration/Ph2.h"
#include "process/StandardStreams.h"
#include "kernel/Ph4.h"
#include "kernel/Request.h"
#include "kernel/RunTime.h"

namespace tavrin {

// The driver of each bus: the current thread's.
thread_local std::vector<int> m;

static inline int busOwner(const std::vector<int>& owners, int signal) {
  return (signal >= 0 && static_cast<size_t>(signal) < owners.size()) ? owners[signal] : 0;
}

static inline void setBusOwner(std::vector<int>& owners, int signal, int cind) {
  if (static_cast<size_t>(signal) >= owners.size()) {
    size_t wanted = static_cast<size_t>(signal) + 1;
    if (phaseTwo != nullptr && wanted < static_cast<size_t>(phaseTwo->numberOfSignals))
      wanted = static_cast<size_t>(phaseTwo->numberOfSignals);
    owners.resize(wanted, 0);
  }
  owners[signal] = cind;
}

}  // namespace tavrin

// Wire s was scheduled to become scheduled at lastTime, queued at queuedAt; now v is asked for
// at requested, before it.
void transit::reportTimeWarp(const PhaseFour& four, int s, SignalValue scheduled, uint64_t lastTime, uint64_t queuedAt,
                             SignalValue v, uint64_t requested) {
  const char* name = phaseTwo->signalNames[s];
  standardError() << "TIME WARP"
                  << "  sigNr = " << s << " sigName = " << (name != nullptr ? name : "")
                  << "\n already sked to become ";
  saySignalValue(scheduled);
  standardError() << " at time = " << lastTime << ", which was queued at time = " << queuedAt
                  << "\n  Now scheduling to become ";
  saySignalValue(v);
  standardError() << " at time = " << requested << ".  Now Queueing-time = " << four.now() << std::endl;
}

void PhaseFour::scheduleTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime) {
  const unsigned old = static_cast<unsigned>(scheduled[signalSerialNumber]);
  const unsigned requested = static_cast<unsigned>(newSignalValue);
  if ((old | requested) > 7u) return;  // not a level (the table has none from 5 to 7 either)
  const unsigned cell = transit::packedTransitions.cell[old][requested];
  if (cell == 0) return;
  const transit::WireArrays w{scheduled, scheduledAt, queuedAt};
  if (bucketed)
    transit::requestOn(buckets, w, signalSerialNumber, cell, time, quickTime, lazyTime, *this);
  else
    transit::requestOn(skewHeap, w, signalSerialNumber, cell, time, quickTime, lazyTime, *this);
}

void PhaseFour::altSignalTransition(int signalSerialNumber, SignalValue newSignalValue, int deltaTime) {
  signalTransition(signalSerialNumber, newSignalValue, deltaTime + defaultQuickTimeDelta,
                   deltaTime + defaultLazyTimeDelta);
}

void PhaseFour::tsbSignalTransition(int cind, int signalSerialNumber, SignalValue newSignalValue, int quickTime,
                                    int lazyTime) {
  SignalValue old = scheduled[signalSerialNumber];
  switch (old) {
    case HIZ:
      tavrin::setBusOwner(busOwners, signalSerialNumber, cind);
      signalTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime);
      break;
    case UNINITIALIZED:
    case XXX: signalTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime); break;
    case ZERO:
    case ONE:
      if (tavrin::busOwner(busOwners, signalSerialNumber) == cind) {
        signalTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime);
      } else if (newSignalValue == ZERO || newSignalValue == ONE) {
        flushStandardError();  // what the pass wrote before stays before it on a terminal
        standardOutput() << "Another Tsb at " << phaseTwo->record[cind].rcpos << " is trying to drive it to "
                         << (newSignalValue == ZERO ? "ZERO" : "ONE") << ", this is not allowed\n";
      }
      break;
    default: break;
  }
}

void PhaseFour::recordEventQueueInput(Event ev) {
  recordEventsQueueInput(1, &ev.signalSerialNumber, &ev.sigValue, ev.time);
}

void PhaseFour::recordEventsQueueInput(int n, const int* wires, const SignalValue* values, uint64_t t) {
  const transit::WireArrays w{scheduled, scheduledAt, queuedAt};
  const uint64_t now = time;
  if (bucketed)
    for (int k = 0; k < n; ++k) transit::recordOn(buckets, w, wires[k], values[k], t, now, *this);
  else
    for (int k = 0; k < n; ++k) transit::recordOn(skewHeap, w, wires[k], values[k], t, now, *this);
}
