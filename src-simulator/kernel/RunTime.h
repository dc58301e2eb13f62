// Run-control globals, set by keys, error handlers and the stop component, read by the run loop.
#pragma once

extern int done;
extern int reStart;
extern int haltFlag;
extern int stallLevel;

// Sleeps one millisecond (an interrupted sleep is not resumed).
void msWait();

// While the run loop runs, standard error (std::cerr and the C stream alike, in one buffer)
// is written out in blocks: at the end of each pass that wrote to it, before the loop waits
// for the window, before anything goes to standard output, and when the run ends. A process
// that exits inside a pass has the rest written out by the C library's exit, or, ended by a
// hang-up, interrupt or termination signal, by the signal handler installed meanwhile.
void bufferStandardError();
void flushStandardError();  // cheap when nothing is pending
void unbufferStandardError();
