// Run-control globals, set by keys, error handlers and the stop component, read by the run loop.
#pragma once

// Standard error buffering during the run (bufferStandardError and the rest).
#include "process/ErrorOutput.h"

extern int done;
extern int reStart;
extern int haltFlag;
extern int stallLevel;

// Sleeps one millisecond (an interrupted sleep is not resumed).
void msWait();
