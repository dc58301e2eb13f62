// A test bench for circuits: elaborates what a test has built, resets it and drives it through
// its switches the way a key press does, letting the events settle after each step. Every
// circuit lives in its own child process (the phases are process-wide).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tavrin.h"

namespace bench {

// Runs body in a child process; gtest failures inside it fail the calling test.
void inChild(const std::function<void()>& body);

// After construction: flattening, connectivity, activation lists and the kernel, as the
// simulator prepares a run.
void elaborate();
// elaborate(), then restart().
void start();
// Back to time 0 as a restart does: every wire and component reset, switches at their
// initial levels, events settled.
void restart();

// Evaluation passes until no event is queued and nothing is activated.
void settle();

// The road of a key press: the switch bound to key gets its hook called, then events settle.
void press(char key);

// Presses the keys of a switch's bits until the switch shows value.
void setSwitches(const Signal& sw, unsigned value);

SignalValue level(int serial);
// A bus read as an unsigned number (bit 0 first), or -1 when a bit is not ZERO or ONE.
int word(const Signal& s);
int word(const std::vector<int>& serials);

// The serial numbers of a listed signal, bit 0 first: the first wires named name[0], name[1], ...
std::vector<int> wires(const std::string& name, int width);

}  // namespace bench
