// Standard error buffered during the run: std::cerr and the C stream in one order, and what is
// pending written out however the process ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "process/ErrorOutput.h"
#include "support/Harness.h"

namespace {

void writeBothStreams() {
  bufferStandardError();
  std::cerr << "cerr 1" << std::endl;
  std::fprintf(stderr, "C %d\n", 2);
  std::cerr << "cerr " << 3 << '\n';
  std::fputc('4', stderr);
  std::fputs("\n", stderr);
  endOfPassStandardError();
  writeStandardError({"parts ", "5", "\n"});
}

TEST(ErrorOutput, BothStreamsKeepTheirOrderHoweverTheProcessEnds) {
  const std::string text = "cerr 1\nC 2\ncerr 3\n4\nparts 5\n";
  struct Case {
    const char* name;
    void (*end)();
    int status;
  };
  const std::vector<Case> cases = {
      {"run end", [] { unbufferStandardError(); }, 0},
      {"exit in a pass", [] { std::exit(3); }, 3},
      {"termination signal", [] { raise(SIGTERM); }, 128 + SIGTERM},
      {"interrupt", [] { raise(SIGINT); }, 128 + SIGINT},
      // Standard error is a pipe apart from standard output here: held over passes.
      {"crash", [] { raise(SIGSEGV); }, 128 + SIGSEGV},
  };
  for (const Case& c : cases) {
#ifdef __SANITIZE_ADDRESS__
    // The address sanitizer owns SIGSEGV (its report instead of the default action), and the
    // run leaves a signal that is not at its default action alone.
    if (c.status == 128 + SIGSEGV) continue;
#endif
    RunResult r = runInChild([&c] {
      writeBothStreams();
      c.end();
    });
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, text) << c.name;
  }
}

TEST(ErrorOutput, StreamsAreHandedBackAtTheRunEnd) {
  RunResult r = runInChild([] {
    std::FILE* const before = stderr;
    writeBothStreams();
    unbufferStandardError();
    if (stderr != before) std::_Exit(2);
    std::fprintf(stderr, "after\n");
    std::cerr << "again\n";
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "cerr 1\nC 2\ncerr 3\n4\nparts 5\nafter\nagain\n");
}

}  // namespace
