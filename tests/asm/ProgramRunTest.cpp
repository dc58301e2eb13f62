// The shipped programs assembled with tavrin-asm and run headless on the gate-level processor
// (tavrin -X -r prog.hex -k ...); the final registers are read from the probe lines.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "support/Harness.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "r1=0x003e ... r7=0x0001 N=0 Z=0" from the last value of every probe, found by position:
// a register's probes run from bit 15 at its first position through columns a..e, then on to
// the next outer column.
std::string finalState(const std::string& err) {
  std::map<std::string, std::string> last;
  static const std::regex line("Time = \\d+  Probe for .* at (\\S+)  Value = (\\w+)");
  std::istringstream lines(err);
  for (std::string text; std::getline(lines, text);) {
    std::smatch m;
    if (std::regex_match(text, m, line)) last[m[1]] = m[2];
  }
  auto bit = [&](const std::string& position) {
    auto it = last.find(position);
    return it == last.end() ? '?' : it->second == "ONE" ? '1' : it->second == "ZERO" ? '0' : '?';
  };
  std::string state;
  const char* const firsts[] = {"gk.ae", "hk.ae", "ik.ae", "jk.ae", "kk.ae", "lk.ae", "mk.ae"};
  for (int r = 0; r < 7; ++r) {
    std::string outer = std::string(firsts[r]).substr(0, 2), inner = "ae";
    unsigned value = 0;
    for (int k = 15; k >= 0; --k) {
      char b = bit(outer + "." + inner);
      if (b == '?') return "r" + std::to_string(r + 1) + " bit " + std::to_string(k) + " undefined";
      value |= static_cast<unsigned>(b - '0') << k;
      if (inner[1] < 'e') {
        ++inner[1];
      } else {
        inner = "aa";
        ++outer[1];
      }
    }
    char text[16];
    std::snprintf(text, sizeof text, "r%d=0x%04x ", r + 1, value);
    state += text;
  }
  return state + "N=" + bit("ff.aa-ab") + " Z=" + bit("ff.ad-ae");
}

std::string temporaryDirectory() {
  char name[] = "/tmp/tavrin-programs-XXXXXX";
  return mkdtemp(name);
}

}  // namespace

// Each program states at its top the presses (-k 0,1*N) and the registers they lead to.
TEST(ProgramRun, ShippedProgramsReachTheirStatedRegisters) {
  const std::string dir = temporaryDirectory();
  static const std::regex header("-k (0,1\\*\\d+)\\)[^\\n]*\\n;\\s+(r1=[^\\n]*?)\\s*\\n");
  for (const char* name : {"builtin", "loop", "memcopy"}) {
    SCOPED_TRACE(name);
    const std::string source = std::string(TAVRIN_SOURCE_DIR) + "/programs/" + name + ".s";
    const std::string image = dir + "/" + name + ".hex";
    std::smatch m;
    const std::string text = readFile(source);
    ASSERT_TRUE(std::regex_search(text, m, header));
    ASSERT_EQ(runProcess({TAVRIN_ASM_EXE, "-o", image, source}).status, 0);
    RunResult r = runProcess({TAVRIN_EXE, "-X", "-r", image, "-k", m[1]});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(finalState(r.err), m[2].str());
    std::remove(image.c_str());
  }
  // The built-in image without -r, as the processor's own tests know it.
  EXPECT_EQ(finalState(runProcess({TAVRIN_EXE, "-X", "-k", "0,1*40"}).err),
            "r1=0x003e r2=0x003f r3=0x003f r4=0x003f r5=0x0001 r6=0x0001 r7=0x0001 N=0 Z=0");
  rmdir(dir.c_str());
}

TEST(ProgramRun, AnImageThatCannotBeReadStopsTheBuild) {
  RunResult r = runProcess({TAVRIN_EXE, "-X", "-r", "/nonexistent/prog.hex"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, std::string(TAVRIN_EXE) + ": -r: cannot open '/nonexistent/prog.hex': No such file or directory\n");
}
