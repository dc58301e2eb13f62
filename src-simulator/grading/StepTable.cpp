#include "grading/StepTable.h"

#include <cstdio>
#include <string>
#include <vector>

#include "elaboration/Ph3.h"
#include "grading/KeyScript.h"
#include "kernel/Ph4.h"
#include "output/OutputFile.h"
#include "output/SignalGroups.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"

namespace {

struct Column {
  std::string name;
  int first = 0;  // wires first .. first + width - 1
  int width = 1;
};

void open();

struct TableState {
  RunHooks observer{open, stepTableRow, stepTableClose, 0};
  std::string fileName;
  std::string columnNames;  // -G, empty for the probed groups
  OutputFile file;
  std::vector<Column> columns;
};

TableState& table() { return Simulation::current().part<TableState>(); }

// Rows on standard output keep their place among the lines printed there.
void write(const std::string& text) {
  TableState& v = table();
  if (v.fileName == "-") std::fflush(standardOutputFile());
  v.file.write(text);
  v.file.flush();  // a row per step at most: followed as the run goes, also with a window
}

void formColumns() {
  TableState& v = table();
  std::vector<SignalGroup> groups;
  std::vector<int> groupOfWire;
  signalGroupsForm(groups, groupOfWire);
  v.columns.clear();
  if (v.columnNames.empty()) {
    for (int g : signalGroupsProbed(groupOfWire)) {
      const SignalGroup& group = groups[static_cast<size_t>(g)];
      v.columns.push_back({group.name, group.first, group.width});
    }
    return;
  }
  size_t begin = 0;
  for (;;) {
    const size_t comma = v.columnNames.find(',', begin);
    const std::string name =
        v.columnNames.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    int group = -1, bit = -1;
    if (!signalGroupsFind(groups, name, group, bit)) {
      std::fprintf(standardErrorFile(), "%s: -G: unknown signal '%s'\n", commandName, printableText(name).c_str());
      endProcess(2);
    }
    const SignalGroup& g = groups[static_cast<size_t>(group)];
    v.columns.push_back(bit < 0 ? Column{name, g.first, g.width} : Column{name, g.first + bit, 1});
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
}

void open() {
  TableState& v = table();
  formColumns();
  v.file.open(commandName, "-s", v.fileName);
  std::string text = "time step";
  for (const Column& c : v.columns) text += " " + c.name;
  text += "\n";
  write(text);
}

}  // namespace

void stepTableSetFile(const char* path) {
  TableState& v = table();
  const bool first = v.fileName.empty();
  v.fileName = path;
  if (!first) return;  // the last -s given is the table
  observeRun(v.observer);
}

void stepTableSetColumns(const char* names) {
  TableState& v = table();
  v.columnNames = names;
}

void stepTableRow(const SettlePoint& point) {
  TableState& v = table();
  if (!v.file.isOpen()) return;
  const SignalValue* wires = phaseThree->currentSignals;
  std::string text = std::to_string(phaseFour->now()) + " " + std::to_string(point.row);
  for (const Column& c : v.columns) {
    const SignalValue* bits = wires + c.first;
    text += ' ';
    if (c.width == 1)
      text += signalGroupBitChar(bits[0]);
    else
      text += signalGroupDefinite(bits, c.width) ? signalGroupHex(bits, c.width) : signalGroupBits(bits, c.width);
  }
  text += '\n';
  write(text);
}

void stepTableClose() {
  TableState& v = table();
  v.file.close();
}
