// The event queue of a run in which a wire's events at one time end at its last scheduled value
// (-R): one bucket per time step. Within a time the events come out in the order they were
// queued; the order of the skew heap (SkewHeap.h), which the default run's output follows, is not
// kept. Adding and taking an event cost a few instructions and touch one cache line, where the
// heap walks a path of nodes.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "construction/Signal.h"
#include "kernel/Event.h"

class TimeBuckets {
public:
  // One queued change: the wire and the value it is to take.
  struct Entry {
    int32_t wire;
    SignalValue value;
  };

  TimeBuckets() : slots(new std::vector<Entry>[span]) {}
  TimeBuckets(const TimeBuckets&) = delete;
  TimeBuckets& operator=(const TimeBuckets&) = delete;

  bool isEmpty() const { return length == 0; }
  int getLength() const { return length; }

  // Queues a change of wire to value at time t. Any t is taken, also one before the time the
  // queue has reached; events of one time come out in the order they were added. repeat: the
  // wire may have an event at t already, so that time's bucket may hold it twice.
  void add(uint64_t t, int wire, SignalValue value, bool repeat = true) {
    ++length;
    if (t - base < span) {  // also false for t < base
      const unsigned slot = static_cast<unsigned>(t) & mask;
      slots[slot].push_back(Entry{wire, value});
      const uint64_t bit = uint64_t{1} << (slot & 63);
      occupied[slot >> 6] |= bit;
      if (repeat) [[unlikely]] repeats[slot >> 6] |= bit;
    } else {
      addFar(t, wire, value);
    }
  }

  // The time of the earliest event; the queue must not be empty.
  uint64_t earliestTime() const;

  // Takes every event of the earliest time out of the queue and calls apply(entries, count,
  // repeated) once with them, in the order they were added; repeated is false when no wire can
  // be among them twice (none was added with repeat). Sets now to that time and returns the
  // count. The queue must not be empty; apply must not add events.
  template <typename Apply>
  int removeEarliest(uint64_t& now, Apply apply);

  // Takes the earliest event (the first added of its time); false when the queue is empty.
  bool takeEarliest(Event& event);

  // The queue's time moves on to t (no event may be queued before t).
  void moveTo(uint64_t t) {
    if (t > base) advanceBase(t);
  }

  void clear();

  // Calls visit(time, wire) for every queued event, in no particular order.
  template <typename Visit>
  void forEach(Visit visit) const;

private:
  static constexpr unsigned span = 1024;  // the times held in buckets: base .. base + span - 1
  static constexpr unsigned mask = span - 1;
  // An event beyond the buckets' times (or before them), kept in a min-heap by time and then
  // by the order of adding.
  struct Far {
    uint64_t time;
    uint64_t order;
    Entry entry;
    bool operator>(const Far& o) const { return time != o.time ? time > o.time : order > o.order; }
  };

  uint64_t base = 0;
  std::unique_ptr<std::vector<Entry>[]> slots;
  uint64_t occupied[span / 64] = {};
  uint64_t repeats[span / 64] = {};  // per slot: a wire may be in it twice
  std::vector<Far> far;
  uint64_t farOrder = 0;
  std::vector<Entry> farBatch;  // the events of a time taken from far, for apply
  int length = 0;

  void addFar(uint64_t t, int wire, SignalValue value);
  // The earliest time in the buckets, or UINT64_MAX when they are empty.
  uint64_t earliestInBuckets() const;
  // base becomes t (> base, with no bucketed event before t); the far events now inside the
  // buckets' times move in, ahead of any added later.
  void advanceBase(uint64_t t);
};

template <typename Apply>
int TimeBuckets::removeEarliest(uint64_t& now, Apply apply) {
  const uint64_t inBuckets = earliestInBuckets();
  if (far.empty() || inBuckets <= far.front().time) {
    if (inBuckets > base) advanceBase(inBuckets);
    now = inBuckets;
    const unsigned slot = static_cast<unsigned>(inBuckets) & mask;
    std::vector<Entry>& bucket = slots[slot];
    const int count = static_cast<int>(bucket.size());
    const uint64_t bit = uint64_t{1} << (slot & 63);
    apply(static_cast<const Entry*>(bucket.data()), count, (repeats[slot >> 6] & bit) != 0);
    bucket.clear();
    occupied[slot >> 6] &= ~bit;
    repeats[slot >> 6] &= ~bit;
    length -= count;
    return count;
  }
  // A far event comes first: one before the buckets' times (advancing base would move it in).
  const uint64_t t = far.front().time;
  if (t >= base) {
    advanceBase(t);
    return removeEarliest(now, apply);
  }
  farBatch.clear();
  while (!far.empty() && far.front().time == t) {
    farBatch.push_back(far.front().entry);
    std::pop_heap(far.begin(), far.end(), std::greater<>{});
    far.pop_back();
  }
  now = t;
  const int count = static_cast<int>(farBatch.size());
  apply(static_cast<const Entry*>(farBatch.data()), count, true);
  length -= count;
  return count;
}

template <typename Visit>
void TimeBuckets::forEach(Visit visit) const {
  for (unsigned slot = 0; slot < span; ++slot) {
    const uint64_t t = base + ((slot - static_cast<unsigned>(base)) & mask);
    for (const Entry& e : slots[slot]) visit(t, e.wire);
  }
  for (const Far& f : far) visit(f.time, f.entry.wire);
}
