// The phase sequence of one simulation and the settings the command line fills.
#pragma once

#include <cstdint>

#include "process/EndProcess.h"
#include "process/Settings.h"

// One simulation: the command line, the circuit built, elaborate(), the run, teardown().
void Sim(int argc, char** argv, void (*build)());

// One simulation of its own from a clean start: a Simulation made current, the settings, the
// option parser and the run flags at their defaults, then Sim. Returns the simulation's exit
// status; what the run writes goes to the current thread's standard output and standard error
// (the process's own unless captured: process/StandardStreams.h). A fatal error still ends the
// process (endProcess). The settings and the rest are the current thread's: simulations on
// different threads do not share them (startup/Parallel.h runs several at once).
int simulate(int argc, char** argv, void (*build)());

// After construction: the circuit flattened into arrays (its counts reported, and the process
// ended on counted diagnostics), its connectivity checked, the activation lists formed, the
// kernel and the display made. times, when given, receives the cost of the steps in ms.
struct ElaborationTimes {
  double flattening = 0;  // arrays and connectivity
  double activationLists = 0;
};
void elaborate(ElaborationTimes* times = nullptr);
// Releases everything construction and elaborate made; safe after a run that ended anywhere.
void teardown();

// The circuit-building function of the circuit this simulator is linked with.
void simnet();

// The settings: process/Settings.h.
