// The run loop with a window open, under a private Xvfb: a halt holds a pending restart until
// it is lifted, and a halted or idle run sleeps on the X connection instead of spinning.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "construction/addStCmp.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"
#include "support/PrivateXServer.h"

namespace {

std::string readFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// Forks; the child runs body with DISPLAY set and its standard error in errPath (or nowhere).
template <typename Body>
pid_t forkWith(const std::string& display, const std::string& errPath, Body body) {
  std::cout.flush();
  std::cerr.flush();
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    if (!freopen("/dev/null", "w", stdout) || !freopen(errPath.empty() ? "/dev/null" : errPath.c_str(), "w", stderr))
      _exit(126);
    body();
    _exit(0);
  }
  return pid;
}

int waitFor(pid_t pid, int seconds) {
  int status = 0;
  for (int i = 0; i < seconds * 20; ++i, usleep(50000))
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

int command(const std::string& display, std::vector<std::string> args) {
  return waitFor(forkWith(display, "", [&] {
                   std::vector<char*> argv;
                   for (std::string& a : args) argv.push_back(a.data());
                   argv.push_back(nullptr);
                   execvp(argv[0], argv.data());
                 }),
                 30);
}

class WindowRun : public ::testing::Test {
protected:
  void SetUp() override {
    if (!PrivateXServer::available(true)) GTEST_SKIP();
    ASSERT_TRUE(server.start()) << "no Xvfb could be started";
    display = server.name();
    char path[] = "/tmp/tavrin-window-XXXXXX";
    close(mkstemp(path));
    errPath = path;
  }
  void TearDown() override {
    server.stop();
    if (!errPath.empty()) unlink(errPath.c_str());
  }

  pid_t simulate(void (*build)(), std::vector<std::string> args) {
    args.insert(args.begin(), "tavrin");
    return forkWith(display, errPath, [&] {
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      Sim(static_cast<int>(args.size()), argv.data(), build);
    });
  }
  bool windowShown() { return command(display, {"xdotool", "search", "--sync", "--name", "Tavrin"}) == 0; }
  // Real key events (XTEST) into the window under the pointer.
  void press(const char* key) {
    command(display, {"xdotool", "search", "--sync", "--name", "Tavrin", "mousemove", "--window", "%1", "40", "40",
                      "key", key});
  }
  // CPU time the process spends over 0.8 s, in clock ticks.
  static long busyTicks(pid_t pid) {
    auto ticks = [pid] {
      std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
      std::istringstream fields(stat.substr(stat.rfind(')') + 2));
      std::string skip;
      long user = 0, system = 0;
      for (int i = 3; i < 14; ++i) fields >> skip;
      fields >> user >> system;
      return user + system;
    };
    long before = ticks();
    usleep(800000);
    return ticks() - before;
  }

  PrivateXServer server;
  std::string display, errPath;
};

void sayHook(int cind) { std::cerr << "hook c" << cind << " t=" << phaseFour->now() << std::endl; }
void evalAndEnd(int cind) {
  std::cerr << "eval c" << cind << " t=" << phaseFour->now() << std::endl;
  done = 1;
}
void restartCircuit() {
  addComponent(defineComponentKind({.name = "T", .logicEvaluate = evalAndEnd, .xEventTriggered = sayHook}), SD("aa"),
               {});
}
void quiet(int) {}
void idleCircuit() { addComponent(defineComponentKind({.name = "T", .logicEvaluate = quiet}), SD("aa"), {}); }

}  // namespace

TEST_F(WindowRun, HaltHoldsARestartUntilLifted) {
  pid_t run = simulate(restartCircuit, {"-F", "1", "-K", "3"});
  ASSERT_TRUE(windowShown());
  EXPECT_LT(busyTicks(run), 20) << "a halted run should sleep on the X connection";
  EXPECT_EQ(readFile(errPath), "There are 1 components.\nThere are 2 signals.\nhook c0 t=0\n");
  press("Down");
  EXPECT_EQ(waitFor(run, 20), 0);
  EXPECT_EQ(readFile(errPath),
            "There are 1 components.\nThere are 2 signals.\nhook c0 t=0\nhook c0 t=0\neval c0 t=0\n");
}

TEST_F(WindowRun, IdleRunSleepsUntilF10) {
  // With a window the stop time does not end an idle run.
  pid_t run = simulate(idleCircuit, {"-T", "5"});
  ASSERT_TRUE(windowShown());
  usleep(200000);
  EXPECT_LT(busyTicks(run), 20) << "an idle run should sleep on the X connection";
  EXPECT_EQ(waitpid(run, nullptr, WNOHANG), 0);
  press("F10");
  EXPECT_EQ(waitFor(run, 20), 0);
}
