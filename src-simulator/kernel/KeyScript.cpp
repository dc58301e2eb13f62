#include "kernel/KeyScript.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "elaboration/Ph2.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"

bool keyScriptPending = false;

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

std::vector<ScriptStep> steps;
size_t next = 0;           // the step that comes up next
uint64_t pressed = 0;      // presses of that step made so far
size_t nextPoint = 0;      // the settle point to report next
bool pointDue = true;      // the presses before nextPoint are all made
bool endAfterLastPoint = false;
void (*settlePointHook)(size_t) = nullptr;
void (*runEndHook)() = nullptr;

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

void press(int key) {
  const int cind = phaseTwo->switchComponent(key);
  phaseTwo->xEventTriggered[cind](cind);
}

bool hasPoints() { return settlePointHook != nullptr || endAfterLastPoint; }

void updatePending() { keyScriptPending = next < steps.size() || (hasPoints() && nextPoint <= steps.size()); }

void reportPoint() {
  pointDue = false;
  const size_t point = nextPoint++;
  if (settlePointHook != nullptr) settlePointHook(point);
  if (endAfterLastPoint && point == steps.size()) done = 1;
}

}  // namespace

bool keyScriptReadStep(const std::string& text, ScriptStep& step) {
  // Keys are the printable characters a window key press passes on to the switch table.
  if (text.empty() || text[0] < ' ' || text[0] > '~') return false;
  step = ScriptStep{text[0], 1, false, 0};
  if (text.size() == 1) return true;
  const std::string value = text.substr(2);
  if (text[1] == '*') return readCount(value, step.count) && step.count > 0;
  if (text[1] != '@') return false;
  step.timed = true;
  return readCount(value, step.at);
}

bool keyScriptParse(const char* text, std::string& error) {
  std::vector<ScriptStep> parsed;
  const std::string script = text;
  size_t begin = 0;
  for (;;) {
    const size_t comma = script.find(',', begin);
    const std::string word = script.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
    ScriptStep step;
    if (!keyScriptReadStep(word, step)) {
      error = "malformed step '" + printableText(word) + "' (a step is a key, key*count or key@time)";
      return false;
    }
    parsed.push_back(step);
    if (comma == std::string::npos) break;
    begin = comma + 1;
  }
  keyScriptAppend(parsed);
  return true;
}

void keyScriptAppend(const std::vector<ScriptStep>& more) {
  steps.insert(steps.end(), more.begin(), more.end());
  updatePending();
}

size_t keyScriptSteps() { return steps.size(); }

void keyScriptOnSettlePoint(void (*hook)(size_t point)) {
  settlePointHook = hook;
  updatePending();
}

void keyScriptOnRunEnd(void (*hook)()) { runEndHook = hook; }

void keyScriptEndAfterLastPoint() {
  endAfterLastPoint = true;
  updatePending();
}

void keyScriptCheck() {
  for (const ScriptStep& step : steps) {
    if (step.key == 0) continue;
    const int cind = phaseTwo->switchComponent(step.key);
    if (cind < 0 || phaseTwo->xEventTriggered[cind] == nullptr) {
      std::fprintf(stderr, "%s: -k: no switch or pulser is bound to key '%c'\n", commandName, step.key);
      endProcess(1);
    }
  }
}

void keyScriptRestart() {
  next = 0;
  pressed = 0;
  nextPoint = 0;
  pointDue = true;
  updatePending();
}

void keyScriptStep() {
  PhaseFour& four = *phaseFour;
  // Presses that schedule nothing leave the circuit settled: the next step is due at once.
  while (keyScriptPending && done == 0 && reStart == 0) {
    const bool settled = four.skewHeap.isEmpty();
    if (pointDue && settled) {
      reportPoint();
      updatePending();
      continue;
    }
    if (next == steps.size()) return;
    const ScriptStep& step = steps[next];
    if (step.timed) {
      if (step.at > four.time) {
        if (!settled && four.skewHeap.root->time <= step.at) return;
        if (stopTime != 0 && step.at > stopTime) {
          four.time = step.at;  // the run ends before the step
          return;
        }
        four.time = step.at;
      }
    } else if (!settled) {
      return;
    }
    // The circuit never settled after the step before: its point is now, before this step.
    if (pointDue) {
      reportPoint();
      if (done != 0) return;
    }
    if (step.key != 0) press(step.key);
    if (step.key != 0 && ++pressed < step.count) continue;
    pressed = 0;
    ++next;
    pointDue = true;
    if (step.key == 0) reportPoint();
    updatePending();
  }
}

void keyScriptRunEnd() {
  if (pointDue && hasPoints() && nextPoint <= steps.size()) reportPoint();
  keyScriptPending = false;
  if (runEndHook != nullptr) runEndHook();
}
