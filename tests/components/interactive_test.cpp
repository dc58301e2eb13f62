// Interactive, timing and observation components: registration records, switch keys, probe
// layouts, construction and first-draw errors, and their run-time behaviour seen through probes.
#include <gtest/gtest.h>

#include "components/gates_support.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/RunTime.h"
#include "tavrin.h"

using namespace ssitest;

namespace {

// Layout of a position: each component's label, spaces as "_".
std::string slots() {
  std::string text;
  for (ComponentNode* c = PhaseOne::instance().componentList.start; c != nullptr; c = c->ptr)
    text += std::string(text.empty() ? "" : " ") + (c->kind == ComponentKind::Space ? "_" : c->decal);
  return text;
}

TEST(InteractiveConstruction, RecordsOfEveryComponent) {
  RunResult r = buildAndDescribe([] {
    Signal clk(1, "clk"), pw(2, "pw"), pul(1, "pul"), ck(1, "ck"), in(3, "in"), o(2, "o");
    Switch(SD("aa"), clk, 'c', One);
    PowerOn(SD("ab"), pw, 25, Zero);
    Pulser(SD("ac"), pul, 'p', 12, One);
    Clock((SD("ad"), "clock1"), ck, 20, 5, 50, Zero);
    Stop(SD("ae"), in);
    Module(SD("af"), in, o);
    Module(SD(SD("ag"), "ab"), "ALU", in, o);
    Space(SD("ah"));
    ProbeByte(SD("ai"), in);
    ProbeByteH(SD("aj"), in, "lbl");
    Probe(SD("ak"), o);
    Probe(SD("al"), clk);
    Probe(SD("am"), o[1], "named");
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c:clk|-|switchPane|toggleSwitch|rectIcon|01|1@aa|||clk[0]|1\n"
            "PowerOn|powerOn|switchPane|-|rectIcon|01|1@ab|||pw[0] pw[1]|25 0\n"
            "p|-|switchPane|togglePulser|rectIcon|01|1@ac|||pul[0]|12 1\n"
            "clock1|clock|switchPane|-|rectIcon|01|1@ad|||ck[0]|20 5 50 0\n"
            "Stop|stop|-|-|rectIcon|00|1@ae|in[0] in[1] in[2]|||\n"
            "Module|-|-|-|rectIcon|10|1@af|in[0] in[1] in[2]||o[0] o[1]|\n"
            "ALU|-|-|-|rectIcon|10|2@ag.ab|in[0] in[1] in[2]||o[0] o[1]|\n"
            "|-|-|-|spaceIcon|00|1@ah||||\n"
            "in|-|probebyte|-|circleIcon|00|1@ai|in[0] in[1] in[2]|||\n"
            "lbl|-|probebyteh|-|circleIcon|00|1@aj|in[0] in[1] in[2]|||\n"
            "o[1]|-|probe|-|circleIcon|00|1@ak|o[1]|||\n"
            "o[0]|-|probe|-|circleIcon|00|1@ak|o[0]|||\n"
            "clk|-|probe|-|circleIcon|00|1@al|clk[0]|||\n"
            "named|-|probe|-|circleIcon|00|1@am|o[1]|||\n");
}

TEST(InteractiveConstruction, SwitchKeysRunFromTheMostSignificantBit) {
  RunResult r = runInChild([] {
    Signal s(4, "s"), t(2, "t"), p(1, "p");
    Switch(SD("aa"), s, '0', Zero, "rst");
    Switch(SD("ab"), t, 'a', One);
    Pulser(SD("ac"), p, 'z', 5, Zero);
    std::fputs(describeComponents().c_str(), stdout);
    for (SwitchNode* n = PhaseOne::instance().switchList.start; n != nullptr; n = n->ptr)
      std::printf("key %c comp %d wire %d\n", n->keyChar, n->componentNumber, n->signalSerialNumber - s.serialNumber[0]);
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "0:rst|-|switchPane|toggleSwitch|rectIcon|01|1@aa|||s[3]|0\n"
            "0:rst|-|switchPane|toggleSwitch|rectIcon|01|1@aa|||s[2]|0\n"
            "0:rst|-|switchPane|toggleSwitch|rectIcon|01|1@aa|||s[1]|0\n"
            "0:rst|-|switchPane|toggleSwitch|rectIcon|01|1@aa|||s[0]|0\n"
            "a:t[0]|-|switchPane|toggleSwitch|rectIcon|01|1@ab|||t[1]|1\n"
            "a:t[0]|-|switchPane|toggleSwitch|rectIcon|01|1@ab|||t[0]|1\n"
            "z|-|switchPane|togglePulser|rectIcon|01|1@ac|||p[0]|5 0\n"
            "key 0 comp 0 wire 3\n"
            "key 1 comp 1 wire 2\n"
            "key 2 comp 2 wire 1\n"
            "key 3 comp 3 wire 0\n"
            "key a comp 4 wire 5\n"
            "key b comp 5 wire 4\n"
            "key z comp 6 wire 6\n");
}

// The key text names bit 0 of the output when there is no label, so a switch without wires
// needs a label; with one it registers nothing.
TEST(InteractiveConstruction, SwitchWithoutWires) {
  RunResult labelled = runInChild([] {
    Switch(SD("aa"), Signal(0, "w"), 'a', One, "rst");
    std::printf("%d components, %d switches\n", PhaseOne::instance().componentList.numberOfComponents,
                PhaseOne::instance().switchList.numberOfSwitches);
  });
  EXPECT_EQ(labelled.status, 0) << labelled.err;
  EXPECT_EQ(labelled.out, "0 components, 0 switches\n");

  RunResult unlabelled = runInChild([] {
    Switch(SD("aa"), Signal(0, "w"), 'a', One);
    std::fputs("registered\n", stdout);
  });
  EXPECT_EQ(unlabelled.status, 1);
  EXPECT_EQ(unlabelled.err, "Signal :: operator[] subscript out of range--\n  -- Signal = w sub = 0\n");
  EXPECT_EQ(unlabelled.out, "");
}

TEST(InteractiveConstruction, ProbePartitionsAndRows) {
  struct Case {
    std::function<void()> build;
    const char* layout;
  };
  static const int four[] = {4};
  static const int zero[] = {0};
  static const int twoThenThree[] = {2, 3};
  const std::vector<Case> cases = {
      {[] { Probe(SD("aa"), Signal(16, "x"), "", 1, four); },
       "x[15] x[14] x[13] x[12] _ x[11] x[10] x[9] x[8] _ x[7] x[6] x[5] x[4] _ x[3] x[2] x[1] x[0]"},
      {[] { Probe(SD("aa"), Signal(3, "x"), "", 1, zero); }, "_ x[2] x[1] x[0]"},
      {[] { Probe(SD("aa"), Signal(8, "x"), "v", 2, twoThenThree); }, "v v _ v v v _ v v v"},
      {[] { Probe(SD("aa"), Signal(4, "x"), "", -1, nullptr); }, "x[3] x[2] x[1] x[0]"},
  };
  for (const Case& c : cases) {
    RunResult r = runInChild([&] {
      c.build();
      std::fputs(slots().c_str(), stdout);
    });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.layout);
  }

  RunResult row = buildAndDescribe([] {
    ProbeH(SD(SD("aa"), "bb"), Signal(3, "h"));
    ProbeH(SD("cc"), Signal(2, "g"), "L");
    ProbeH(SD("dd"), Signal(1, "f"), "solo");
  });
  ASSERT_EQ(row.status, 0) << row.err;
  EXPECT_EQ(row.out,
            "h[0]|-|probe|-|circleIcon|00|2@aa.bb.1z|h[0]|||\n"
            "h[1]|-|probe|-|circleIcon|00|2@aa.bb.1y|h[1]|||\n"
            "h[2]|-|probe|-|circleIcon|00|2@aa.bb.1x|h[2]|||\n"
            "L[0]|-|probe|-|circleIcon|00|1@cc.1z|g[0]|||\n"
            "L[1]|-|probe|-|circleIcon|00|1@cc.1y|g[1]|||\n"
            "solo|-|probe|-|circleIcon|00|1@dd.1z|f[0]|||\n");

}

TEST(InteractiveConstruction, PartitionedProbeWithoutSizesIsFatal) {
  RunResult r = runInChild([] { Probe(SD("pp.ab"), Signal(5, "x"), "", 2, nullptr); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "ERROR--Partitioned Probe at pp.ab with no partitionSize list, in.length = 5 -- can't continue.\n");
}

TEST(InteractiveRun, ByteProbesCheckTheirWidthOnFirstDraw) {
  for (int width : {7, 9}) {
    RunResult r = runCircuit(
        [width] {
          Signal b(width, "b");
          ProbeByte(SD("ab"), Signal(8, "fine"));
          ProbeByteH(SD("bx"), b);
        },
        {"-X", "-T", "100"});
    EXPECT_EQ(r.status, 1);
    std::string message = "ERROR -- Probe8 at bx length error: cannot has more than 8 inputs ,you have " +
                          std::to_string(width) + " inputs \n";
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  RunResult fine = runCircuit(
      [] {
        ProbeByte(SD("ab"), Signal(8, "b"));
        ProbeByteH(SD("ac"), Signal(8, "c"));
        stopAt(10);
      },
      {"-X", "-T", "100"});
  EXPECT_EQ(fine.status, 0) << fine.err;
  EXPECT_EQ(probeLines(fine.err), "");
}

TEST(InteractiveRun, ClockWaitsForItsRestingLevelThenCycles) {
  RunResult r = runCircuit(
      [] {
        Signal ck(1, "ck");
        Clock(SD("aa"), ck, 20, 5, 50, Zero);
        Probe(SD("ab"), ck);
      },
      {"-X", "-T", "100"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Edges: rise offset (+4/+9) after first reaching off, on for duration, off for period - duration.
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for ck at ab  Value = UNINITIALIZED\n"
            "Time = 0  Probe for ck at ab  Value = UNINITIALIZED\n"
            "Time = 7  Probe for ck at ab  Value = XXX\n"
            "Time = 10  Probe for ck at ab  Value = ZERO\n"
            "Time = 19  Probe for ck at ab  Value = XXX\n"
            "Time = 24  Probe for ck at ab  Value = ONE\n"
            "Time = 48  Probe for ck at ab  Value = XXX\n"
            "Time = 53  Probe for ck at ab  Value = ZERO\n"
            "Time = 87  Probe for ck at ab  Value = XXX\n"
            "Time = 92  Probe for ck at ab  Value = ONE\n");
}

// A test-only component that presses the key of component `target` (integer parameter 0)
// when its input becomes ONE, as the keyboard handler would.
void pressWhenOne(int cind) {
  if (phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[0]] != ONE) return;
  int target = phaseTwo->core[cind].integerParameters()[0];
  phaseTwo->kindOf(target).xEventTriggered(target);
}

// Presses the key of component `target` at time t (a power-on edge lands at t).
void pressAt(int target, int t) {
  Signal* edge = new Signal(1, "edge");
  PowerOn(SD("zy"), *edge, t - 9, Zero);
  static const ComponentKind press = defineComponentKind({.name = "press", .logicEvaluate = pressWhenOne});
  const int parameters[1] = {target};
  addComponent(press, SD("zy"), {.data = *edge}, {.integers = parameters});
}

TEST(InteractiveRun, SwitchRestsAtInitAndEachPressFlipsIt) {
  RunResult r = runCircuit(
      [] {
        Signal s(1, "s");
        int sw = PhaseOne::instance().componentList.numberOfComponents;
        Switch(SD("aa"), s, 'q', One, "sw");
        Probe(SD("ab"), s);
        pressAt(sw, 30);
        pressAt(sw, 60);
        stopAt(100);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for s at ab  Value = UNINITIALIZED\n"
            "Time = 0  Probe for s at ab  Value = UNINITIALIZED\n"
            "Time = 7  Probe for s at ab  Value = XXX\n"
            "Time = 10  Probe for s at ab  Value = ONE\n"
            "Time = 37  Probe for s at ab  Value = XXX\n"
            "Time = 40  Probe for s at ab  Value = ZERO\n"
            "Time = 67  Probe for s at ab  Value = XXX\n"
            "Time = 70  Probe for s at ab  Value = ONE\n");
}

TEST(InteractiveRun, PulserPressedTwiceWithinOnePulse) {
  RunResult r = runCircuit(
      [] {
        Signal p(1, "p");
        int pulser = PhaseOne::instance().componentList.numberOfComponents;
        Pulser(SD("aa"), p, 'p', 20, Zero);
        Probe(SD("ab"), p);
        pressAt(pulser, 30);
        pressAt(pulser, 35);
        stopAt(100);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The second pulse's edges are queued behind the first pulse's end (59).
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for p at ab  Value = UNINITIALIZED\n"
            "Time = 0  Probe for p at ab  Value = UNINITIALIZED\n"
            "Time = 7  Probe for p at ab  Value = XXX\n"
            "Time = 10  Probe for p at ab  Value = ZERO\n"
            "Time = 37  Probe for p at ab  Value = XXX\n"
            "Time = 40  Probe for p at ab  Value = ONE\n"
            "Time = 54  Probe for p at ab  Value = XXX\n"
            "Time = 59  Probe for p at ab  Value = ZERO\n"
            "Time = 60  Probe for p at ab  Value = XXX\n"
            "Time = 61  Probe for p at ab  Value = ONE\n"
            "Time = 62  Probe for p at ab  Value = XXX\n"
            "Time = 64  Probe for p at ab  Value = ZERO\n");
  EXPECT_NE(r.err.find("TIME WARP"), std::string::npos);
}

bool restarted = false;
void restartOnce(int cind) {
  if (restarted || phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[0]] != ONE) return;
  restarted = true;
  reStart = 1;
}

TEST(InteractiveRun, PowerOnPulsesOncePerRun) {
  RunResult r = runCircuit(
      [] {
        Signal q(1, "q"), edge(1, "edge");
        PowerOn(SD("aa"), q, 10, Zero);
        Probe(SD("ab"), q);
        PowerOn(SD("zy"), edge, 41, Zero);
        addComponent(defineComponentKind({.name = "restart", .logicEvaluate = restartOnce}), SD("zy"), {.data = edge});
        stopAt(100);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string run = "Time = 0  Probe for q at ab  Value = UNINITIALIZED\n"
                          "Time = 7  Probe for q at ab  Value = XXX\n"
                          "Time = 10  Probe for q at ab  Value = ZERO\n"
                          "Time = 14  Probe for q at ab  Value = XXX\n"
                          "Time = 19  Probe for q at ab  Value = ONE\n";
  // The first drawing adds one line at time 0; the restart at 50 repeats the run from time 0.
  EXPECT_EQ(probeLines(r.err), "Time = 0  Probe for q at ab  Value = UNINITIALIZED\n" + run + run);
}

TEST(InteractiveRun, StopEndsTheRunOnlyOnOne) {
  RunResult undefinedInput = runCircuit(
      [] {
        Signal ck(1, "ck");
        Clock(SD("aa"), ck, 10, 0, 20, Zero);
        Stop(SD("ab"), (Signal(1, XXX, 1, "x"), Signal(1, HIZ, 1, "h")));
        Stop(SD("ab"), Signal(1, XXX, 1, "x"));
        Stop(SD("ab"), (One, Zero));  // only the first input bit counts
        Stop(SD("ab"), Signal(0, "none"));
        Probe(SD("ac"), ck);
      },
      {"-X", "-T", "60"});
  ASSERT_EQ(undefinedInput.status, 0) << undefinedInput.err;
  EXPECT_NE(undefinedInput.err.find("Time = 57  Probe for ck at ac  Value = ONE\n"), std::string::npos)
      << undefinedInput.err;

  RunResult stopped = runCircuit(
      [] {
        Signal ck(1, "ck");
        Clock(SD("aa"), ck, 10, 0, 20, Zero);
        Stop(SD("ab"), One);
        Probe(SD("ac"), ck);
      },
      {"-X", "-T", "1000"});
  ASSERT_EQ(stopped.status, 0) << stopped.err;
  EXPECT_EQ(probeLines(stopped.err),
            "Time = 0  Probe for ck at ac  Value = UNINITIALIZED\n"
            "Time = 0  Probe for ck at ac  Value = UNINITIALIZED\n");
}

TEST(InteractiveRun, HeadlessProbesPrintOnlyWhenVisible) {
  RunResult r = runCircuit(
      [] {
        Signal a(1, "a");
        Not(SD("aa"), One, a);
        Probe(SD(SD("ba"), "ab"), a, "deep");  // level 2: hidden at display level 1
        Probe(SD("bb", "top"), a, "ignored");
        stopAt(20);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for top at bb  Value = UNINITIALIZED\n"
            "Time = 0  Probe for top at bb  Value = UNINITIALIZED\n"
            "Time = 7  Probe for top at bb  Value = XXX\n"
            "Time = 10  Probe for top at bb  Value = ZERO\n");
}

}  // namespace
