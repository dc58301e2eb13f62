// Entry point: the key help and colour legend, then one simulation of the linked circuit.
#include <iostream>
#include <string>

#include "process/ErrorOutput.h"
#include "process/StandardStreams.h"
#include "startup/Sim.h"
#include "startup/cmdLine.h"

namespace {

// A block of the 256-colour terminal palette, as the legend shows it.
std::string swatch(int colour) { return "\x1b[30;48;5;" + std::to_string(colour) + "m   \x1b[0m"; }

void printBanner() {
  static const char* const keyLines[] = {
      "F1 Reset Simulation to Time Zero (restart)",
      "F2 Toggle Interconnecting Lines Drawing",
      "F3 Toggle Component Labels Drawing",
      "F4 Toggle Connection Tabs Drawing",
      "F5 Toggle Interconnecting Lines Labeling (show signal names !)",
      "F6 Toggle Time, QueueLength, Slowness Display",
      "F7 Toggle Interconnecting Lines for Mux'es Only",
      "F8 Toggle SuperProbe Display",
      "F9 Toggle Windowing Mode",
      "F10 Exit",
      "",
      "Control-a:  give the least detail (with macros)",
      "Control-n:  give a little less detail (with macros)",
      "Control-m:  give a little more detail (with macros)",
      "Control-z:  give the most detail (with macros)",
      "Control-l:  re-paint",
      "",
  };
  for (const char* line : keyLines) standardOutput() << line << "\n";
  standardOutput() << swatch(151) << " <-- ZERO signal\t\t" << swatch(208) << " <-- XXX signal    \n";
  standardOutput() << swatch(28) << " <-- ONE signal\t\t" << swatch(222) << " <-- HIZ signal    \n";
  standardOutput() << "\t\t\t\t" << swatch(231) << " <-- UNINITIALIZED signal    \n\n";
  standardOutput().flush();
}

}  // namespace

int main(int argc, char** argv) {
  if (!quietRequested(argc, argv)) printBanner();
  Sim(argc, argv, simnet);
  checkStandardStreams();  // output lost outside a run too (-E) is not success
  return finalExitStatus();
}
