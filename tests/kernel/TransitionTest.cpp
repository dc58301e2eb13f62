// Signal transitions, tri-state ownership and the run-time signal support, on a small
// hand-made set of wires (no circuit, no run loop).
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "process/Settings.h"

namespace {

constexpr int kSignals = 40;
constexpr int kBus = 5;

char code(SignalValue v) { return (v >= ZERO && v <= ONE) ? "ZUXHO"[v] : '?'; }

class Transitions : public ::testing::Test {
protected:
  // Wires w[0] .. w[39] (0 and 1 the constants), components at "aa", "ab.ac", "ad", "ae".
  void SetUp() override {
    static const char* const positions[4] = {"aa", "ab.ac", "ad", "ae"};
    static const ComponentKind part = defineComponentKind({.name = "Part"});
    static std::vector<std::string> names(kSignals);
    ComponentNode nodes[4];
    for (int c = 0; c < 4; ++c) {
      nodes[c].kind = part;
      nodes[c].graphicPosition = positions[c];
      if (c > 0) nodes[c - 1].ptr = &nodes[c];
    }
    PhaseTwo* two = new PhaseTwo();
    two->numberOfSignals = kSignals;
    two->componentsToArrays(nodes, 4);
    two->constSignals = new int[kSignals]{1, 1};
    two->signalInitializations = new SignalValue[kSignals]{ZERO, ONE};
    two->signalNames = new char*[kSignals];
    for (int s = 0; s < kSignals; ++s) {
      names[s] = "w[" + std::to_string(s) + "]";
      two->signalNames[s] = names[s].data();
    }
    phaseTwo = two;
    phaseThree = new PhaseThree();
    phaseFour = new PhaseFour();
    phaseFour->runInitialize();
    tavrin::m.clear();
  }
  void TearDown() override {
    delete phaseFour;
    phaseFour = nullptr;
  }

  static void setLast(int s, SignalValue v, uint64_t at = 0, uint64_t queuedAt = 0) {
    phaseThree->scheduledSignals[s] = v;
    phaseThree->scheduledTimes[s] = at;
    phaseThree->whenScheduled[s] = queuedAt;
  }
  static void setCurrent(int s, SignalValue v) { phaseThree->currentSignals[s] = v; }

  // The queue's events in extraction order, as time and value letter.
  static std::string drain() {
    std::string text;
    for (Event e(0, signalChange, 0, ZERO); phaseFour->takeEarliestEvent(e);)
      text += (text.empty() ? "" : " ") + std::to_string(e.time) + code(e.sigValue);
    return text;
  }
};

}  // namespace

TEST_F(Transitions, TableCellByCell) {
  const SignalValue order[5] = {ZERO, UNINITIALIZED, XXX, HIZ, ONE};
  // Rows: last scheduled value; columns: requested value (same order). Quick 7, lazy 10, now 100.
  const char* expected[5][5] = {
      {"", "110H", "107X", "110H", "107X 110O"},
      {"107X 110Z", "", "107X", "110H", "107X 110O"},
      {"110Z", "110H", "", "110H", "110O"},
      {"107X 110Z", "107X", "107X", "", "107X 110O"},
      {"107X 110Z", "110U", "110X", "110H", ""},
  };
  phaseFour->advanceTo(100);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c) {
      setLast(3, order[r], 50, 40);
      phaseFour->signalTransition(3, order[c], 7, 10);
      EXPECT_EQ(drain(), expected[r][c]) << "old " << code(order[r]) << " requested " << code(order[c]);
    }
  // The last event recorded is what later requests are judged against.
  setLast(3, ONE, 50, 40);
  phaseFour->signalTransition(3, HIZ, 7, 10);
  EXPECT_EQ(phaseThree->scheduledSignals[3], HIZ);
  EXPECT_EQ(phaseThree->scheduledTimes[3], 110u);
  EXPECT_EQ(phaseThree->whenScheduled[3], 100u);
  drain();
  // Values outside the five levels are ignored, as requests and as history.
  setLast(3, ZERO);
  phaseFour->signalTransition(3, static_cast<SignalValue>(7), 7, 10);
  setLast(3, static_cast<SignalValue>(-1));
  phaseFour->signalTransition(3, ONE, 7, 10);
  EXPECT_EQ(drain(), "");
}

TEST_F(Transitions, RequestsAreJudgedAgainstTheLastScheduledValue) {
  testing::internal::CaptureStderr();
  setLast(3, ZERO);
  setCurrent(3, ZERO);
  phaseFour->advanceTo(100);
  phaseFour->signalTransition(3, ONE, 7, 10);
  phaseFour->advanceTo(101);
  phaseFour->signalTransition(3, ONE, 7, 10);  // already on its way: nothing
  phaseFour->signalTransition(3, ZERO, 7, 10);  // XXX at 108 and ZERO at 111, behind ONE at 110
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  // The two events at 111 come out ZERO first, so XXX is what the wire is left with.
  EXPECT_EQ(drain(), "107X 110O 111Z 111X");

  setLast(4, ONE, 10, 3);
  setCurrent(4, ZERO);
  phaseFour->signalTransition(4, ONE, 7, 10);
  EXPECT_EQ(drain(), "");
}

