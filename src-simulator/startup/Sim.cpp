#include "startup/Sim.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "construction/Ph1.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "startup/cmdLine.h"

int earlyExitFlag = 0;
int zFlagSet = 0;
int zSetXa = 0, zSetYa = 0, zSetXb = 0, zSetYb = 0;
uint64_t stopTime = 0;
int displayTimeFlag = 0;
int connectMuxOnlyFlag = 0;
int useXDisplay = 1;

char FunctionKeyString[keyStringCapacity + 1] = "";
char CursorKeyString[keyStringCapacity + 1] = "";
char WindowLabelString[keyStringCapacity + 1] = "";
char XW_geometry[geometryCapacity + 1] = "";

int red_fg = 0, green_fg = 0, blue_fg = 0;
int red_bg = 0, green_bg = 0, blue_bg = 0;
int red_sw = 0, green_sw = 0, blue_sw = 0;

int userRunTimeFlag[numberOfRunTimeFlagEntries] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1, -1, -1, -1, -1};
int profRunTimeFlag[numberOfRunTimeFlagEntries] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1, -1, -1, -1, -1};
int numberOfUserRunTimeFlags = 0, numberOfProfRunTimeFlags = 0;
const char* romImageFile = nullptr;
const char* commandName = "tavrin";

void Sim(int argc, char** argv, void (*build)()) {
  commandLine(argc, argv);

  build();

  phaseTwo = new PhaseTwo();
  phaseTwo->listsToArrays();

  // Ends the process here if the circuit raised counted diagnostics.
  if (phaseOne != nullptr) {
    delete phaseOne;
    phaseOne = nullptr;
  }

  phaseThree = new PhaseThree();
  phaseThree->checkConnectivity();
  phaseThree->formActivationLists();

  phaseFour = new PhaseFour();
  phaseFive = new PhaseFive();

  // Before the first drawing, so the run starts in the zoomed view.
  if (zFlagSet && phaseFive->windexPointer != nullptr)
    phaseFive->windexPointer->reviseView(zSetXa, zSetYa, zSetXb, zSetYb);

  if (earlyExitFlag == 0) phaseFour->run();

#ifdef TAVRIN_FUZZ_BUILD
  // The harness releases the phases, arrays included, before its next input.
  return;
#endif
  delete phaseFive;
  phaseFive = nullptr;
  delete phaseFour;
  phaseFour = nullptr;
  delete phaseThree;
  phaseThree = nullptr;
  delete phaseTwo;
  phaseTwo = nullptr;
}
