#include "kernel/TimeBuckets.h"

#include <functional>

void TimeBuckets::addFar(uint64_t t, int wire, SignalValue value) {
  far.push_back(Far{t, farOrder++, Entry{wire, value}});
  std::push_heap(far.begin(), far.end(), std::greater<>{});
}

uint64_t TimeBuckets::earliestInBuckets() const {
  // The occupied bits from base's slot upwards, then from slot 0 up to it.
  const unsigned first = static_cast<unsigned>(base) & mask;
  unsigned word = first >> 6;
  uint64_t bits = occupied[word] & (~uint64_t{0} << (first & 63));
  for (unsigned n = 0; n <= span / 64; ++n) {
    if (bits != 0) {
      const unsigned slot = word * 64 + static_cast<unsigned>(std::countr_zero(bits));
      return base + ((slot - first) & mask);
    }
    word = (word + 1) % (span / 64);
    bits = occupied[word];
  }
  return UINT64_MAX;
}

uint64_t TimeBuckets::earliestTime() const {
  const uint64_t inBuckets = earliestInBuckets();
  return far.empty() ? inBuckets : std::min(inBuckets, far.front().time);
}

void TimeBuckets::advanceBase(uint64_t t) {
  base = t;
  while (!far.empty() && far.front().time >= base && far.front().time - base < span) {
    const Far f = far.front();
    std::pop_heap(far.begin(), far.end(), std::greater<>{});
    far.pop_back();
    const unsigned slot = static_cast<unsigned>(f.time) & mask;
    slots[slot].push_back(f.entry);
    occupied[slot >> 6] |= uint64_t{1} << (slot & 63);
    repeats[slot >> 6] |= uint64_t{1} << (slot & 63);  // its wire may be there already
  }
}

bool TimeBuckets::takeEarliest(Event& event) {
  if (length == 0) return false;
  const uint64_t t = earliestTime();
  Entry taken{};
  if (t >= base) {
    if (t > base) advanceBase(t);
    const unsigned slot = static_cast<unsigned>(t) & mask;
    std::vector<Entry>& bucket = slots[slot];
    taken = bucket.front();
    bucket.erase(bucket.begin());
    if (bucket.empty()) {
      occupied[slot >> 6] &= ~(uint64_t{1} << (slot & 63));
      repeats[slot >> 6] &= ~(uint64_t{1} << (slot & 63));
    }
  } else {
    taken = far.front().entry;
    std::pop_heap(far.begin(), far.end(), std::greater<>{});
    far.pop_back();
  }
  --length;
  event = Event(t, signalChange, taken.wire, taken.value);
  return true;
}

void TimeBuckets::clear() {
  for (unsigned slot = 0; slot < span; ++slot) slots[slot].clear();
  std::fill(std::begin(occupied), std::end(occupied), 0);
  std::fill(std::begin(repeats), std::end(repeats), 0);
  far.clear();
  base = 0;
  length = 0;
}