// The same requests applied: in the queue's order the wire is left at XXX; with -R every event of
// a wire at one time applies its last scheduled value, and it ends at ZERO.
TEST_F(Transitions, WithLastScheduledWinsTheWireEndsWhereItsDriverAsked) {
  for (const int wins : {0, 1}) {
    lastScheduledWins = wins;
    phaseFour->runInitialize();  // the queue is chosen here
    setLast(3, ZERO);
    setCurrent(3, ZERO);
    phaseFour->advanceTo(100 + 100 * static_cast<uint64_t>(wins));
    const uint64_t t = phaseFour->now();
    phaseFour->signalTransition(3, ONE, 7, 10);
    phaseFour->advanceTo(t + 1);
    phaseFour->signalTransition(3, ZERO, 7, 10);
    while (!phaseFour->queueEmpty()) phaseFour->applyNextTime();
    EXPECT_EQ(code(phaseThree->currentSignals[3]), wins ? 'Z' : 'X') << wins;
  }
  lastScheduledWins = 0;
}

// With -R a wire's events at one time end at the one added last, also when a later event of the
// wire is already queued: 0 -> 1 asked at 100 (XXX at 107, ONE at 110), then 0 at 103 (XXX at
// 110, ZERO at 113): at 110 the wire goes to XXX, not back to ONE, and it ends at ZERO.
TEST_F(Transitions, WithLastScheduledWinsTheLastAddedEventOfATimeWins) {
  lastScheduledWins = 1;
  phaseFour->runInitialize();
  setLast(3, ZERO);
  setCurrent(3, ZERO);
  phaseFour->advanceTo(100);
  phaseFour->signalTransition(3, ONE, 7, 10);
  phaseFour->advanceTo(103);
  phaseFour->signalTransition(3, ZERO, 7, 10);
  std::string seen;
  while (!phaseFour->queueEmpty()) {
    phaseFour->applyNextTime();
    seen += std::to_string(phaseFour->now()) + code(phaseThree->currentSignals[3]) + " ";
  }
  EXPECT_EQ(seen, "107X 110X 113Z ");
  lastScheduledWins = 0;
}

TEST_F(Transitions, TimeWarpIsReportedForDefiniteLevelsOnly) {
  testing::internal::CaptureStderr();
  phaseFour->advanceTo(100);
  setLast(6, XXX, 110, 95);
  phaseFour->signalTransition(6, ONE, 2, 5);
  EXPECT_EQ(drain(), "111O");
  EXPECT_EQ(phaseThree->scheduledTimes[6], 111u);

  // Quick not shorter than lazy: the settling event is put one step behind the XXX.
  setLast(7, ZERO);
  phaseFour->signalTransition(7, ONE, 10, 5);
  EXPECT_EQ(drain(), "110X 111O");

  setLast(8, ONE, 120, 90);
  phaseFour->signalTransition(8, XXX, 3, 5);  // moved silently
  setLast(9, ZERO, 120, 90);
  phaseFour->signalTransition(9, UNINITIALIZED, 3, 5);  // HIZ: reported
  EXPECT_EQ(drain(), "121X 121H");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "TIME WARP  sigNr = 6 sigName = w[6]\n already sked to become XXX at time = 110, which was queued at "
            "time = 95\n  Now scheduling to become ONE at time = 105.  Now Queueing-time = 100\n"
            "TIME WARP  sigNr = 7 sigName = w[7]\n already sked to become XXX at time = 110, which was queued at "
            "time = 100\n  Now scheduling to become ONE at time = 105.  Now Queueing-time = 100\n"
            "TIME WARP  sigNr = 9 sigName = w[9]\n already sked to become ZERO at time = 120, which was queued at "
            "time = 90\n  Now scheduling to become HIZ at time = 105.  Now Queueing-time = 100\n");
}

TEST_F(Transitions, AltTransitionAddsTheDefaultDelays) {
  phaseFour->advanceTo(20);
  setLast(3, ZERO);
  phaseFour->altSignalTransition(3, ONE, 100);
  EXPECT_EQ(drain(), "124X 129O");
}

