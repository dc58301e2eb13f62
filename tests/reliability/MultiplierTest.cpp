// The benchmark's array multiplier (bench/ArrayMultiplier.h) multiplies: operand pairs set by
// its switches, the settled product checked by test vectors, so that a wrong adder cannot hide
// in the benchmark's timings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/ArrayMultiplier.h"
#include "support/Harness.h"

namespace {

void circuit() {
  Signal p(32, "p");
  MultiplierCircuit(p);
}

std::string hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*x", digits, value);
  return text;
}

TEST(Multiplier, ProductsOfOperandPairs) {
  const struct {
    uint16_t a, b;
  } pairs[] = {{0xFFFF, 0xFFFF}, {0x1234, 0xABCD}, {0x8001, 0x7FFF}, {0x0001, 0xBEEF}, {0xC0DE, 0x0000}, {0x5A5A, 0xA5A5}};
  const std::string path = testing::TempDir() + "multiplier.vec";
  {
    std::ofstream vec(path);
    vec << "p=0\n";  // 0 * 0 after the reset
    uint16_t a = 0, b = 0;
    for (const auto& pair : pairs) {
      for (char key : multiplierToggles(a, b, pair.a, pair.b)) vec << key << "\n";
      a = pair.a;
      b = pair.b;
      vec << "a=" << hex(a, 4) << " b=" << hex(b, 4) << " p=" << hex(static_cast<uint32_t>(a) * b, 8) << "\n";
    }
  }
  RunResult r = runSimulation(circuit, {"-X", "-v", path});
  unlink(path.c_str());
  EXPECT_EQ(r.status, 0) << r.err.substr(0, 500);
  EXPECT_EQ(r.out, "19 passed, 0 failed\n");
  EXPECT_NE(r.err.find("There are 1472 components."), std::string::npos) << r.err.substr(0, 300);
}

}  // namespace
