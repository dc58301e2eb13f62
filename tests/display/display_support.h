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
  // A library kind, which brings its own functions; by default a kind of the part's own.
  ComponentKind kind = ComponentKind::numberOfLibraryKinds;
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
  // Each part a kind of its own, and its node as registration would make it.
  std::vector<ComponentNode> nodes(parts.size());
  for (int i = 0; i < n; ++i) {
    const Part& p = parts[i];
    ComponentNode& node = nodes[i];
    node.kind = p.kind != ComponentKind::numberOfLibraryKinds
                    ? p.kind
                    : defineComponentKind({.name = "Part",
                                           .logicEvaluate = p.evaluate,
                                           .drawDynamic = p.dynamic,
                                           .icon = p.icon,
                                           .outputOverloadable = p.overloadable});
    node.componentIndex = i;
    node.iconArray = p.icon;
    node.graphicLevel = p.level;
    node.graphicPosition = p.position;
    node.decal = p.decal;
    node.dataInputs = p.data;
    node.controlInputs = p.control;
    node.outputs = p.outputs;
    if (i > 0) nodes[i - 1].ptr = &node;
  }
  phaseTwo = new PhaseTwo();
  PhaseTwo& two = *phaseTwo;
  two.numberOfSignals = numberOfSignals;
  two.componentsToArrays(nodes.empty() ? nullptr : &nodes[0], n);
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
  const ScreenTile& t = phaseTwo->record[cind].tile;
  return std::to_string(t.x) + " " + std::to_string(t.y) + " " + std::to_string(t.w) + " " + std::to_string(t.h);
}

// Tiles every component from a fresh root.
inline void tile() { phaseFive->componentTiling(new SchematicCell()); }

}  // namespace displaytest
