#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Activations.h"
#include "kernel/Cells.h"
#include "kernel/FrontEnd.h"
#include "kernel/Ph4.h"
#include "kernel/Request.h"
#include "kernel/RunObserver.h"
#include "kernel/RunTime.h"
#include "process/ErrorOutput.h"
#include "process/Settings.h"

namespace {

// Judges the activated cells base + each bit of bits, ascending, up to the first component that
// is not a cell, whose bit is then the lowest left in bits (none: bits is 0): the request of each
// that asks for a change is written at end, which moves on. Without a branch on whether one asks,
// which follows no pattern a predictor could learn. The requests are made later, in this order:
// a cell's output has no other driver, and a request changes no wire's present value, so that
// the judging of one cell does not depend on another's request.
[[gnu::always_inline]] inline CellRequest* judgeCells(const Cell* cell, const SignalValue* values,
                                                      const SignalValue* scheduledValues, int base, uint64_t& bits,
                                                      CellRequest* end) {
  uint64_t b = bits;
  for (; b != 0; b &= b - 1) {
    const Cell& x = cell[base + std::countr_zero(b)];
    const LevelTable* const t = x.levels;
    if (t == nullptr) [[unlikely]]
      break;
    const unsigned level = t->level[static_cast<unsigned>(values[x.in[2]]) & 7][static_cast<unsigned>(values[x.in[0]]) & 7]
                                   [static_cast<unsigned>(values[x.in[1]]) & 7];
    const unsigned steps = transit::packedTransitions.cell[static_cast<unsigned>(scheduledValues[x.out]) & 7][level];
    *end = CellRequest{x.out, steps, t};
    end += steps != 0;
  }
  bits = b;
  return end;
}

void startComponents() {
  const PhaseTwo& two = *phaseTwo;
  for (int i = 0; i < two.numberOfComponents; ++i)
    if (const ComponentFunction key = two.kindOf(i).xEventTriggered; key != nullptr) key(i);
}

bool pastStopTime(uint64_t time) { return stopTime != 0 && time > stopTime; }

}  // namespace

PhaseFour::~PhaseFour() {
  delete activations;
  delete cells;
}

Activations& PhaseFour::activated() {
  if (activations == nullptr) activations = new Activations(phaseTwo->numberOfComponents);
  return *activations;
}

Cells& PhaseFour::tabled() {
  if (cells == nullptr) cells = new Cells(*phaseTwo);
  return *cells;
}

void PhaseFour::reset() {
  followObservers();
  runInitialize();
  activated().allSet();
  startComponents();
}

[[gnu::always_inline]] inline void PhaseFour::evaluateActivated() {
  const PhaseTwo& two = *phaseTwo;
  const ComponentCore* const core = two.core;
  ++passes;
  Activations& set = activated();
  FrontEnd* const front = frontEnd;
  const uint64_t* const drawn =
      front == nullptr ? nullptr
                       : set.drawMasks(front->detailLevel != nullptr ? *front->detailLevel : 1, !front->showsPanes,
                                       probeWatchers.empty());
  auto evaluate = [&](int i) {
    if (const ComponentFunction e = core[i].logicEvaluate; e != nullptr) e(i);
  };
  if (drawn == nullptr && bucketed) {
    // A word with cells (kernel/Cells.h) is taken in one loop, a word of components of one kind
    // with a word evaluator in one call.
    const WordEvaluator* const byWord = set.wordEvaluators().data();
    // The cells' requests are made when a component that is not one comes, and at the end.
    Cells& tables = tabled();
    CellRequest* const first = tables.requestRoom();
    CellRequest* end = first;
    auto requested = [&] {
      if (end != first) requestForCells(first, end);
      end = first;
    };
    set.takeByWords(
        [&, cell = tables.data(), values = current, scheduledValues = scheduled](size_t word, uint64_t b) {
          const int base = static_cast<int>(word * 64);
          if (tables.inWord(word)) {
            CellRequest* at = end;
            for (;;) {
              at = judgeCells(cell, values, scheduledValues, base, b, at);
              if (b == 0) break;
              end = at;
              requested();
              at = end;
              evaluate(base + std::countr_zero(b));
              b &= b - 1;
            }
            end = at;
            return;
          }
          requested();
          if (const WordEvaluator e = byWord[word]; e != nullptr) {
            e(base, b);
            return;
          }
          for (; b != 0; b &= b - 1) evaluate(base + std::countr_zero(b));
        },
        [&](int i) {
          requested();
          evaluate(i);
        });
    requested();
  } else if (drawn == nullptr) {
    set.takeAscending(evaluate);
  } else {
    const ComponentRecord* const record = two.record;
    set.takeAscending([&](int i) {
      evaluate(i);
      if ((drawn[static_cast<unsigned>(i) >> 6] >> (i & 63)) & 1) componentKind(record[i].kind).drawDynamic(i);
    });
  }
  if (front != nullptr && front->superProbes != nullptr && *front->superProbes != 0) front->showSuperProbes();
}

// The requests judged since the last were made, in order.
void PhaseFour::requestForCells(const CellRequest* first, const CellRequest* end) {
  const transit::WireArrays w{scheduled, scheduledAt, queuedAt};
  TimeBuckets& queue = buckets;
  const uint64_t now = time;
  for (const CellRequest* r = first; r != end; ++r)
    transit::requestOn(queue, w, r->wire, r->steps, now, r->table->quickTime, r->table->lazyTime, *this);
}

