// Bad input with no test of its own elsewhere: position strings that do not describe a cell,
// and a display whose colours are all taken.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/Harness.h"
#include "support/PrivateXServer.h"
#include "tavrin.h"

// Last: its macros (None, Bool, Status) would clash with the headers above.
#if TAVRIN_X11
#include <X11/Xlib.h>
#endif

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

#if TAVRIN_X11
// An 8-bit PseudoColor server whose colour map another client has filled.
class FullColourMap : public ::testing::Test {
protected:
  void SetUp() override {
    if (!PrivateXServer::available()) GTEST_SKIP() << "no window or no Xvfb";
    ASSERT_TRUE(server.start("320x240x8")) << "no Xvfb could be started";
    display = server.name();
    filler = XOpenDisplay(display.c_str());
    ASSERT_NE(filler, nullptr);
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
    server.stop();
  }

  PrivateXServer server;
  std::string display;
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

#endif  // TAVRIN_X11

}  // namespace
