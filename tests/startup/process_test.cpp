// Whole runs: the built executable and Sim with small circuits, compared on standard output,
// standard error and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "construction/Ph1.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

const char* const helpText =
    "Command line options:\n"
    " Colors (ForeGround,BackGround,SubWindow) (0-255 for each component)\n"
    "  -C <redFG> <greenFG> <blueFG>\n"
    "  -c <redBG> <greenBG> <blueBG>\n"
    "  -S <redSW> <greenSW> <blueSW>\n"
    " Early Exit\n"
    "  -E\n"
    " Function Key Operate\n"
    "  -F <string of operations> ops from {23456789HUDE}>\n"
    "     {H:Home; U:PgUp; D:PgDn; E:End}\n"
    "   for example:  -F 23589DD\n"
    " Geometry (standard X Window geometry format)\n"
    "  -g wxh+x+y\n"
    "   for example:  -g 1000x900+100+50\n"
    " Cursor Key Operate\n"
    "  -K <digit string> , digits from {0123}>\n"
    "     {0:left; 1:up; 2:right; 3:down}\n"
    "   for example:  -K 0003\n"
    " ProfRunTimeFlags\n"
    "  -p <flagNr> <flag> \n"
    "   (flag[0..15]: octal, hex or int accepted)\n"
    " StopTime\n"
    "  -T <time>\n"
    " Time Display\n"
    "  -t\n"
    " UserRunTimeFlags\n"
    "  -u <flagNr> <flag> \n"
    "   (flag[0..15]: octal, hex or int accepted)\n"
    " WindowLabelString\n"
    "  -W <windowLabel>\n"
    " Don't use X-Display\n"
    "  -X\n"
    " ZoomIn (to upper left and lower right coordinates)\n"
    "  -z <xul> <yul> <xlr> <ylr>\n"
    " Help\n"
    "  -h\n";

RunResult runTavrin(const std::vector<std::string>& words) {
  unsetenv("DISPLAY");  // inherited by the child: no window whatever the test machine has
  std::vector<std::string> argv{TAVRIN_EXE};
  argv.insert(argv.end(), words.begin(), words.end());
  return runProcess(argv);
}

const std::regex counts("There are [1-9][0-9]* components\\.\nThere are [1-9][0-9]* signals\\.\n");

// A gate-like component: input Zero, one new output wire.
void component(const char* where, ComponentFunction evaluate = nullptr) {
  Signal out(1, "out");
  addComponent(defineComponentKind({.name = "Part", .logicEvaluate = evaluate}), SD(where),
               {.data = Zero, .outputs = out});
}

void threeComponents() {
  Signal spare(2, "spare");
  component("aa");
  component("ab");
  component("ac");
}

void noComponents() {}

void twoCountedDiagnostics() {
  component("aa");
  std::fprintf(stderr, "first complaint\n");
  countFatalDiagnostic();
  component("ab");
  std::fprintf(stderr, "second complaint\n");
  countFatalDiagnostic();
}

void subscriptOutOfRange() {
  Signal x(4, "x");
  x[4];
}

void refusedAssignment() {
  Signal x(1, "x"), y(1, "y");
  x = y;
  component("aa");
}

void printsAndBuilds() {
  std::printf("built\n");
  component("aa");
}

// Reports, from inside the first evaluation pass, what Sim has set up by then, and ends the run.
void reportPhases(int) {
  Windex fresh("fresh");
  fresh.reviseView(zSetXa, zSetYa, zSetXb, zSetYb);
  const Windex* w = phaseFive->windexPointer;
  bool zoomed = w->viewXs == fresh.viewXs && w->viewYs == fresh.viewYs && w->viewXe == fresh.viewXe &&
                w->viewYe == fresh.viewYe;
  std::printf("evaluated one=%d two..five=%d zoomed=%d\n", phaseOne == nullptr ? 0 : 1,
              phaseTwo && phaseThree && phaseFour && phaseFive ? 1 : 0, zoomed ? 1 : 0);
  done = 1;
}

