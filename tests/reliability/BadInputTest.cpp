// Bad input with no test of its own elsewhere: position strings that do not describe a cell,
// and a display whose colours are all taken.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "support/Harness.h"
#include "tavrin.h"

// Last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>

namespace {

const std::string counts = "There are 3 components.\nThere are 3 signals.\n";

TEST(BadInput, MalformedPositionStringsAreReportedAndTheRunGoesOn) {
  RunResult r = runSimulation(
      [] {
        Signal a(1, "a");
        Switch(SD(""), a, 'a', Zero);
        Probe(SD("aa..ab"), a, "p");
        Probe(SD("abcdefg.ab"), a, "q");
      },
      {"-X", "-T", "20"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            counts +
                "Screen_cell string has zero length.\n"
                "Length zero field in schematic cell designation: aa..ab\n"
                "Field longer than five characters in schematic cell designation: abcdefg.ab (cut to five)\n"
                "Time = 0  Probe for p at aa..ab  Value = UNINITIALIZED\n"
                "Time = 0  Probe for q at abcdefg.ab  Value = UNINITIALIZED\n"
                "Time = 0  Probe for p at aa..ab  Value = UNINITIALIZED\n"
                "Time = 0  Probe for q at abcdefg.ab  Value = UNINITIALIZED\n"
                "Time = 7  Probe for p at aa..ab  Value = XXX\n"
                "Time = 7  Probe for q at abcdefg.ab  Value = XXX\n"
                "Time = 10  Probe for p at aa..ab  Value = ZERO\n"
                "Time = 10  Probe for q at abcdefg.ab  Value = ZERO\n");
}

// An 8-bit PseudoColor server whose colour map another client has filled.
class FullColourMap : public ::testing::Test {
protected:
  void SetUp() override {
    if (system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "no Xvfb";
    std::srand(static_cast<unsigned>(getpid() ^ std::time(nullptr)));
    for (int attempt = 0; attempt < 10 && filler == nullptr; ++attempt) {
      const int number = 100 + std::rand() % 100;
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
      struct stat info;
      if (stat(socket.c_str(), &info) == 0) continue;
      display = ":" + std::to_string(number);
      server = fork();
      if (server == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "320x240x8", "-nolisten", "tcp", nullptr);
        _exit(127);
      }
      for (int i = 0; i < 100 && filler == nullptr; ++i) {
        usleep(50000);
        if (stat(socket.c_str(), &info) == 0) filler = XOpenDisplay(display.c_str());
      }
      if (filler == nullptr) stopServer();
    }
    ASSERT_NE(filler, nullptr) << "no Xvfb could be started";
    Colormap map = DefaultColormap(filler, DefaultScreen(filler));
    unsigned long pixel;
    while (XAllocColorCells(filler, map, False, nullptr, 0, &pixel, 1)) {
    }
    XSync(filler, False);
    setenv("DISPLAY", display.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("DISPLAY");
    if (filler != nullptr) XCloseDisplay(filler);
    stopServer();
  }
  void stopServer() {
    if (server > 0) kill(server, SIGTERM), waitpid(server, nullptr, 0);
    server = -1;
  }

  std::string display;
  pid_t server = -1;
  Display* filler = nullptr;
};

void oneSwitch() {
  Signal a(1, "a");
  Switch(SD("aa"), a, 'a', Zero);
  Probe(SD("ab"), a, "p");
  Probe(SD("ac"), a, "q");
}

TEST_F(FullColourMap, ColourAllocationFailureEndsTheProcessWithStatus255) {
  const struct {
    std::vector<std::string> options;
    const char* which;
  } cases[] = {{{"-E", "-c", "1", "2", "3"}, "background"},
               {{"-E", "-C", "1", "2", "3"}, "foreground"},
               {{"-E", "-S", "1", "2", "3"}, "subwindow"}};
  for (const auto& c : cases) {
    RunResult r = runSimulation(oneSwitch, c.options);
    EXPECT_EQ(r.status, 255) << c.which;
    EXPECT_EQ(r.err, counts + "Can't Alloc " + c.which + " Pixel\n\n") << c.which;
  }
}

}  // namespace
