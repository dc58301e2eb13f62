// Run-control flags, set by keys, error handlers and the stop component, read by the run loop:
// the current thread's, like the simulation it runs.
#pragma once

// Standard error buffering during the run (bufferStandardError and the rest).
#include "process/ErrorOutput.h"

#include "process/ThreadLocal.h"

extern TAVRIN_THREAD_LOCAL int done;
extern TAVRIN_THREAD_LOCAL int reStart;
extern TAVRIN_THREAD_LOCAL int haltFlag;
extern TAVRIN_THREAD_LOCAL int stallLevel;

// Sleeps one millisecond (an interrupted sleep is not resumed).
void msWait();