void reportingCircuit() { component("aa", reportPhases); }

}  // namespace

TEST(Executable, HelpPrintsBannerAndHelpAndExitsZero) {
  for (const std::vector<std::string>& words : {std::vector<std::string>{"-h"}, {"-Xh", "-q"}}) {
    RunResult r = runTavrin(words);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, bannerText());
    EXPECT_EQ(r.err, helpText);
  }
}

TEST(Executable, EarlyExitBuildsAndCounts) {
  RunResult r = runTavrin({"-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, bannerText());
  EXPECT_TRUE(std::regex_search(r.err, counts, std::regex_constants::match_continuous)) << r.err;

  // Without a display the window layer says so and the run still ends normally.
  r = runTavrin({"-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, bannerText());
  EXPECT_NE(r.err.find("Unable to open X Window\n"), std::string::npos) << r.err;

  // A run that asked for a window it cannot have (no display, or a build without the window)
  // goes on without it: the same results as -X, after the message.
  const std::string vectors = std::string(TAVRIN_SOURCE_DIR) + "/programs/builtin.vec";
  RunResult headless = runTavrin({"-X", "-Q", "-v", vectors});
  r = runTavrin({"-Q", "-v", vectors});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, headless.out);
  EXPECT_EQ(r.err, "Unable to open X Window\n" + headless.err);
}

TEST(Executable, OptionMessagesUseTheCommandName) {
  const std::string exe = TAVRIN_EXE;
  RunResult r = runTavrin({"-q", "-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, bannerText());
  EXPECT_EQ(r.err.rfind(exe + ": illegal option -- q\n", 0), 0u) << r.err;

  r = runTavrin({"-XE", "-T"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.rfind(exe + ": option requires an argument -- T\n", 0), 0u) << r.err;

  r = runTavrin({"-X", "-E", "-u", "16", "1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.rfind(exe + ": -u flag number 16 is outside 0..15; ignored\n", 0), 0u) << r.err;

  r = runTavrin({"-X", "-E", "-z", "1", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, bannerText());
  EXPECT_EQ(r.err, exe + ": option -z needs 4 values\n");
}

TEST(Simulation, CountsAfterConstruction) {
  RunResult r = runSimulation(threeComponents, {"-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "There are 3 components.\nThere are 7 signals.\n");

  // A circuit without components passes every phase and its run ends at once.
  r = runSimulation(noComponents, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 0 components.\nThere are 2 signals.\n");
}

TEST(Simulation, CountedDiagnosticsStopBeforeTheCounts) {
  RunResult r = runSimulation(twoCountedDiagnostics, {"-X", "-E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "first complaint\nsecond complaint\n2 Fatal Diagnostic(s)--Can't Continue.\n");
}

TEST(Simulation, SignalErrors) {
  RunResult r = runSimulation(subscriptOutOfRange, {"-X", "-E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Signal :: operator[] subscript out of range--\n  -- Signal = x sub = 4\n");

  r = runSimulation(refusedAssignment, {"-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Assignment from SignalName = y to Signal Name = x not implemented.\n"
            "  Try to use initialization instead -- or talk to the Prof.\n"
            "There are 1 components.\nThere are 5 signals.\n");
}

TEST(Simulation, MissingOptionWordsStopBeforeTheCircuitIsBuilt) {
  RunResult r = runSimulation(printsAndBuilds, {"-X", "-C", "1", "2"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tavrin: option -C needs 3 values\n");
}

TEST(Simulation, RunSeesEveryPhaseAndTheZoom) {
  // Without a display the window is one pixel wide, so these corners give a view twice the world.
  RunResult r = runSimulation(reportingCircuit, {"-X", "-z", "0", "0", "2", "2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "evaluated one=0 two..five=1 zoomed=1\n");
  EXPECT_EQ(r.err, "There are 1 components.\nThere are 3 signals.\n");

  // -E builds and elaborates but evaluates nothing.
  r = runSimulation(reportingCircuit, {"-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "There are 1 components.\nThere are 3 signals.\n");
}
