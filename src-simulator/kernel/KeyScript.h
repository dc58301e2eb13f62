// Scripted key presses (-k): the circuit's keys pressed without a window, through the same
// switch table and xEventTriggered hooks as a key typed into the window.
//
// A script is a comma-separated list of steps. A step is one key character, pressed when the
// circuit has settled (event queue empty, nothing activated); "1*8" presses it eight times, each
// time after the circuit has settled again; "1@500" presses it once at time 500, or at once if
// that time has passed when the step comes up.
#pragma once

#include <string>

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
