// Gate, Counter, Dff, Jkff, Register and BitAddressibleRegister: the edges of each state machine.
#include <gtest/gtest.h>

#include "msi_bench.h"
#include "tavrin.h"

namespace {

TEST(MsiRegister, LoadsOncePerRisingWriteThatFindsEnableOne) {
  RunResult r = bench::run(
      [] {
        // Armed while write is already high: the next evaluation with both high loads.
        Signal en1(1, "en1"), wr1(1, "wr1"), d1(4, "d1"), q1(4, "q1");
        bench::drive((en1, wr1), {{0, "11"}, {300, "10"}, {400, "11"}});
        bench::drive(d1, {{0, "1010"}, {100, "0110"}, {200, "0011"}, {350, "1111"}});
        Register(SD("aa"), en1, wr1, d1, q1);
        bench::trace(q1, "q1");
        // Write rises while disabled: enabling later with write still high loads nothing.
        Signal en2(1, "en2"), wr2(1, "wr2"), d2(4, "d2"), q2(4, "q2");
        bench::drive((en2, wr2), {{0, "00"}, {100, "01"}, {200, "11"}, {300, "10"}, {400, "11"}});
        bench::drive(d2, {{0, "1001"}, {250, "0101"}});
        Register(SD("ab"), en2, wr2, d2, q2);
        bench::trace(q2, "q2");
        Signal d3(1, "d3"), clk3(1, "clk3"), q3(1, "q3");
        bench::drive(d3, {{50, "1"}});
        bench::drive(clk3, {{300, "0"}});
        Dff(SD("ac"), (One, d3, clk3, Zero), q3);
        bench::trace(q3, "q3");
        // Another driver on the output: the change of D is evaluated, and reset asks again.
        Signal rst4(1, "rst4"), d4(1, "d4"), clk4(1, "clk4"), x4(1, "x4"), q4(1, "q4");
        bench::drive((rst4, clk4, d4), {{0, "100"}, {150, "101"}});
        bench::drive(x4, {{100, "0"}});
        Dff(SD("ad"), (Zero, d4, clk4, rst4), q4);
        Not(SD("ae"), x4, q4);
        bench::trace(q4, "q4");
      },
      500);
  EXPECT_EQ((std::vector<std::string>{"0:UUUU", "113:XXXX", "117:0110", "413:X11X", "417:1111"}),
            bench::traceOf(r.err, "q1"));
  EXPECT_EQ((std::vector<std::string>{"0:UUUU", "413:XXXX", "417:0101"}), bench::traceOf(r.err, "q2"));
}

TEST(MsiCounter, ClearsCountsOnFallingClockAndStopsOnACountInTransition) {
  RunResult r = bench::run(
      [] {
        // in = (clear, clock)
        Signal in(2, "in"), count(3, "count");
        bench::drive(in, {{0, "00"}, {50, "10"}, {100, "11"}, {150, "10"}, {200, "X1"}, {250, "X0"},
                          // a second count before the first has settled (period below 17)
                          {300, "11"}, {305, "10"}, {310, "11"}, {320, "10"},
                          {400, "11"}, {450, "10"},  // ignored: needs a clear first
                          {500, "00"}, {550, "10"}, {600, "11"}, {650, "10"}});
        Counter(SD("aa"), in, count);
        bench::trace(count, "count");
        // Never cleared: never counts.
        Signal in2(2, "in2"), count2(2, "count2");
        bench::drive(in2, {{0, "10"}, {100, "11"}, {150, "10"}});
        Counter(SD("ab"), in2, count2);
        bench::trace(count2, "count2");
        // All ones wrap to all zeros.
        Signal in3(2, "in3"), count3(2, "count3");
        bench::drive(in3, {{0, "00"}, {50, "10"}, {100, "11"}, {150, "10"}, {200, "11"}, {250, "10"},
                           {300, "11"}, {350, "10"}, {400, "11"}, {450, "10"}});
        Counter(SD("ac"), in3, count3);
        bench::trace(count3, "count3");
      },
      700);
  // Counts at the falling edge; a clear at XXX is inactive; the early second count is refused
  // and nothing counts again until a clear.
  EXPECT_EQ("000 000 001 010 011 011 000 001",
            bench::valuesAt(r.err, "count", {99, 160, 170, 299, 399, 499, 599, 700}));
  EXPECT_EQ("Counter clocked when the count is in transition\n", bench::messages(r.err));
  EXPECT_EQ((std::vector<std::string>{"0:UU"}), bench::traceOf(r.err, "count2"));
  EXPECT_EQ("11 00", bench::valuesAt(r.err, "count3", {399, 499}));
}

TEST(MsiDff, CapturesOnRisingClockWithAsynchronousSetAndReset) {
  RunResult r = bench::run(
      [] {
        // in = (set, data, clock, reset)
        Signal in(4, "in"), q(1, "q");
        bench::drive(in, {{0, "0100"}, {100, "0110"}, {200, "0000"}, {300, "0010"}, {400, "1010"},
                          {500, "0011"}, {600, "1111"}, {650, "1001"}, {700, "00Z0"}, {800, "0Z10"},
                          {900, "0Z00"}, {920, "0Z10"}, {950, "0X00"},
                          {970, "0X10"}});
        Dff(SD("aa"), in, q);
        bench::trace(q, "q");
      },
      1000);
  // XXX from state 0, captures, ignored data change, capture, set, reset, both high hold,
  // HIZ clock is no edge, HIZ and XXX data captured unchanged.
  EXPECT_EQ("X 1 1 0 1 0 0 0 Z X",
            bench::valuesAt(r.err, "q", {99, 199, 299, 399, 499, 599, 699, 899, 949, 1000}));
}

// The run does not evaluate a Dff for a change of D alone or an XXX on its clock alone (it could
// change nothing), except where that evaluation is the first to see set and reset: both constant.
TEST(MsiDff, DAndAnXxxClockActOnlyWhereTheyBringTheFirstLookAtSetAndReset) {
  RunResult r = bench::run(
      [] {
        Signal clk(1, "clk"), q(1, "q");
        bench::drive(clk, {{50, "X"}, {100, "0"}});
        Dff(SD("aa"), (One, Zero, clk, Zero), q);
        bench::trace(q, "q");
        Signal clk2(1, "clk2"), rst(1, "rst"), q2(1, "q2");
        bench::drive(rst, {{0, "1"}, {30, "0"}});
        bench::drive(clk2, {{0, "0"}, {200, "X"}, {210, "1"}, {300, "X"}, {310, "0"}, {400, "X"}, {410, "1"}});
        Dff(SD("ab"), (Zero, One, clk2, rst), q2);
        bench::trace(q2, "q2");
        Signal d3(1, "d3"), clk3(1, "clk3"), q3(1, "q3");
        bench::drive(d3, {{50, "1"}});
        bench::drive(clk3, {{300, "0"}});
        Dff(SD("ac"), (One, d3, clk3, Zero), q3);
        bench::trace(q3, "q3");
        // Another driver on the output: the change of D is evaluated, and reset asks again.
        Signal rst4(1, "rst4"), d4(1, "d4"), clk4(1, "clk4"), x4(1, "x4"), q4(1, "q4");
        bench::drive((rst4, clk4, d4), {{0, "100"}, {150, "101"}});
        bench::drive(x4, {{100, "0"}});
        Dff(SD("ad"), (Zero, d4, clk4, rst4), q4);
        Not(SD("ae"), x4, q4);
        bench::trace(q4, "q4");
      },
      500);
  EXPECT_EQ((std::vector<std::string>{"0:U", "13:X", "67:1"}), bench::traceOf(r.err, "q"));
  EXPECT_EQ((std::vector<std::string>{"0:U", "13:X", "17:0", "223:X", "227:1"}), bench::traceOf(r.err, "q2"));
  EXPECT_EQ((std::vector<std::string>{"0:U", "13:X", "67:1"}), bench::traceOf(r.err, "q3"));
  EXPECT_EQ((std::vector<std::string>{"0:U", "13:X", "17:0", "107:X", "110:1", "163:X", "167:0"}), bench::traceOf(r.err, "q4"));
}

TEST(MsiJkff, MasterSlaveOutputsChangeOnTheFallingEdge) {
  RunResult r = bench::run(
      [] {
        // in = (set, J, clock, K, reset); outputs (Q, not Q)
        Signal in(5, "in"), out(2, "out");
        bench::drive(in, {{0, "00001"}, {50, "00000"}, {100, "01100"},
                          {120, "00110"},  // J, K change while the clock is high: not sampled
                          {150, "00010"}, {200, "01110"}, {250, "01010"}, {300, "00100"}, {350, "00000"},
                          {400, "00110"}, {450, "00010"}, {500, "10000"}, {600, "1XX0X"}});
        Jkff(SD("aa"), in, out);
        bench::trace(out, "jk");
        // Toggle while Q is still in transition: both outputs go XXX at the falling edge.
        Signal in2(5, "in2"), out2(2, "out2");
        bench::drive(in2, {{0, "01000"}, {100, "01100"}, {150, "01000"}, {160, "01110"}, {200, "01010"}});
        Jkff(SD("ab"), in2, out2);
        bench::trace(out2, "jk2");
      },
      700);
  // reset; J sampled at the rise, output at the fall despite J, K changing while high; toggle;
  // hold; K; asynchronous set; set with reset XXX does nothing.
  EXPECT_EQ("XX 01 01 10 01 01 01 01 10 10",
            bench::valuesAt(r.err, "jk", {14, 99, 149, 199, 299, 399, 449, 499, 599, 700}));
  EXPECT_EQ((std::vector<std::string>{"0:UU", "13:XX", "167:10", "213:1X", "217:XX"}), bench::traceOf(r.err, "jk2"));
}

TEST(MsiGate, OutputFollowsTheClockOnlyIfEnableWasOneAtTheRise) {
  RunResult r = bench::run(
      [] {
        // in = (enable, clock)
        Signal in(2, "in"), out(1, "out");
        bench::drive(in, {{0, "10"}, {100, "11"}, {150, "01"}, {200, "00"}, {300, "01"}, {350, "11"},
                          {400, "10"}, {500, "11"}, {600, "X0"}});
        Gate(SD("aa"), in, out);
        bench::trace(out, "gated");
        // Enable never definite: the output is left UNINITIALIZED.
        Signal in2(2, "in2"), out2(1, "out2");
        bench::drive(in2, {{0, "X0"}, {100, "X1"}});
        Gate(SD("ab"), in2, out2);
        bench::trace(out2, "gated2");
      },
      700);
  EXPECT_EQ((std::vector<std::string>{"0:U", "13:X", "17:0", "113:X", "117:1", "213:X", "217:0", "513:X",
                                      "517:1", "613:X", "617:0"}),
            bench::traceOf(r.err, "gated"));
  EXPECT_EQ((std::vector<std::string>{"0:U"}), bench::traceOf(r.err, "gated2"));
}

TEST(MsiBitAddressibleRegister, ClearSetWriteAndReadBack) {
  RunResult r = bench::run(
      [] {
        Signal clear(1, "clear"), set(1, "set"), enable(1, "enable"), write(1, "write"), bitIn(1, "bitIn");
        Signal wa(2, "wa"), ra(2, "ra"), bitOut(1, "bitOut"), reg(4, "reg");
        // bits from the most significant: ra, wa, bitIn, write, enable, set, clear
        bench::drive((ra, (wa, (bitIn, (write, (enable, (set, clear)))))),
                     {{0, "000000001"}, {100, "000000000"}, {200, "101011100"}, {300, "101010100"},
                      {400, "011010100"}, {500, "0X1010100"}, {600, "0X1111100"}, {700, "001110100"},
                      {750, "001110110"}, {800, "001110100"}, {850, "001101000"}, {900, "001101001"}});
        BitAddressibleRegister(SD("aa"), clear, set, enable, write, bitIn, wa, ra, bitOut, reg);
        bench::trace(reg, "reg");
        bench::trace(bitOut, "bitOut");
      },
      1000);
  // state 0 XXX, clear, write bit 2 (read there gives bit in), read 1, read XXX, write bit 3
  // (still XXX), set, write with enable ZERO stores nothing, clear while write is high.
  EXPECT_EQ("XXXX 0000 0100 0100 0100 0100 1100 1100 1111 1111 0000",
            bench::valuesAt(r.err, "reg", {14, 99, 299, 399, 499, 599, 699, 749, 799, 899, 1000}));
  EXPECT_EQ("X 0 1 1 0 X X 0 1 1 0",
            bench::valuesAt(r.err, "bitOut", {14, 99, 299, 399, 499, 599, 699, 749, 799, 899, 1000}));
}

void badSequential() {
  Signal one(1, "one"), two(2, "two"), three(3, "three"), four(4, "four"), five(5, "five");
  Gate(SD("ca"), three, one);
  Gate(SD("cb"), two, one);  // fine
  Dff(SD("cc"), four, two);
  Jkff(SD("cd"), five, one);
  Register(SD("ce"), one, one, four, three);
  Register(SD("cf", "Acc"), two, one, four, four);
  BitAddressibleRegister(SD("cg"), one, one, two, one, one, two, two, one, four);
  BitAddressibleRegister(SD("ch", "Flags"), one, one, one, one, one, two, three, two, five);
  Counter(SD("ci"), one, five);  // no check
}

TEST(MsiConstruction, SequentialLengthErrorsAreCountedWithExactTexts) {
  RunResult r = runSimulation(badSequential, {"-X", "-E"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "I/O length error--Gate() at ca in.length = 3 out.length = 1 should be 2 & 1.\n"
      "I/O length error--Dff() at cc in.length = 4 out.length = 2 should be 4 & 1.\n"
      "I/O length error--Jkff() at cd in.length = 5 out.length = 1 should be 5 & 2.\n"
      "I/O lengths mismatch for Register Register at ce dataIn.length = 4 write.length = 1 enable.length = 1 "
      "out.length = 3\n"
      "I/O lengths mismatch for Register Acc at cf dataIn.length = 4 write.length = 1 enable.length = 2 "
      "out.length = 4\n"
      "Signal length error for AddressibleRegister BitAddrReg at cg clear, set, enable, write, bitIn or bitOut "
      "more than a single bit.\n"
      "Signal length error for AddressibleRegister Flags at ch clear, set, enable, write, bitIn or bitOut more "
      "than a single bit.\n"
      "Signal length error for AddressibleRegister Flags at ch Read/Write Address or Output lengths do not "
      "agree.\n"
      "8 Fatal Diagnostic(s)--Can't Continue.\n",
      r.err);
}

// A counter clocked by a Clock, its bits gated into a register by a Dff-delayed strobe.
void sequentialCircuit() {
  Signal clk(1, "clk"), clear(1, "clear"), count(2, "count"), latch(1, "latch"), held(2, "held");
  Clock(SD("aa"), clk, 50, 0, 100, Zero);
  PowerOn(SD("ab"), clear, 30, Zero);
  Counter(SD("ac"), (clear, clk), count);
  Dff(SD("ad"), (Zero, count[1], clk, Zero), latch);
  Register(SD("ae"), One, latch, count, held);
  Probe(SD("af"), held, "held");
}

TEST(MsiCircuit, CounterDffAndRegisterProbedOverFourClockPeriods) {
  RunResult r = runSimulation(sequentialCircuit, {"-X", "-T", "450"});
  EXPECT_EQ(0, r.status);
  // The clock settles low at 10 and rises at 19, 137, 255, 373; the counter, cleared at 10 and
  // released at 39, counts at the falls 196 and 314 (count[1] is ONE from 331). The Dff first
  // captures count[1] while still UNINITIALIZED (XXX to UNINITIALIZED schedules HIZ), then ONE
  // at 373 (390), which strobes the register: held = 10 at 407.
  std::string at0 = "Time = 0  Probe for held at af  Value = UNINITIALIZED\n";
  EXPECT_EQ("There are 7 components.\nThere are 9 signals.\n" + at0 + at0 + at0 + at0 +
                "Time = 403  Probe for held at af  Value = XXX\n"
                "Time = 403  Probe for held at af  Value = XXX\n"
                "Time = 407  Probe for held at af  Value = ONE\n"
                "Time = 407  Probe for held at af  Value = ZERO\n",
            r.err);
}

}  // namespace
