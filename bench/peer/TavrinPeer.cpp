// tavrin-peer: a netlist file (Yosys JSON or ISCAS .bench, read as tavrin-net reads it) made
// ready for Icarus Verilog, for the comparison of bench/peer.sh.
//
//   tavrin-peer verilog NETLIST                 the netlist as flat structural Verilog
//   tavrin-peer vectors [--hold NAME=VALUE]... [--toggle NAME]... [--lead N] NETLIST COUNT SEED
//                                               COUNT pseudo-random input vectors
//   tavrin-peer testbench NETLIST VECTORS PERIOD
//                                               a testbench applying VECTORS every PERIOD steps
//
// Everything is written to standard output (PeerWriter.h says what). Errors go to standard
// error and end the process with status 2.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "netlist/NetlistFile.h"
#include "peer/PeerWriter.h"

namespace {

const char* const program = "tavrin-peer";

int usage(const std::string& problem) {
  std::cerr << program << ": " << problem << "\n"
            << "usage: " << program << " verilog NETLIST\n"
            << "       " << program << " vectors [--hold NAME=VALUE]... [--toggle NAME]... [--lead N] NETLIST COUNT SEED\n"
            << "       " << program << " testbench NETLIST VECTORS PERIOD\n";
  return 2;
}

bool number(const std::string& text, uint64_t& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// The module's name: the top module's, or for a .bench file the file's name without folder and
// extension.
std::string moduleName(const netlist::Netlist& n, const std::string& path) {
  if (!n.boxes.empty() && !n.boxes[0].instance.empty()) return n.boxes[0].instance;
  std::string name = path.substr(path.find_last_of('/') + 1);
  name = name.substr(0, name.find('.'));
  return name.empty() ? "top" : name;
}

int run(int argc, char** argv) {
  if (argc < 2) return usage("no mode given");
  const std::string mode = argv[1];
  std::vector<std::string> words;
  peer::Pattern pattern;
  for (int i = 2; i < argc; ++i) {
    const std::string word = argv[i];
    const bool option = word == "--hold" || word == "--toggle" || word == "--lead";
    if (!option) {
      words.push_back(word);
      continue;
    }
    if (mode != "vectors") return usage(word + " is an option of the mode vectors");
    if (i + 1 >= argc) return usage(word + " needs a value");
    const std::string value = argv[++i];
    if (word == "--toggle") {
      pattern.toggles.push_back(value);
    } else if (word == "--lead") {
      if (!number(value, pattern.lead)) return usage("--lead: '" + value + "' is not a count");
    } else {
      const size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0) return usage("--hold: '" + value + "' is not NAME=VALUE");
      pattern.holds.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    }
  }
  const size_t wanted = mode == "verilog" ? 1 : mode == "vectors" || mode == "testbench" ? 3 : 0;
  if (wanted == 0) return usage("unknown mode '" + mode + "'");
  if (words.size() != wanted) return usage(mode + " takes " + std::to_string(wanted) + (wanted == 1 ? " word" : " words"));

  netlist::Netlist n;
  netlist::Diagnostics d;
  const bool read = netlist::readNetlistFile(words[0], "", n, d);
  for (const std::string& w : d.warnings) std::cerr << program << ": " << w << "\n";
  for (const std::string& e : d.errors) std::cerr << program << ": " << e << "\n";
  if (!read) return 2;

  std::string error;
  bool ok = true;
  if (mode == "verilog") {
    peer::writeVerilog(n, moduleName(n, words[0]), std::cout);
  } else if (mode == "vectors") {
    uint64_t count = 0, seed = 0;
    if (!number(words[1], count)) return usage("'" + words[1] + "' is not a count");
    if (!number(words[2], seed)) return usage("'" + words[2] + "' is not a seed (a number)");
    ok = peer::writeVectors(n, count, seed, pattern, std::cout, error);
  } else {
    uint64_t period = 0;
    if (!number(words[2], period)) return usage("'" + words[2] + "' is not a period");
    ok = peer::writeTestbench(n, moduleName(n, words[0]), words[1], period, std::cout, error);
  }
  if (!ok) {
    std::cerr << program << ": " << words[0] << ": " << error << "\n";
    return 2;
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << program << ": cannot write standard output\n";
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return run(argc, argv);
}
