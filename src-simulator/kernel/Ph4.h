// The simulation kernel: simulated time, the event queue, transitions and the run loop.
#pragma once

#include <cstdint>
#include <vector>

#include "construction/Signal.h"
#include "elaboration/Ph3.h"
#include "kernel/RunObserver.h"
#include "kernel/SkewHeap.h"
#include "kernel/TimeBuckets.h"
#include "process/ThreadLocal.h"

// Delay pair of altSignalTransition, added to the caller's delta.
constexpr int defaultQuickTimeDelta = 4;
constexpr int defaultLazyTimeDelta = 9;

class Activations;
class Cells;
struct Cell;
struct CellRequest;
class FrontEnd;
class RunScript;

namespace tavrin {
// Tri-state bus owners, by signal number: the buffer that last took the bus over from HIZ.
// An absent entry reads as component 0. Never cleared, not even by a restart; the current
// thread's (teardown empties it).
extern thread_local std::vector<int> m;
}  // namespace tavrin

class PhaseFour {
public:
  // Run statistics for the benchmark: events applied, evaluation passes.
  uint64_t appliedEvents = 0;
  uint64_t passes = 0;

  PhaseFour() { takeWires(); }
  ~PhaseFour();
  PhaseFour(const PhaseFour&) = delete;
  PhaseFour& operator=(const PhaseFour&) = delete;

  // Most requests ask for the value already scheduled; those end here, inline.
  void signalTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime) {
    if (newSignalValue == scheduled[signalSerialNumber]) return;
    scheduleTransition(signalSerialNumber, newSignalValue, quickTime, lazyTime);
  }
  // The rest of signalTransition: a request for another value than the last scheduled.
  void scheduleTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime);
  // signalTransition in a run with the time buckets (-R), whole and inline (kernel/Request.h):
  // for the evaluators that take a word of components of their kind at once.
  void bucketTransition(int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime);
  void altSignalTransition(int signalSerialNumber, SignalValue newSignalValue, int deltaTime);
  void tsbSignalTransition(int cind, int signalSerialNumber, SignalValue newSignalValue, int quickTime, int lazyTime);
  // The one entry for an event that comes from no transition request (a memory's read port, a
  // test's driver): queued as a request's events are, with the wire's scheduled value and time.
  void recordEventQueueInput(Event ev);
  // The same for n wires, wires[k] to become values[k] at time t, in that order (a memory's
  // read port: a word's events in one call).
  void recordEventsQueueInput(int n, const int* wires, const SignalValue* values, uint64_t t);

  // Simulated time, and the queue as others may see it: only the kernel changes either.
  uint64_t now() const { return time; }
  bool queueEmpty() const { return bucketed ? buckets.isEmpty() : skewHeap.isEmpty(); }
  int queueLength() const { return bucketed ? buckets.getLength() : skewHeap.getLength(); }
  // The time of the earliest queued event; the queue must not be empty.
  uint64_t nextEventTime() const { return bucketed ? buckets.earliestTime() : skewHeap.root->time; }
  // Calls visit(time, wire) for every queued event, in no particular order.
  template <typename Visit>
  void forEachQueued(Visit visit) const;
  // Takes the earliest event out of the queue, in the order the run applies them, without
  // applying it; false when the queue is empty.
  bool takeEarliestEvent(Event& event);
  // Time moves on to t without applying anything (a step of a key script due at t): no event
  // may be queued before t.
  void advanceTo(uint64_t t);

  // Back to time 0 with an empty queue, every wire at its initial value. The queue is chosen
  // here: with -R (lastScheduledWins) the buckets of TimeBuckets.h, else the skew heap.
  void runInitialize();

  // The steps of a run, which run() strings together and tests drive one by one.
  // Back to time 0: every wire and component reset, every component activated, and the start
  // hooks of switches and pulsers called (their initial levels scheduled).
  void reset();
  // One evaluation pass: every activated component evaluated (and redrawn where the window
  // shows it), in ascending order; afterwards nothing is activated.
  void evaluatePass();
  // Time moves on to the earliest queued event, and every event of that time is applied: a wire
  // that takes a new value activates the components on its activation list.
  void applyNextTime();
  // No event queued and nothing activated.
  bool settled() const;
  // Passes and advances until settled(); false when that takes more than passLimit passes.
  bool settle(uint64_t passLimit = UINT64_MAX);

  // The whole run: the observers' start, the front end's first picture, the reset, then passes
  // until the run ends, and the observers' end.
  void run();

  // The front end the run is shown on (the window, or a run without one); null: nothing is
  // shown, and no component's drawDynamic hook is called.
  void showOn(FrontEnd* front);
  // The observers of the current simulation (kernel/RunObserver.h), taken in; run() does it itself.
  void followObservers();
  // A probe's drawDynamic hook: its observers are told (probe lines, the window's pane).
  void probeChanged(int component) {
    for (RunObserver* o : probeWatchers) o->probeChange(component);
  }

private:
  // tavrin::m of the thread that made this kernel, reached without the thread-local look-up.
  std::vector<int>& busOwners = tavrin::m;
  // The wires' arrays of the current thread's phaseThree (taken at construction and at each
  // runInitialize): the hot path reaches them through this object, not the thread-local pointer.
  SignalValue* current = nullptr;
  SignalValue* scheduled = nullptr;
  uint64_t* scheduledAt = nullptr;
  uint64_t* queuedAt = nullptr;
  void takeWires();
  uint64_t time = 0;
  // The queue: the skew heap, or with -R the time buckets (bucketed).
  SkewHeap skewHeap;
  TimeBuckets buckets;
  bool bucketed = false;
  // Per wire, while the events of one time are applied from the buckets: the value of its
  // event added last (noValue: none).
  std::vector<uint8_t> lastOfTime;
  static constexpr uint8_t noValue = 0xFF;
  Activations* activations = nullptr;
  Cells* cells = nullptr;  // made for the first pass taken by words
  FrontEnd* frontEnd = nullptr;
  RunScript* script = nullptr;
  bool watchingWires = false;
  std::vector<RunObserver*> wireWatchers;
  std::vector<RunObserver*> probeWatchers;
  bool scriptPending() const;
  // The script has something to do now (see RunScript::waitsFor); it is pending.
  bool scriptDue() const;
  Activations& activated();
  Cells& tabled();
  bool idle() const;
  // The bodies of evaluatePass and applyNextTime, inlined into the loops of run and settle.
  void evaluateActivated();
  template <bool Interactive>
  void runPasses(FrontEnd* front);
  void applyEarliestEvents();
  void applyEarliestBucket();
  void requestForCells(const CellRequest* first, const CellRequest* end);
};

template <typename Visit>
void PhaseFour::forEachQueued(Visit visit) const {
  if (bucketed) {
    buckets.forEach(visit);
    return;
  }
  std::vector<const Event*> nodes;
  if (skewHeap.root != nullptr) nodes.push_back(skewHeap.root);
  while (!nodes.empty()) {
    const Event* e = nodes.back();
    nodes.pop_back();
    visit(e->time, e->signalSerialNumber);
    if (e->lptr != nullptr) nodes.push_back(e->lptr);
    if (e->rptr != nullptr) nodes.push_back(e->rptr);
  }
}

extern TAVRIN_THREAD_LOCAL PhaseFour* phaseFour;  // the current thread's

// Returns the event storage of the current thread's queues to the system: for a thread that ends,
// after teardown (startup/Sim.h). Without it the storage is kept until the process ends.
void releaseThreadEventStorage();
