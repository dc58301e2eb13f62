// Simulations one after another in one process, without a fork: each gives what a process of its
// own gives, and the same circuit run twice gives the same output twice.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Harness.h"
#include "tavrin.h"

namespace {

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

// y = NAND of the two bits of a, a pair of switches.
void gates() {
  Signal a(2, "a"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Nand(SD("ab"), a, y);
  Probe(SD("ac"), y, "y");
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string temporary(const std::string& text) {
  char name[] = "/tmp/tavrin-simulations-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  std::ofstream(name) << text;
  return name;
}

}  // namespace

TEST(Simulations, OneAfterAnotherInOneProcessGiveWhatSeparateProcessesGive) {
  const std::string vectors = temporary("r Count=0\nc*3 Count=2\nc until Count=5 within 9\n");
  const std::string failing = temporary("a:=0b11 y=1\n");
  const std::string vcd = temporary("");
  struct Run {
    void (*circuit)();
    std::vector<std::string> args;
  };
  const Run runs[] = {
      {counter, {"-X", "-k", "r,c*5", "-s", "-", "-V", vcd}},
      {gates, {"-X", "-v", failing, "-k", "a"}},
      {gates, {"-X", "-Q", "-v", failing}},
      {counter, {"-X", "-Q", "-v", vectors, "-s", "-", "-G", "Count,rst"}},
      {counter, {"-X", "-k", "r,c*5", "-s", "-", "-V", vcd}},
  };
  // Each alone first, from this process as it started; then all of them in it, one after another.
  std::vector<RunResult> alone, inProcess;
  std::vector<std::string> aloneWaveforms, inProcessWaveforms;
  for (const Run& run : runs) {
    std::remove(vcd.c_str());
    alone.push_back(runSimulation(run.circuit, run.args));
    aloneWaveforms.push_back(readFile(vcd));
  }
  for (const Run& run : runs) {
    std::remove(vcd.c_str());
    inProcess.push_back(runInProcess(run.circuit, run.args));
    inProcessWaveforms.push_back(readFile(vcd));
  }
  for (size_t k = 0; k < alone.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(inProcess[k].status, alone[k].status);
    EXPECT_EQ(inProcess[k].out, alone[k].out);
    EXPECT_EQ(inProcess[k].err, alone[k].err);
    EXPECT_EQ(inProcessWaveforms[k], aloneWaveforms[k]);
  }
  // The first circuit again: the same output as the first time, not a continuation of it.
  EXPECT_EQ(inProcess.front().out, inProcess.back().out);
  EXPECT_EQ(inProcess.front().err, inProcess.back().err);
  EXPECT_NE(inProcess.front().out.find("time step Count\n"), std::string::npos);
  EXPECT_NE(inProcessWaveforms.front().find("$enddefinitions"), std::string::npos);
  EXPECT_EQ(inProcess[2].status, 1);
  for (const std::string& file : {vectors, failing, vcd}) std::remove(file.c_str());
}
