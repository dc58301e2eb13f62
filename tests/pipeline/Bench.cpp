#include "pipeline/Bench.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <unordered_map>

#include "construction/Ph1.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "startup/Sim.h"
#include "support/Harness.h"

namespace bench {

void inChild(const std::function<void()>& body) {
  RunResult r = runInChild([&] {
    body();
    std::cout.flush();
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  });
  EXPECT_EQ(r.status, 0) << r.out << r.err.substr(0, 2000);
}

void elaborate() {
  useXDisplay = 0;
  ::elaborate();
}

void start() {
  elaborate();
  restart();
}

void restart() {
  phaseFour->reset();
  settle();
}

void settle() {
  if (!phaseFour->settle(2000000)) ADD_FAILURE() << "the circuit does not settle";
}

void press(char key) {
  for (int s = 0; s < phaseTwo->numberOfSwitches; ++s) {
    if (phaseTwo->activationsFromWindow[s][0] != key) continue;
    int cind = phaseTwo->activationsFromWindow[s][1];
    phaseTwo->kindOf(cind).xEventTriggered(cind);
    settle();
    return;
  }
  ADD_FAILURE() << "no switch on key " << key;
}

void setSwitches(const Signal& sw, unsigned value) {
  for (int bit = 0; bit < sw.length; ++bit) {
    int serial = sw.serialNumber[bit];
    if (level(serial) == (((value >> bit) & 1) ? ONE : ZERO)) continue;
    for (int s = 0; s < phaseTwo->numberOfSwitches; ++s)
      if (phaseTwo->activationsFromWindow[s][2] == serial)
        press(static_cast<char>(phaseTwo->activationsFromWindow[s][0]));
  }
}

SignalValue level(int serial) { return phaseThree->currentSignals[serial]; }

int word(const std::vector<int>& serials) {
  int value = 0;
  for (size_t bit = 0; bit < serials.size(); ++bit) {
    SignalValue v = level(serials[bit]);
    if (v == ONE)
      value |= 1 << bit;
    else if (v != ZERO)
      return -1;
  }
  return value;
}

int word(const Signal& s) { return word(std::vector<int>(s.serialNumber, s.serialNumber + s.length)); }

std::vector<int> wires(const std::string& name, int width) {
  static std::unordered_map<std::string, int> byName;
  if (byName.empty())
    for (int i = phaseTwo->numberOfSignals - 1; i >= 0; --i) byName[phaseTwo->signalNames[i]] = i;
  std::vector<int> serials;
  for (int bit = 0; bit < width; ++bit) {
    auto it = byName.find(name + "[" + std::to_string(bit) + "]");
    if (it == byName.end()) {
      ADD_FAILURE() << "no wire " << name << "[" << bit << "]";
      return std::vector<int>(width, 0);
    }
    serials.push_back(it->second);
  }
  return serials;
}

}  // namespace bench
