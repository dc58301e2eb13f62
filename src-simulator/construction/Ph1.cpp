#include "construction/Ph1.h"

#include <iostream>

#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseOne* phaseOne = nullptr;

PhaseOne::~PhaseOne() {
  if (fatalDiagnosticCount > 0) {
    standardError() << fatalDiagnosticCount << " Fatal Diagnostic(s)--Can't Continue." << std::endl;
    endProcess(1);
  }
  // Members are destroyed in reverse order: the component count prints before the signal count.
}

PhaseOne& PhaseOne::instance() {
  if (phaseOne == nullptr) {
    phaseOne = new PhaseOne();
    SignalList& list = phaseOne->signalList;
    list.add(0, ZERO, "Zero[0]", 1);
    list.add(1, ONE, "One[0]", 1);
    list.numberOfSignals = 2;
  }
  return *phaseOne;
}
