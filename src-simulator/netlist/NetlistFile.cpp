#include "netlist/NetlistFile.h"

#include <fstream>
#include <sstream>

#include "netlist/BenchFile.h"
#include "netlist/YosysJson.h"

namespace netlist {

Format formatOf(const std::string& path, std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos) return text[first] == '{' ? Format::YosysJson : Format::Bench;
  const std::string suffix = ".json";
  return path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0
             ? Format::YosysJson
             : Format::Bench;
}

bool readNetlistText(const std::string& path, std::string_view text, const std::string& top, Netlist& netlist,
                     Diagnostics& diagnostics) {
  diagnostics.file = path;
  const bool read = formatOf(path, text) == Format::YosysJson ? readYosysJson(text, top, netlist, diagnostics)
                                                              : readBench(text, netlist, diagnostics);
  return read && checkNetlist(netlist, diagnostics);
}

bool readNetlistFile(const std::string& path, const std::string& top, Netlist& netlist, Diagnostics& diagnostics) {
  diagnostics.file = path;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || in.bad()) {
    diagnostics.error("0", "cannot read the file");
    return false;
  }
  const std::string contents = text.str();
  return readNetlistText(path, contents, top, netlist, diagnostics);
}

}  // namespace netlist
