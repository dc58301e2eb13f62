// Scripted key presses (-k): the circuit's keys pressed without a window, through the same
// switch table and xEventTriggered hooks as a key typed into the window.
//
// A script is a comma-separated list of steps. A step is one key character, pressed when the
// circuit has settled (event queue empty, nothing activated); "1*8" presses it eight times, each
// time after the circuit has settled again; "1@500" presses it once at time 500, or at once if
// that time has passed when the step comes up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a script; program names the executable in later messages. On a malformed step
// returns false with a one-line reason in error.
bool keyScriptParse(const char* program, const char* text, std::string& error);

// Before the run: every key of the script must be bound to a switch or pulser with a hook.
// Otherwise writes "<program>: -k: ..." on standard error and ends the process with status 1.
void keyScriptCheck();

// True while steps remain; the run loop calls keyScriptStep between its evaluation and its
// advance in time (nothing activated) as long as this is set.
extern bool keyScriptPending;

// Applies every step that is due now: a settled step when the event queue is empty, a timed
// step when no queued event comes before its time (time then moves on to it).
void keyScriptStep();

struct ScriptStep {
  int key = 0;         // 0: no press (with timed: wait until `at`)
  uint64_t count = 1;  // presses, each once the circuit has settled
  bool timed = false;  // pressed once at time `at` (at once if that time has passed)
  uint64_t at = 0;
};
// One step in the -k syntax ("1", "1*8", "1@500"); false when malformed.
bool keyScriptReadStep(const std::string& text, ScriptStep& step);
// Several calls: later steps are appended.
void keyScriptAppend(const std::vector<ScriptStep>& steps);
// Settle points: point 0 when the circuit has first settled after the reset, point k when step k
// (1-based) has made its presses and the circuit has settled again.
void keyScriptOnSettlePoint(void (*hook)(size_t point));
// Called once when the run ends, after the last settle point.
void keyScriptOnRunEnd(void (*hook)());
// Headless: end the run after the last settle point, instead of running on until idle.
void keyScriptEndAfterLastPoint();
size_t keyScriptSteps();
