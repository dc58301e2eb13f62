// Grading runs that always end and say what happened: inputs set by value, steps pressed until
// a condition holds, the settle guard, quiet output and the columns of the table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Harness.h"
#include "tavrin.h"

namespace {

bool plantedFault = false;  // the adder's bit-0 carry is an Or instead of an And

// S = A + B, C the carry out: a 4-bit ripple adder of gates. A on keys a..d, B on keys A..D.
void adder() {
  Signal a(4, "A"), b(4, "B"), s(4, "S"), c(5, "c"), x(4, "x"), g(4, "g"), p(4, "p"), co(1, "C");
  Switch(SD("aa"), a, 'a', Zero);
  Switch(SD("ba"), b, 'A', Zero);
  Not(SD("ab"), One, c[0]);
  for (int i = 0; i < 4; ++i) {
    Xor(SD("ac"), (a[i], b[i]), x[i]);
    Xor(SD("ad"), (x[i], c[i]), s[i]);
    if (i == 0 && plantedFault)
      Or(SD("ae"), (a[i], b[i]), g[i]);
    else
      And(SD("ae"), (a[i], b[i]), g[i]);
    And(SD("af"), (x[i], c[i]), p[i]);
    Or(SD("ag"), (g[i], p[i]), c[i + 1]);
  }
  Signal nc(1, "nc");
  Not(SD("ah"), c[4], nc);
  Not(SD("aj"), nc, co);
  Probe(SD("ai"), (co, s));
}

// Count: a 4-bit counter, cleared while r is ONE, counting on each rising edge of key c.
void counter() {
  Signal rst(1, "rst"), clk(1, "clk"), count(4, "Count"), d(4, "D"), carry(4, "carry");
  Switch(SD("aa"), rst, 'r', One);
  Switch(SD("ba"), clk, 'c', Zero);
  Not(SD("ab"), Zero, carry[0]);
  for (int i = 1; i < 4; ++i) And(SD("bb"), (carry[i - 1], count[i - 1]), carry[i]);
  for (int i = 0; i < 4; ++i) Xor(SD("ac"), (count[i], carry[i]), d[i]);
  for (int i = 0; i < 4; ++i) Dff(SD("ad"), (Zero, d[i], clk, rst), count[i]);
  Probe(SD("ae"), count);
}

// y oscillates once en is ONE (key e).
void oscillator() {
  Signal en(1, "en"), y(1, "y");
  Switch(SD("aa"), en, 'e', Zero);
  Nand(SD("ab"), (en, y), y);
  Probe(SD("ac"), y, "y");
}

std::string writeTemporary(const std::string& text) {
  char name[] = "/tmp/tavrin-grading-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  std::ofstream(name) << text;
  return name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The vectors run quietly without a window; @ in the expected text stands for the file's name.
struct Graded {
  RunResult result;
  std::string file;
  std::string expand(const std::string& text) const {
    std::string out;
    for (char c : text) out += c == '@' ? file : std::string(1, c);
    return out;
  }
};

Graded grade(void (*circuit)(), const std::string& vectors, std::vector<std::string> options = {}) {
  Graded g;
  g.file = writeTemporary(vectors);
  std::vector<std::string> args = {"-X", "-Q", "-v", g.file};
  args.insert(args.end(), options.begin(), options.end());
  g.result = runSimulation(circuit, args);
  std::remove(g.file.c_str());
  return g;
}

std::string exhaustiveAdderVectors() {
  std::string text = "# every pair of 4-bit operands\n";
  for (int a = 0; a < 16; ++a)
    for (int b = 0; b < 16; ++b)
      text += "A:=" + std::to_string(a) + " B:=" + std::to_string(b) + "  S=" + std::to_string((a + b) & 15) +
              " C=" + std::to_string((a + b) >> 4) + "\n";
  return text;
}

}  // namespace

TEST(InputsByValue, ExhaustiveAdderPassesAndAPlantedFaultFailsAtItsLine) {
  plantedFault = false;
  Graded good = grade(adder, exhaustiveAdderVectors());
  EXPECT_EQ(good.result.status, 0) << good.result.out;
  EXPECT_EQ(good.result.out, "512 passed, 0 failed\n");
  EXPECT_EQ(good.result.err, "");  // quiet: no counts, no probe lines
  plantedFault = true;
  Graded bad = grade(adder, exhaustiveAdderVectors());
  plantedFault = false;
  EXPECT_EQ(bad.result.status, 1);
  // A=0 B=1 is on line 3: the Or carries where the And would not.
  EXPECT_EQ(bad.result.out.substr(0, bad.result.out.find('\n') + 1), bad.expand("@:3: S expected 1 got 3\n"));
}

TEST(InputsByValue, OnlyTheSwitchesThatDifferAreToggledInOneStep) {
  // The second setting changes nothing: its row comes at once, at the time of the row before.
  RunResult r = runSimulation(adder, {"-X", "-Q", "-k", "A:=5 B:=0b0011,A:=5,B:=0x0", "-s", "-", "-G", "A,B,S,C"});
  EXPECT_EQ(r.status, 0);
  std::istringstream rows(r.out);
  std::vector<std::string> lines;
  for (std::string line; std::getline(rows, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[0], "time step A B S C");
  EXPECT_EQ(lines[2].substr(lines[2].find(' ')), " 1 0x5 0x3 0x8 0");
  EXPECT_EQ(lines[3].substr(0, lines[3].find(' ')), lines[2].substr(0, lines[2].find(' ')));
  EXPECT_EQ(lines[4].substr(lines[4].find(' ')), " 3 0x5 0x0 0x5 0");
}

TEST(PressUntil, CountsPressesAndFailsAtTheLimit) {
  const std::string junit = writeTemporary("");
  Graded g = grade(counter,
                   "r\n"
                   "c until Count=5 within 20  Count[0]=1\n"
                   "c until Count=5 within 3\n"
                   "c until Count=0xF within 4\n",
                   {"-o", junit});
  EXPECT_EQ(g.result.status, 1);
  EXPECT_EQ(g.result.out, g.expand("@:2: Count=5 after 9 presses of 'c'\n"
                                   "@:3: Count=5 after 0 presses of 'c'\n"
                                   "@:4: Count expected 0xF got 0x7 after 4 presses of 'c' (the limit)\n"
                                   "3 passed, 1 failed\n"));
  const std::string report = readFile(junit);
  EXPECT_NE(report.find("name=\"line 2: Count=5\">\n    <system-out>9 presses</system-out>"), std::string::npos)
      << report;
  EXPECT_NE(report.find("<failure message=\"got 0x7 after 4 presses of 'c' (the limit)\"/>"),
            std::string::npos)
      << report;
  std::remove(junit.c_str());
}

TEST(SettleGuard, AnOscillationFailsAtItsLineAndEndsTheRun) {
  const std::string junit = writeTemporary("");
  for (bool quiet : {true, false}) {
    SCOPED_TRACE(quiet ? "quiet" : "probe lines");
    const std::string file = writeTemporary("   y=1\ne  y=1\n   en=1\n");
    std::vector<std::string> args = {"-X", "-v", file, "-o", junit};
    if (quiet) args.push_back("-Q");
    RunResult r = runSimulation(oscillator, args);
    std::remove(file.c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, file + ":2: the circuit has not settled 50000 time steps after this step; still changing: y=0\n" +
                         file + ":2: y expected 1 not reached\n" + file + ":3: en expected 1 not reached\n" +
                         "1 passed, 3 failed\n");
    EXPECT_LT(r.err.size(), quiet ? 1u : 1000000u);
    EXPECT_NE(readFile(junit).find("failures=\"3\""), std::string::npos);
  }
  std::remove(junit.c_str());
  // -L sets the bound, for -k runs too, and 0 turns the guard off (-T ends that run).
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"-X", "-Q", "-L", "200", "-k", "e"}, 1,
       "tavrin: -k: the circuit has not settled 200 time steps after step 1 ('e'); still changing: y=0\n"},
      {{"-X", "-Q", "-L", "0", "-T", "5000", "-k", "e"}, 0, ""},
      {{"-X", "-Q", "-L", "2x", "-k", "e"}, 1, "tavrin: -L: '2x' is not a number of time steps\n"},
  };
  for (const auto& c : cases) {
    RunResult r = runSimulation(oscillator, c.args);
    EXPECT_EQ(r.status, c.status) << c.args[3];
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(StepTable, ColumnsByNameInTheOrderGiven) {
  RunResult r = runSimulation(counter, {"-X", "-Q", "-k", "r,c*3", "-s", "-", "-G", "Count[0],rst,Count"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "time step Count[0] rst Count");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);  // the header, the reset, r, three presses
  RunResult unknown = runSimulation(counter, {"-X", "-Q", "-k", "r", "-s", "-", "-G", "Count,Cnt"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "tavrin: -G: unknown signal 'Cnt'\n");
}
