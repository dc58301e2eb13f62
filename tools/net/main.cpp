// tavrin-net: simulates a netlist file (Yosys JSON or ISCAS .bench) with every option of tavrin.
//
//   tavrin-net [tavrin's options] [--clock NAME=PERIOD]... [--probe NET]... [--top MODULE] FILE
//
// The long options are read here and taken out; the rest goes to tavrin's command line unchanged.
// FILE is the one word that is neither an option nor an option's value (after "--", every word
// is a file). The build reads, checks, places and builds the netlist; an error in the file or in
// the long options is reported as "tavrin-net: FILE:PLACE: message" and ends the process with
// status 2 before the run. With -E the switches' keys are listed on standard output.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "netlist/Builder.h"
#include "netlist/NetlistFile.h"
#include "netlist/Placement.h"
#include "process/EndProcess.h"
#include "process/ErrorOutput.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "startup/Sim.h"
#include "startup/cmdLine.h"

namespace {

const char* const program = "tavrin-net";

std::string netlistPath;
std::string topModule;
netlist::BuildOptions buildOptions;

void report(const netlist::Diagnostics& d) {
  std::ostream& err = standardError();
  for (const std::string& w : d.warnings) err << program << ": " << w << "\n";
  for (const std::string& e : d.errors) err << program << ": " << e << "\n";
  err.flush();
}

void build() {
  // A netlist's gates are compared with an RTL simulation: each wire ends where its driver last
  // asked it to go, also where two of its events fall on one time (tavrin's -R).
  lastScheduledWins = 1;
  netlist::Netlist n;
  netlist::Diagnostics d;
  netlist::BuildPlan plan;
  const bool ok = netlist::readNetlistFile(netlistPath, topModule, n, d) && netlist::planBuild(n, buildOptions, plan, d);
  report(d);
  if (!ok) endProcess(2);
  const netlist::Placement placement = netlist::place(n, plan.probeNets);
  const std::vector<netlist::SwitchKey> keys = netlist::buildNetlist(n, plan, placement);
  if (earlyExitFlag != 0) {
    for (const netlist::SwitchKey& k : keys)
      standardOutput() << "key " << (k.key != 0 ? std::string(1, k.key) : std::string("none")) << " " << k.bit << "\n";
    standardOutput().flush();
  }
}

[[noreturn]] void usage(const std::string& problem) {
  std::cerr << program << ": " << problem << "\n"
            << "usage: " << program
            << " [tavrin options] [--clock NAME=PERIOD] [--probe NET] [--top MODULE] FILE\n";
  std::exit(2);
}

// "--clock NAME=PERIOD" or "--clock=NAME=PERIOD": the value, from this word or the next.
bool longOption(const std::string& word, const char* name, int argc, char** argv, int& i, std::string& value) {
  const std::string prefix = std::string("--") + name;
  if (word == prefix) {
    if (i + 1 >= argc) usage(prefix + " needs a value");
    value = argv[++i];
    return true;
  }
  if (word.rfind(prefix + "=", 0) == 0) {
    value = word.substr(prefix.size() + 1);
    return true;
  }
  return false;
}

void addClock(const std::string& value) {
  const size_t equals = value.rfind('=');
  if (equals == std::string::npos || equals == 0) usage("--clock takes NAME=PERIOD, not '" + value + "'");
  const std::string digits = value.substr(equals + 1);
  int period = 0;
  if (!digits.empty() && digits.size() < 10 && digits.find_first_not_of("0123456789") == std::string::npos)
    period = std::atoi(digits.c_str());
  buildOptions.clocks.push_back({value.substr(0, equals), period});
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> passed{const_cast<char*>(program)};
  std::vector<std::string> files;
  bool filesOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    std::string value;
    if (filesOnly || word.size() < 2 || word[0] != '-') {
      files.push_back(word);
    } else if (word == "--") {
      filesOnly = true;
    } else if (longOption(word, "clock", argc, argv, i, value)) {
      addClock(value);
    } else if (longOption(word, "probe", argc, argv, i, value)) {
      buildOptions.probes.push_back(value);
    } else if (longOption(word, "top", argc, argv, i, value)) {
      topModule = value;
    } else if (word[1] == '-') {
      usage("unknown option '" + word + "'");
    } else {
      // Grouped letters; the first that takes values ends the word, its values follow.
      passed.push_back(argv[i]);
      for (size_t k = 1; k < word.size(); ++k) {
        const int words = commandLineValueWords(word[k]);
        if (words <= 0) continue;
        const int following = (k + 1 < word.size() ? words - 1 : words);
        for (int w = 0; w < following && i + 1 < argc; ++w) passed.push_back(argv[++i]);
        break;
      }
    }
  }
  if (files.size() != 1)
    usage(files.empty() ? "no netlist file given" : "more than one netlist file: '" + files[0] + "', '" + files[1] + "'");
  netlistPath = files[0];
  passed.push_back(nullptr);
  Sim(static_cast<int>(passed.size() - 1), passed.data(), build);
  checkStandardStreams();
  return finalExitStatus();
}
