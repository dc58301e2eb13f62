// Scripted key presses (-k): the circuit's keys pressed without a window, through the same
// switch table and xEventTriggered hooks as a key typed into the window.
//
// A script is a comma-separated list of steps. A step is one key character, pressed when the
// circuit has settled (event queue empty, nothing activated); "1*8" presses it eight times, each
// time after the circuit has settled again; "1@500" presses it once at time 500, or at once if
// that time has passed when the step comes up. "A:=5" sets the switches of signal A to 5 once the
// circuit has settled: every switch whose level differs is toggled, all at once; several settings
// separated by blanks ("A:=5 B:=0x3") are made together. A test-vector file adds steps pressed
// until a condition holds.
//
// While steps remain, a run without a window never ends by itself (only its stop time, a fatal
// error, F10 or the settle guard end it), and a run with a window does not sleep on the X
// connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "grading/ValueText.h"
#include "kernel/RunObserver.h"

// One signal's switches set to a value (NAME:=VALUE).
struct InputSetting {
  std::string name;
  ValueText value;
  // Found when the run starts: the switch of each bit and the level it is set to, bit 0 first.
  std::vector<int> switches;
  std::vector<SignalValue> levels;
};

struct ScriptStep {
  ScriptStep(int key_ = 0, uint64_t count_ = 1, bool timed_ = false, uint64_t at_ = 0)
      : key(key_), count(count_), timed(timed_), at(at_) {}
  int key = 0;         // 0: no press (with timed: a wait until `at`; with settings: the settings)
  uint64_t count = 1;  // presses, each once the circuit has settled; with until, the most presses
  bool timed = false;  // pressed once at time `at` (at once if that time has passed)
  uint64_t at = 0;
  std::vector<InputSetting> settings;
  // Set: key is pressed until this holds, asked once the circuit has settled, before each press.
  std::function<bool()> until;
  std::string origin;  // "<file>:<line>" for a step of a test-vector file, empty for -k
  std::string text;    // as written, for messages
};

// A key step in the -k syntax ("1", "1*8", "1@500"); false when malformed.
bool keyScriptReadStep(std::string_view text, ScriptStep& step);

// Input settings "A:=5 B:=3" (blank-separated NAME:=VALUE); false with a reason when malformed.
bool keyScriptReadSettings(const std::string& text, ScriptStep& step, std::string& reason);
// One setting NAME:=VALUE added to the step's settings (its text left as it is); false with the
// reason, as keyScriptReadSettings gives it, when malformed.
bool keyScriptReadSetting(std::string_view word, ScriptStep& step, std::string& reason);

// A word quoted in a one-line message: control characters and bytes beyond ASCII as \xHH.
std::string printableText(const std::string& word);

// Reads a -k script and appends its steps to the script (several -k options and -v files run in
// the order given). On a malformed step returns false with a one-line reason in error.
bool keyScriptParse(const char* text, std::string& error);

// Appends steps to the script (moved into it).
void keyScriptAppend(std::vector<ScriptStep>&& steps);
// How many steps the script has.
size_t keyScriptSteps();

// Settle points (kernel/RunObserver.h): the script reports its rows to the run's observers.
// Registers the current simulation's script with its run: checked at the run's start
// (keyScriptCheck), stepped between passes (keyScriptStep), ended at its end (keyScriptRunEnd).
void keyScriptTakePart();
// A run without a window ends after the last settle point instead of running on (there is
// nothing left to check).
void keyScriptEndAfterLastPoint();

// The settle guard: a step after which the circuit has not settled within bound time steps ends
// the script (and a run without a window) with exit status 1. 0 turns it off. The hook reports
// it (step as in SettlePoint, origin that step's; changing names the first wires still changing, "y=1 q[2]=x");
// without a hook the message is "<program>: -k: the circuit has not settled <bound> time steps
// after step <k> ('<text>'); still changing: ...".
void keyScriptSetSettleBound(uint64_t bound);
void keyScriptOnNotSettled(void (*hook)(size_t step, const std::string& origin, uint64_t bound,
                                        const std::string& changing));
// The guard's bound when -v is given and -L is not: far beyond any circuit's settling.
constexpr uint64_t defaultSettleBound = 50000;

// An input error in a step of a test-vector file, found when the run starts: the hook reports it
// and ends the process (status 2).
void keyScriptOnInputError(void (*hook)(const std::string& origin, const std::string& reason));

// Before the run: every key of the script must be bound to a switch or pulser with a hook, and
// every setting must name the output of switches, with a value that fits and is 0 or 1 in each
// bit. Otherwise, for a -k step, writes "<program>: -k: ..." on standard error and ends the
// process with status 1; for a step of a test-vector file, calls the input-error hook.
void keyScriptCheck();


// At a (re)start of the run: the script begins again from its first step.
void keyScriptRestart();

// Reports settle points and applies every step that is due now: a settled step when the event
// queue is empty, a timed step when no queued event comes before its time (time then moves on
// to it).
void keyScriptStep();

// At the end of the run: the last settle point, where one is due, and the run-end hook.
void keyScriptRunEnd();
