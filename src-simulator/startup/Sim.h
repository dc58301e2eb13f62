// The phase sequence of one simulation and the settings the command line fills.
#pragma once

#include <cstdint>

#include "startup/EndProcess.h"

void Sim(int argc, char** argv, void (*build)());

// The circuit-building function of the circuit this simulator is linked with.
void simnet();

extern int earlyExitFlag;
extern int zFlagSet;
extern int zSetXa, zSetYa, zSetXb, zSetYb;
extern uint64_t stopTime;  // 0: no stop time
extern int displayTimeFlag;
extern int connectMuxOnlyFlag;
extern int useXDisplay;

constexpr int keyStringCapacity = 24;
constexpr int geometryCapacity = 19;
extern char FunctionKeyString[keyStringCapacity + 1];
extern char CursorKeyString[keyStringCapacity + 1];
extern char WindowLabelString[keyStringCapacity + 1];
extern char XW_geometry[geometryCapacity + 1];

extern int red_fg, green_fg, blue_fg;
extern int red_bg, green_bg, blue_bg;
extern int red_sw, green_sw, blue_sw;

constexpr int numberOfRunTimeFlagEntries = 16;
extern int userRunTimeFlag[numberOfRunTimeFlagEntries];
extern int profRunTimeFlag[numberOfRunTimeFlagEntries];
extern int numberOfUserRunTimeFlags, numberOfProfRunTimeFlags;

// -r: a program image for the circuit to load instead of its own, or null.
extern const char* romImageFile;
// The name the program was started by, for messages about options (argv[0]).
extern const char* commandName;
