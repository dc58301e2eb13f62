// Test vectors (-v), their report (-o) and the table per step (-s) on a small circuit with
// buses that are driven, released (HIZ) and unknown (XXX), run through Sim.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "process/EndProcess.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

// d (4 bits, keys a to d for bits 3 to 0) drives y through tri-state buffers: y[1:0] enabled by
// e (key e), y[3:2] by f (key f); g = y[0] AND y[1] floats with them, h = NOT y[3] is XXX while
// y[3] floats; w is driven by nothing, v = NOT w. Only y is probed.
void buses() {
  Signal d(4, "d"), e(1, "e"), f(1, "f"), y(4, "y"), g(1, "g"), h(1, "h"), w(1, "w"), v(1, "v");
  Switch(SD("aa"), d, 'a', Zero);
  Switch(SD("ab"), e, 'e', Zero);
  Switch(SD("ac"), f, 'f', Zero);
  for (int i = 0; i < 4; ++i) Tsb(SD("ad"), d[i], i < 2 ? e : f, y[i]);
  And(SD("ae"), y[0], y[1], g);
  Not(SD("ag"), y[3], h);
  Not(SD("ah"), w, v);
  Probe(SD("af"), y, "y");
}

std::string writeTemporary(const std::string& text) {
  char name[] = "/tmp/tavrin-vectors-XXXXXX";
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

RunResult simulate(const std::vector<std::string>& args) { return runSimulation(buses, args); }

struct VectorRun {
  RunResult result;
  std::string file;
};

// The vectors written to a file, run with -X and the further options; @ in expected output
// stands for the file's name.
VectorRun runVectors(const std::string& vectors, std::vector<std::string> options = {}) {
  VectorRun run;
  run.file = writeTemporary(vectors);
  std::vector<std::string> args = {"-X", "-v", run.file};
  args.insert(args.end(), options.begin(), options.end());
  run.result = simulate(args);
  std::remove(run.file.c_str());
  return run;
}

std::string expand(const std::string& text, const std::string& file) {
  std::string out;
  for (char c : text) out += c == '@' ? file : std::string(1, c);
  return out;
}

}  // namespace

TEST(TestVectors, EveryValueFormPassesOnBusesAndBits) {
  const char* const vectors =
      "# point 0: every y bit floats\n"
      "   y=z y=0bzzzz d=0x0 d=0b0000 d=0 g=z h=x w=u e=0 y[3]=z  # after a comment: d=1\n"
      "\n"
      "e  y=0bzz00 y[1]=0 y[0]=0b0 e=1 e=0x1 g=0\n"
      "f  y=0x0 y=0 y=0b0000 y=0x00\n"
      "d  y=0x1 y=1 y=0b0001 y[0]=1 d[0]=0b1 g=0\n"
      "c  y=0x3 y=3 g=1\n"
      "a  y=0xB y=11 y[3]=1\n"
      "e  y=0b10zz g=z h=0 w=0bu\n";
  for (bool dump : {false, true}) {
    SCOPED_TRACE(dump ? "with -V" : "without -V");
    const std::string vcd = writeTemporary("");
    VectorRun run = runVectors(vectors, dump ? std::vector<std::string>{"-V", vcd} : std::vector<std::string>{});
    EXPECT_EQ(run.result.status, 0) << run.result.out << run.result.err;
    EXPECT_EQ(run.result.out, "36 passed, 0 failed\n");
    EXPECT_EQ(readFile(vcd).rfind("$version", 0) == 0, dump);
    std::remove(vcd.c_str());
  }
}

// Files written on other systems: words apart by tabs and other blanks, lines ending in CR LF,
// the last line without its newline.
TEST(TestVectors, AnyBlankSeparatesWordsAndCrLfEndsLines) {
  VectorRun run = runVectors("e\ty=0bzz00\t\ty[1]=0\r\nf \v y=0x0\fg=0 # e=1\r\nd y=1\r");
  EXPECT_EQ(run.result.status, 0) << run.result.out << run.result.err;
  EXPECT_EQ(run.result.out, "5 passed, 0 failed\n");
}

