#include "elaboration/Ph3.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "elaboration/Ph2.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseThree* phaseThree = nullptr;

namespace {

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

PhaseThree::PhaseThree() {
  const PhaseTwo& two = *phaseTwo;
  const int n = two.numberOfSignals;
  const int m = two.numberOfComponents;
  currentSignals = new SignalValue[n];
  signalChangeMarks = new int[n]();
  lengthOfActivationList = new int[n]();
  activationList = new int*[n]();
  componentsActivated = new int[m]();
  scheduledSignals = new SignalValue[n];
  scheduledTimes = new uint64_t[n]();
  whenScheduled = new uint64_t[n]();
  // The same values the run's reset gives them: anything drawn before it shows defined levels.
  for (int s = 0; s < n; ++s) {
    SignalValue v = two.constSignals[s] != 0 ? two.signalInitializations[s] : UNINITIALIZED;
    currentSignals[s] = v;
    scheduledSignals[s] = v;
  }
}

void PhaseThree::checkConnectivity() const {
  const PhaseTwo& two = *phaseTwo;
  std::vector<int> drivenSignal(two.constSignals, two.constSignals + two.numberOfSignals);
  int inputDanglingWarnings = 0;
  int outputConnectivityErrors = 0;

  for (int c = 0; c < two.numberOfComponents; ++c) {
    const ComponentCore& core = two.core[c];
    const int overloadable = two.kindOf(c).outputOverloadable;
    for (int k = 0; k < core.numberOfOutputs; ++k) {
      int& count = drivenSignal[core.outputs()[k]];
      if (overloadable != 0)
        ++count;
      else if (count == 0)
        count = 1;
    }
  }

  for (int c = 0; c < two.numberOfComponents; ++c) {
    const ComponentCore& core = two.core[c];
    const ComponentRecord& record = two.record[c];
    for (int k = 0; k < core.numberOfDataInputs; ++k) {
      const int s = core.dataInputs()[k];
      if (s > 1 && drivenSignal[s] == 0 && two.constSignals[s] == 0) {
        standardError() << "Warning -- signal[" << s << "] " << orEmpty(two.signalNames[s])
                        << " has no driver, cmp = " << c << " " << orEmpty(record.decal) << " at "
                        << orEmpty(record.rcpos) << " has unconnected DATA input, position = " << k << std::endl;
        ++inputDanglingWarnings;
      }
    }
    for (int k = 0; k < core.numberOfControlInputs; ++k) {
      const int s = core.controlInputs()[k];
      if (s > 1 && drivenSignal[s] == 0) {
        standardError() << "Warning -- signal[" << s << "] has no driver, cmp = " << c << " " << orEmpty(record.decal)
                        << " at " << orEmpty(record.rcpos) << " has unconnected CONTROL input, position = " << k
                        << std::endl;
        ++inputDanglingWarnings;
      }
    }
  }

  if (inputDanglingWarnings > 0)
    standardError() << "There are " << inputDanglingWarnings << " inputUnconnectedWarnings" << std::endl;
  // No rule raises output errors yet; the report stays for when one does.
  if (outputConnectivityErrors > 0)
    standardError() << "There are " << outputConnectivityErrors << " outputConnectivityErrors--Unable to Continue."
                    << std::endl;
}

namespace {

// Calls visit(signal) once for every wire whose changes must re-evaluate component c:
// its data inputs, its control inputs and, if it is self-activating, its outputs.
// seenBy[signal] == c marks a wire already listed for c.
template <typename Visit>
void wiresActivating(const PhaseTwo& two, int c, std::vector<int>& seenBy, Visit visit) {
  auto consider = [&](int count, const int* wires) {
    for (int k = 0; k < count; ++k) {
      const int s = wires[k];
      if (seenBy[s] == c) continue;
      seenBy[s] = c;
      visit(s);
    }
  };
  const ComponentCore& core = two.core[c];
  consider(core.numberOfDataInputs, core.dataInputs());
  consider(core.numberOfControlInputs, core.controlInputs());
  if (two.kindOf(c).selfActivating != 0) consider(core.numberOfOutputs, core.outputs());
}

}  // namespace

// One scan of the components in ascending order gives every wire's list ascending, each
// component once, in time proportional to the number of connections.
void PhaseThree::formActivationLists() {
  const PhaseTwo& two = *phaseTwo;
  const int n = two.numberOfSignals;

  std::vector<int> seenBy(static_cast<size_t>(n), -1);
  for (int s = 0; s < n; ++s) lengthOfActivationList[s] = 0;
  for (int c = 0; c < two.numberOfComponents; ++c)
    wiresActivating(two, c, seenBy, [&](int s) { ++lengthOfActivationList[s]; });

  // One block, in wire order, for all the lists.
  size_t total = 0;
  for (int s = 0; s < n; ++s) total += static_cast<size_t>(lengthOfActivationList[s]);
  delete[] activationBlock;
  int* block = activationBlock = new int[total > 0 ? total : 1];
  std::vector<int> written(static_cast<size_t>(n), 0);
  for (int s = 0; s < n; ++s) {
    activationList[s] = block;
    block += lengthOfActivationList[s];
  }
  std::fill(seenBy.begin(), seenBy.end(), -1);
  for (int c = 0; c < two.numberOfComponents; ++c)
    wiresActivating(two, c, seenBy, [&](int s) {
      if (written[s] < lengthOfActivationList[s]) activationList[s][written[s]] = c;
      ++written[s];
    });

  for (int s = 0; s < n; ++s)
    if (written[s] != lengthOfActivationList[s])
      standardError() << "ActivationList -- Error " << lengthOfActivationList[s] << " " << written[s] << std::endl;
}

void PhaseThree::releaseArrays() {
  delete[] currentSignals;
  delete[] signalChangeMarks;
  delete[] lengthOfActivationList;
  delete[] activationBlock;
  delete[] activationList;
  delete[] componentsActivated;
  delete[] scheduledSignals;
  delete[] scheduledTimes;
  delete[] whenScheduled;
  currentSignals = scheduledSignals = nullptr;
  signalChangeMarks = lengthOfActivationList = componentsActivated = activationBlock = nullptr;
  activationList = nullptr;
  scheduledTimes = whenScheduled = nullptr;
}
