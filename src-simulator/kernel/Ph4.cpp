#include "kernel/Ph4.h"

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/RunObserver.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseFour* phaseFour = nullptr;

bool PhaseFour::takeEarliestEvent(Event& event) {
  if (skewHeap.isEmpty()) return false;
  event = skewHeap.min();
  skewHeap.removeMin();
  return true;
}

void PhaseFour::advanceTo(uint64_t t) {
  if (!skewHeap.isEmpty() && skewHeap.root->time < t) t = skewHeap.root->time;  // never past an event
  time = t;
}

void PhaseFour::runInitialize() {
  while (!skewHeap.isEmpty()) skewHeap.removeMin();
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
  for (int c = 0; c < two.numberOfComponents; ++c) {
    three.componentsActivated[c] = 1;
    two.core[c].state = 0;
  }
  // The wires changed without events: a waveform records them here.
  for (RunObserver* o : wireWatchers) o->wiresReset();
}

void releaseThreadEventStorage() { SkewHeap::releaseThreadNodes(); }
