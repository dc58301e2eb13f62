// Failures that must not be reported as success, and run-time flag values of 32 bits: output
// that cannot be written, a run ended by a signal, -u/-p values from 0x80000000 up.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <fstream>
#include <sstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "startup/Sim.h"
#include "startup/cmdLine.h"
#include "support/Harness.h"
#include "support/PrivateXServer.h"

namespace {

const std::string exe = TAVRIN_EXE;

RunResult shell(const std::string& command) { return runProcess({"/bin/sh", "-c", command}); }

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(FailureStatus, OutputThatCannotBeWrittenEndsWithStatusOne) {
  struct Case {
    const char* redirection;
    int status;
    const char* lastErrorLine;  // "" when standard error is not captured
  };
  const std::vector<Case> cases = {
      {"-V /dev/full >/dev/null", 1, "-V: error writing '/dev/full': No space left on device"},
      {">/dev/full", 1, "Time = 2638  Probe for DataBus[0] at bn.ae  Value = HIZ"},
      {"2>/dev/full >/dev/null", 1, ""},
      {"-E >/dev/full", 1, "There are 1306 signals."},
      {">/dev/null", 0, "Time = 2638  Probe for DataBus[0] at bn.ae  Value = HIZ"},
  };
  for (const Case& c : cases) {
    RunResult r = shell(exe + " -X -k 0,1*20 " + c.redirection);
    EXPECT_EQ(r.status, c.status) << c.redirection;
    std::string err = r.err;
    if (!err.empty() && err.back() == '\n') err.pop_back();
    const std::string last = err.substr(err.rfind('\n') + 1);
    if (*c.lastErrorLine == '\0')
      EXPECT_EQ(r.err, "") << c.redirection;
    else
      EXPECT_NE(last.find(c.lastErrorLine), std::string::npos) << c.redirection << ": " << last;
    EXPECT_EQ(err.find("error writing"), err.rfind("error writing")) << "one message only";
  }
}

// A regular file that cannot be written completely (here: past the file size limit) is removed,
// and the message comes when the write fails, not at the end of the run.
TEST(FailureStatus, AnIncompleteWaveformFileIsRemoved) {
  const std::string path = testing::TempDir() + "too-large.vcd";
  RunResult r = runProcess({"/bin/bash", "-c",
                            "trap '' XFSZ; ulimit -f 64; " + exe + " -X -k 0,1*2000 -V " + path +
                                " 2>&1 >/dev/null | tail -1; exit ${PIPESTATUS[0]}"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, exe + ": -V: error writing '" + path + "': File too large\n");
  EXPECT_NE(access(path.c_str(), F_OK), 0) << "the partial file is still there";
}

TEST(FailureStatus, AClosedPipeKeepsItsSignal) {
  RunResult r = runProcess({"/bin/bash", "-c", exe + " -X -k 0,1*20 2>&1 >/dev/null | head -1 >/dev/null; exit ${PIPESTATUS[0]}"});
  EXPECT_EQ(r.status, 128 + SIGPIPE);
}

// Starts exe with args and waits until path has grown past size (or about thirty seconds).
// Its standard error goes to errorPath.
pid_t startAndWaitForFile(const std::vector<std::string>& args, const std::string& path, off_t size,
                          const std::string& errorPath = "/dev/null") {
  unlink(path.c_str());
  const pid_t child = fork();
  if (child == 0) {
    if (freopen("/dev/null", "w", stdout) == nullptr || freopen(errorPath.c_str(), "w", stderr) == nullptr) _exit(126);
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  struct stat st {};
  for (int k = 0; k < 6000 && (stat(path.c_str(), &st) != 0 || st.st_size < size); ++k)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return child;
}

// A terminated headless run leaves a dump of whole lines that ends with a time line.
TEST(FailureStatus, TerminationLeavesTheWaveformWholeAndClosed) {
  for (int signalNumber : {SIGTERM, SIGINT}) {
    const std::string path = testing::TempDir() + "terminated-" + std::to_string(signalNumber) + ".vcd";
    const pid_t child = startAndWaitForFile({"-X", "-k", "0,1*200000", "-V", path}, path, 200000);
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before the signal";
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    const std::string dump = slurp(path);
    ASSERT_FALSE(dump.empty());
    EXPECT_EQ(dump.back(), '\n');
    const size_t lastLine = dump.rfind('\n', dump.size() - 2) + 1;
    // A time line, or a value line of the last time written: whole either way.
    const std::string last = dump.substr(lastLine, dump.size() - 1 - lastLine);
    EXPECT_TRUE(std::regex_match(last, std::regex("#[0-9]+|[01xz][!-~]+|b[01xz]+ [!-~]+"))) << last;
    unlink(path.c_str());
  }
}

// The X server killed under a running window: a defined status and a whole waveform.
TEST(FailureStatus, TheXServerGoingAwayEndsTheRunWithStatusOne) {
  if (!PrivateXServer::available()) GTEST_SKIP() << "no window or no Xvfb";
  PrivateXServer server;
  ASSERT_TRUE(server.start("640x480x24"));
  const std::string path = testing::TempDir() + "x-gone.vcd";
  setenv("DISPLAY", server.name().c_str(), 1);
  const std::string errors = testing::TempDir() + "x-gone.err";
  const pid_t child = startAndWaitForFile({"-k", "0,1*200000", "-V", path}, path, 100000, errors);
  unsetenv("DISPLAY");
  server.stop();
  int status = 0;
  waitpid(child, &status, 0);
  const std::string err = slurp(errors);
  // Whether the server went away during a read or a write (SIGPIPE) of the connection.
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status) << "\n" << err;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(err.find("\nLost the connection to the X server; the run ends.\n"), std::string::npos) << err;
  const std::string dump = slurp(path);
  ASSERT_FALSE(dump.empty());
  EXPECT_EQ(dump.back(), '\n');
  unlink(path.c_str());
  unlink(errors.c_str());
}

TEST(FailureStatus, RunTimeFlagValuesAre32BitPatterns) {
  const std::vector<std::pair<const char*, int>> read = {
      {"0xFFFFFFFF", -1}, {"0x80000000", INT_MIN}, {"4294967295", -1}, {"-1", -1}, {"0x7FFFFFFF", INT_MAX},
      {"-2147483648", INT_MIN}};
  for (const auto& [text, value] : read) {
    RunResult r = runInChild([text = text, value = value] {
      const char* argv[] = {"tavrin", "-u", "2", text, "-p", "3", text, nullptr};
      commandLine(7, const_cast<char**>(argv));
      std::_Exit(userRunTimeFlag[2] == value && profRunTimeFlag[3] == value ? 0 : 2);
    });
    EXPECT_EQ(r.status, 0) << text;
  }
  for (const char* text : {"0x100000000", "-2147483649", "99999999999999999999999"}) {
    RunResult r = runInChild([text] {
      const char* argv[] = {"tavrin", "-u", "0", text, nullptr};
      commandLine(4, const_cast<char**>(argv));
    });
    EXPECT_EQ(r.status, 1) << text;
    EXPECT_EQ(r.err, std::string("tavrin: -u value '") + text + "' does not fit in 32 bits\n");
  }
}

}  // namespace
