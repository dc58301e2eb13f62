#include "support/Harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "startup/Sim.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

int makeTempFile(std::string& path) {
  char name[] = "/tmp/tavrin-test-XXXXXX";
  int fd = mkstemp(name);
  path = name;
  return fd;
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

RunResult collect(pid_t pid, int outFd, int errFd, const std::string& outPath, const std::string& errPath,
                  int timeoutSeconds) {
  int waitStatus = 0;
  if (timeoutSeconds > 0) {
    for (int waited = 0;; ++waited) {
      pid_t r = waitpid(pid, &waitStatus, WNOHANG);
      if (r == pid) break;
      if (waited >= timeoutSeconds * 100) {
        kill(pid, SIGKILL);
        waitpid(pid, &waitStatus, 0);
        break;
      }
      usleep(10000);
    }
  } else {
    waitpid(pid, &waitStatus, 0);
  }
  RunResult result;
  result.status = statusOf(waitStatus);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  close(outFd);
  close(errFd);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return result;
}

}  // namespace

RunResult runInChild(const std::function<void()>& body) {
  std::string outPath, errPath;
  int outFd = makeTempFile(outPath);
  int errFd = makeTempFile(errPath);
  std::cout.flush();
  std::cerr.flush();
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    body();
    std::cout.flush();
    std::cerr.flush();
    fflush(nullptr);
    _exit(0);
  }
  return collect(pid, outFd, errFd, outPath, errPath, 120);
}

RunResult runSimulation(void (*build)(), const std::vector<std::string>& args) {
  return runInChild([&] {
    std::vector<std::string> words{"tavrin"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    Sim(static_cast<int>(words.size()), argv.data(), build);
    // As main ends: with the status the run raised (failed checks, lost output).
    std::cout.flush();
    std::fflush(nullptr);
    _exit(finalExitStatus());
  });
}

RunResult runInProcess(void (*build)(), const std::vector<std::string>& args) {
  std::vector<std::string> words{"tavrin"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::string outPath, errPath;
  const int outFd = makeTempFile(outPath), errFd = makeTempFile(errPath);
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  const int savedOut = dup(1), savedErr = dup(2);
  dup2(outFd, 1);
  dup2(errFd, 2);
  RunResult result;
  result.status = simulate(static_cast<int>(words.size()), argv.data(), build);
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  dup2(savedOut, 1);
  dup2(savedErr, 2);
  close(savedOut);
  close(savedErr);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  close(outFd);
  close(errFd);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return result;
}

RunResult runProcess(const std::vector<std::string>& args, int timeoutSeconds) {
  std::string outPath, errPath;
  int outFd = makeTempFile(outPath);
  int errFd = makeTempFile(errPath);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    std::vector<char*> argv;
    for (const std::string& word : args) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return collect(pid, outFd, errFd, outPath, errPath, timeoutSeconds);
}

std::string bannerText() {
  auto box = [](int colour) { return "\x1b[30;48;5;" + std::to_string(colour) + "m   \x1b[0m"; };
  return "F1 Reset Simulation to Time Zero (restart)\n"
         "F2 Toggle Interconnecting Lines Drawing\n"
         "F3 Toggle Component Labels Drawing\n"
         "F4 Toggle Connection Tabs Drawing\n"
         "F5 Toggle Interconnecting Lines Labeling (show signal names !)\n"
         "F6 Toggle Time, QueueLength, Slowness Display\n"
         "F7 Toggle Interconnecting Lines for Mux'es Only\n"
         "F8 Toggle SuperProbe Display\n"
         "F9 Toggle Windowing Mode\n"
         "F10 Exit\n"
         "\n"
         "Control-a:  give the least detail (with macros)\n"
         "Control-n:  give a little less detail (with macros)\n"
         "Control-m:  give a little more detail (with macros)\n"
         "Control-z:  give the most detail (with macros)\n"
         "Control-l:  re-paint\n"
         "\n" +
         box(151) + " <-- ZERO signal\t\t" + box(208) + " <-- XXX signal    \n" + box(28) +
         " <-- ONE signal\t\t" + box(222) + " <-- HIZ signal    \n" + "\t\t\t\t" + box(231) +
         " <-- UNINITIALIZED signal    \n\n";
}