[[gnu::always_inline]] inline void PhaseFour::applyEarliestEvents() {
  if (bucketed) {
    applyEarliestBucket();
    return;
  }
  if (skewHeap.isEmpty()) return;
  SignalValue* const currentSignals = current;
  Activations& set = activated();
  const uint64_t now = skewHeap.root->time;
  time = now;
  // Events of one wire at one time are applied in the queue's order.
  const bool watched = watchingWires;
  appliedEvents += static_cast<uint64_t>(skewHeap.removeEarliest([&](const Event& e) {
    const int s = e.signalSerialNumber;
    const SignalValue v = e.sigValue;
    const bool changed = v != currentSignals[s];
    currentSignals[s] = v;
    if (watched && changed) [[unlikely]]
      for (RunObserver* o : wireWatchers) o->wireChange(now, s, v);
    set.markWireIf(s, v, changed);
  }));
}

// With -R: every wire with events at the earliest time takes the value of its event added last,
// once, in the order of the wires' first events of that time; the others are not applied.
[[gnu::always_inline]] inline void PhaseFour::applyEarliestBucket() {
  if (buckets.isEmpty()) return;
  SignalValue* const currentSignals = current;
  Activations& set = activated();
  uint8_t* const last = lastOfTime.data();
  const bool watched = watchingWires;
  appliedEvents += static_cast<uint64_t>(buckets.removeEarliest(time, [&](const TimeBuckets::Entry* e, int count,
                                                                          bool repeated) {
    const uint64_t now = time;
    if (!repeated) [[likely]] {
      // Each wire once: its event is its last.
      for (int i = 0; i < count; ++i) {
        const int s = e[i].wire;
        const SignalValue v = e[i].value;
        const bool changed = v != currentSignals[s];
        currentSignals[s] = v;
        if (watched && changed) [[unlikely]]
          for (RunObserver* o : wireWatchers) o->wireChange(now, s, v);
        set.markWireIf(s, v, changed);
      }
      return;
    }
    for (int i = 0; i < count; ++i) last[e[i].wire] = static_cast<uint8_t>(e[i].value);
    for (int i = 0; i < count; ++i) {
      const int s = e[i].wire;
      if (last[s] == noValue) continue;
      const SignalValue v = static_cast<SignalValue>(last[s]);
      last[s] = noValue;
      if (v != currentSignals[s]) {
        currentSignals[s] = v;
        if (watched) [[unlikely]]
          for (RunObserver* o : wireWatchers) o->wireChange(now, s, v);
        set.markWire(s, v);
      }
    }
  }));
}

void PhaseFour::evaluatePass() { evaluateActivated(); }

void PhaseFour::applyNextTime() { applyEarliestEvents(); }

bool PhaseFour::settled() const { return queueEmpty() && (activations == nullptr || !activations->any()); }

bool PhaseFour::settle(uint64_t passLimit) {
  for (uint64_t pass = 0; !settled(); ++pass) {
    if (pass == passLimit) return false;
    evaluateActivated();
    applyEarliestEvents();
  }
  return true;
}

// Nothing can change before the next event from outside.
bool PhaseFour::idle() const { return settled() && reStart == 0 && done == 0 && !scriptPending(); }

bool PhaseFour::scriptPending() const { return script != nullptr && script->pending; }

bool PhaseFour::scriptDue() const {
  const uint64_t waitsFor = script->waitsFor;
  return time >= waitsFor || queueEmpty() || nextEventTime() > waitsFor;
}

void PhaseFour::showOn(FrontEnd* front) { frontEnd = front; }

void PhaseFour::followObservers() {
  RunObservers& o = runObservers();
  wireWatchers = o.wireWatchers;
  watchingWires = !wireWatchers.empty();
  probeWatchers = o.probeWatchers;
  script = o.script;
}

// The passes of a run until it ends. Interactive: the front end is served around each pass and
// a halt waits for it; otherwise nothing from outside can reach the run, and a halt, or an empty
// queue with nothing left to evaluate, would last for ever, so either ends it.
template <bool Interactive>
void PhaseFour::runPasses(FrontEnd* front) {
  while (done == 0) {
    if (pastStopTime(time)) break;
    if constexpr (!Interactive) {
      if (haltFlag != 0 || idle()) break;
    } else if (haltFlag != 0) {
      // Only an event from outside can change anything while halted.
      flushStandardError();
      front->waitWhileHalted();
      continue;
    }
    if (reStart != 0) {
      reset();
      reStart = 0;
    }
    if constexpr (Interactive) front->beforePass(*this);
    evaluateActivated();
    if constexpr (Interactive) front->afterEvaluation();
    if (script != nullptr && script->pending && scriptDue()) [[unlikely]] script->step();
    applyEarliestEvents();
    if constexpr (Interactive) front->serve(idle() && !pastStopTime(time));
    // The end of the pass: what it wrote goes out before anything waits (held where no one
    // can see the passes).
    endOfPassStandardError();
    if (stallLevel != 0 && front != nullptr) front->slowMotion(*this);
  }
}

void PhaseFour::run() {
  followObservers();
  const RunObservers& observers = runObservers();
  FrontEnd* const front = frontEnd;
  const bool interactive = front != nullptr && front->interactive;
  if (script != nullptr) script->endsRun = !interactive;
  // Written out in blocks from here on: a probe line each is too dear as a write each.
  bufferStandardError();
  observers.runStart();  // test vectors and the step table find their signals, the script checks its steps
  followObservers();
  if (front != nullptr) front->runStart();

  reset();
  done = phaseTwo->numberOfComponents == 0 ? 1 : 0;
  if (interactive)
    runPasses<true>(front);
  else
    runPasses<false>(front);

  if (front != nullptr) front->runEnd();
  observers.runEnd();
  unbufferStandardError();
}
