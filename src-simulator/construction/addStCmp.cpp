#include "construction/addStCmp.h"

#include <cstring>

#include "construction/Ph1.h"
#include "construction/TextCopy.h"

int visibleFlag = 1;

namespace {

template <typename T>
T* copyArray(int count, const T* values) {
  if (count <= 0 || values == nullptr) return nullptr;
  T* copy = new T[count];
  std::memcpy(copy, values, sizeof(T) * count);
  return copy;
}

}  // namespace

void addStandardComponent(ComponentFunction evaluate, SecondaryEvaluatePointer secondaryEvaluate,
                          const int* iconArray, ComponentFunction drawDynamic, ComponentFunction xEventTriggered,
                          ComponentFunction heapQueueEventTriggered, int outputOverloadable, int selfActivating,
                          const char* decal, const SD& sd, const Signal& dataIn, const Signal& controlIn,
                          const Signal& out, int numberOfIntegerParameters, const int* integerParameters,
                          int numberOfByteParameters, const unsigned char* byteParameters,
                          int numberOfInternal32BitVariables, int numberOfInternal16BitVariables,
                          int numberOfInternal8BitVariables) {
  ComponentNode* node = new ComponentNode();
  node->logicEvaluate = evaluate;
  node->secondaryEvaluate = secondaryEvaluate;
  node->iconArray = visibleFlag ? iconArray : nullptr;
  node->drawDynamic = drawDynamic;
  node->xEventTriggered = xEventTriggered;
  node->heapQueueEventTriggered = heapQueueEventTriggered;
  node->outputOverloadable = outputOverloadable;
  node->selfActivating = selfActivating;
  node->decal = copyText(sd.decal != nullptr ? sd.decal : (decal != nullptr ? decal : ""));
  node->graphicPosition = copyText(sd.graphicPosition != nullptr ? sd.graphicPosition : "");
  node->graphicLevel = sd.graphicLevel;
  node->numberOfDataInputs = dataIn.length;
  node->dataInputs = copyArray(dataIn.length, dataIn.serialNumber);
  node->numberOfControlInputs = controlIn.length;
  node->controlInputs = copyArray(controlIn.length, controlIn.serialNumber);
  node->numberOfOutputs = out.length;
  node->outputs = copyArray(out.length, out.serialNumber);
  node->numberOfIntegerParameters = numberOfIntegerParameters;
  node->integerParameters = copyArray(numberOfIntegerParameters, integerParameters);
  node->numberOfByteParameters = numberOfByteParameters;
  node->byteParameters = copyArray(numberOfByteParameters, byteParameters);
  node->numberOfInternal32BitVariables = numberOfInternal32BitVariables;
  node->numberOfInternal16BitVariables = numberOfInternal16BitVariables;
  node->numberOfInternal8BitVariables = numberOfInternal8BitVariables;
  PhaseOne::instance().componentList.add(node);
}

void addStandardComponent(ComponentFunction evaluate, const int* iconArray, const char* decal, const SD& sd,
                          const Signal& dataIn, const Signal& controlIn, const Signal& out) {
  addStandardComponent(evaluate, SecondaryEvaluatePointer{}, iconArray, nullptr, nullptr, nullptr, 0, 0, decal, sd,
                       dataIn, controlIn, out, 0, nullptr, 0, nullptr, 0, 0, 0);
}

void countFatalDiagnostic() { ++PhaseOne::instance().fatalDiagnosticCount; }
