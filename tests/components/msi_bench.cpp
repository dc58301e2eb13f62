#include "msi_bench.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "construction/addStCmp.h"
#include "construction/Schmtc.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Event.h"
#include "kernel/Ph4.h"

namespace bench {
namespace {

std::vector<std::vector<Step>> scripts;  // filled by the circuit, in the child
std::function<void()> currentBuild;
uint64_t currentStop = 0;

// Letters in the numeric order of the levels.
constexpr const char* letters = "0UXZ1";
SignalValue valueOf(char c) { return static_cast<SignalValue>(std::string(letters).find(c)); }

void driverEvaluate(int cind) {
  if (phaseTwo->core[cind].state != 0) return;
  phaseTwo->core[cind].state = 1;
  int n = phaseTwo->core[cind].numberOfOutputs;
  for (const Step& step : scripts[phaseTwo->core[cind].integerParameters()[0]])
    for (int i = 0; i < n && i < static_cast<int>(step.value.size()); ++i)
      phaseFour->recordEventQueueInput(Event(step.time, signalChange, phaseTwo->core[cind].outputs()[i],
                                    valueOf(step.value[step.value.size() - 1 - i])));
}

void traceEvaluate(int cind) {
  std::string value;
  for (int i = phaseTwo->core[cind].numberOfDataInputs - 1; i >= 0; --i)
    value += letters[phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[i]]];
  std::cerr << phaseFour->now() << " " << phaseTwo->record[cind].decal << " " << value << "\n";
}

// Keeps the queue busy until the stop time has passed, so that -T ends every run.
void tickEvaluate(int cind) {
  if (phaseTwo->core[cind].state != 0) return;
  phaseTwo->core[cind].state = 1;
  phaseFour->recordEventQueueInput(Event(currentStop + 1, signalChange, phaseTwo->core[cind].outputs()[0], ONE));
}

void buildBench() {
  Signal tick(1, "benchTick");
  static const ComponentKind tickKind = defineComponentKind({.name = "Tick", .logicEvaluate = tickEvaluate});
  addComponent(tickKind, SD("zz"), {.outputs = tick});
  currentBuild();
}

bool isTraceLine(const std::string& line) {
  size_t space = line.find(' ');
  return space != std::string::npos && space > 0 && line.find_first_not_of("0123456789") == space &&
         line.compare(0, 7, "Time = ") != 0;
}

}  // namespace

void drive(const Signal& s, const std::vector<Step>& steps) {
  int index = static_cast<int>(scripts.size());
  scripts.push_back(steps);
  static const ComponentKind driveKind = defineComponentKind({.name = "Drive", .logicEvaluate = driverEvaluate});
  const int parameters[1] = {index};
  addComponent(driveKind, SD("zz"), {.outputs = s}, {.integers = parameters});
}

void trace(const Signal& s, const char* name) {
  static const ComponentKind traceKind = defineComponentKind({.name = "Trace", .logicEvaluate = traceEvaluate});
  addComponent(traceKind, SD("zz"), {.data = s}, {}, name);
}

RunResult run(const std::function<void()>& build, uint64_t stopTime) {
  currentBuild = build;
  currentStop = stopTime;
  RunResult result = runSimulation(buildBench, {"-X", "-T", std::to_string(stopTime)});
  EXPECT_EQ(0, result.status) << result.err;
  return result;
}

std::vector<std::string> traceOf(const std::string& err, const std::string& name) {
  std::vector<std::string> lines;
  std::istringstream in(err);
  std::string time, who, value;
  for (std::string line; std::getline(in, line);) {
    if (!isTraceLine(line)) continue;
    std::istringstream fields(line);
    if (fields >> time >> who >> value && who == name) lines.push_back(time + ":" + value);
  }
  return lines;
}

std::string valueAt(const std::string& err, const std::string& name, uint64_t t) {
  std::string value;
  for (const std::string& entry : traceOf(err, name)) {
    size_t colon = entry.find(':');
    if (std::stoull(entry.substr(0, colon)) > t) break;
    value = entry.substr(colon + 1);
  }
  return value;
}

std::string valuesAt(const std::string& err, const std::string& name, const std::vector<uint64_t>& times) {
  std::string joined;
  for (uint64_t t : times) joined += (joined.empty() ? "" : " ") + valueAt(err, name, t);
  return joined;
}

std::string messages(const std::string& err) {
  std::string kept;
  for (size_t start = 0; start < err.size();) {
    size_t end = err.find('\n', start);
    end = end == std::string::npos ? err.size() : end + 1;
    std::string line = err.substr(start, end - start);
    if (!isTraceLine(line) && line.compare(0, 10, "There are ") != 0) kept += line;
    start = end;
  }
  return kept;
}

}  // namespace bench
