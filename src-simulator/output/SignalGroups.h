// Signal groups: the wires as the user named them, shared by the waveform writer (-V), the test
// vectors (-v) and the table per step (-s).
//
// The consecutive bits of one handle ("PC[0]" ... "PC[15]") form one group "PC" of width 16,
// bit 0 first; a wire whose name has no index is a group of its own. Further groups with the
// same name are "PC_2", "PC_3", ... in the order of their wires. Characters that would end a
// word (blanks, control characters) become '_'.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "construction/Signal.h"

struct SignalGroup {
  std::string base;  // the handle's name
  std::string name;  // base, or base_2, base_3 ...: unique within the circuit
  int first = 0;     // wires first .. first + width - 1, bit 0 first
  int width = 1;
  long lowIndex = -1;  // the name's index of bit 0; -1 for a name without an index
  size_t member = 0;   // 0 for base itself, 1 for base_2, ...
};

// The groups of the elaborated circuit, in the order of their first wires, and the group of
// each wire.
void signalGroupsForm(std::vector<SignalGroup>& groups, std::vector<int>& groupOfWire);

// "Reg1" is every bit of that group (bit -1), "Reg1[3]" its bit with index 3; false for a
// name that is no group or an index outside it.
bool signalGroupsFind(const std::vector<SignalGroup>& groups, const std::string& name, int& group, int& bit);

// The groups by name, for finding many names in them at a constant cost each (a vector file's
// thousands of settings and expectations): built once from the groups, which must outlive it.
class SignalGroupNames {
public:
  explicit SignalGroupNames(const std::vector<SignalGroup>& groups);
  // As signalGroupsFind above.
  bool find(const std::string& name, int& group, int& bit) const;

private:
  const std::vector<SignalGroup>& groups;
  std::unordered_map<std::string, int> byName;  // the first group of each name
};

// The groups any of whose wires a probe shows, in the order the probes were created.
std::vector<int> signalGroupsProbed(const std::vector<int>& groupOfWire);

// A value's bit as a character: 0 1 x z u.
char signalGroupBitChar(SignalValue value);

// The group's bits (bit 0 first) all ZERO or ONE.
bool signalGroupDefinite(const SignalValue* bits, int width);

// "0x" and (width + 3) / 4 upper-case hexadecimal digits; the bits must be definite.
std::string signalGroupHex(const SignalValue* bits, int width);

// The bits, most significant first, as 0 1 x z u.
std::string signalGroupBits(const SignalValue* bits, int width);
