// The construction phase: the lists a circuit fills while it builds itself.
#pragma once

#include "construction/CompList.h"
#include "construction/Signal.h"
#include "construction/SwList.h"
#include "process/ThreadLocal.h"

class PhaseOne {
public:
  SignalList signalList;
  SwitchList switchList;
  ComponentList componentList;
  int fatalDiagnosticCount = 0;

  // Reports counted diagnostics (ending the process) or the component and signal counts.
  ~PhaseOne();

  // The construction phase, created on first use with Zero and One as wires 0 and 1.
  static PhaseOne& instance();
};

extern TAVRIN_THREAD_LOCAL PhaseOne* phaseOne;  // the current thread's
