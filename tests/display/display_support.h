// Helpers for the drawing tests: a recorder of primitive calls and hand-made circuit arrays.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "startup/Sim.h"
#include "support/Harness.h"

namespace displaytest {

// Every primitive as one line: "op a b c d" (and the text of drawText in quotes).
class LineRecorder : public WindexRecorder {
public:
  std::vector<std::string> lines;
  void record(const char* op, const int* args, int count, const char* text) override {
    std::ostringstream line;
    line << op;
    for (int i = 0; i < count; ++i) line << ' ' << args[i];
    if (text != nullptr) line << " \"" << text << '"';
    lines.push_back(line.str());
  }
  std::string all() const {
    std::string s;
    for (const std::string& line : lines) s += line + "\n";
    return s;
  }
  size_t countOf(const std::string& op) const {
    size_t n = 0;
    for (const std::string& line : lines)
      if (line.compare(0, op.size() + 1, op + " ") == 0 || line == op) ++n;
    return n;
  }
};

// Runs body in a child process (the phase objects are process-wide); its failures fail the test.
inline int failedParts() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i)
    if (result->GetTestPartResult(i).failed()) ++failed;
  return failed;
}

inline void inChild(const std::function<void()>& body) {
  RunResult r = runInChild([&] {
    const int before = failedParts();
    body();
    if (failedParts() > before) {
      fflush(nullptr);
      _exit(1);
    }
  });
  EXPECT_EQ(r.status, 0) << r.out << r.err;
}

// What body writes on standard error.
inline std::string stderrOf(const std::function<void()>& body) {
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  body();
  std::cerr.rdbuf(old);
  return captured.str();
}

struct Part {
  const char* position = "aa";
  int level = 1;
  int overloadable = 0;
  const int* icon = nullptr;
  std::vector<int> data{}, control{}, outputs{};
  ComponentFunction evaluate = nullptr;
  ComponentFunction dynamic = nullptr;
  const char* decal = "";
};

template <typename T>
T* copyOf(const std::vector<T>& v) {
  if (v.empty()) return nullptr;
  T* p = new T[v.size()];
  for (size_t i = 0; i < v.size(); ++i) p[i] = v[i];
  return p;
}

// Fills phaseTwo and phaseThree for the given components and wires, and makes a PhaseFive whose
// window has no display but records its primitives. Only for use inside inChild.
inline LineRecorder* makeCircuit(const std::vector<Part>& parts, int numberOfSignals = 8) {
  useXDisplay = 0;
  const int n = static_cast<int>(parts.size());
  phaseTwo = new PhaseTwo();
  PhaseTwo& two = *phaseTwo;
  two.numberOfComponents = n;
  two.numberOfSignals = numberOfSignals;
  two.logicEvaluate = new ComponentFunction[n];
  two.drawDynamic = new ComponentFunction[n];
  two.xEventTriggered = new ComponentFunction[n]();
  two.iconArrays = new const int*[n];
  two.state = new int[n]();
  two.tile = new ScreenTile[n];
  two.outputOverloadable = new int[n];
  two.selfActivating = new int[n]();
  two.graphicLevel = new int[n];
  two.rcpos = new char*[n];
  two.decal = new char*[n];
  two.numberOfDataInputs = new int[n];
  two.dataInputs = new int*[n];
  two.numberOfControlInputs = new int[n];
  two.controlInputs = new int*[n];
  two.numberOfOutputs = new int[n];
  two.outputs = new int*[n];
  for (int i = 0; i < n; ++i) {
    const Part& p = parts[i];
    two.logicEvaluate[i] = p.evaluate;
    two.drawDynamic[i] = p.dynamic;
    two.iconArrays[i] = p.icon;
    two.outputOverloadable[i] = p.overloadable;
    two.graphicLevel[i] = p.level;
    if (p.level > two.maxGraphicDisplayLevel) two.maxGraphicDisplayLevel = p.level;
    two.rcpos[i] = copyOf(std::vector<char>(p.position, p.position + strlen(p.position) + 1));
    two.decal[i] = copyOf(std::vector<char>(p.decal, p.decal + strlen(p.decal) + 1));
    two.numberOfDataInputs[i] = static_cast<int>(p.data.size());
    two.dataInputs[i] = copyOf(p.data);
    two.numberOfControlInputs[i] = static_cast<int>(p.control.size());
    two.controlInputs[i] = copyOf(p.control);
    two.numberOfOutputs[i] = static_cast<int>(p.outputs.size());
    two.outputs[i] = copyOf(p.outputs);
  }
  two.signalInitializations = new SignalValue[numberOfSignals];
  two.constSignals = new int[numberOfSignals]();
  two.signalNames = new char*[numberOfSignals];
  for (int s = 0; s < numberOfSignals; ++s) {
    two.signalInitializations[s] = UNINITIALIZED;
    std::string name = "s" + std::to_string(s);
    two.signalNames[s] = copyOf(std::vector<char>(name.c_str(), name.c_str() + name.size() + 1));
  }
  phaseThree = new PhaseThree();
  phaseFive = new PhaseFive();
  auto* recorder = new LineRecorder();
  phaseFive->windexPointer->recorder = recorder;
  return recorder;
}

inline std::string tileOf(int cind) {
  const ScreenTile& t = phaseTwo->tile[cind];
  return std::to_string(t.x) + " " + std::to_string(t.y) + " " + std::to_string(t.w) + " " + std::to_string(t.h);
}

// Tiles every component from a fresh root.
inline void tile() { phaseFive->componentTiling(new SchematicCell()); }

}  // namespace displaytest
