// The table per step (-s): one line per settle point of the key script (the reset, then each
// press, input setting and wait of -k and -v: "1*8" gives eight rows), with signal groups' values.
//
// The first line names the columns: "time step", then each signal group any of whose wires a
// probe shows, in the order the probes were created, or the groups (or bits, "Reg1[3]") named
// by -G, in the order given. Each further line holds the simulated time, the row's number (0 for
// the reset, then one more per row) and each column's value: "0x" and a hexadecimal digit per
// four bits (upper case) where every bit is 0 or 1, a one-bit column as 0 or 1, otherwise a
// character per bit, most significant first, of 0 1 x z u (u: UNINITIALIZED). Columns are
// separated by one blank.
#pragma once

#include <cstddef>

struct SettlePoint;

// Remembers the file to write ("-" for standard output). The file is created before the run;
// one that cannot be created ends the process with status 1 after
// "<program>: -s: cannot write '<file>': <reason>".
void stepTableSetFile(const char* path);

// The columns by name, comma-separated ("PC,Reg1,Reg5[0]"), instead of the probed groups. A name
// that is no signal ends the process with status 2 before the run, after
// "<program>: -G: unknown signal '<name>'".
void stepTableSetColumns(const char* names);

// The row of a settle point; nothing without -s.
void stepTableRow(const SettlePoint& point);

// Closes the file at the run's end; an error in writing it raises the exit status to 1.
void stepTableClose();
