#include "kernel/StepTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "elaboration/Ph3.h"
#include "kernel/OutputFile.h"
#include "kernel/Ph4.h"
#include "kernel/SignalGroups.h"
#include "kernel/TestVectors.h"
#include "startup/Settings.h"

namespace {

std::string fileName;
OutputFile file;
std::vector<SignalGroup> groups;
std::vector<int> columns;

// Rows on standard output keep their place among the lines printed there.
void write(const std::string& text) {
  if (fileName == "-") std::fflush(stdout);
  file.write(text);
  file.flush();  // a row per step at most: followed as the run goes, also with a window
}

void open() {
  std::vector<int> groupOfWire;
  signalGroupsForm(groups, groupOfWire);
  columns = signalGroupsProbed(groupOfWire);
  file.open(commandName, "-s", fileName);
  std::string text = "time step";
  for (int g : columns) text += " " + groups[static_cast<size_t>(g)].name;
  text += "\n";
  write(text);
}

}  // namespace

void stepTableSetFile(const char* path) {
  fileName = path;
  signalGroupsOnRunStart(open);
  gradingHooksInstall();
}

void stepTableRow(size_t point) {
  if (!file.isOpen()) return;
  const SignalValue* wires = phaseThree->currentSignals;
  std::string text = std::to_string(phaseFour->time) + " " + std::to_string(point);
  for (int g : columns) {
    const SignalGroup& group = groups[static_cast<size_t>(g)];
    const SignalValue* bits = wires + group.first;
    text += ' ';
    if (group.width == 1)
      text += signalGroupBitChar(bits[0]);
    else
      text += signalGroupDefinite(bits, group.width) ? signalGroupHex(bits, group.width)
                                                     : signalGroupBits(bits, group.width);
  }
  text += '\n';
  write(text);
}

void stepTableClose() { file.close(); }
