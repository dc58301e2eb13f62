// The table per step (-s): one line per settle point of the key script (the reset, then each
// step of -k and -v), with the probed signal groups' values.
//
// The first line names the columns: "time step", then each signal group any of whose wires a
// probe shows, in the order the probes were created. Each further line holds the simulated
// time, the step (0 for the reset) and each group's value: "0x" and a hexadecimal digit per
// four bits (upper case) where every bit is 0 or 1, a one-bit group as 0 or 1, otherwise a
// character per bit, most significant first, of 0 1 x z u (u: UNINITIALIZED). Columns are
// separated by one blank.
#pragma once

#include <cstddef>

// Remembers the file to write ("-" for standard output); program names the executable in
// messages. The file is created before the run; one that cannot be created ends the process
// with status 1 after "<program>: -s: cannot write '<file>': <reason>".
void stepTableSetFile(const char* path);

// The row of a settle point; nothing without -s.
void stepTableRow(size_t point);

// Closes the file at the run's end; an error in writing it raises the exit status to 1.
void stepTableClose();
