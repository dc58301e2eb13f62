#include "process/EndProcess.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "process/ErrorOutput.h"
#include "simulation/Simulation.h"

#ifdef TAVRIN_FUZZ_BUILD
std::jmp_buf* endProcessJump = nullptr;
int endProcessStatus = 0;
#endif

void raiseExitStatus(int status) { Simulation::current().raiseStatus(status); }

int finalExitStatus() { return Simulation::current().status(); }

void endProcess(int status) {
  std::cout.flush();
  // A run may have std::cerr writing through a buffer object that exit destroys before the
  // library's last flush of std::cerr: hand the stream back first.
  unbufferStandardError();
  std::cerr.flush();
  std::fflush(nullptr);
  // Output that was lost, or a check that failed, is not undone by an ending that would be a
  // success otherwise (-h, F10).
  if (status == 0 && !checkStandardStreams()) status = 1;
  if (status == 0) status = finalExitStatus();
#ifdef TAVRIN_FUZZ_BUILD
  if (endProcessJump != nullptr) {
    endProcessStatus = status;
    std::longjmp(*endProcessJump, 1);
  }
#endif
  std::exit(status);
}
