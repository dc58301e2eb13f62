// Reads the command-line options into the settings of Sim.h.
#pragma once

void commandLine(int gargc, char** gargv);
