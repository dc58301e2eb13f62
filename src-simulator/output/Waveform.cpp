#include "output/Waveform.h"

#include "kernel/RunObserver.h"
#include "simulation/Simulation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "output/OutputFile.h"
#include "output/SignalGroups.h"
#include "process/EndProcess.h"
#include "process/ErrorOutput.h"
#include "process/Settings.h"
#include "process/ThreadLocal.h"

namespace {

// Set while a dump is being written (on this thread).
TAVRIN_THREAD_LOCAL bool waveformRecording = false;

// The wires first .. first + width - 1, bit 0 first; lowIndex is the name's index of bit 0.
struct Variable {
  int first;
  int width;
  long lowIndex;
  std::string code;
};

// The dump of one simulation: a part of it, so that a dump is its simulation's alone and outlives
// it no longer; the exit handler and the signal handler reach the current thread's open one.
struct Dump : RunObserver {
  Dump() {
    order = -10;
    watchesWires = true;
  }
  ~Dump() override;
  bool registered = false;
  void runStart() override { waveformOpen(); }
  void wiresReset() override { waveformReset(); }
  void wireChange(uint64_t time, int wire, SignalValue value) override { change(time, wire, value); }
  void runEnd() override { waveformClose(); }

  void appendValue(const Variable& var);
  void appendTime(uint64_t t);
  void writeText();
  void flushPending();
  void declare();
  void change(uint64_t time, int signal, SignalValue value);
  void reset();

  std::string fileName;
  OutputFile file;

  std::vector<Variable> variables;
  std::vector<int> variableOf;      // per wire
  std::vector<SignalValue> values;  // per wire, as last recorded
  std::vector<char> dirty;          // per variable: changed at pendingTime
  std::vector<int> dirtyList;
  uint64_t pendingTime = 0;
  uint64_t offset = 0;  // added to simulated time, so that a restart does not go back in time
  uint64_t lastTimeWritten = 0;
  bool anyTimeWritten = false;
  std::string text;  // reused for each batch of lines
};

// The current thread's open dump, for the exit and signal handlers.
TAVRIN_THREAD_LOCAL Dump* openDump = nullptr;

Dump::~Dump() {
  if (openDump == this) openDump = nullptr;
}

Dump& dump() { return Simulation::current().part<Dump>(); }

// Short identifier codes from the printable characters '!' to '~'.
std::string codeFor(size_t number) {
  std::string code;
  do {
    code += static_cast<char>('!' + number % 94);
    number /= 94;
  } while (number != 0);
  return code;
}

char levelChar(SignalValue v) {
  switch (v) {
    case ZERO: return '0';
    case ONE: return '1';
    case HIZ: return 'z';
    default: return 'x';
  }
}

void Dump::appendValue(const Variable& var) {
  if (var.width == 1) {
    text += levelChar(values[var.first]);
  } else {
    text += 'b';
    for (int k = var.width - 1; k >= 0; --k) text += levelChar(values[var.first + k]);
    text += ' ';
  }
  text += var.code;
  text += '\n';
}

void Dump::appendTime(uint64_t t) {
  if (anyTimeWritten && t == lastTimeWritten) return;
  text += '#';
  text += std::to_string(t);
  text += '\n';
  lastTimeWritten = t;
  anyTimeWritten = true;
}

void Dump::writeText() {
  file.write(text);
  text.clear();
}

void Dump::flushPending() {
  if (dirtyList.empty()) return;
  appendTime(pendingTime + offset);
  for (int var : dirtyList) {
    appendValue(variables[static_cast<size_t>(var)]);
    dirty[static_cast<size_t>(var)] = 0;
  }
  dirtyList.clear();
  writeText();
}

// Groups the wires into variables and the variables into one scope per name.
void Dump::declare() {
  // A dump of its own for each simulation a process runs.
  variables.clear();
  dirty.clear();
  dirtyList.clear();
  pendingTime = offset = lastTimeWritten = 0;
  anyTimeWritten = false;
  text.clear();
  const int n = phaseTwo->numberOfSignals;
  std::vector<SignalGroup> groups;
  signalGroupsForm(groups, variableOf);
  std::vector<std::string> baseOf;
  for (const SignalGroup& group : groups) {
    variables.push_back(Variable{group.first, group.width, group.lowIndex, codeFor(variables.size())});
    baseOf.push_back(group.base);
  }

  std::vector<std::string> scopes;
  std::unordered_map<std::string, std::vector<size_t>> members;
  for (size_t v = 0; v < variables.size(); ++v) {
    std::vector<size_t>& list = members[baseOf[v]];
    if (list.empty()) scopes.push_back(baseOf[v]);
    list.push_back(v);
  }

  text += "$version Tavrin v" TAVRIN_VERSION_DIGITS " $end\n";
  text += "$comment one time unit is one simulated time step $end\n";
  text += "$timescale 1ns $end\n";
  for (const std::string& scope : scopes) {
    text += "$scope module " + scope + " $end\n";
    const std::vector<size_t>& list = members[scope];
    for (size_t k = 0; k < list.size(); ++k) {
      const Variable& var = variables[list[k]];
      std::string reference = k == 0 ? scope : scope + "_" + std::to_string(k + 1);
      if (var.width > 1)
        reference += " [" + std::to_string(var.lowIndex + var.width - 1) + ":" + std::to_string(var.lowIndex) + "]";
      else if (var.lowIndex > 0)
        reference += " [" + std::to_string(var.lowIndex) + "]";
      text += "$var wire " + std::to_string(var.width) + " " + var.code + " " + reference + " $end\n";
    }
    text += "$upscope $end\n";
  }
  text += "$enddefinitions $end\n";
  writeText();

  values.assign(static_cast<size_t>(n), UNINITIALIZED);
  dirty.assign(variables.size(), 0);
  dirtyList.reserve(variables.size());
}

}  // namespace

