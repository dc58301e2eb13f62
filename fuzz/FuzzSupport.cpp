#include "FuzzSupport.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include "construction/Ph1.h"
#include "construction/addStCmp.h"
#include "display/Ph5.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "kernel/Waveform.h"
#include "startup/Sim.h"
#include "startup/getopt.h"

namespace tavrin {
extern std::vector<int> m;  // tri-state bus owners (Transit.cpp)
}

namespace {

// Where endProcess returns to; runRecoverably's frame, which set it, is live while it can.
std::jmp_buf jump;

}  // namespace

int runRecoverably(void (*body)(void*), void* context) {
  endProcessJump = &jump;
  if (setjmp(jump) == 0) {
    body(context);
    endProcessJump = nullptr;
    return -1;
  }
  endProcessJump = nullptr;
  return endProcessStatus;
}

void resetSettings() {
  tavrin::resetGetopt();
  earlyExitFlag = 0;
  zFlagSet = 0;
  zSetXa = zSetYa = zSetXb = zSetYb = 0;
  stopTime = 0;
  displayTimeFlag = 0;
  connectMuxOnlyFlag = 0;
  useXDisplay = 1;
  FunctionKeyString[0] = CursorKeyString[0] = WindowLabelString[0] = XW_geometry[0] = '\0';
  red_fg = green_fg = blue_fg = red_bg = green_bg = blue_bg = red_sw = green_sw = blue_sw = 0;
  for (int i = 0; i < numberOfRunTimeFlagEntries; ++i) userRunTimeFlag[i] = profRunTimeFlag[i] = -1;
  numberOfUserRunTimeFlags = numberOfProfRunTimeFlags = 0;
  romImageFile = nullptr;
  commandName = "tavrin";  // the last input's argv is gone
  waveformSetFile("tavrin", "");
  done = reStart = haltFlag = stallLevel = 0;
  visibleFlag = 1;
}

void releasePhases() {
  unbufferStandardError();
  if (phaseOne != nullptr) {
    // Left by an input that ended during construction or in the count check of its
    // destruction: that check is what ended it, so it must not run again.
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
