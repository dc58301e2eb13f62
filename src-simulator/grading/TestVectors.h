// Test vectors (-v): steps of a key script, each with the values the circuit must show once it
// has settled after the step; failures are reported on standard output and set the exit status.
//
// File: one line each, blank lines and lines starting with '#' skipped, '#' starting a comment
// anywhere else. A line holds an optional step, then expectations NAME=VALUE separated by
// blanks. A step is one of
//   a key step in the -k syntax ("1", "1*8", "1@500") or "@time" (wait until then, press nothing);
//   input settings NAME:=VALUE, one or more ("A:=5 B:=3"): the switches of each signal set to
//     the value, all at once;
//   "KEY until NAME=VALUE ... within N": KEY pressed, each time once the circuit has settled,
//     until every NAME=VALUE holds (asked before each press), at most N times.
// Expectations on a line with a step are checked at that step's settle point, those on a line
// without one at the settle point of the line before (point 0, after the reset, for the first).
// NAME is a signal group ("Reg1", "Reg1_2") or one bit of it ("Reg1[3]"); VALUE as in
// ValueText.h.
//
// Output: "<file>:<line>: <NAME> expected <value> got <value>" per failed expectation, at its
// settle point, "<file>:<line>: <NAME> expected <value> not reached" per expectation whose step
// the run never reached, then "<passed> passed, <failed> failed". A step pressed until its
// condition holds adds "<file>:<line>: <conditions> after <N> presses of '<key>'", or, at its
// limit, " after <N> presses of '<key>' (the limit)" to the failed condition's line. A step after
// which the circuit does not settle within the settle guard's bound gives "<file>:<line>: the
// circuit has not settled <N> time steps after this step; still changing: <wire>=<value> ...",
// counts as a failure and ends the run. Values are shown in the expectation's notation.
//
// Exit status: 0 when every expectation passes, 1 when any fails, 2 when a file cannot be read
// or used: malformed, no expectations, an unknown signal, a value wider than its signal, a key
// bound to nothing, a setting of a signal not set by switches. Those are reported as
// "<program>: -v: <file>:<line>: <reason>" before the run, and the report (-o) then holds one
// error case.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

// Reads and parses the file and appends its steps to the key script (-v). A file that cannot be
// read or parsed is reported ("<program>: -v: ..." on standard error, and the report's error
// case) and gives false: the caller ends the process with status 2.
bool testVectorsRead(const char* path);

// The parse of testVectorsRead on text, nothing kept: false with a one-line reason
// ("<file>:<line>: ...") for the first malformed line.
bool testVectorsCheck(std::istream& in, const std::string& file, std::string& error);

// The JUnit XML report of a -v run, written when the run ends, or when a file cannot be used
// (-o). Set before any -v file is read.
void testVectorsReport(const char* path);
