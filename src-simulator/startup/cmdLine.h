// Reads the command-line options into the settings of Sim.h.
#pragma once

void commandLine(int gargc, char** gargv);

// True when the options ask for results alone (-Q), read as commandLine reads them: the key help
// and the colour legend, printed before the options are read, are then left out.
bool quietRequested(int gargc, char** gargv);

// The words an option letter takes after it as commandLine reads it: its argument and further
// values (-T 1, -C 3, -z 4, -p 2), 0 for a flag (-X), -1 for a letter commandLine does not know.
// For a program that reads words of its own among the options before handing them on.
int commandLineValueWords(char option);
