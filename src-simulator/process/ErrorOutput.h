// Standard error while the run loop runs: written out in blocks from a buffer of the program's
// own, with write, instead of a line or a character at a time.
//
// All of this concerns the process's own standard error, for the thread whose simulation writes
// to it (one at a time). On a thread whose standard streams are captured (StandardStreams.h), every
// write goes into the capture at once: the functions below then neither swap a stream nor install
// a signal handler nor write to file descriptor 2; bufferedRun still numbers the thread's runs, and
// checkStandardStreams checks the capture.
#pragma once

#include <initializer_list>
#include <string_view>

// From bufferStandardError to unbufferStandardError, std::cerr and the C stream stderr (which
// meanwhile stands for a stream that writes into the same buffer) share one buffer and keep
// their order. It is written out at the end of each pass that wrote to it (see
// endOfPassStandardError), before the loop waits for the window, before anything goes to
// standard output, and when the run ends. A process that exits inside a pass has the rest
// written out at exit; one ended by a hang-up, interrupt or termination signal has it written
// out by the signal handler installed meanwhile, which then lets the signal take its default
// course (and, while the buffer is held over passes, so does one ended by a crash signal).
//
// Standard error that cannot be written (a full disk, 2>/dev/full) drops the rest of the run's
// error output, without a message; unbufferStandardError then raises the exit status to 1, as it
// does for standard output that could not be written. A closed pipe keeps its SIGPIPE.
void bufferStandardError();
void flushStandardError();  // cheap when nothing is pending

// The end of a pass. On a terminal, or where standard output goes to the same file or pipe (so
// that the order of the two can be seen), the pass's output is written out now, as
// flushStandardError does. Otherwise, where no one can see when a line arrives, the buffer is
// held over passes and written out only when it is full: the same bytes in far fewer writes.
void endOfPassStandardError();

// The parts, one after another, written to standard error as one std::cerr.write of them
// would write them (the stream tied to std::cerr flushed first), straight into the buffer
// while it is std::cerr's: the way for a line written many times a run.
void writeStandardError(std::initializer_list<std::string_view> parts);

// Changes each time bufferStandardError begins buffering, that is with each run, and is 0 while
// standard error is not buffered: text composed for one run's lines (from the circuit's names)
// is known to be current while it is unchanged and not 0.
unsigned bufferedRun();
void unbufferStandardError();

// Flushes standard output and tells whether standard output and standard error have been
// written without error so far; raises the exit status to 1 if not.
bool checkStandardStreams();

// Run by the signal handler above before it writes out standard error: hook must only call
// what a signal handler may (write, close). At most a few hooks; each is registered once; any
// thread may register one.
void atTerminatingSignal(void (*hook)());
