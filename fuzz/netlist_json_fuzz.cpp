// The Yosys JSON reader, the checks and the placement: arbitrary text as a netlist file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "netlist/NetlistFile.h"
#include "netlist/Placement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = "{" + std::string(reinterpret_cast<const char*>(data), size);
  netlist::Netlist n;
  netlist::Diagnostics d;
  const bool ok = netlist::readNetlistText("input.json", text, "", n, d);
  // A refused file says where and why; an accepted one places every cell and port.
  if (ok == d.failed()) std::abort();
  for (const std::string& e : d.errors)
    if (e.rfind("input.json:", 0) != 0) std::abort();
  if (ok) {
    const netlist::Placement p = netlist::place(n, {});
    if (p.cells.size() != n.cells.size() || p.ports.size() != n.ports.size()) std::abort();
  }
  return 0;
}
