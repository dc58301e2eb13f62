// Simulations at once on threads (simulateEach): each job gives on 1 thread and on 3 what a
// process of its own gives, and an error inside a job ends the process as the executable would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "startup/Parallel.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

// y = NAND of the two bits of a, a pair of switches, its probe on standard error.
void gates() {
  Signal a(2, "a"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Nand(SD("ab"), a, y);
  Probe(SD("ac"), y, "y");
}

// A circuit that defines a kind of its own while it is built: not allowed while jobs run.
void definesAKind() {
  defineComponentKind({.name = "Late"});
  gates();
}

std::string temporary(const std::string& text) {
  char name[] = "/tmp/tavrin-parallel-XXXXXX";
  const int fd = mkstemp(name);
  if (fd >= 0) close(fd);
  std::ofstream(name) << text;
  return name;
}

const std::string builtin = std::string(TAVRIN_SOURCE_DIR) + "/programs/builtin.vec";

}  // namespace

TEST(Parallel, JobsOnOneAndOnThreeThreadsGiveWhatSeparateProcessesGive) {
  const std::string failing = temporary("a:=0b11 y=1\n");
  // Each job, and the separate process it must equal: the executable for the processor (its key
  // help and legend before the run's own output without -Q), a child running Sim for the others.
  struct Case {
    void (*build)();
    std::vector<std::string> args;
    bool executable;
  };
  const std::vector<Case> cases = {
      {gates, {"-X", "-k", "a,a*3"}, false},
      {gates, {"-X", "-v", failing, "-k", "a", "-s", "-"}, false},
      {simnet, {"-X", "-Q", "-v", builtin}, true},
      {simnet, {"-X", "-T", "30000"}, true},
      {gates, {"-X", "-Q", "-v", failing}, false},
      {simnet, {"-X", "-Q", "-v", builtin, "-s", "-", "-G", "PC,Reg1"}, true},
  };
  std::vector<SimulationJob> jobs;
  std::vector<RunResult> alone;
  for (const Case& c : cases) {
    std::vector<std::string> args{"tavrin"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    jobs.push_back({args, c.build});
    if (c.executable) {
      args[0] = TAVRIN_EXE;
      alone.push_back(runProcess(args));
      if (alone.back().out.starts_with(bannerText())) alone.back().out.erase(0, bannerText().size());
    } else {
      alone.push_back(runSimulation(c.build, c.args));
    }
  }
  const std::vector<SimulationResult> one = simulateEach(jobs, 1);
  const std::vector<SimulationResult> three = simulateEach(jobs, 3);
  ASSERT_EQ(one.size(), jobs.size());
  ASSERT_EQ(three.size(), jobs.size());
  for (size_t k = 0; k < jobs.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(one[k].status, alone[k].status);
    EXPECT_EQ(one[k].out, alone[k].out);
    EXPECT_EQ(one[k].err, alone[k].err);
    EXPECT_EQ(three[k].status, one[k].status);
    EXPECT_EQ(three[k].out, one[k].out);
    EXPECT_EQ(three[k].err, one[k].err);
  }
  // The runs did something worth comparing: probe lines, a table, a failed check, a report.
  EXPECT_NE(one[0].err.find("Time = "), std::string::npos);
  EXPECT_NE(one[3].err.find("Time = "), std::string::npos);
  EXPECT_NE(one[2].out.find("14 passed, 0 failed"), std::string::npos);
  EXPECT_NE(one[5].out.find("PC"), std::string::npos);
  EXPECT_EQ(one[4].status, 1);
  std::remove(failing.c_str());
}

TEST(Parallel, AJobThatNeedsTheWindowIsNotRun) {
  const std::vector<SimulationResult> results = simulateEach({{{"tavrin", "-k", "a"}, gates}}, 2);
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].status, 2);
  EXPECT_EQ(results[0].err, "tavrin: simulateEach: a simulation on a thread runs without the window: give -X\n");
}

TEST(ParallelDeathTest, AnErrorEndsTheProcessWithTheJobsMessageAndStatus) {
  // In the command line, before the threads start; and inside a running job.
  EXPECT_EXIT(simulateEach({{{"tavrin", "-X", "-L", "x"}, gates}}, 2), testing::ExitedWithCode(1),
              "tavrin: -L: 'x' is not a number of time steps");
  EXPECT_EXIT(simulateEach({{{"tavrin", "-X"}, gates}, {{"tavrin", "-X", "-k", "a"}, definesAKind}}, 2),
              testing::ExitedWithCode(1), "ERROR -- component kind defined while simulations run on threads: Late");
}
