// The event queue: ordering, the equal-time order the skew merge gives, and its dump texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kernel/SkewHeap.h"
#include "kernel/TimeBuckets.h"

namespace {

Event at(uint64_t time, int signal, SignalValue value = ONE) { return Event(time, signalChange, signal, value); }

// The merge exactly as its rule reads, recursively, to hold the queue against.
struct RefNode {
  uint64_t time;
  int id;
  RefNode* left = nullptr;
  RefNode* right = nullptr;
};
RefNode* refMerge(RefNode* a, RefNode* b) {
  if (a == nullptr) return b;
  if (b == nullptr) return a;
  if (b->time < a->time) return refMerge(b, a);
  if (a->left == nullptr) {
    a->left = b;
  } else {
    RefNode* left = a->left;
    a->left = refMerge(a->right, b);
    a->right = left;
  }
  return a;
}

}  // namespace

TEST(EventQueue, OrderLengthAndTies) {
  SkewHeap heap;
  for (uint64_t t : {5, 3, 5, 1}) heap.add(at(t, static_cast<int>(t)));
  std::string seen;
  while (!heap.isEmpty()) {
    seen += std::to_string(heap.getLength()) + ":" + std::to_string(heap.min().time) + " ";
    heap.removeMin();
  }
  EXPECT_EQ(seen, "4:1 3:3 2:5 1:5 ");
  EXPECT_EQ(heap.getLength(), 0);

  // A new event never displaces a top of the same time; equal times come out neither
  // first-in-first-out nor last-in-first-out.
  for (int s = 1; s <= 4; ++s) {
    heap.add(at(5, s));
    EXPECT_EQ(heap.min().signalSerialNumber, 1);
  }
  std::vector<int> order;
  for (; !heap.isEmpty(); heap.removeMin()) order.push_back(heap.min().signalSerialNumber);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 4}));

  Event e = at(7, 1);
  EXPECT_EQ(SkewHeap::merge(&e, nullptr), &e);
  EXPECT_EQ(SkewHeap::merge(nullptr, &e), &e);
}

TEST(EventQueue, FollowsTheMergeRuleOnMixedWorkloads) {
  std::mt19937 random(12345);
  SkewHeap heap;
  RefNode* ref = nullptr;
  std::vector<RefNode> pool(6000);
  size_t used = 0;
  std::vector<int> got, expected;
  while (ref != nullptr || used < pool.size()) {
    if (ref == nullptr || (random() % 3 != 0 && used < pool.size())) {
      uint64_t time = random() % 40;  // many ties
      pool[used] = RefNode{time, static_cast<int>(used)};
      ref = refMerge(ref, &pool[used]);
      heap.add(at(time, static_cast<int>(used++)));
    } else {
      expected.push_back(ref->id);
      ref = refMerge(ref->right, ref->left);
      got.push_back(heap.min().signalSerialNumber);
      heap.removeMin();
    }
  }
  EXPECT_EQ(got, expected);
}

TEST(EventQueue, DumpTexts) {
  SkewHeap heap;
  heap.add(at(12, 7, ONE));
  heap.add(at(13, 2, XXX));
  heap.add(at(14, 3, static_cast<SignalValue>(9)));  // 12 on top, 14 left, 13 right
  testing::internal::CaptureStderr();
  heap.print();
  auto line = [](const char* time, const char* signal, const char* value) {
    return std::string(" printEvent()--Time: ") + time + " EventType = 0 signalSerialNumber = " + signal +
           " sigValue = " + value + "\n";
  };
  const std::string leaf = " down-left up down-right up";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), line("12", "7", "ONE") + " down-left" +
                                                        line("14", "3", "NOT A SIGNAL") + leaf + " up down-right" +
                                                        line("13", "2", "XXX") + leaf + " up\n");
}

// The time buckets against a reference: random times near and far (beyond the buckets' span,
// and behind the time reached), taken a time at a time, must come out by time and, within a
// time, in the order added, however the adds and takes interleave.
TEST(TimeBuckets, ComeOutByTimeThenInTheOrderAdded) {
  std::mt19937 random(7);
  TimeBuckets buckets;
  std::vector<std::pair<uint64_t, int>> reference;  // (time, wire), in the order added
  uint64_t now = 0;
  int wire = 0;
  std::string expected, seen;
  for (int round = 0; round < 400; ++round) {
    for (int n = static_cast<int>(random() % 6); n > 0; --n) {
      const unsigned pick = random() % 10;
      const uint64_t t = pick < 6 ? now + random() % 20 : pick < 9 ? now + random() % 5000 : now / 2;
      buckets.add(t, wire, ONE);
      reference.emplace_back(t, wire++);
    }
    if (buckets.isEmpty() || random() % 3 == 0) continue;
    uint64_t first = UINT64_MAX;
    for (const auto& r : reference) first = std::min(first, r.first);
    ASSERT_EQ(buckets.earliestTime(), first);
    for (auto it = reference.begin(); it != reference.end();)
      if (it->first == first) {
        expected += std::to_string(first) + ":" + std::to_string(it->second) + " ";
        it = reference.erase(it);
      } else {
        ++it;
      }
    buckets.removeEarliest(now, [&](const TimeBuckets::Entry* e, int count, bool) {
      for (int i = 0; i < count; ++i) seen += std::to_string(now) + ":" + std::to_string(e[i].wire) + " ";
    });
    ASSERT_EQ(now, first);
    ASSERT_EQ(buckets.getLength(), static_cast<int>(reference.size()));
  }
  EXPECT_EQ(seen, expected);
}
