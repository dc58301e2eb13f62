#include "elaboration/Ph2.h"

#include <cstring>
#include <iostream>

#include "construction/Ph1.h"
#include "construction/TextCopy.h"

PhaseTwo* phaseTwo = nullptr;

namespace {

// Hands out a component's lists one after another from a single block, so that a component's
// pins and parameters lie together and its neighbours' follow: an evaluation touches a cache
// line or two instead of one allocation per list. An empty list stays a null pointer.
template <typename T>
class Block {
public:
  explicit Block(size_t total) : first(total > 0 ? new T[total] : nullptr), next(first) {}
  T* start() const { return first; }
  T* copy(int count, const T* values) {
    if (count <= 0 || values == nullptr) return nullptr;
    T* copy = next;
    std::memcpy(copy, values, sizeof(T) * static_cast<size_t>(count));
    next += count;
    return copy;
  }

private:
  T* first;
  T* next;
};

size_t listLength(int count, const void* values) {
  return count > 0 && values != nullptr ? static_cast<size_t>(count) : 0;
}

// Private variables of a component; zeroed so that a component that forgets to set them up
// still behaves the same on every run.
template <typename T>
T* allocateVariables(int count) {
  return count > 0 ? new T[count]() : nullptr;
}

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

PhaseTwo::PhaseTwo() : maxGraphicDisplayLevel(1) {}

void PhaseTwo::listsToArrays() {
  PhaseOne& one = *phaseOne;
  numberOfComponents = one.componentList.numberOfComponents;
  numberOfSignals = one.signalList.numberOfSignals;
  numberOfSwitches = one.switchList.numberOfSwitches;

  const int nc = numberOfComponents;
  tile = new ScreenTile[nc];
  state = new int[nc]();
  logicEvaluate = new ComponentFunction[nc]();
  secondaryEvaluate = new SecondaryEvaluatePointer[nc]();
  drawDynamic = new ComponentFunction[nc]();
  xEventTriggered = new ComponentFunction[nc]();
  heapQueueEventTriggered = new ComponentFunction[nc]();
  iconArrays = new const int*[nc]();
  outputOverloadable = new int[nc]();
  selfActivating = new int[nc]();
  graphicLevel = new int[nc]();
  rcpos = new char*[nc]();
  decal = new char*[nc]();
  numberOfDataInputs = new int[nc]();
  dataInputs = new int*[nc]();
  numberOfControlInputs = new int[nc]();
  controlInputs = new int*[nc]();
  numberOfOutputs = new int[nc]();
  outputs = new int*[nc]();
  numberOfPointerParameters = new int[nc]();
  pointerParameters = new void*[nc]();
  numberOfNameParameters = new int[nc]();
  nameParameters = new char*[nc]();
  numberOfIntegerParameters = new int[nc]();
  integerParameters = new int*[nc]();
  numberOfByteParameters = new int[nc]();
  byteParameters = new unsigned char*[nc]();
  numberOfInternal32BitVariables = new int[nc]();
  internal32BitVariables = new uint32_t*[nc]();
  numberOfInternal16BitVariables = new int[nc]();
  internal16BitVariables = new uint16_t*[nc]();
  numberOfInternal8BitVariables = new int[nc]();
  internal8BitVariables = new uint8_t*[nc]();
  activationsFromWindow = new int[numberOfSwitches][3]();
  signalInitializations = new SignalValue[numberOfSignals];
  constSignals = new int[numberOfSignals]();
  signalNames = new char*[numberOfSignals];

  size_t wires = 0, bytes = 0;
  int counted = 0;
  for (const ComponentNode* node = one.componentList.start; node != nullptr && counted < nc; node = node->ptr, ++counted) {
    wires += listLength(node->numberOfDataInputs, node->dataInputs) +
             listLength(node->numberOfControlInputs, node->controlInputs) +
             listLength(node->numberOfOutputs, node->outputs) +
             listLength(node->numberOfIntegerParameters, node->integerParameters);
    bytes += listLength(node->numberOfByteParameters, node->byteParameters);
  }
  Block<int> lists(wires);
  Block<unsigned char> byteLists(bytes);
  listBlock = lists.start();
  byteBlock = byteLists.start();

  int i = 0;
  for (const ComponentNode* node = one.componentList.start; node != nullptr && i < nc; node = node->ptr, ++i) {
    logicEvaluate[i] = node->logicEvaluate;
    secondaryEvaluate[i] = node->secondaryEvaluate;
    drawDynamic[i] = node->drawDynamic;
    xEventTriggered[i] = node->xEventTriggered;
    heapQueueEventTriggered[i] = node->heapQueueEventTriggered;
    iconArrays[i] = node->iconArray;
    outputOverloadable[i] = node->outputOverloadable;
    selfActivating[i] = node->selfActivating;
    graphicLevel[i] = node->graphicLevel;
    if (node->graphicLevel > maxGraphicDisplayLevel) maxGraphicDisplayLevel = node->graphicLevel;
    rcpos[i] = copyText(node->graphicPosition);
    decal[i] = copyText(node->decal);
    numberOfDataInputs[i] = node->numberOfDataInputs;
    dataInputs[i] = lists.copy(node->numberOfDataInputs, node->dataInputs);
    numberOfControlInputs[i] = node->numberOfControlInputs;
    controlInputs[i] = lists.copy(node->numberOfControlInputs, node->controlInputs);
    numberOfOutputs[i] = node->numberOfOutputs;
    outputs[i] = lists.copy(node->numberOfOutputs, node->outputs);
    numberOfIntegerParameters[i] = node->numberOfIntegerParameters;
    integerParameters[i] = lists.copy(node->numberOfIntegerParameters, node->integerParameters);
    numberOfByteParameters[i] = node->numberOfByteParameters;
    byteParameters[i] = byteLists.copy(node->numberOfByteParameters, node->byteParameters);
    numberOfInternal32BitVariables[i] = node->numberOfInternal32BitVariables;
    internal32BitVariables[i] = allocateVariables<uint32_t>(node->numberOfInternal32BitVariables);
    numberOfInternal16BitVariables[i] = node->numberOfInternal16BitVariables;
    internal16BitVariables[i] = allocateVariables<uint16_t>(node->numberOfInternal16BitVariables);
    numberOfInternal8BitVariables[i] = node->numberOfInternal8BitVariables;
    internal8BitVariables[i] = allocateVariables<uint8_t>(node->numberOfInternal8BitVariables);
  }

  for (int s = 0; s < numberOfSignals; ++s) {
    signalInitializations[s] = UNINITIALIZED;
    signalNames[s] = nullptr;
  }
  for (const SignalNode* node = one.signalList.start; node != nullptr; node = node->ptr) {
    const int s = node->signalSerialNumber;
    if (s < 0 || s >= numberOfSignals) continue;
    signalInitializations[s] = node->value;
    constSignals[s] = node->constSignal;
    signalNames[s] = copyText(node->name);
  }

  int k = 0;
  for (const SwitchNode* node = one.switchList.start; node != nullptr && k < numberOfSwitches; node = node->ptr, ++k) {
    activationsFromWindow[k][0] = static_cast<int>(static_cast<signed char>(node->keyChar));
    activationsFromWindow[k][1] = node->componentNumber;
    activationsFromWindow[k][2] = node->signalSerialNumber;
  }
}

int PhaseTwo::switchComponent(int keyChar) const {
  for (int k = 0; k < numberOfSwitches; ++k)
    if (activationsFromWindow[k][0] == keyChar) return activationsFromWindow[k][1];
  return -1;
}

namespace {

template <typename T>
void releaseEach(T** arrays, int count) {
  if (arrays == nullptr) return;
  for (int i = 0; i < count; ++i) delete[] arrays[i];
  delete[] arrays;
}

}  // namespace

void PhaseTwo::releaseArrays() {
  const int nc = numberOfComponents;
  delete[] logicEvaluate;
  delete[] secondaryEvaluate;
  delete[] drawDynamic;
  delete[] xEventTriggered;
  delete[] heapQueueEventTriggered;
  delete[] iconArrays;
  delete[] state;
  delete[] tile;
  delete[] outputOverloadable;
  delete[] selfActivating;
  delete[] graphicLevel;
  releaseEach(rcpos, nc);
  releaseEach(decal, nc);
  delete[] listBlock;
  delete[] byteBlock;
  delete[] numberOfDataInputs;
  delete[] dataInputs;
  delete[] numberOfControlInputs;
  delete[] controlInputs;
  delete[] numberOfOutputs;
  delete[] outputs;
  delete[] numberOfPointerParameters;
  delete[] pointerParameters;
  delete[] numberOfNameParameters;
  releaseEach(nameParameters, nc);
  delete[] numberOfIntegerParameters;
  delete[] integerParameters;
  delete[] numberOfByteParameters;
  delete[] byteParameters;
  delete[] numberOfInternal32BitVariables;
  releaseEach(internal32BitVariables, nc);
  delete[] numberOfInternal16BitVariables;
  releaseEach(internal16BitVariables, nc);
  delete[] numberOfInternal8BitVariables;
  releaseEach(internal8BitVariables, nc);
  delete[] activationsFromWindow;
  delete[] signalInitializations;
  releaseEach(signalNames, numberOfSignals);
  delete[] constSignals;
  *this = PhaseTwo();
}

void PhaseTwo::dumpFromArrays() const {
  std::ostream& err = std::cerr;
  err << "dumpFromArrays():" << std::endl;
  for (int s = 0; s < numberOfSignals; ++s)
    err << "Signal " << s << "  Init = " << static_cast<int>(signalInitializations[s])
        << " constSignal = " << constSignals[s] << "  Name = " << orEmpty(signalNames[s]) << std::endl;
  for (int k = 0; k < numberOfSwitches; ++k)
    err << "Switch " << k << "  keyChar = " << static_cast<char>(activationsFromWindow[k][0])
        << "  CompNumber = " << activationsFromWindow[k][1] << "  SignalSerialNumber = " << activationsFromWindow[k][2]
        << std::endl;
  for (int i = 0; i < numberOfComponents; ++i) {
    err << "Comp " << i << " eval() at " << reinterpret_cast<const void*>(logicEvaluate[i]) << "  iconArray at "
        << static_cast<const void*>(iconArrays[i]) << "  overLoadable = " << outputOverloadable[i] << std::endl;
    err << "   rcpos =  " << orEmpty(rcpos[i]) << "  decal = " << orEmpty(decal[i]) << " " << std::endl;
    err << "   Inputs[" << numberOfDataInputs[i] << "]:";
    for (int k = 0; k < numberOfDataInputs[i] && dataInputs[i] != nullptr; ++k) err << " " << dataInputs[i][k];
    err << "  Outputs[" << numberOfOutputs[i] << "]:";
    for (int k = 0; k < numberOfOutputs[i] && outputs[i] != nullptr; ++k) err << " " << outputs[i][k];
    err << std::endl;
  }
}
