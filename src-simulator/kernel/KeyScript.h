// Scripted key presses (-k): the circuit's keys pressed without a window, through the same
// switch table and xEventTriggered hooks as a key typed into the window.
//
// A script is a comma-separated list of steps. A step is one key character, pressed when the
// circuit has settled (event queue empty, nothing activated); "1*8" presses it eight times, each
// time after the circuit has settled again; "1@500" presses it once at time 500, or at once if
// that time has passed when the step comes up.
//
// While steps remain, a run without a window never ends by itself (only its stop time, a fatal
// error or F10 end it), and a run with a window does not sleep on the X connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ScriptStep {
  int key = 0;         // 0: no press (with timed: a wait until `at`)
  uint64_t count = 1;  // presses, each once the circuit has settled
  bool timed = false;  // pressed once at time `at` (at once if that time has passed)
  uint64_t at = 0;
};

// One step in the -k syntax ("1", "1*8", "1@500"); false when malformed.
bool keyScriptReadStep(const std::string& text, ScriptStep& step);

// A word quoted in a one-line message: control characters and bytes beyond ASCII as \xHH.
std::string printableText(const std::string& word);

// Reads a -k script and appends its steps to the script (several -k options and -v files run in
// the order given). On a malformed step returns false with a one-line reason in error.
bool keyScriptParse(const char* text, std::string& error);

// Appends steps to the script.
void keyScriptAppend(const std::vector<ScriptStep>& steps);
// How many steps the script has.
size_t keyScriptSteps();

// Settle points: point 0 when the circuit has first settled after the reset, point k when step k
// (1-based) has made its presses and the circuit has settled again, or, where it never settles
// (a free-running clock), when the next step comes due or the run ends. A step that presses
// nothing has its point as soon as it is due. The hook is called once per point, in order, with
// the wires and the time as they stand.
void keyScriptOnSettlePoint(void (*hook)(size_t point));
// Called once when the run ends (any way but a fatal error), after the last settle point.
void keyScriptOnRunEnd(void (*hook)());
// End the run after the last settle point instead of running on (a run without a window that
// has nothing left to check; the caller decides).
void keyScriptEndAfterLastPoint();

// Before the run: every key of the script must be bound to a switch or pulser with a hook.
// Otherwise writes "<program>: -k: ..." on standard error and ends the process with status 1.
void keyScriptCheck();

// True while steps or settle points remain; the run loop calls keyScriptStep between its
// evaluation and its advance in time (nothing activated) as long as this is set.
extern bool keyScriptPending;

// At a (re)start of the run: the script begins again from its first step.
void keyScriptRestart();

// Reports settle points and applies every step that is due now: a settled step when the event
// queue is empty, a timed step when no queued event comes before its time (time then moves on
// to it).
void keyScriptStep();

// At the end of the run: the last settle point, where one is due, and the run-end hook.
void keyScriptRunEnd();
