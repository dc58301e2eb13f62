#include "kernel/Ph4.h"

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/RunObserver.h"
#include "process/Settings.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseFour* phaseFour = nullptr;

bool PhaseFour::takeEarliestEvent(Event& event) {
  if (bucketed) return buckets.takeEarliest(event);
  if (skewHeap.isEmpty()) return false;
  event = skewHeap.min();
  skewHeap.removeMin();
  return true;
}

void PhaseFour::advanceTo(uint64_t t) {
  if (!queueEmpty() && nextEventTime() < t) t = nextEventTime();  // never past an event
  time = t;
  if (bucketed) buckets.moveTo(t);
}

void PhaseFour::takeWires() {
  if (phaseThree == nullptr) return;
  current = phaseThree->currentSignals;
  scheduled = phaseThree->scheduledSignals;
  scheduledAt = phaseThree->scheduledTimes;
  queuedAt = phaseThree->whenScheduled;
}

void PhaseFour::runInitialize() {
  takeWires();
  while (!skewHeap.isEmpty()) skewHeap.removeMin();
  buckets.clear();
  bucketed = lastScheduledWins != 0;
  time = 0;

  const PhaseTwo& two = *phaseTwo;
  PhaseThree& three = *phaseThree;
  for (int s = 0; s < two.numberOfSignals; ++s) {
    SignalValue v = two.constSignals[s] != 0 ? two.signalInitializations[s] : UNINITIALIZED;
    three.currentSignals[s] = v;
    three.scheduledSignals[s] = v;
    three.scheduledTimes[s] = 0;
    three.whenScheduled[s] = 0;
  }
  if (bucketed) lastOfTime.assign(static_cast<size_t>(two.numberOfSignals), noValue);
  for (int c = 0; c < two.numberOfComponents; ++c) {
    three.componentsActivated[c] = 1;
    two.core[c].state = 0;
  }
  // The wires changed without events: a waveform records them here.
  for (RunObserver* o : wireWatchers) o->wiresReset();
}

void releaseThreadEventStorage() { SkewHeap::releaseThreadNodes(); }