TEST(TestVectors, FailuresNameLineSignalExpectedAndActual) {
  const std::string junit = writeTemporary("");
  VectorRun run = runVectors(
      "  y=0x0 y=0 g=0 y[2]=1\n"
      "e y=0x1 y=z y=0b01xz e=0 y=u d=7\n"
      "  y[0]=0 y[1]=0 e=x\n"
      "f y=0b1111  # fails\n",
      {"-o", junit});
  EXPECT_EQ(run.result.status, 1);
  EXPECT_EQ(run.result.out, expand("@:1: y expected 0x0 got z\n"
                                   "@:1: y expected 0 got z\n"
                                   "@:1: g expected 0 got z\n"
                                   "@:1: y[2] expected 1 got z\n"
                                   "@:2: y expected 0x1 got 0bzz00\n"
                                   "@:2: y expected z got 0bzz00\n"
                                   "@:2: y expected 0b01xz got 0bzz00\n"
                                   "@:2: e expected 0 got 1\n"
                                   "@:2: y expected u got 0bzz00\n"
                                   "@:2: d expected 7 got 0\n"
                                   "@:3: e expected x got 1\n"
                                   "@:4: y expected 0b1111 got 0b0000\n"
                                   "2 passed, 12 failed\n",
                                   run.file));
  const std::string report = readFile(junit);
  EXPECT_NE(report.find("tests=\"14\" failures=\"12\""), std::string::npos) << report;
  EXPECT_NE(report.find("name=\"line 3: y[0]=0\"/>"), std::string::npos) << report;
  EXPECT_NE(report.find("name=\"line 4: y=0b1111\">\n    <failure message=\"got 0b0000\"/>"), std::string::npos)
      << report;
  std::remove(junit.c_str());
}

TEST(TestVectors, ExpectationsTheRunNeverReachesFail) {
  VectorRun run = runVectors("e y=0bzz00\nd@100000 y=0bzz11\n  d=0xF\n", {"-T", "1000"});
  EXPECT_EQ(run.result.status, 1);
  EXPECT_EQ(run.result.out, expand("@:2: y expected 0bzz11 not reached\n"
                                   "@:3: d expected 0xF not reached\n"
                                   "1 passed, 2 failed\n",
                                   run.file));
}

TEST(TestVectors, StepsOfKeyScriptAndEarlierFilesComeFirst) {
  const std::string first = writeTemporary("  y=0bzz00\nf y=0x0\n");
  const std::string second = writeTemporary("  y=0x0\nd y=0x1\n  y=0x2\n");
  RunResult r = simulate({"-X", "-k", "e", "-v", first, "-v", second});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, second + ":3: y expected 0x2 got 0x1\n4 passed, 1 failed\n");
  std::remove(first.c_str());
  std::remove(second.c_str());
}

