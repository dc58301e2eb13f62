// What tavrin-peer writes for Icarus Verilog from a netlist of the project's readers: the same
// netlist as a flat structural Verilog module, pseudo-random input vectors, and a testbench that
// applies them and prints the settled outputs (bench/peer.sh compares those with tavrin-net).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "netlist/Netlist.h"

namespace peer {

// name as a Verilog identifier: itself when it is a simple identifier and not a keyword,
// otherwise escaped, "\name " (the blank ends it).
std::string verilogName(const std::string& name);

// The netlist as one module named moduleName: a port per netlist port (bit 0 the lowest), one
// wire per net (a reg for a flip-flop's or latch's output), every gate a primitive or continuous
// assignment of delay 7, every flip-flop and latch an always block storing with "<= #7" and
// acting as tavrin's builder makes it act (docs/netlists.md, the cell mapping).
void writeVerilog(const netlist::Netlist& netlist, const std::string& moduleName, std::ostream& out);

// Inputs that do not take random values.
struct Pattern {
  // NAME=VALUE: the input is VALUE from vector `lead` on and its complement (every bit
  // inverted) before, a reset that is active for the first vectors and then released.
  std::vector<std::pair<std::string, std::string>> holds;
  // A 1-bit input that is 0 in even vectors and 1 in odd ones, a clock. While there is one, the
  // other inputs change only in the even vectors, so never together with a rising edge.
  std::vector<std::string> toggles;
  uint64_t lead = 4;
};

// count vectors, one line each: a hexadecimal value per input port, in port order, a digit per
// four bits, from a fixed pseudo-random sequence of seed. Returns false with error set when the
// pattern names an input that does not exist (or a toggle of more than 1 bit, a value that is
// malformed or too wide) or the netlist has no input.
bool writeVectors(const netlist::Netlist& netlist, uint64_t count, uint64_t seed, const Pattern& pattern,
                  std::ostream& out, std::string& error);

// A testbench module for writeVerilog's module: it reads vectors (the file given, or the one of
// the plusarg +vectors=FILE) with $fscanf, applies vector k at time k * period and, at time
// (k + 1) * period - 1, prints one line "IN:=0x.. ...  OUT=0b.. ..." (inputs in hexadecimal,
// outputs in binary with their x and z). Its last line is "# settled N": the longest time any
// vector's outputs went on changing after it was applied. Returns false with error set when
// the netlist has no input or no output or the period is below 2.
bool writeTestbench(const netlist::Netlist& netlist, const std::string& moduleName, const std::string& vectors,
                    uint64_t period, std::ostream& out, std::string& error);

}  // namespace peer
