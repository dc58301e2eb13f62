// The body of a transition request, inline: for the kernel's requests (Transit.cpp), the cells'
// evaluation (Ph4Run.cpp) and the evaluators that take a word of activated components of their
// kind at once (the kinds table's evaluateWord), which request in a run with the time buckets
// without a call each.
#pragma once

#include <cstdint>
#include <type_traits>

#include "construction/Signal.h"
#include "kernel/Ph4.h"
#include "kernel/TimeBuckets.h"

namespace transit {

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

inline constexpr TransitionCell none{0, {{ZERO, false}, {ZERO, false}}};
constexpr TransitionCell lazyTo(SignalValue v) { return {1, {{v, true}, {ZERO, false}}}; }
constexpr TransitionCell quickTo(SignalValue v) { return {1, {{v, false}, {ZERO, false}}}; }
constexpr TransitionCell throughXxxTo(SignalValue v) { return {2, {{XXX, false}, {v, true}}}; }

// Indexed [old][requested] by the numeric values ZERO 0, UNINITIALIZED 1, XXX 2, HIZ 3, ONE 4.
inline constexpr TransitionCell transitionTable[5][5] = {
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

// The table packed for the request: per cell a byte per step (0x80, the lazy delay 0x08, the
// value in the low three bits), the first step in the low byte; rows and columns 5 to 7 empty,
// so that any two values below 8 index it.
struct PackedTransitions {
  uint16_t cell[8][8];
};
constexpr uint16_t packStep(TransitionStep step) {
  return static_cast<uint16_t>(0x80u | (step.lazy ? 0x08u : 0u) | static_cast<unsigned>(step.value));
}
constexpr PackedTransitions packTransitions() {
  PackedTransitions p{};
  for (int o = 0; o < 5; ++o)
    for (int n = 0; n < 5; ++n) {
      const TransitionCell& c = transitionTable[o][n];
      unsigned v = 0;
      if (c.count > 0) v = packStep(c.step[0]);
      if (c.count > 1) v |= static_cast<unsigned>(packStep(c.step[1])) << 8;
      p.cell[o][n] = static_cast<uint16_t>(v);
    }
  return p;
}
inline constexpr PackedTransitions packedTransitions = packTransitions();

// Wire s was scheduled to become scheduled at lastTime, queued at queuedAt; now v is asked for
// at requested, before it: written to standard error.
[[gnu::cold, gnu::noinline]] void reportTimeWarp(const PhaseFour& four, int s, SignalValue scheduled, uint64_t lastTime,
                                                 uint64_t queuedAt, SignalValue v, uint64_t requested);

// The wires' arrays, restrict: nothing else a request reads or writes (the queue, the kernel's
// time) lies in them, and they are reached through nothing else meanwhile (the time warp's
// report is handed their values), so what it has read stays in registers across its stores.
struct WireArrays {
  SignalValue* __restrict scheduled;
  uint64_t* __restrict scheduledAt;
  uint64_t* __restrict queuedAt;
};

// recordEventQueueInput: queues wire s's change to v at time t on queue (the buckets or the
// heap), now being the kernel's time, with the wire's scheduled value and times.
template <typename Queue>
[[gnu::always_inline]] inline void recordOn(Queue& queue, const WireArrays w, int s, SignalValue v, uint64_t t,
                                            uint64_t now, const PhaseFour& four) {
  const uint64_t lastTime = w.scheduledAt[s];
  if (t < lastTime) [[unlikely]] {
    if (v != UNINITIALIZED && v != XXX) reportTimeWarp(four, s, w.scheduled[s], lastTime, w.queuedAt[s], v, t);
    t = lastTime + 1;
  }
  if constexpr (std::is_same_v<Queue, TimeBuckets>)
    queue.add(t, s, v, t == lastTime);  // a wire's events are queued by time: only its last can share t
  else
    queue.add(t, s, v);
  w.scheduled[s] = v;
  w.scheduledAt[s] = t;
  w.queuedAt[s] = now;
}

// A request's steps (a cell of packedTransitions, not empty), each after its delay from now.
template <typename Queue>
[[gnu::always_inline]] inline void requestOn(Queue& queue, const WireArrays w, int s, unsigned cell, uint64_t now,
                                             int quickTime, int lazyTime, const PhaseFour& four) {
  do {
    const int delay = (cell & 0x08u) != 0 ? lazyTime : quickTime;
    recordOn(queue, w, s, static_cast<SignalValue>(cell & 0x07u), now + static_cast<int64_t>(delay), now, four);
    cell >>= 8;
  } while (cell != 0);
}

}  // namespace transit

inline void PhaseFour::bucketTransition(int s, SignalValue newSignalValue, int quickTime, int lazyTime) {
  const unsigned old = static_cast<unsigned>(scheduled[s]);
  const unsigned requested = static_cast<unsigned>(newSignalValue);
  if (old == requested || (old | requested) > 7u) return;
  const unsigned cell = transit::packedTransitions.cell[old][requested];
  if (cell == 0) return;
  transit::requestOn(buckets, transit::WireArrays{scheduled, scheduledAt, queuedAt}, s, cell, time, quickTime, lazyTime,
                     *this);
}
