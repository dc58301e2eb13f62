// Waveforms (-V): every wire change of the run as a Value Change Dump.
//
// One scope per signal name, one variable per signal group (output/SignalGroups.h): the
// consecutive bits of one handle ("PC[0]" ... "PC[15]") form one vector "PC [15:0]", and further
// handles with the same name are "PC_2", "PC_3", ... in the same scope. ZERO, ONE, XXX and HIZ
// are written as 0, 1, x and z, UNINITIALIZED as x; one time unit is one time step. A restart
// continues the dump after the last time written.
#pragma once

#include <cstdint>

#include "construction/Signal.h"
#include "process/ThreadLocal.h"

// Remembers the file to write, for the current simulation (each has a dump of its own).
void waveformSetFile(const char* path);

// Before the run: creates the file and writes the declarations. A file that cannot be created,
// or later not written completely, ends the process with status 1 after a one-line message
// naming the file and the reason, and an incomplete regular file is removed (see OutputFile.h).
// Without -V it writes nothing.
void waveformOpen();

// With a file to write: registers the dump with the current simulation's run, which opens it at
// its start, records every wire change and closes it at its end.
void waveformTakePart();

// A wire takes a new value at time (in increasing time order, until the next reset).
void waveformChange(uint64_t time, int signal, SignalValue value);

// The wires were just reset to their start values (run start, restart): dumps every wire.
void waveformReset();

// Writes what is pending and closes the file. The same happens at process exit, so the dump is
// complete however the process ends; a hang-up, interrupt or termination signal during the run
// writes out the lines already made and a closing time line before the process ends.
void waveformClose();
