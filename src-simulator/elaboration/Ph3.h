// Per-wire run-time state, the connectivity check and the activation lists.
#pragma once

#include <cstdint>

#include "construction/Signal.h"
#include "process/ThreadLocal.h"

class PhaseThree {
public:
  SignalValue* currentSignals;
  int* signalChangeMarks;
  int* lengthOfActivationList;
  int** activationList;
  int* componentsActivated;
  SignalValue* scheduledSignals;
  uint64_t* scheduledTimes;
  uint64_t* whenScheduled;

  // Sizes the arrays from phaseTwo and gives the wires their reset values, so that
  // anything drawn before the run starts shows defined values.
  PhaseThree();
  ~PhaseThree() = default;  // the arrays live until the process ends

  void checkConnectivity() const;
  void formActivationLists();
  // Frees every array: for a process that elaborates circuit after circuit, such as a fuzzer.
  void releaseArrays();

private:
  int* activationBlock = nullptr;  // all activation lists, in wire order
};

extern TAVRIN_THREAD_LOCAL PhaseThree* phaseThree;  // the current thread's
