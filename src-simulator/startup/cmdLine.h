// Reads the command-line options into the settings of Sim.h.
#pragma once

void commandLine(int gargc, char** gargv);

// True when the options ask for results alone (-Q), read as commandLine reads them: the key help
// and the colour legend, printed before the options are read, are then left out.
bool quietRequested(int gargc, char** gargv);
