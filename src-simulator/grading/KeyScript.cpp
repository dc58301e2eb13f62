#include "grading/KeyScript.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "components/ssiRT.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunObserver.h"
#include "kernel/RunTime.h"
#include "output/SignalGroups.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"

// A word quoted in a one-line message: control characters and bytes beyond ASCII as \xHH.
std::string printableText(const std::string& word) {
  static const char hex[] = "0123456789abcdef";
  std::string text;
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= ' ' && byte <= '~') {
      text += c;
    } else {
      text += "\\x";
      text += hex[byte >> 4];
      text += hex[byte & 15];
    }
  }
  return text;
}

namespace {

// The script as the run drives it: checked at the start, stepped between passes, its last row
// reported at the end before every other output ends.
struct KeyScriptState;
void stepScript(KeyScriptState& k);

struct KeyScriptRun : RunScript {
  // The state this run steps: the one it is part of, reached without looking it up at each pass.
  explicit KeyScriptRun(KeyScriptState& of) : state(of) { order = INT_MAX; }
  KeyScriptState& state;
  void runStart() override;
  void step() override { stepScript(state); }
  void runEnd() override { keyScriptRunEnd(); }
};

// The script of the simulation being run.
struct KeyScriptState {
  KeyScriptRun run{*this};
  std::vector<ScriptStep> steps;
  size_t next = 0;       // the step that comes up next, or the one whose presses go on
  uint64_t pressed = 0;  // presses of that step made so far
  uint64_t row = 0;      // the next row's number
  // A row is awaited: for step awaitedStep (0: the reset), after its awaitedPresses-th press.
  // final: the row ends that step (for a step pressed until a condition holds, the row decides).
  bool awaiting = true;
  size_t awaitedStep = 0;
  uint64_t awaitedPresses = 0;
  bool awaitedFinal = true;
  uint64_t actionTime = 0;  // of the last press, setting, wait or reset
  bool stopped = false;     // the settle guard ended the script
  bool endAfterLastPoint = false;
  uint64_t guardBound = 0;
  void (*notSettledHook)(size_t, const std::string&, uint64_t, const std::string&) = nullptr;
  void (*inputErrorHook)(const std::string&, const std::string&) = nullptr;
  bool registered = false;
};

KeyScriptState& script() { return Simulation::current().part<KeyScriptState>(); }

// Digits only, no sign; false when empty or beyond 64 bits.
bool readCount(std::string_view text, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

void press(int key) {
  const int cind = phaseTwo->switchComponent(key);
  phaseTwo->kindOf(cind).xEventTriggered(cind);
}

// Every switch whose level differs from its setting toggled, in the order of the bits.
void applySettings(const ScriptStep& step) {
  for (const InputSetting& setting : step.settings)
    for (size_t k = 0; k < setting.switches.size(); ++k)
      if (switchLevel(setting.switches[k]) != setting.levels[k]) toggleSwitch(setting.switches[k]);
}

bool hasPoints() {
  KeyScriptState& k = script();
  return runObservers().settleWatchers > 0 || k.endAfterLastPoint || k.guardBound != 0;
}

void updatePending() {
  KeyScriptState& k = script();
  k.run.pending = !k.stopped && (k.next < k.steps.size() || (k.awaiting && hasPoints()));
}

void reportRow() {
  KeyScriptState& k = script();
  k.awaiting = false;
  bool complete = k.awaitedFinal;
  if (!complete) {  // a press of a step pressed until its condition holds, or one of key*N
    const ScriptStep& step = k.steps[k.next];
    complete = k.awaitedPresses >= step.count || (step.until && step.until());
    if (complete) {
      ++k.next;
      k.pressed = 0;
    }
  }
  const SettlePoint point{k.awaitedStep, k.row++, k.awaitedPresses, complete};
  runObservers().settlePoint(point);
  if (k.endAfterLastPoint && k.run.endsRun && complete && k.awaitedStep == k.steps.size()) done = 1;
}

void await(size_t step, uint64_t presses, bool final) {
  KeyScriptState& k = script();
  k.awaiting = true;
  k.awaitedStep = step;
  k.awaitedPresses = presses;
  k.awaitedFinal = final;
  k.actionTime = phaseFour->now();
}

// The first few wires with events still queued, earliest first, with their values now.
std::string stillChanging() {
  std::vector<std::pair<uint64_t, int>> pending;
  phaseFour->forEachQueued([&](uint64_t time, int wire) { pending.emplace_back(time, wire); });
  std::sort(pending.begin(), pending.end());
  std::vector<SignalGroup> groups;
  std::vector<int> groupOfWire;
  signalGroupsForm(groups, groupOfWire);
  std::string text;
  std::vector<int> named;
  for (const auto& [time, wire] : pending) {
    if (std::find(named.begin(), named.end(), wire) != named.end()) continue;
    if (named.size() == 4) {
      text += " ...";
      break;
    }
    named.push_back(wire);
    const SignalGroup& g = groups[static_cast<size_t>(groupOfWire[static_cast<size_t>(wire)])];
    if (!text.empty()) text += ' ';
    text += g.name;
    if (g.width > 1 || g.lowIndex > 0) {
      text += '[';
      text += std::to_string((g.lowIndex < 0 ? 0 : g.lowIndex) + (wire - g.first));
      text += ']';
    }
    text += '=';
    text += signalGroupBitChar(phaseThree->currentSignals[wire]);
  }
  return text;
}

// Not settled: the guard ends the script once the next events lie beyond the bound.
void guard(KeyScriptState& k) {
  const PhaseFour& four = *phaseFour;
  if (k.guardBound == 0 || four.queueEmpty() || four.nextEventTime() - k.actionTime <= k.guardBound) return;
  const size_t step = k.awaiting ? k.awaitedStep : k.next;
  const std::string changing = stillChanging();
  k.stopped = true;
  k.run.pending = false;
  raiseExitStatus(1);
  if (k.notSettledHook != nullptr) {
    k.notSettledHook(step, step == 0 ? std::string() : k.steps[step - 1].origin, k.guardBound, changing);
  } else {
    std::fflush(standardOutputFile());
    const std::string after =
        step == 0 ? "the reset" : "step " + std::to_string(step) + " ('" + printableText(k.steps[step - 1].text) + "')";
    std::fprintf(standardErrorFile(),
                 "%s: -k: the circuit has not settled %llu time steps after %s; still changing: %s\n", commandName,
                 static_cast<unsigned long long>(k.guardBound), after.c_str(), changing.c_str());
  }
  if (k.run.endsRun) done = 1;
}

// A step's input error found when the run starts.
void inputError(const ScriptStep& step, const std::string& reason) {
  KeyScriptState& k = script();
  if (step.origin.empty() || k.inputErrorHook == nullptr) {
    std::fprintf(standardErrorFile(), "%s: -k: %s\n", commandName, reason.c_str());
    endProcess(1);
  }
  k.inputErrorHook(step.origin, reason);
  endProcess(2);
}

// A signal a setting has named, found good: its width and the switch of each bit.
struct SettingTarget {
  int width = 0;
  std::vector<int> switches;
};
using SettingTargets = std::unordered_map<std::string, SettingTarget>;

// The switches of each bit of a setting, and the levels they are set to. A name already found
// good (in targets) is not looked up again: a vector file names the same inputs on every line.
void resolveSettings(ScriptStep& step, const std::vector<SignalGroup>& groups, const SignalGroupNames& names,
                     const std::vector<int>& switchOfWire, SettingTargets& targets) {
  for (InputSetting& setting : step.settings) {
    if (const auto known = targets.find(setting.name); known != targets.end()) {
      const SettingTarget& t = known->second;
      if (!valueTextBits(setting.value, t.width, setting.levels))
        inputError(step, "value '" + printableText(setting.value.text) + "' is wider than " +
                             printableText(setting.name) + " (" + std::to_string(t.width) +
                             (t.width == 1 ? " bit)" : " bits)"));
      setting.switches = t.switches;
      continue;
    }
    int group = -1, bit = -1;
    if (!names.find(setting.name, group, bit))
      inputError(step, "unknown signal '" + printableText(setting.name) + "'");
    const SignalGroup& g = groups[static_cast<size_t>(group)];
    const int first = g.first + (bit < 0 ? 0 : bit);
    const int width = bit < 0 ? g.width : 1;
    if (!valueTextBits(setting.value, width, setting.levels))
      inputError(step, "value '" + printableText(setting.value.text) + "' is wider than " +
                           printableText(setting.name) + " (" + std::to_string(width) +
                           (width == 1 ? " bit)" : " bits)"));
    setting.switches.clear();
    for (int k = 0; k < width; ++k) setting.switches.push_back(switchOfWire[static_cast<size_t>(first + k)]);
    const auto unset = std::find(setting.switches.begin(), setting.switches.end(), -1);
    if (unset == setting.switches.end()) {
      targets.emplace(setting.name, SettingTarget{width, setting.switches});
      continue;
    }
    if (std::count(setting.switches.begin(), setting.switches.end(), -1) == width)
      inputError(step, std::string(1, '\'').append(printableText(setting.name)) + "' is not the output of switches");
    std::string reason = "bit ";
    reason += std::to_string(unset - setting.switches.begin());
    inputError(step, reason + " of '" + printableText(setting.name) + "' is not the output of a switch");
  }
}

}  // namespace

bool keyScriptReadStep(std::string_view text, ScriptStep& step) {
  // Keys are the printable characters a window key press passes on to the switch table.
  if (text.empty() || text[0] < ' ' || text[0] > '~') return false;
  step = ScriptStep{text[0], 1, false, 0};
  step.text = text;
  if (text.size() == 1) return true;
  const std::string_view value = text.substr(2);
  if (text[1] == '*') return readCount(value, step.count) && step.count > 0;
  if (text[1] != '@') return false;
  step.timed = true;
  return readCount(value, step.at);
}

bool keyScriptReadSetting(std::string_view word, ScriptStep& step, std::string& reason) {
  const size_t assign = word.find(":=");
  if (assign == std::string_view::npos || assign == 0) {
    reason = "malformed setting '" + printableText(std::string(word)) + "' (a setting is NAME:=VALUE)";
    return false;
  }
  InputSetting& setting = step.settings.emplace_back();
  setting.name = word.substr(0, assign);
  std::string why;
  if (!valueTextRead(word.substr(assign + 2), setting.value, why)) {
    reason = "malformed setting '" + printableText(std::string(word)) + "': " + why;
    return false;
  }
  if (!valueTextDefinite(setting.value)) {
    reason = "malformed setting '" + printableText(std::string(word)) + "': switches are set to 0 or 1 in every bit";
    return false;
  }
  return true;
}

bool keyScriptReadSettings(const std::string& text, ScriptStep& step, std::string& reason) {
  step = ScriptStep{};
  step.text = text;
  const std::string_view all = text;
  size_t begin = all.find_first_not_of(' ');
  while (begin != std::string_view::npos) {
    const size_t end = all.find(' ', begin);
    if (!keyScriptReadSetting(all.substr(begin, end == std::string_view::npos ? end : end - begin), step, reason))
      return false;
    begin = end == std::string_view::npos ? end : all.find_first_not_of(' ', end);
  }
  if (step.settings.empty()) {
    reason = "empty setting";
    return false;
  }
  return true;
}

bool keyScriptParse(const char* text, std::string& error) {
  std::vector<ScriptStep> parsed;
  const std::string script = text;
  size_t begin = 0;
  for (;;) {
    const size_t comma = script.find(',', begin);
    const std::string word = script.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    ScriptStep step;
    if (word.find(":=") != std::string::npos) {
      if (!keyScriptReadSettings(word, step, error)) return false;
    } else if (!keyScriptReadStep(word, step)) {
      error = "malformed step '" + printableText(word) + "' (a step is a key, key*count or key@time)";
      return false;
    }
    parsed.push_back(std::move(step));
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  keyScriptAppend(std::move(parsed));
  return true;
}

void keyScriptAppend(std::vector<ScriptStep>&& more) {
  KeyScriptState& k = script();
  k.steps.insert(k.steps.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  more.clear();
  updatePending();
}

size_t keyScriptSteps() {
  KeyScriptState& k = script();
  return k.steps.size();
}

void keyScriptTakePart() {
  KeyScriptState& k = script();
  if (k.registered) return;
  k.registered = true;
  scriptRun(k.run);
}

namespace {
void KeyScriptRun::runStart() {
  keyScriptCheck();
  updatePending();
}
}  // namespace

void keyScriptEndAfterLastPoint() {
  KeyScriptState& k = script();
  k.endAfterLastPoint = true;
  updatePending();
}

void keyScriptSetSettleBound(uint64_t bound) {
  KeyScriptState& k = script();
  k.guardBound = bound;
  updatePending();
}

void keyScriptOnNotSettled(void (*hook)(size_t, const std::string&, uint64_t, const std::string&)) {
  KeyScriptState& k = script();
  k.notSettledHook = hook;
}

void keyScriptOnInputError(void (*hook)(const std::string&, const std::string&)) {
  KeyScriptState& k = script();
  k.inputErrorHook = hook;
}

void keyScriptCheck() {
  KeyScriptState& k = script();
  std::vector<SignalGroup> groups;
  std::vector<int> groupOfWire;
  std::vector<int> switchOfWire;  // the switch whose output each wire is, or -1
  std::unique_ptr<SignalGroupNames> names;
  SettingTargets targets;
  for (ScriptStep& step : k.steps) {
    if (!step.settings.empty()) {
      if (names == nullptr) {
        signalGroupsForm(groups, groupOfWire);
        names = std::make_unique<SignalGroupNames>(groups);
        switchOfWire.assign(static_cast<size_t>(phaseTwo->numberOfSignals), -1);
        for (int c = 0; c < phaseTwo->numberOfComponents; ++c)
          if (isToggleSwitch(c)) switchOfWire[static_cast<size_t>(phaseTwo->core[c].outputs()[0])] = c;
      }
      resolveSettings(step, groups, *names, switchOfWire, targets);
    }
    if (step.key == 0) continue;
    const int cind = phaseTwo->switchComponent(step.key);
    if (cind < 0 || phaseTwo->kindOf(cind).xEventTriggered == nullptr)
      inputError(step, std::string("no switch or pulser is bound to key '") + static_cast<char>(step.key) + "'");
  }
}

void keyScriptRestart() {
  KeyScriptState& k = script();
  k.next = 0;
  k.pressed = 0;
  k.row = 0;
  k.stopped = false;
  await(0, 0, true);
  k.actionTime = 0;
  updatePending();
}

void keyScriptStep() { stepScript(script()); }

namespace {
void stepScript(KeyScriptState& k) {
  PhaseFour& four = *phaseFour;
  k.run.waitsFor = 0;
  // Presses that schedule nothing leave the circuit settled: the next step is due at once.
  while (k.run.pending && done == 0 && reStart == 0) {
    const bool settled = four.queueEmpty();
    if (k.awaiting) {
      if (settled) {
        reportRow();
        updatePending();
        continue;
      }
      // Where it never settles, the row of a finished step is due when a timed step comes due.
      if (!k.awaitedFinal || k.next == k.steps.size() || !k.steps[k.next].timed) {
        guard(k);
        return;
      }
    }
    if (k.next == k.steps.size()) return;
    ScriptStep& step = k.steps[k.next];
    if (step.timed) {
      if (step.at > four.now()) {
        if (!settled && four.nextEventTime() <= step.at) {
          k.run.waitsFor = step.at;
          return;
        }
        four.advanceTo(step.at);
        if (stopTime != 0 && step.at > stopTime) return;  // the run ends before the step
      }
    } else if (!settled) {
      guard(k);
      return;
    }
    // The circuit never settled after the step before: its row is now, before this step.
    if (k.awaiting) {
      reportRow();
      if (done != 0) return;
    }
    const size_t number = k.next + 1;
    if (step.until && k.pressed == 0 && step.until()) {  // holds already: no press
      ++k.next;
      await(number, 0, true);
      reportRow();
    } else if (step.key != 0) {
      press(step.key);
      ++k.pressed;
      if (step.until || k.pressed < step.count) {
        await(number, k.pressed, false);
      } else {
        ++k.next;
        await(number, k.pressed, true);
        k.pressed = 0;
      }
    } else {
      applySettings(step);
      ++k.next;
      await(number, 0, true);
      if (step.settings.empty()) reportRow();  // a wait: its row is due at once
    }
    updatePending();
  }
}

}  // namespace

void keyScriptRunEnd() {
  KeyScriptState& k = script();
  if (k.awaiting && !k.stopped && hasPoints()) reportRow();
  k.run.pending = false;
}
