// Helpers shared by the gate and interactive component tests: a readable dump of the
// construction lists, and running small circuits headless and collecting their probe lines.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "components/ssiPh1.h"
#include "components/ssiRT.h"
#include "construction/Ph1.h"
#include "display/iconData.h"
#include "support/Harness.h"

namespace ssitest {

inline std::string functionName(ComponentFunction f) {
  static const std::vector<std::pair<ComponentFunction, const char*>> names = {
      {and_, "and"},       {or_, "or"},         {not_, "not"},
      {nand, "nand"},      {nor, "nor"},        {xor_, "xor"},
      {xnor, "xnor"},      {multiLevelCompare, "mlc"}, {iand, "iand"},
      {inand, "inand"},    {cior, "cior"},      {cinor, "cinor"},
      {tsb, "tsb"},        {probe, "probe"},    {probebyte, "probebyte"},
      {probebyteh, "probebyteh"}, {switchPane, "switchPane"}, {toggleSwitch, "toggleSwitch"},
      {togglePulser, "togglePulser"}, {powerOn, "powerOn"}, {tavrin::clock, "clock"},
      {stop, "stop"}};
  if (f == nullptr) return "-";
  for (const auto& [fn, name] : names)
    if (fn == f) return name;
  return "?";
}

inline std::string iconName(const int* icon) {
  static const std::vector<std::pair<const int*, const char*>> names = {
      {andIcon, "andIcon"},   {orIcon, "orIcon"},       {nandIcon, "nandIcon"},   {norIcon, "norIcon"},
      {notIcon, "notIcon"},   {xorIcon, "xorIcon"},     {xnorIcon, "xnorIcon"},   {iAndIcon, "iAndIcon"},
      {iNandIcon, "iNandIcon"}, {CiOrIcon, "CiOrIcon"}, {CiNorIcon, "CiNorIcon"}, {tsbIcon, "tsbIcon"},
      {rectIcon, "rectIcon"}, {circleIcon, "circleIcon"}, {spaceIcon, "spaceIcon"}};
  if (icon == nullptr) return "-";
  for (const auto& [table, name] : names)
    if (table == icon) return name;
  return "?";
}

// One line per registered component, wires by their listed names:
// decal|evaluate|drawDynamic|xEvent|icon|overloadable selfActivating|level@position|data|control|outputs|ints
inline std::string describeComponents() {
  PhaseOne& one = PhaseOne::instance();
  std::map<int, std::string> wireName;
  for (SignalNode* s = one.signalList.start; s != nullptr; s = s->ptr) wireName[s->signalSerialNumber] = s->name;
  auto wires = [&](const std::vector<int>& serials) {
    std::string text;
    for (size_t i = 0; i < serials.size(); ++i) text += (i ? " " : "") + wireName[serials[i]];
    return text;
  };
  std::ostringstream out;
  for (ComponentNode* c = one.componentList.start; c != nullptr; c = c->ptr) {
    const ComponentKindRow& kind = componentKind(c->kind);
    out << c->decal << "|" << functionName(kind.logicEvaluate) << "|" << functionName(kind.drawDynamic) << "|"
        << functionName(kind.xEventTriggered) << "|" << iconName(c->iconArray) << "|" << kind.outputOverloadable
        << kind.selfActivating << "|" << c->graphicLevel << "@" << c->graphicPosition << "|" << wires(c->dataInputs)
        << "|" << wires(c->controlInputs) << "|" << wires(c->outputs) << "|";
    for (size_t i = 0; i < c->integerParameters.size(); ++i) out << (i ? " " : "") << c->integerParameters[i];
    out << "\n";
  }
  return out.str();
}

// Builds in a child and returns the component dump (stdout of the child).
inline RunResult buildAndDescribe(const std::function<void()>& build) {
  return runInChild([&] {
    build();
    std::fputs(describeComponents().c_str(), stdout);
  });
}

// The circuit of the next runCircuit call (the child inherits it).
inline std::function<void()>& pendingCircuit() {
  static std::function<void()> circuit;
  return circuit;
}
inline void buildPending() { pendingCircuit()(); }

inline RunResult runCircuit(const std::function<void()>& build, std::vector<std::string> args) {
  pendingCircuit() = build;
  return runSimulation(buildPending, args);
}

// The "Time = ..." lines of a headless run, in order.
inline std::string probeLines(const std::string& err) {
  std::istringstream in(err);
  std::string line, lines;
  while (std::getline(in, line))
    if (line.rfind("Time = ", 0) == 0) lines += line + "\n";
  return lines;
}

// The last value each probe (by its label) showed.
inline std::map<std::string, std::string> finalValues(const std::string& err) {
  static const std::regex probeLine("Time = [0-9]+  Probe for (.*?) at .*  Value = ([A-Z]+)");
  std::map<std::string, std::string> last;
  std::istringstream in(err);
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_match(line, m, probeLine)) last[m[1]] = m[2];
  return last;
}

// Ends a headless run: a power-on pulse reaching ONE at time t + 9 sets off a Stop.
inline void stopAt(int t) {
  Signal pulse(1, "stopPulse");
  PowerOn(SD("zz"), pulse, t, Zero);
  Stop(SD("zz"), pulse);
}

}  // namespace ssitest
