// The run loop, driven through the whole phase sequence without a display (-X), on small
// circuits made of test components registered directly.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "construction/addStCmp.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

const char* levelName(SignalValue v) {
  static const char* const names[5] = {"ZERO", "UNINITIALIZED", "XXX", "HIZ", "ONE"};
  return (v >= ZERO && v <= ONE) ? names[v] : "?";
}

SignalValue in(int cind, int i) { return phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[i]]; }
int out(int cind, int i) { return phaseTwo->core[cind].outputs()[i]; }

// Prints its data inputs whenever it is evaluated.
void watch(int cind) {
  std::cerr << "t=" << phaseFour->now() << " c" << cind << ":";
  for (int i = 0; i < phaseTwo->core[cind].numberOfDataInputs; ++i) std::cerr << " " << levelName(in(cind, i));
  std::cerr << "\n";
}

void registerComponent(ComponentFunction evaluate, ComponentFunction hook, const SD& sd, const Signal& dataIn,
                       const Signal& controlIn, const Signal& outputs, int selfActivating = 0,
                       ComponentFunction draw = nullptr, int overloadable = 0) {
  // A kind each: every circuit is built in a process of its own.
  const ComponentKind kind = defineComponentKind({.name = "Test",
                                                  .logicEvaluate = evaluate,
                                                  .drawDynamic = draw,
                                                  .xEventTriggered = hook,
                                                  .outputOverloadable = overloadable,
                                                  .selfActivating = selfActivating});
  addComponent(kind, sd, {.data = dataIn, .control = controlIn, .outputs = outputs});
}

// Two edges: a becomes XXX at 90 and ONE at 100, b XXX at 95 and ONE at 105.
void twoEdges(int cind) {
  phaseFour->signalTransition(out(cind, 0), ONE, 90, 100);
  phaseFour->signalTransition(out(cind, 1), ONE, 95, 105);
}
void twoEdgesCircuit() {
  Signal a(1, "a"), b(1, "b");
  registerComponent(nullptr, twoEdges, SD("aa"), Signal(), Signal(), (b, a));
  registerComponent(watch, nullptr, SD("ab"), (b, a), Signal(), Signal());
}

}  // namespace

