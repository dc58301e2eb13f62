// A small test bench for component tests: exact input waveforms, value traces, headless runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "construction/Signal.h"
#include "support/Harness.h"

namespace bench {

// One input step: at `time` the driven wires take `value`, written most significant bit first
// with the characters 0 1 X Z U. Steps jump straight to the value (no passage through XXX).
struct Step {
  uint64_t time;
  std::string value;
};

// Registers a driver that puts `steps` on `s`.
void drive(const Signal& s, const std::vector<Step>& steps);

// Registers an observer that writes "<time> <name> <value>" to standard error whenever one of
// the wires of `s` changes (and once at the start).
void trace(const Signal& s, const char* name);

// Builds the circuit in a child and runs it headless with -X -T stopTime; the run ends just
// after stopTime even when the circuit itself falls quiet. Expects exit status 0.
RunResult run(const std::function<void()>& build, uint64_t stopTime);

// The lines of one trace as "time:value", in order.
std::vector<std::string> traceOf(const std::string& err, const std::string& name);

// The value of a trace at time t (its last line not later than t), or "" when none.
std::string valueAt(const std::string& err, const std::string& name, uint64_t t);

// The values of a trace at several times, joined by blanks.
std::string valuesAt(const std::string& err, const std::string& name, const std::vector<uint64_t>& times);

// Standard error without the traces and the component and signal counts.
std::string messages(const std::string& err);

}  // namespace bench