void waveformSetFile(const char* path) { dump().fileName = path; }

namespace {

void closeAtExit() {
  Dump* const d = openDump;
  if (d == nullptr || !d->file.isOpen()) return;
  d->flushPending();
  d->file.close(true);
  waveformRecording = false;
}

// A terminating signal during the run: the batches already made are written out, whole, and a
// time line closes the dump at the time reached (the changes of that time are not in it).
void closeFromSignal() {
  const Dump* const d = openDump;
  if (d == nullptr || !d->file.isOpen()) return;
  char tail[24];
  size_t length = 0;
  const uint64_t reached = d->pendingTime + d->offset;
  if (!d->anyTimeWritten || reached > d->lastTimeWritten) {
    char digits[20];
    size_t count = 0;
    uint64_t t = reached;
    do {
      digits[count++] = static_cast<char>('0' + t % 10);
      t /= 10;
    } while (t != 0);
    tail[length++] = '#';
    while (count > 0) tail[length++] = digits[--count];
    tail[length++] = '\n';
  }
  openDump->file.closeFromSignal(tail, length);
}

}  // namespace

void waveformOpen() {
  Dump& d = dump();
  if (d.fileName.empty() || d.file.isOpen()) return;
  d.file.open(commandName, "-V", d.fileName);
  openDump = &d;
  d.declare();
  waveformRecording = true;
  static const bool registered = std::atexit(closeAtExit) == 0 && std::at_quick_exit(closeAtExit) == 0;
  (void)registered;
  atTerminatingSignal(closeFromSignal);
}

void waveformChange(uint64_t time, int signal, SignalValue value) { dump().change(time, signal, value); }

void Dump::change(uint64_t time, int signal, SignalValue value) {
  if (time != pendingTime) {
    flushPending();
    pendingTime = time;
  }
  values[static_cast<size_t>(signal)] = value;
  const int var = variableOf[static_cast<size_t>(signal)];
  if (dirty[static_cast<size_t>(var)] == 0) {
    dirty[static_cast<size_t>(var)] = 1;
    dirtyList.push_back(var);
  }
}

void waveformReset() {
  if (!waveformRecording) return;
  dump().reset();
}

void Dump::reset() {
  flushPending();
  const bool first = !anyTimeWritten;
  if (!first) offset = lastTimeWritten + 1;
  std::copy(phaseThree->currentSignals, phaseThree->currentSignals + values.size(), values.begin());
  pendingTime = 0;
  appendTime(offset);
  text += first ? "$dumpvars\n" : "$comment restart $end\n";
  for (const Variable& var : variables) appendValue(var);
  if (first) text += "$end\n";
  writeText();
}

void waveformClose() {
  Dump& d = dump();
  if (!d.file.isOpen()) return;
  d.flushPending();
  waveformRecording = false;
  d.file.close();
}

void waveformTakePart() {
  Dump& d = dump();
  if (d.fileName.empty() || d.registered) return;
  d.registered = true;
  observeRun(d);
}
