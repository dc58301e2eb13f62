// The settings the command line fills, each declared once with its default in this table:
// the definitions, the reset to the defaults and the dump of the current values are made from it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "process/ThreadLocal.h"

constexpr int keyStringCapacity = 24;
constexpr int geometryCapacity = 19;
constexpr int numberOfRunTimeFlagEntries = 16;

// VALUE(type, name, default): one value. TEXT(name, capacity): a text of at most capacity
// characters, empty by default. FLAGS(name, count): 16 run-time flags, each -1 by default, and
// how many were set.
#define TAVRIN_SETTINGS(VALUE, TEXT, FLAGS)                                                      \
  VALUE(int, earlyExitFlag, 0)          /* -E: build and check the circuit, then exit */        \
  VALUE(int, zFlagSet, 0)               /* -z: start zoomed into the rectangle below */         \
  VALUE(int, zSetXa, 0)                                                                          \
  VALUE(int, zSetYa, 0)                                                                          \
  VALUE(int, zSetXb, 0)                                                                          \
  VALUE(int, zSetYb, 0)                                                                          \
  VALUE(uint64_t, stopTime, 0)          /* -T: the run ends past this time; 0: no stop time */  \
  VALUE(int, displayTimeFlag, 0)        /* -t: time, queue length and slowness shown */         \
  VALUE(int, connectMuxOnlyFlag, 0)     /* -m: interconnecting lines into multiplexers only */  \
  VALUE(int, useXDisplay, 1)            /* -X clears it: no window */                          \
  VALUE(int, quietFlag, 0)              /* -Q: results alone: no key help, legend, probe lines */ \
  VALUE(int, lastScheduledWins, 0)      /* -R: a wire's events at one time end at its last scheduled value */ \
  VALUE(int64_t, settleBound, -1)       /* -L: the settle guard's bound; -1: not given */        \
  VALUE(int, red_fg, 0)                 /* -C, -c, -S: foreground, background, sub-window */    \
  VALUE(int, green_fg, 0)                                                                        \
  VALUE(int, blue_fg, 0)                                                                         \
  VALUE(int, red_bg, 0)                                                                          \
  VALUE(int, green_bg, 0)                                                                        \
  VALUE(int, blue_bg, 0)                                                                         \
  VALUE(int, red_sw, 0)                                                                          \
  VALUE(int, green_sw, 0)                                                                        \
  VALUE(int, blue_sw, 0)                                                                         \
  VALUE(const char*, romImageFile, nullptr) /* -r: a program image instead of the circuit's */  \
  VALUE(const char*, commandName, "tavrin") /* the name the program was started by (argv[0]) */ \
  TEXT(FunctionKeyString, keyStringCapacity)  /* -F */                                          \
  TEXT(CursorKeyString, keyStringCapacity)    /* -K */                                          \
  TEXT(WindowLabelString, keyStringCapacity)  /* -W */                                          \
  TEXT(XW_geometry, geometryCapacity)         /* -g */                                          \
  FLAGS(userRunTimeFlag, numberOfUserRunTimeFlags) /* -u */                                     \
  FLAGS(profRunTimeFlag, numberOfProfRunTimeFlags) /* -p */

// Each setting is the current thread's (a simulation run on a thread of its own has its own), and
// constant-initialised, so that reading one costs no more than reading a global.
#define TAVRIN_DECLARE_VALUE(type, name, initial) extern TAVRIN_THREAD_LOCAL type name;
#define TAVRIN_DECLARE_TEXT(name, capacity) extern TAVRIN_THREAD_LOCAL char name[(capacity) + 1];
#define TAVRIN_DECLARE_FLAGS(name, count)                             \
  extern TAVRIN_THREAD_LOCAL int name[numberOfRunTimeFlagEntries]; \
  extern TAVRIN_THREAD_LOCAL int count;
TAVRIN_SETTINGS(TAVRIN_DECLARE_VALUE, TAVRIN_DECLARE_TEXT, TAVRIN_DECLARE_FLAGS)
#undef TAVRIN_DECLARE_VALUE
#undef TAVRIN_DECLARE_TEXT
#undef TAVRIN_DECLARE_FLAGS

// This thread's settings back to their defaults (a process that runs several simulations, a fuzzer).
void resetSettings();
// This thread's settings by name, as text; flags as "v0 v1 ... v15 #count".
std::map<std::string, std::string> dumpSettings();