TEST_F(Transitions, SecondDriverOnAnOwnedBusIsRefused) {
  testing::internal::CaptureStdout();
  phaseFour->advanceTo(100);
  setLast(kBus, HIZ);
  phaseFour->tsbSignalTransition(1, kBus, ONE, 7, 10);  // takes the bus over
  phaseFour->tsbSignalTransition(2, kBus, ZERO, 7, 10);
  phaseFour->tsbSignalTransition(2, kBus, ONE, 7, 10);  // reported even for the bus's own value
  phaseFour->tsbSignalTransition(2, kBus, HIZ, 7, 10);  // silent
  phaseFour->tsbSignalTransition(2, kBus, XXX, 7, 10);  // silent
  EXPECT_EQ(drain(), "107X 110O");
  phaseFour->advanceTo(200);
  phaseFour->tsbSignalTransition(1, kBus, ZERO, 7, 10);  // the owner may change the value
  EXPECT_EQ(drain(), "207X 210Z");
  std::cout.flush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Another Tsb at ad is trying to drive it to ZERO, this is not allowed\n"
            "Another Tsb at ad is trying to drive it to ONE, this is not allowed\n");
}

TEST_F(Transitions, UnownedBusBelongsToComponentZero) {
  testing::internal::CaptureStdout();
  phaseFour->advanceTo(100);
  phaseFour->tsbSignalTransition(1, kBus, ONE, 7, 10);  // from UNINITIALIZED: no owner recorded
  EXPECT_EQ(drain(), "107X 110O");
  phaseFour->tsbSignalTransition(1, kBus, ZERO, 7, 10);
  EXPECT_EQ(drain(), "");
  phaseFour->advanceTo(200);
  phaseFour->tsbSignalTransition(0, kBus, ZERO, 7, 10);
  EXPECT_EQ(drain(), "207X 210Z");
  std::cout.flush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Another Tsb at ab.ac is trying to drive it to ZERO, this is not allowed\n");
}

TEST_F(Transitions, ReleasedBusPassesToTheNextDriverEvenWithinOnePass) {
  testing::internal::CaptureStderr();
  phaseFour->advanceTo(100);
  phaseFour->tsbSignalTransition(2, kBus, HIZ, 7, 10);  // disabled buffer first
  phaseFour->tsbSignalTransition(3, kBus, ONE, 7, 10);  // becomes the owner
  EXPECT_EQ(drain(), "110H 111X 112O");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "TIME WARP  sigNr = 5 sigName = w[5]\n already sked to become XXX at time = 111, which was queued at "
            "time = 100\n  Now scheduling to become ONE at time = 110.  Now Queueing-time = 100\n");

  // Ownership survives a reset of the run.
  testing::internal::CaptureStdout();
  phaseFour->runInitialize();
  phaseFour->tsbSignalTransition(3, kBus, ONE, 7, 10);
  EXPECT_EQ(drain(), "7X 10O");
  phaseFour->advanceTo(50);
  phaseFour->tsbSignalTransition(3, kBus, ZERO, 7, 10);
  phaseFour->tsbSignalTransition(0, kBus, ONE, 7, 10);
  EXPECT_EQ(drain(), "57X 60Z");
  std::cout.flush();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Another Tsb at aa is trying to drive it to ONE, this is not allowed\n");
}

TEST_F(Transitions, RunTimeSignalSupport) {
  EXPECT_EQ(complement(ZERO), ONE);
  EXPECT_EQ(complement(ONE), ZERO);
  EXPECT_EQ(complement(UNINITIALIZED), XXX);
  EXPECT_EQ(complement(XXX), UNINITIALIZED);
  EXPECT_EQ(complement(HIZ), HIZ);

  int wires[kSignals];
  for (int i = 0; i < kSignals; ++i) wires[i] = i;
  const SignalValue pattern[5] = {UNINITIALIZED, ZERO, ONE, XXX, HIZ};
  for (int s = 0; s < 34; ++s) setCurrent(s, ZERO);
  setCurrent(0, ONE);
  setCurrent(2, ONE);
  EXPECT_EQ(integerFromSignals(3, wires), 5);
  EXPECT_EQ(integerFromSignals(0, wires), 0);
  // Beyond 32 bits a wire must still be a definite level but adds nothing.
  setCurrent(32, ONE);
  EXPECT_EQ(integerFromSignals(34, wires), 5);
  setCurrent(33, HIZ);
  EXPECT_EQ(integerFromSignals(34, wires), -1);

  // Two bits per wire: UNINITIALIZED 0, ZERO 1, ONE 2, XXX 3, and HIZ stored as 0.
  for (int s = 0; s < 17; ++s) setCurrent(s, pattern[s % 5]);
  uint32_t words[3] = {~0u, ~0u, ~0u};
  packSignals(17, wires, words);
  EXPECT_EQ(words[0], 0x0E4390E4u);
  EXPECT_EQ(words[1], 1u);
  EXPECT_EQ(words[2], ~0u) << "a word the wires do not occupy was touched";
  SignalValue back[17];
  unpackSignals(17, words, back);
  for (int s = 0; s < 17; ++s) EXPECT_EQ(back[s], pattern[s % 5] == HIZ ? UNINITIALIZED : pattern[s % 5]) << s;
}
