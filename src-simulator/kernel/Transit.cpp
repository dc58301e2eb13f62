#include <iostream>
#include <vector>

#include "elaboration/Ph2.h"
#include "process/StandardStreams.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
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

namespace {

inline bool isSignalValue(SignalValue v) { return v >= ZERO && v <= ONE; }

// What a request does, by last scheduled value and requested value: up to two events,
// each after the quick or the lazy delay.
struct TransitionStep {
  SignalValue value;
  bool lazy;
};
struct TransitionCell {
  int count;
  TransitionStep step[2];
};

constexpr TransitionCell none{0, {{ZERO, false}, {ZERO, false}}};
constexpr TransitionCell lazyTo(SignalValue v) { return {1, {{v, true}, {ZERO, false}}}; }
constexpr TransitionCell quickTo(SignalValue v) { return {1, {{v, false}, {ZERO, false}}}; }
constexpr TransitionCell throughXxxTo(SignalValue v) { return {2, {{XXX, false}, {v, true}}}; }

// Indexed [old][requested] by the numeric values ZERO 0, UNINITIALIZED 1, XXX 2, HIZ 3, ONE 4.
constexpr TransitionCell transitionTable[5][5] = {
    // old ZERO
    {none, lazyTo(HIZ), quickTo(XXX), lazyTo(HIZ), throughXxxTo(ONE)},
    // old UNINITIALIZED
    {throughXxxTo(ZERO), none, quickTo(XXX), lazyTo(HIZ), throughXxxTo(ONE)},
    // old XXX
    {lazyTo(ZERO), lazyTo(HIZ), none, lazyTo(HIZ), lazyTo(ONE)},
    // old HIZ
    {throughXxxTo(ZERO), quickTo(XXX), quickTo(XXX), none, throughXxxTo(ONE)},
    // old ONE
    {throughXxxTo(ZERO), lazyTo(UNINITIALIZED), lazyTo(XXX), lazyTo(HIZ), none},
};

[[gnu::cold, gnu::noinline]] void reportTimeWarp(const PhaseFour& four, int s, SignalValue v, uint64_t requested,
                                                  uint64_t lastTime) {
  const PhaseThree& three = *phaseThree;
  const char* name = phaseTwo->signalNames[s];
  standardError() << "TIME WARP"
                  << "  sigNr = " << s << " sigName = " << (name != nullptr ? name : "")
                  << "\n already sked to become ";
  saySignalValue(three.scheduledSignals[s]);
  standardError() << " at time = " << lastTime << ", which was queued at time = " << three.whenScheduled[s]
                  << "\n  Now scheduling to become ";
  saySignalValue(v);
  standardError() << " at time = " << requested << ".  Now Queueing-time = " << four.now() << std::endl;
}

}  // namespace

// recordEventQueueInput, inline for the transitions.
inline void PhaseFour::record(int s, SignalValue v, uint64_t t) {
  const uint64_t lastTime = scheduledAt[s];
  if (t < lastTime) [[unlikely]] {
    if (v != UNINITIALIZED && v != XXX) reportTimeWarp(*this, s, v, t, lastTime);
    t = lastTime + 1;
  }
  scheduled[s] = v;
  scheduledAt[s] = t;
  queuedAt[s] = time;
  if (bucketed) {
    // A wire's events are queued in the order of their times: only its last can share t.
    if (t == lastTime) [[unlikely]] buckets.noteRepeat(t);
    buckets.add(t, s, v);
  } else {
    skewHeap.add(t, s, v);
  }
}

void PhaseFour::scheduleTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime,
                                    int lazyTime) {
  const SignalValue old = scheduled[signalSerialNumber];
  if (newSignalValue == old) return;
  if (!isSignalValue(old) || !isSignalValue(newSignalValue)) return;
  const TransitionCell& cell = transitionTable[old][newSignalValue];
  for (int i = 0; i < cell.count; ++i) {
    const TransitionStep& step = cell.step[i];
    const int delay = step.lazy ? lazyTime : quickTime;
    record(signalSerialNumber, step.value, time + static_cast<int64_t>(delay));
  }
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
    case XXX:
      signalTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime);
      break;
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
    default:
      break;
  }
}

void PhaseFour::recordEventQueueInput(Event ev) { record(ev.signalSerialNumber, ev.sigValue, ev.time); }
