#include "output/SignalGroups.h"

#include <cstdlib>
#include <unordered_map>

#include "elaboration/Ph2.h"

namespace {

// "PC[3]" is ("PC", 3); a name without a trailing index keeps index -1.
void splitName(const char* name, std::string& base, long& index) {
  std::string full = name != nullptr && *name != '\0' ? name : "Annon";
  index = -1;
  if (full.size() > 2 && full.back() == ']') {
    const size_t open = full.rfind('[');
    if (open != std::string::npos && open > 0 && open + 2 < full.size()) {
      const std::string digits = full.substr(open + 1, full.size() - open - 2);
      if (digits.size() < 10 && digits.find_first_not_of("0123456789") == std::string::npos) {
        index = std::strtol(digits.c_str(), nullptr, 10);
        full.erase(open);
      }
    }
  }
  for (char& c : full)
    if (c <= ' ' || c > '~') c = '_';
  base = full;
}

}  // namespace

void signalGroupsForm(std::vector<SignalGroup>& groups, std::vector<int>& groupOfWire) {
  const int n = phaseTwo->numberOfSignals;
  groups.clear();
  groupOfWire.assign(static_cast<size_t>(n), 0);
  std::unordered_map<std::string, size_t> members;
  long previousIndex = -1;
  for (int s = 0; s < n; ++s) {
    std::string base;
    long index;
    splitName(phaseTwo->signalNames[s], base, index);
    if (!groups.empty() && index >= 0 && previousIndex >= 0 && index == previousIndex + 1 &&
        base == groups.back().base) {
      ++groups.back().width;
    } else {
      SignalGroup group;
      group.member = members[base]++;
      group.name = group.member == 0 ? base : base + "_" + std::to_string(group.member + 1);
      group.base = std::move(base);
      group.first = s;
      group.lowIndex = index;
      groups.push_back(std::move(group));
    }
    groupOfWire[static_cast<size_t>(s)] = static_cast<int>(groups.size() - 1);
    previousIndex = index;
  }
}

namespace {

// name as a group's name and an index: "Reg1[3]" is "Reg1" and 3, "Reg1" is itself and -1; false
// for a malformed index.
bool splitIndex(const std::string& name, std::string& base, long& index) {
  base = name;
  index = -1;
  if (name.size() > 2 && name.back() == ']') {
    const size_t open = name.rfind('[');
    const std::string digits = open == std::string::npos ? "" : name.substr(open + 1, name.size() - open - 2);
    if (digits.empty() || digits.size() >= 10 || digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    index = std::strtol(digits.c_str(), nullptr, 10);
    base = name.substr(0, open);
  }
  return true;
}

// The bit of group g that index names (-1: all of them); false outside it.
bool bitOf(const SignalGroup& candidate, long index, int& bit) {
  if (index < 0) {
    bit = -1;
    return true;
  }
  const long low = candidate.lowIndex < 0 ? 0 : candidate.lowIndex;
  if (index < low || index >= low + candidate.width) return false;
  bit = static_cast<int>(index - low);
  return true;
}

}  // namespace

bool signalGroupsFind(const std::vector<SignalGroup>& groups, const std::string& name, int& group, int& bit) {
  std::string base;
  long index = -1;
  if (!splitIndex(name, base, index)) return false;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].name != base) continue;
    group = static_cast<int>(g);
    return bitOf(groups[g], index, bit);
  }
  return false;
}

SignalGroupNames::SignalGroupNames(const std::vector<SignalGroup>& groups_) : groups(groups_) {
  byName.reserve(groups.size());
  for (size_t g = 0; g < groups.size(); ++g) byName.emplace(groups[g].name, static_cast<int>(g));
}

bool SignalGroupNames::find(const std::string& name, int& group, int& bit) const {
  std::string base;
  long index = -1;
  if (!splitIndex(name, base, index)) return false;
  const auto found = byName.find(base);
  if (found == byName.end()) return false;
  group = found->second;
  return bitOf(groups[static_cast<size_t>(group)], index, bit);
}

std::vector<int> signalGroupsProbed(const std::vector<int>& groupOfWire) {
  std::vector<int> probed;
  std::vector<char> seen(groupOfWire.size(), 0);
  for (int c = 0; c < phaseTwo->numberOfComponents; ++c) {
    const ComponentKind kind = phaseTwo->record[c].kind;
    if (kind != ComponentKind::Probe && kind != ComponentKind::ProbeByte && kind != ComponentKind::ProbeByteH) continue;
    const ComponentCore& core = phaseTwo->core[c];
    for (int k = 0; k < core.numberOfDataInputs; ++k) {
      const int wire = core.dataInputs()[k];
      if (wire < 0 || static_cast<size_t>(wire) >= groupOfWire.size()) continue;
      const int group = groupOfWire[static_cast<size_t>(wire)];
      if (seen[static_cast<size_t>(group)] != 0) continue;
      seen[static_cast<size_t>(group)] = 1;
      probed.push_back(group);
    }
  }
  return probed;
}

char signalGroupBitChar(SignalValue value) {
  switch (value) {
    case ZERO: return '0';
    case ONE: return '1';
    case XXX: return 'x';
    case HIZ: return 'z';
    default: return 'u';
  }
}

bool signalGroupDefinite(const SignalValue* bits, int width) {
  for (int k = 0; k < width; ++k)
    if (bits[k] != ZERO && bits[k] != ONE) return false;
  return true;
}

std::string signalGroupHex(const SignalValue* bits, int width) {
  std::string text = "0x";
  for (int digit = (width + 3) / 4 - 1; digit >= 0; --digit) {
    int value = 0;
    for (int k = 3; k >= 0; --k) {
      const int bit = digit * 4 + k;
      value = value * 2 + (bit < width && bits[bit] == ONE ? 1 : 0);
    }
    text += "0123456789ABCDEF"[value];
  }
  return text;
}

std::string signalGroupBits(const SignalValue* bits, int width) {
  std::string text;
  for (int k = width - 1; k >= 0; --k) text += signalGroupBitChar(bits[k]);
  return text;
}
