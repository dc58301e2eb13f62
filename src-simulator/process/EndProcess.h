// How the simulator ends the process, and the status it ends with.
#pragma once

// The one way the simulator ends the process early: flushes standard output and standard error,
// then exits with status. A fuzz build returns to the harness instead (endProcessJump).
//
// On a thread whose standard streams are captured (process/StandardStreams.h, a simulation of
// simulateEach), the process ends all the same, as the executable would end: what the capture
// holds is written to file descriptors 1 and 2 (after the process's own pending output), and the
// process ends with status (or the raised one for 0) by std::quick_exit, so that no static object
// is destroyed under the threads still running; handlers registered with at_quick_exit run (the
// waveform's closing among them), those of atexit do not.
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
