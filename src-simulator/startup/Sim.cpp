#include "startup/Sim.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "construction/Ph1.h"
#include "construction/addStCmp.h"
#include "display/Ph5.h"
#include "display/RunView.h"
#include "grading/KeyScript.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunObserver.h"
#include "kernel/RunTime.h"
#include "output/ProbeLines.h"
#include "output/Waveform.h"
#include "simulation/Simulation.h"
#include "startup/cmdLine.h"
#include "startup/getopt.h"

namespace {
double msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

void elaborate(ElaborationTimes* times) {
  auto start = std::chrono::steady_clock::now();
  phaseTwo = new PhaseTwo();
  phaseTwo->listsToArrays();
  // Reports the counts, and ends the process here if the circuit raised counted diagnostics.
  if (phaseOne != nullptr) {
    delete phaseOne;
    phaseOne = nullptr;
  }
  phaseThree = new PhaseThree();
  phaseThree->checkConnectivity();
  if (times != nullptr) times->flattening = msSince(start);
  start = std::chrono::steady_clock::now();
  phaseThree->formActivationLists();
  if (times != nullptr) times->activationLists = msSince(start);

  phaseFour = new PhaseFour();
  phaseFive = new PhaseFive();
  // The run's view and the outputs that follow it, after those the options registered.
  phaseFive->runView = new RunView(*phaseFive);
  phaseFour->showOn(phaseFive->runView);
  if (useXDisplay != 0)
    observeRun(phaseFive->runView->probePanes);
  else if (quietFlag == 0)
    probeLinesTakePart();
  keyScriptTakePart();
  waveformTakePart();
  phaseFour->followObservers();
}

void teardown() {
  unbufferStandardError();
  if (phaseOne != nullptr) {
    // Left by a run that ended during construction or in the count check of its destruction:
    // that check is what ended it, so it must not run again.
    phaseOne->fatalDiagnosticCount = 0;
    delete phaseOne;
    phaseOne = nullptr;
  }
  delete phaseFive;
  phaseFive = nullptr;
  delete phaseFour;
  phaseFour = nullptr;
  if (phaseThree != nullptr) phaseThree->releaseArrays();
  delete phaseThree;
  phaseThree = nullptr;
  if (phaseTwo != nullptr) phaseTwo->releaseArrays();
  delete phaseTwo;
  phaseTwo = nullptr;
  std::vector<int>().swap(tavrin::m);
}

int simulate(int argc, char** argv, void (*build)()) {
  Simulation simulation;
  tavrin::resetGetopt();
  resetSettings();
  done = reStart = haltFlag = stallLevel = 0;
  visibleFlag = 1;
  waveformSetFile("");
  Sim(argc, argv, build);
  checkStandardStreams();
  return simulation.status();
}

void Sim(int argc, char** argv, void (*build)()) {
  commandLine(argc, argv);
  build();
  elaborate();

  // Before the first drawing, so the run starts in the zoomed view.
  if (zFlagSet && phaseFive->windexPointer != nullptr)
    phaseFive->windexPointer->reviseView(zSetXa, zSetYa, zSetXb, zSetYb);

  if (earlyExitFlag == 0) phaseFour->run();

#ifdef TAVRIN_FUZZ_BUILD
  // The harness tears down itself, also after an input that ended the process early.
  return;
#endif
  teardown();
}
