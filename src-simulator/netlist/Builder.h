// The builder: a checked netlist (checkNetlist) and its placement become the circuit's signals and
// components, as a circuit's simnet() would make them.
//
// Wires: every net read or named gets one wire. Its name is the first name that claims it: the
// top-level ports in file order, then the names of the file in their order (Netlist::names),
// hidden names left out; a name claims a net no name before it has, and is made as one Signal of
// its width ("d" is d[0] .. d[3]) as soon as it claims one bit, its other bits driven from their
// own wires by invisible buffers. Nets no name claims are unnamed wires. A net read but driven by
// nothing is tied to a constant HIZ wire ("1'bz"); the constants "x" and "z" are the constant
// wires "1'bx" and "1'bz".
//
// Cells: each one from library components at its place, at the graphic level of its box's
// depth + 1 (see docs/netlists.md for the mapping of each kind). Boxes: a Module labelled with
// the instance and module name. Inputs: a Switch per bit, starting at ZERO, or a Clock (--clock);
// outputs and extra probes: a Probe per bit, highest bit first, labelled with the bit's name.
#pragma once

#include <string>
#include <vector>

#include "netlist/Netlist.h"
#include "netlist/Placement.h"

namespace netlist {

// The keys switches are given, in order: digits, lower case, upper case.
extern const char* const switchKeys;

struct BuildOptions {
  struct ClockInput {
    std::string name;
    int period = 0;
  };
  std::vector<ClockInput> clocks;   // --clock NAME=PERIOD
  std::vector<std::string> probes;  // --probe NET
};

// The options resolved against the netlist.
struct BuildPlan {
  std::vector<int> clockPeriod;                // per port: the clock's period, 0 for a switch
  std::vector<std::vector<NetId>> probeNets;   // per --probe: its nets, bit 0 first
  std::vector<std::string> probeNames;
};

// Errors, at the command line's place "--clock" / "--probe": a clock that is not a 1-bit input
// port, a period below 2, a probe name the netlist does not have. Returns false when an error was
// added to diagnostics.
bool planBuild(const Netlist& netlist, const BuildOptions& options, BuildPlan& plan, Diagnostics& diagnostics);

// One switch's key and what it sets, in key order.
struct SwitchKey {
  char key;  // 0: none (the keys ran out); the switch is set only by name (-v NAME:=VALUE)
  std::string bit;
};

// Creates the signals and components of the netlist (checked by checkNetlist, planned by
// planBuild, placed by place with plan.probeNets); to be called where simnet() would be. Returns
// the switches' keys, in the order given (ports in file order, bit 0 first).
std::vector<SwitchKey> buildNetlist(const Netlist& netlist, const BuildPlan& plan, const Placement& placement);

}  // namespace netlist
