// Running code that may end the process (simulations, fatal diagnostics) in a child process,
// with its standard output and standard error captured.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct RunResult {
  int status = -1;  // exit status, or 128 + signal number when the child was killed
  std::string out;
  std::string err;
};

// Runs body in a forked child; the child exits 0 when body returns.
RunResult runInChild(const std::function<void()>& body);

// Sim(args, build) in a child that ends, as main does, with the run's final exit status; args
// excludes the program name ("tavrin" is used).
RunResult runSimulation(void (*build)(), const std::vector<std::string>& args);

// simulate(args, build) in this process, standard output and standard error captured; args
// excludes the program name. The run must not end the process.
RunResult runInProcess(void (*build)(), const std::vector<std::string>& args);

// Runs an executable with the given arguments (argv[0] = program), optionally with a timeout.
RunResult runProcess(const std::vector<std::string>& argv, int timeoutSeconds = 60);

// The start-up banner main writes on standard output.
std::string bannerText();
