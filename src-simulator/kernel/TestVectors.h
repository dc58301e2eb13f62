// Test vectors (-v): steps of a key script, each with the values the circuit must show once it
// has settled after the step; failures are reported on standard output and set the exit status.
//
// File: one line each, blank lines and lines starting with '#' skipped, '#' starting a comment
// anywhere else. A line holds an optional step in the -k syntax ("1", "1*8", "1@500") or "@time"
// (wait until that time, press nothing), then expectations NAME=VALUE separated by blanks.
// Expectations on a line with a step are checked at that step's settle point, those on a line
// without one at the settle point of the line before (point 0, after the reset, for the first).
// NAME is a signal group ("Reg1", "Reg1_2") or one bit of it ("Reg1[3]"). VALUE is 0x followed
// by hexadecimal digits, 0b followed by 0 1 x z u per bit (most significant first), a decimal
// number, or one of x z u for every bit (x: XXX, z: HIZ, u: UNINITIALIZED).
//
// Output: "<file>:<line>: <NAME> expected <value> got <value>" per failed expectation, at its
// settle point, "<file>:<line>: <NAME> expected <value> not reached" per expectation whose step
// the run never reached, then "<passed> passed, <failed> failed". Values are shown in the
// notation of the expectation: hexadecimal as 0x and a digit per four bits of the group, binary
// as 0b and a character per bit, decimal as a number, a letter's as hexadecimal (0 or 1 for
// one bit); a value with any bit neither 0 nor 1 as
// 0b per bit, or as one letter when all its bits are the same x, z or u.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

// Reads and parses the file and appends its steps to the key script (-v). A file that cannot be
// read or parsed ends the process with status 2 after "<program>: -v: ..." on standard error.
void testVectorsRead(const char* path);

// The parse of testVectorsRead on text, nothing kept: false with a one-line reason
// ("<file>:<line>: ...") for the first malformed line.
bool testVectorsCheck(std::istream& in, const std::string& file, std::string& error);

// The JUnit XML report of a -v run, written when the run ends (-o).
void testVectorsReport(const char* path);

// Installs, once, the key script's settle-point and run-end hooks that -v and -s share: at each
// settle point the table's row, then the failed expectations; at the end the summary.
void gradingHooksInstall();
void testVectorsSettlePoint(size_t point);
void testVectorsRunEnd();
