#include "kernel/StepTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/SignalGroups.h"
#include "kernel/TestVectors.h"
#include "startup/EndProcess.h"

namespace {

std::string programName = "tavrin";
std::string fileName;
std::FILE* file = nullptr;
std::vector<SignalGroup> groups;
std::vector<int> columns;

void open() {
  std::vector<int> groupOfWire;
  signalGroupsForm(groups, groupOfWire);
  columns = signalGroupsProbed(groupOfWire);
  file = fileName == "-" ? stdout : std::fopen(fileName.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "%s: -s: cannot write '%s': %s\n", programName.c_str(), fileName.c_str(),
                 std::strerror(errno));
    endProcess(1);
  }
  std::string text = "time step";
  for (int g : columns) text += " " + groups[static_cast<size_t>(g)].name;
  text += "\n";
  std::fputs(text.c_str(), file);
}

}  // namespace

void stepTableSetFile(const char* program, const char* path) {
  programName = program;
  fileName = path;
  signalGroupsOnRunStart(open);
  gradingHooksInstall();
}

void stepTableRow(size_t point) {
  if (file == nullptr) return;
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
  std::fputs(text.c_str(), file);
  std::fflush(file);  // a row per step at most: followed as the run goes, also with a window
}

void stepTableClose() {
  if (file == nullptr) return;
  const bool failed = std::ferror(file) != 0;
  const bool closed = file == stdout ? std::fflush(file) == 0 : std::fclose(file) == 0;
  file = nullptr;
  if (!closed || failed) {
    std::fprintf(stderr, "%s: -s: error writing '%s'\n", programName.c_str(), fileName.c_str());
    raiseExitStatus(1);
  }
}