TEST(TestVectors, MalformedFilesStopBeforeTheRun) {
  const struct {
    const char* vectors;
    const char* reason;
  } cases[] = {
      {"e*0 y=0\n", "1: malformed step 'e*0' (a step is key, key*count, key@time, @time or NAME:=VALUE)"},
      {"\n@ y=0\n", "2: malformed step '@' (a step is key, key*count, key@time, @time or NAME:=VALUE)"},
      {"ee\n", "1: malformed step 'ee' (a step is key, key*count, key@time, @time or NAME:=VALUE)"},
      {"e y\n", "1: malformed expectation 'y' (an expectation is NAME=VALUE)"},
      {"e y=0xG\n", "1: malformed expectation 'y=0xG': 'G' is not a hexadecimal digit"},
      {"=1\n", "1: malformed expectation '=1' (an expectation is NAME=VALUE)"},
      {"y=0b12\n", "1: malformed expectation 'y=0b12': '2' is not a bit (0 1 x z u)"},
      {"y=\n", "1: malformed expectation 'y=': no value after '='"},
      {"y=0x\n", "1: malformed expectation 'y=0x': no digits after '0x'"},
      {"y=1q\n", "1: malformed expectation 'y=1q': 'q' is not a decimal digit (a value is 0x..., 0b..., decimal, or x, z or u)"},
      {"y=99999999999999999999\n", "1: malformed expectation 'y=99999999999999999999': a decimal value beyond 64 bits (write it in hexadecimal)"},
      {"d:=x y=0\n", "1: malformed setting 'd:=x': switches are set to 0 or 1 in every bit"},
      {"y=0 d:=1\n", "1: setting 'd:=1' after the line's step or expectations (settings are the step)"},
      {"e until y=0\n", "1: malformed step: 'KEY until NAME=VALUE ... within N' presses KEY at most N times"},
      {"e until y=0 within 0\n", "1: malformed limit '0' after within (a number of presses from 1)"},
      {"e*2 until y=0 within 3\n", "1: malformed step 'e*2 until' (a key alone is pressed until)"},
      {"d:=0x10 y=0\n", "1: value '0x10' is wider than d (4 bits)"},
      {"y:=1 y=0\n", "1: 'y' is not the output of switches"},
      {"q:=1 y=0\n", "1: unknown signal 'q'"},
      {"\nq y=0\n", "2: no switch or pulser is bound to key 'q'"},
      {"y=0x10\n", "1: value '0x10' is wider than y (4 bits)"},
      {"y=0b10000\n", "1: value '0b10000' is wider than y (4 bits)"},
      {"e=2\n", "1: value '2' is wider than e (1 bit)"},
      {"# fine\ny=0\nq=1\n", "3: unknown signal 'q'"},
      {"y[4]=1\n", "1: unknown signal 'y[4]'"},
      // A name found good once is checked again with each later value.
      {"d:=1 y=0\nd:=0x10 y=0\n", "2: value '0x10' is wider than d (4 bits)"},
      {"e=1\ne=2\n", "2: value '2' is wider than e (1 bit)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vectors);
    VectorRun run = runVectors(c.vectors);
    EXPECT_EQ(run.result.status, 2);
    EXPECT_EQ(run.result.out, "");
    // Names and widths are known once the circuit is built, before it runs: no probe line.
    const std::string message = "tavrin: -v: " + run.file + ":" + c.reason + "\n";
    EXPECT_EQ(run.result.err.substr(run.result.err.find("tavrin: -v:")), message);
    EXPECT_EQ(run.result.err.find("Time ="), std::string::npos);
  }
  RunResult missing = simulate({"-X", "-v", "/nonexistent/t.vec"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "tavrin: -v: cannot open '/nonexistent/t.vec': No such file or directory\n");
}

TEST(StepTable, OneRowPerSettlePointOfTheProbedGroups) {
  const std::string table = writeTemporary("");
  RunResult r = simulate({"-X", "-k", "e,f,d,e", "-s", table});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readFile(table), "time step y\n20 0 zzzz\n50 1 zz00\n80 2 0x0\n100 3 0x1\n127 4 00zz\n");
  std::remove(table.c_str());
  RunResult out = simulate({"-X", "-k", "e", "-s", "-"});
  EXPECT_EQ(out.out, "time step y\n20 0 zzzz\n50 1 zz00\n");
}

TEST(StepTable, TableOrReportThatCannotBeWritten) {
  RunResult table = simulate({"-X", "-k", "e", "-s", "/nonexistent/t.txt"});
  EXPECT_EQ(table.status, 1);
  EXPECT_EQ(table.err.substr(table.err.find("tavrin: -s")),
            "tavrin: -s: cannot write '/nonexistent/t.txt': No such file or directory\n");
  EXPECT_EQ(table.err.find("Time ="), std::string::npos);
  VectorRun report = runVectors("e y=0bzz00\n", {"-o", "/nonexistent/r.xml"});
  EXPECT_EQ(report.result.status, 1);
  EXPECT_EQ(report.result.out, "1 passed, 0 failed\n");
  EXPECT_EQ(report.result.err.substr(report.result.err.find("tavrin: -o")),
            "tavrin: -o: cannot write '/nonexistent/r.xml': No such file or directory\n");
  // Created, but not written completely.
  table = simulate({"-X", "-k", "e", "-s", "/dev/full"});
  EXPECT_EQ(table.status, 1);
  EXPECT_EQ(table.err.substr(table.err.find("tavrin: -s")),
            "tavrin: -s: error writing '/dev/full': No space left on device\n");
  report = runVectors("e y=0bzz00\n", {"-o", "/dev/full"});
  EXPECT_EQ(report.result.status, 1);
  EXPECT_EQ(report.result.err.substr(report.result.err.find("tavrin: -o")),
            "tavrin: -o: error writing '/dev/full': No space left on device\n");
}
