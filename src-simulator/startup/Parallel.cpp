#include "startup/Parallel.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "construction/ComponentKind.h"
#include "kernel/Ph4.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"
#include "startup/Sim.h"
#include "startup/cmdLine.h"
#include "startup/getopt.h"

namespace {

// A job's command line as the mutable argument vector main would receive.
struct Arguments {
  explicit Arguments(const std::vector<std::string>& args) : words(args) {
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
  }
  int count() const { return static_cast<int>(words.size()); }
  char** vector() { return pointers.data(); }
  std::vector<std::string> words;
  std::vector<char*> pointers;
};

// Reads a job's command line as Sim would, into a simulation that is then dropped: an error
// there ends the process (with the job's messages). Tells whether the job runs without the window.
bool checkCommandLine(const SimulationJob& job) {
  Arguments arguments(job.args);
  CapturedStreams capture;
  Simulation simulation;
  tavrin::resetGetopt();
  resetSettings();
  commandLine(arguments.count(), arguments.vector());
  const bool headless = useXDisplay == 0;
  teardown();
  resetSettings();
  return headless;
}

SimulationResult run(const SimulationJob& job) {
  Arguments arguments(job.args);
  CapturedStreams capture;
  if (!capture.good()) return {1, "", "simulateEach: standard streams cannot be captured\n"};
  const int status = simulate(arguments.count(), arguments.vector(), job.build);
  return {status, capture.output(), capture.error()};
}

}  // namespace

std::vector<SimulationResult> simulateEach(const std::vector<SimulationJob>& jobs, int threads) {
  std::vector<SimulationResult> results(jobs.size());
  if (jobs.empty()) return results;

  // The checks run on a thread of their own, so that the caller's settings stay as they were.
  std::vector<char> runnable(jobs.size(), 0);
  std::thread([&] {
    for (size_t k = 0; k < jobs.size(); ++k) runnable[k] = checkCommandLine(jobs[k]);
    releaseThreadEventStorage();
  }).join();
  for (size_t k = 0; k < jobs.size(); ++k) {
    if (runnable[k]) continue;
    const std::string program = jobs[k].args.empty() ? "tavrin" : jobs[k].args[0];
    results[k] = {2, "", program + ": simulateEach: a simulation on a thread runs without the window: give -X\n"};
  }

  const size_t pool = std::clamp<size_t>(static_cast<size_t>(std::max(threads, 1)), 1, jobs.size());
  std::atomic<size_t> next{0};
  freezeComponentKinds(true);
  std::vector<std::thread> workers;
  for (size_t t = 0; t < pool; ++t)
    workers.emplace_back([&] {
      for (size_t k = next++; k < jobs.size(); k = next++)
        if (runnable[k]) results[k] = run(jobs[k]);
      releaseThreadEventStorage();
    });
  for (std::thread& worker : workers) worker.join();
  freezeComponentKinds(false);
  return results;
}