TEST(RunLoop, StopTimeAndTheEndOfActivity) {
  const std::string upTo100 =
      "There are 2 components.\nThere are 4 signals.\n"
      "t=0 c1: UNINITIALIZED UNINITIALIZED\nt=90 c1: XXX UNINITIALIZED\nt=95 c1: XXX XXX\nt=100 c1: ONE XXX\n";
  // The events at 105 are applied, but nothing is evaluated past the stop time.
  RunResult r = runSimulation(twoEdgesCircuit, {"-X", "-T", "100"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, upTo100);
  // No stop time: without a window the run ends once nothing is left to happen.
  r = runSimulation(twoEdgesCircuit, {"-X", "-T", "0"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, upTo100 + "t=105 c1: ONE ONE\n");
}

namespace {

void sayHook(int cind) { std::cerr << "hook c" << cind << " t=" << phaseFour->now() << "\n"; }
void sayEval(int cind) {
  std::cerr << "eval c" << cind << " t=" << phaseFour->now() << " showTime=" << displayTimeFlag << "\n";
}
void hookAndEval() { registerComponent(sayEval, sayHook, SD("aa"), Signal(), Signal(), Signal()); }

}  // namespace

TEST(RunLoop, StartUpKeyStringsApplyBeforeTheFirstPass) {
  // F1 asks for a restart, served in the first pass after the initial reset; F6 shows the time.
  RunResult r = runSimulation(hookAndEval, {"-X", "-F", "16"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "There are 1 components.\nThere are 2 signals.\n"
            "hook c0 t=0\nhook c0 t=0\neval c0 t=0 showTime=1\n");

  // F10 in the string is overridden when the run starts.
  r = runSimulation(hookAndEval, {"-X", "-F", ":"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 1 components.\nThere are 2 signals.\nhook c0 t=0\neval c0 t=0 showTime=0\n");

  // Slow motion (-K 0) only waits.
  r = runSimulation(twoEdgesCircuit, {"-X", "-K", "0", "-T", "95"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "There are 2 components.\nThere are 4 signals.\n"
            "t=0 c1: UNINITIALIZED UNINITIALIZED\nt=90 c1: XXX UNINITIALIZED\nt=95 c1: XXX XXX\n");
}

namespace {

// Events queued directly: a becomes ONE at 10, is set to ONE again at 20 (no change), and
// an unread wire changes at 20.
void directEvents(int cind) {
  PhaseFour& four = *phaseFour;
  four.recordEventQueueInput(Event(10, signalChange, out(cind, 0), ONE));
  four.recordEventQueueInput(Event(20, signalChange, out(cind, 0), ONE));
  four.recordEventQueueInput(Event(20, signalChange, out(cind, 1), ZERO));
  four.recordEventQueueInput(Event(30, signalChange, out(cind, 0), ONE));
}
void directEventsCircuit() {
  Signal a(1, "a"), unread(1, "unread");
  registerComponent(nullptr, directEvents, SD("aa"), Signal(), Signal(), (unread, a));
  registerComponent(watch, nullptr, SD("ab"), a, Signal(), Signal());
}

}  // namespace

TEST(RunLoop, EventsThatChangeNothingActivateNothing) {
  RunResult r = runSimulation(directEventsCircuit, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 2 components.\nThere are 4 signals.\nt=0 c1: UNINITIALIZED\nt=10 c1: ONE\n");
}

namespace {

void sayEvalOnly(int cind) { std::cerr << "eval c" << cind << "\n"; }
void sayDraw(int cind) { std::cerr << "draw c" << cind << "\n"; }
// Levels 1 and 2, each once plain and once as an overloadable module box.
void levelsCircuit() {
  SD top("aa"), box("ab");
  registerComponent(sayEvalOnly, nullptr, top, Signal(), Signal(), Signal(), 0, sayDraw, 0);
  registerComponent(sayEvalOnly, nullptr, SD(box, "aa"), Signal(), Signal(), Signal(), 0, sayDraw, 0);
  registerComponent(sayEvalOnly, nullptr, SD("ac"), Signal(), Signal(), Signal(), 0, sayDraw, 1);
  registerComponent(sayEvalOnly, nullptr, SD(box, "ab"), Signal(), Signal(), Signal(), 0, sayDraw, 1);
}

}  // namespace

TEST(RunLoop, EvaluatesInComponentOrderAndDrawsByLevel) {
  // The initial drawing of the panes comes first; the passes start at the first evaluation.
  auto passes = [](const std::string& err) { return err.substr(std::min(err.find("eval"), err.size())); };
  RunResult r = runSimulation(levelsCircuit, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(passes(r.err), "eval c0\ndraw c0\neval c1\neval c2\ndraw c2\neval c3\n");
  r = runSimulation(levelsCircuit, {"-X", "-F", "D"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(passes(r.err), "eval c0\ndraw c0\neval c1\ndraw c1\neval c2\neval c3\ndraw c3\n");
}

namespace {

// Halts the run and asks for a restart while something is still queued.
void haltAndRestart(int cind) {
  std::cerr << "eval t=" << phaseFour->now() << "\n";
  haltFlag = 1;
  reStart = 1;
  phaseFour->signalTransition(out(cind, 0), ONE, 7, 10);
}
void haltCircuit() {
  Signal a(1, "a");
  registerComponent(haltAndRestart, sayHook, SD("aa"), a, Signal(), a);
}

}  // namespace

TEST(RunLoop, HaltWithoutAWindowEndsTheRun) {
  // Nothing could lift the halt: the restart is not served and time does not advance.
  RunResult r = runSimulation(haltCircuit, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 1 components.\nThere are 3 signals.\nhook c0 t=0\neval t=0\n");
  r = runSimulation(hookAndEval, {"-X", "-K", "3"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 1 components.\nThere are 2 signals.\nhook c0 t=0\n");
}

namespace {

void slowDown(int) { stallLevel = 31; }
void slowCircuit() { registerComponent(slowDown, nullptr, SD("aa"), Signal(), Signal(), Signal()); }

}  // namespace

TEST(RunLoop, HighStallLevelsStillWait) {
  // 2^31 would overflow the count of waits; the run must wait (here: for good), not race on.
  pid_t pid = fork();
  if (pid == 0) {
    freopen("/dev/null", "w", stderr);
    char arg0[] = "tavrin", arg1[] = "-X";
    char* argv[] = {arg0, arg1, nullptr};
    Sim(2, argv, slowCircuit);
    _exit(0);
  }
  ASSERT_GT(pid, 0);
  usleep(500000);
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the run ended instead of waiting";
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

namespace {

// A key-less source that settles its output to ONE, and a two-input AND of sorts.
void settleHigh(int cind) { phaseFour->altSignalTransition(out(cind, 0), ONE, 0); }
void andGate(int cind) {
  SignalValue result = ONE;
  for (int i = 0; i < phaseTwo->core[cind].numberOfDataInputs; ++i) {
    SignalValue v = in(cind, i);
    if (v == ZERO) result = ZERO;
    else if (v != ONE && result == ONE) result = XXX;
  }
  phaseFour->signalTransition(out(cind, 0), result, 7, 10);
}
void smallCircuit() {
  Signal s(1, "s"), floating(1, "floating"), enable(1, "enable"), y(1, "y");
  registerComponent(nullptr, settleHigh, SD("aa"), Signal(), Signal(), s, 1);
  registerComponent(andGate, nullptr, SD("ab", "And"), (One, floating, s), enable, y);
  registerComponent(watch, nullptr, SD("ac"), (y, s), Zero, Signal());
}

}  // namespace

TEST(RunLoop, SmallCircuitThroughEveryPhase) {
  RunResult r = runSimulation(smallCircuit, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "There are 3 components.\nThere are 6 signals.\n"
            "Warning -- signal[3] floating[0] has no driver, cmp = 1 And at ab has unconnected DATA input, "
            "position = 1\n"
            "Warning -- signal[4] has no driver, cmp = 1 And at ab has unconnected CONTROL input, position = 0\n"
            "There are 2 inputUnconnectedWarnings\n"
            "t=0 c2: UNINITIALIZED UNINITIALIZED\n"
            "t=4 c2: XXX UNINITIALIZED\n"
            "t=7 c2: XXX XXX\n"
            "t=9 c2: ONE XXX\n");
}

// More components than one word of the activation set's summary covers (64 x 64): a chain of
// inverters, each activated in turn, the last probed.
TEST(RunLoop, CircuitBeyondTheFirstSummaryWord) {
  RunResult r = runSimulation(
      [] {
        constexpr int length = 4500;
        Signal a(1, "a"), chain(length, "chain");
        Switch(SD("aa"), a, 'a', Zero);
        Not(SD("ab"), a, chain[0]);
        for (int k = 1; k < length; ++k) Not(SD("ab"), chain[k - 1], chain[k]);
        Probe(SD("ac"), chain[length - 1], "end");
      },
      {"-X", "-k", "a"});
  EXPECT_EQ(r.status, 0) << r.err.substr(0, 500);
  // Uninitialised, then ZERO once the reset has run through (an even number of inverters after
  // the first), then ONE after the press.
  const std::string last = r.err.substr(r.err.rfind("Time = "));
  EXPECT_NE(last.find("Probe for end at ac  Value = ONE"), std::string::npos) << last;
  EXPECT_NE(r.err.find("Value = ZERO"), std::string::npos);
}

// One wire feeding components in several words of the activation set, and one whose components
// share a word: each change evaluates every one of them once, in ascending order.
TEST(RunLoop, WideAndNarrowFanOut) {
  constexpr int watchers = 140;  // components 1..140 on a: three words
  RunResult r = runSimulation(
      [] {
        Signal a(1, "a"), b(1, "b");
        registerComponent(nullptr, twoEdges, SD("aa"), Signal(), Signal(), (b, a));
        for (int k = 0; k < watchers; ++k) registerComponent(sayEvalOnly, nullptr, SD("ab"), a, Signal(), Signal());
        registerComponent(sayEvalOnly, nullptr, SD("ac"), b, Signal(), Signal());
        registerComponent(sayEvalOnly, nullptr, SD("ad"), b, Signal(), Signal());
      },
      {"-X"});
  EXPECT_EQ(r.status, 0);
  std::string all, onA, onB = "eval c141\neval c142\n";
  for (int k = 1; k <= watchers; ++k) onA += "eval c" + std::to_string(k) + "\n";
  all = onA + onB;
  // The reset's pass, then a at 90 and 100, b at 95 and 105.
  EXPECT_EQ(r.err.substr(r.err.find("eval")), all + onA + onB + onA + onB);
}
