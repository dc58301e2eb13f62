// A circuit of more than 10,000 components: 220 gate-level 16-bit counters on one clock, built,
// elaborated, tiled and run headless, each counter's value checked by test vectors. (The
// benchmark builds the same circuit ten times larger and times it; nothing here is timed.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "bench/RippleCounter.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

constexpr int copies = 220;  // 46 components each

std::string cell(int k, const char* inner) {
  std::string s{static_cast<char>('a' + k / 26 % 26), static_cast<char>('a' + k % 26), '.'};
  return s + inner;
}

void counters() {
  Signal reset(1, "reset"), clk(1, "clk");
  Switch(SD("aa"), reset, 'r', Zero);
  Switch(SD("ab"), clk, 'c', Zero);
  for (int k = 0; k < copies; ++k) {
    Signal q(16, "q");
    RippleCounter(cell(k, ""), clk, reset, q);
  }
}

TEST(BigCircuit, TenThousandComponentsCountTogether) {
  // Cleared, then 37 rising clock edges: every counter reads 37; then 1 more.
  const std::string path = testing::TempDir() + "big-circuit.vec";
  {
    std::ofstream vec(path);
    vec << "r\nr\nc*74";
    for (int k = 0; k < copies; ++k) vec << " q" << (k == 0 ? "" : "_" + std::to_string(k + 1)) << "=37";
    vec << "\nc*2 q=38 q_" << copies << "=0x0026 q_" << copies << "[5]=1\n";
  }
  RunResult r = runSimulation(counters, {"-X", "-v", path});
  unlink(path.c_str());
  EXPECT_EQ(r.status, 0) << r.out.substr(0, 2000) << r.err.substr(0, 500);
  EXPECT_NE(r.err.find("There are 10122 components."), std::string::npos) << r.err.substr(0, 500);
  EXPECT_EQ(r.out, "223 passed, 0 failed\n");
}

}  // namespace
