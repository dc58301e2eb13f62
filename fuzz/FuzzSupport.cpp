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

// The release functions below mirror how elaboration allocates its arrays (Ph2.cpp, Ph3.cpp);
// a change there shows up here as a leak or a double free at the first input.

template <typename T>
void releaseEach(T** arrays, int count) {
  if (arrays == nullptr) return;
  for (int i = 0; i < count; ++i) delete[] arrays[i];
  delete[] arrays;
}

void releasePhaseTwo(PhaseTwo* two) {
  const int nc = two->numberOfComponents;
  const int ns = two->numberOfSignals;
  delete[] two->logicEvaluate;
  delete[] two->secondaryEvaluate;
  delete[] two->drawDynamic;
  delete[] two->xEventTriggered;
  delete[] two->heapQueueEventTriggered;
  delete[] two->iconArrays;
  delete[] two->state;
  delete[] two->tile;
  delete[] two->outputOverloadable;
  delete[] two->selfActivating;
  delete[] two->graphicLevel;
  releaseEach(two->rcpos, nc);
  releaseEach(two->decal, nc);
  // Pins and integer parameters of all components share one block, byte parameters another:
  // the first list handed out starts it.
  int* lists = nullptr;
  unsigned char* byteLists = nullptr;
  for (int i = 0; i < nc; ++i) {
    for (int* list : {two->dataInputs[i], two->controlInputs[i], two->outputs[i], two->integerParameters[i]})
      if (lists == nullptr) lists = list;
    if (byteLists == nullptr) byteLists = two->byteParameters[i];
  }
  delete[] lists;
  delete[] byteLists;
  delete[] two->numberOfDataInputs;
  delete[] two->dataInputs;
  delete[] two->numberOfControlInputs;
  delete[] two->controlInputs;
  delete[] two->numberOfOutputs;
  delete[] two->outputs;
  delete[] two->numberOfPointerParameters;
  delete[] two->pointerParameters;  // never filled
  delete[] two->numberOfNameParameters;
  releaseEach(two->nameParameters, nc);
  delete[] two->numberOfIntegerParameters;
  delete[] two->integerParameters;
  delete[] two->numberOfByteParameters;
  delete[] two->byteParameters;
  delete[] two->numberOfInternal32BitVariables;
  releaseEach(two->internal32BitVariables, nc);
  delete[] two->numberOfInternal16BitVariables;
  releaseEach(two->internal16BitVariables, nc);
  delete[] two->numberOfInternal8BitVariables;
  releaseEach(two->internal8BitVariables, nc);
  delete[] two->activationsFromWindow;
  delete[] two->signalInitializations;
  releaseEach(two->signalNames, ns);
  delete[] two->constSignals;
  delete two;
}

void releasePhaseThree(PhaseThree* three, int numberOfSignals) {
  delete[] three->currentSignals;
  delete[] three->signalChangeMarks;
  delete[] three->lengthOfActivationList;
  // All activation lists share one block, which the first list starts.
  if (numberOfSignals > 0) delete[] three->activationList[0];
  delete[] three->activationList;
  delete[] three->componentsActivated;
  delete[] three->scheduledSignals;
  delete[] three->scheduledTimes;
  delete[] three->whenScheduled;
  delete three;
}

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
  if (phaseThree != nullptr) releasePhaseThree(phaseThree, phaseTwo != nullptr ? phaseTwo->numberOfSignals : 0);
  phaseThree = nullptr;
  if (phaseTwo != nullptr) releasePhaseTwo(phaseTwo);
  phaseTwo = nullptr;
  std::vector<int>().swap(tavrin::m);
}
