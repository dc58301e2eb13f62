#include "kernel/KeyScript.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "elaboration/Ph2.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"

bool keyScriptPending = false;

namespace {

using Step = ScriptStep;
void (*settleHook)(size_t) = nullptr;
void (*endHook)() = nullptr;
bool endAfterLast = false;
size_t reported = 0;  // settle points reported so far

std::vector<Step> steps;
size_t next = 0;        // the step that comes up next
uint64_t pressed = 0;   // presses of that step made so far
std::string programName = "tavrin";

// Digits only, no sign; false when empty or beyond 64 bits.
bool readCount(const std::string& text, uint64_t& value) {
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

bool readStep(const std::string& text, Step& step) {
  // Keys are the printable characters a window key press passes on to the switch table.
  if (text.empty() || text[0] < ' ' || text[0] > '~') return false;
  step = Step{text[0], 1, false, 0};
  if (text.size() == 1) return true;
  const std::string value = text.substr(2);
  if (text[1] == '*') return readCount(value, step.count) && step.count > 0;
  if (text[1] != '@') return false;
  step.timed = true;
  return readCount(value, step.at);
}

void press(int key) {
  if (key == 0) return;
  const int cind = phaseTwo->switchComponent(key);
  phaseTwo->xEventTriggered[cind](cind);
}

}  // namespace

bool keyScriptParse(const char* program, const char* text, std::string& error) {
  programName = program;
  std::vector<Step> parsed;
  const std::string script = text;
  size_t begin = 0;
  for (;;) {
    const size_t comma = script.find(',', begin);
    const std::string word = script.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    Step step;
    if (!readStep(word, step)) {
      error = "malformed step '" + word + "' (a step is a key, key*count or key@time)";
      return false;
    }
    parsed.push_back(step);
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  steps = std::move(parsed);
  next = 0;
  pressed = 0;
  keyScriptPending = !steps.empty();
  return true;
}

void keyScriptCheck() {
  for (const Step& step : steps) {
    if (step.key == 0) continue;
    const int cind = phaseTwo->switchComponent(step.key);
    if (cind < 0 || phaseTwo->xEventTriggered[cind] == nullptr) {
      std::fprintf(stderr, "%s: -k: no switch or pulser is bound to key '%c'\n", programName.c_str(), step.key);
      endProcess(1);
    }
  }
}

void keyScriptStep() {
  PhaseFour& four = *phaseFour;
  // Presses that schedule nothing leave the circuit settled: the next step is due at once.
  while (keyScriptPending && done == 0 && reStart == 0) {
    const bool settled = four.skewHeap.isEmpty();
    if (settleHook != nullptr && reported <= next && pressed == 0) {
      if (!settled) return;
      settleHook(reported++);
    }
    if (next == steps.size()) {
      keyScriptPending = false;
      if (endAfterLast) done = 1;
      if (endHook != nullptr) endHook();
      return;
    }
    const Step& step = steps[next];
    if (step.timed) {
      if (step.at > four.time) {
        if (!settled && four.skewHeap.root->time <= step.at) return;
        four.time = step.at;
        if (stopTime != 0 && four.time > stopTime) return;  // the run ends before the press
      }
    } else if (!settled) {
      return;
    }
    press(step.key);
    if (++pressed < step.count) continue;
    pressed = 0;
    if (++next == steps.size() && settleHook == nullptr) keyScriptPending = false;
  }
}

bool keyScriptReadStep(const std::string& text, ScriptStep& step) { return readStep(text, step); }

void keyScriptAppend(const std::vector<ScriptStep>& more) {
  steps.insert(steps.end(), more.begin(), more.end());
  keyScriptPending = true;
}

void keyScriptOnSettlePoint(void (*hook)(size_t point)) {
  settleHook = hook;
  keyScriptPending = true;
}

void keyScriptOnRunEnd(void (*hook)()) { endHook = hook; }
void keyScriptEndAfterLastPoint() { endAfterLast = true; }
size_t keyScriptSteps() { return steps.size(); }
