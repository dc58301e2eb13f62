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
#include "output/Waveform.h"
#include "simulation/Simulation.h"
#include "startup/Sim.h"
#include "startup/getopt.h"

namespace {

// Where endProcess returns to; runRecoverably's frame, which set it, is live while it can.
std::jmp_buf jump;

}  // namespace

int runRecoverably(void (*body)(void*), void* context) {
  // Each input a simulation of its own: what it leaves goes with it, however it ended.
  Simulation simulation;
  endProcessJump = &jump;
  if (setjmp(jump) == 0) {
    body(context);
    endProcessJump = nullptr;
    return -1;
  }
  endProcessJump = nullptr;
  return endProcessStatus;
}

void resetProcessState() {
  tavrin::resetGetopt();
  resetSettings();
  waveformSetFile("");
  done = reStart = haltFlag = stallLevel = 0;
  visibleFlag = 1;
}

