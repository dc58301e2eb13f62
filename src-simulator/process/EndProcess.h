// How the simulator ends the process, and the status it ends with.
#pragma once

// The one way the simulator ends the process early: flushes standard output and standard error,
// then exits with status. A fuzz build returns to the harness instead (endProcessJump).
[[noreturn]] void endProcess(int status);

// A run that goes on to its end but must not report success (a failed check, output that was
// lost): the simulation, and the process, end with the highest status raised, once the run is
// over.
void raiseExitStatus(int status);
int finalExitStatus();

#ifdef TAVRIN_FUZZ_BUILD
#include <csetjmp>
// Set by a fuzz harness around one input: endProcess records its status and jumps there.
extern std::jmp_buf* endProcessJump;
extern int endProcessStatus;
#endif
