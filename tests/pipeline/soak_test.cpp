// A long run of the processor: its clock key pressed 100,000 times through the switch hook,
// with the peak memory after 10,000 presses and after all of them compared. Event nodes that
// were not returned, or anything kept per pass, would raise the second.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "pipeline.h"
#include "pipeline/Bench.h"

namespace {

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
long statusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field + ":", 0) == 0) return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
  return -1;
}

long pressesWanted() {
  const char* text = std::getenv("TAVRIN_SOAK_PRESSES");  // a longer soak by hand
  long presses = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return presses > 100000 ? presses : 100000;
}

TEST(Soak, TheClockKeyPressedForHoursKeepsPeakMemoryFlat) {
  const long presses = pressesWanted();
  const long warmUp = presses / 10;
  bench::inChild([&] {
    simnet();
    bench::start();
    bench::press('0');  // out of reset
    const std::vector<int> pc = bench::wires("PC", 16);
    long defined = 0;
    for (long i = 1; i <= warmUp; ++i) {
      bench::press('1');
      defined += bench::word(pc) >= 0;
    }
    const long peakAfterWarmUp = statusKilobytes("VmHWM");
    const long residentAfterWarmUp = statusKilobytes("VmRSS");
    for (long i = warmUp + 1; i <= presses; ++i) {
      bench::press('1');
      defined += bench::word(pc) >= 0;
    }
    const long peak = statusKilobytes("VmHWM");
    const long resident = statusKilobytes("VmRSS");
    ASSERT_GT(peakAfterWarmUp, 0);
    // The program counter stays a number all along: the machine really ran.
    EXPECT_EQ(defined, presses);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, which grows the peak by itself: the
    // memory is measured in the ordinary build only.
    std::printf("%ld presses: peak %ld kB after %ld, %ld kB after all (not compared)\n", presses, peakAfterWarmUp,
                warmUp, peak);
    return;
#endif
    // The event queue's node blocks still grow a little while the program reaches its busiest
    // stretch; a single 32-byte allocation kept per press would add close to 3 MB.
    EXPECT_LE(peak - peakAfterWarmUp, 1024) << "peak " << peakAfterWarmUp << " kB -> " << peak << " kB";
    EXPECT_LE(resident - residentAfterWarmUp, 1024) << "resident " << residentAfterWarmUp << " kB -> " << resident
                                                    << " kB";
    std::printf("%ld presses: peak %ld kB after %ld, %ld kB after all\n", presses, peakAfterWarmUp, warmUp, peak);
  });
}

}  // namespace
