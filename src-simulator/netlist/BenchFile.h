// The ISCAS .bench reader.
//
// A line is one of
//   INPUT(name)                  a top-level input (a switch)
//   OUTPUT(name)                 a top-level output (a probe)
//   name = GATE(in1, in2, ...)   a gate driving net name
// with GATE one of AND NAND OR NOR XOR XNOR (one input or more), NOT BUFF BUF (one input) and DFF
// (one input, the D of a flip-flop storing on the rising edge of the implicit input CLK, which is
// added after the declared inputs unless one of them is named CLK). Keywords are read in any
// case; names are case-sensitive and may hold any character but blanks, '(', ')', ',', '=' and
// '#'. '#' starts a comment; blank lines are skipped.
#pragma once

#include <string_view>

#include "netlist/Netlist.h"

namespace netlist {

// Reads text into netlist (empty before). Each net is named after its .bench name; places are
// line numbers. Errors, at their line ("12"): a line of none of the forms above, an unknown gate
// ("unknown gate type 'FOO'"), a gate with the wrong number of inputs, a name declared INPUT
// twice, no input and no output at all. Returns false when an error was added to diagnostics;
// the netlist is then incomplete.
bool readBench(std::string_view text, Netlist& netlist, Diagnostics& diagnostics);

}  // namespace netlist
