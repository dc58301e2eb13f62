// A soak through the product's own run loop: tavrin -X -k 0,1*200000 (100,000 clock cycles of the
// processor) as a process, its peak memory against a short run's, and the probe lines of its last
// presses against those of a short run that ends at the same point of the program's loop.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct SoakRun {
  int status = -1;
  long peakKilobytes = 0;
  long lines = 0;
  std::vector<std::string> lastLines;  // without their "Time = t  " prefix
};

constexpr size_t linesCompared = 400;  // about ten presses

SoakRun runPresses(long presses) {
  SoakRun run;
  int errors[2];
  if (pipe(errors) != 0) return run;
  const std::string script = "0,1*" + std::to_string(presses);
  const pid_t child = fork();
  if (child == 0) {
    dup2(errors[1], 2);
    close(errors[0]);
    close(errors[1]);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    // A sanitizer build keeps freed memory in quarantine, which would grow the peak by itself.
    if (std::getenv("TAVRIN_SANITIZE") != nullptr) {
      const char* options = std::getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS", (std::string(options != nullptr ? options : "") + ":quarantine_size_mb=0").c_str(), 1);
    }
    execl(TAVRIN_EXE, TAVRIN_EXE, "-X", "-k", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(errors[1]);
  std::FILE* in = fdopen(errors[0], "r");
  // The lines go into a ring of reused strings: the reader allocates nothing per line, so its
  // own size (which a forked child's peak includes) stays the same from run to run.
  std::vector<std::string> ring(linesCompared);
  size_t next = 0;
  char* line = nullptr;
  size_t capacity = 0;
  ssize_t length;
  while ((length = getline(&line, &capacity, in)) > 0) {
    ++run.lines;
    const char* text = line;
    const char* probe = std::strstr(line, "  Probe for ");
    if (std::strncmp(line, "Time = ", 7) == 0 && probe != nullptr) text = probe + 2;
    ring[next].assign(text);
    next = (next + 1) % linesCompared;
  }
  if (run.lines >= static_cast<long>(linesCompared))
    for (size_t k = 0; k < linesCompared; ++k) run.lastLines.push_back(ring[(next + k) % linesCompared]);
  std::free(line);
  std::fclose(in);
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.peakKilobytes = usage.ru_maxrss;
  return run;
}

TEST(ProductLoopSoak, ALongScriptedRunKeepsItsMemoryAndEndsAsAShortOne) {
  // The processor's program repeats every 88 fetches: 176 presses of the clock key.
  constexpr long period = 176;
  const long presses = std::getenv("TAVRIN_SANITIZE") != nullptr ? 40000 : 200000;
  const long shortPresses = presses % period + period * (10000 / period);
  const SoakRun shortRun = runPresses(shortPresses);
  const SoakRun longRun = runPresses(presses);
  ASSERT_EQ(shortRun.status, 0);
  ASSERT_EQ(longRun.status, 0);
  EXPECT_GT(longRun.lines, shortRun.lines * (presses / shortPresses - 1)) << "the long run really ran";
  EXPECT_LE(longRun.peakKilobytes - shortRun.peakKilobytes, 1024)
      << "peak " << shortRun.peakKilobytes << " kB after " << shortPresses << " presses, " << longRun.peakKilobytes
      << " kB after " << presses;
  ASSERT_EQ(longRun.lastLines.size(), linesCompared);
  EXPECT_EQ(longRun.lastLines, shortRun.lastLines);
}

}  // namespace
