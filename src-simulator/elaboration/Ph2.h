// The flattened circuit: one array per component attribute and per wire attribute.
#pragma once

#include <cstdint>

#include "construction/CompList.h"
#include "construction/Signal.h"
#include "display/ScrnTile.h"

class PhaseTwo {
public:
  int numberOfSignals = 0;
  int numberOfComponents = 0;
  int numberOfSwitches = 0;
  int maxGraphicDisplayLevel;

  ComponentFunction* logicEvaluate = nullptr;
  SecondaryEvaluatePointer* secondaryEvaluate = nullptr;
  ComponentFunction* drawDynamic = nullptr;
  ComponentFunction* xEventTriggered = nullptr;
  ComponentFunction* heapQueueEventTriggered = nullptr;
  const int** iconArrays = nullptr;
  int* state = nullptr;
  ScreenTile* tile = nullptr;
  int* outputOverloadable = nullptr;
  int* selfActivating = nullptr;
  int* graphicLevel = nullptr;
  char** rcpos = nullptr;
  char** decal = nullptr;
  int* numberOfDataInputs = nullptr;
  int** dataInputs = nullptr;
  int* numberOfControlInputs = nullptr;
  int** controlInputs = nullptr;
  int* numberOfOutputs = nullptr;
  int** outputs = nullptr;
  int* numberOfPointerParameters = nullptr;
  void** pointerParameters = nullptr;
  int* numberOfNameParameters = nullptr;
  char** nameParameters = nullptr;
  int* numberOfIntegerParameters = nullptr;
  int** integerParameters = nullptr;
  int* numberOfByteParameters = nullptr;
  unsigned char** byteParameters = nullptr;
  int* numberOfInternal32BitVariables = nullptr;
  uint32_t** internal32BitVariables = nullptr;
  int* numberOfInternal16BitVariables = nullptr;
  uint16_t** internal16BitVariables = nullptr;
  int* numberOfInternal8BitVariables = nullptr;
  uint8_t** internal8BitVariables = nullptr;
  int (*activationsFromWindow)[3] = nullptr;  // key character, component number, wire
  SignalValue* signalInitializations = nullptr;
  char** signalNames = nullptr;
  int* constSignals = nullptr;

  PhaseTwo();
  ~PhaseTwo() = default;  // the arrays live until the process ends

  void listsToArrays();
  // Frees every array and leaves an empty PhaseTwo: for a process that elaborates circuit
  // after circuit, such as a fuzzer.
  void releaseArrays();
  void dumpFromArrays() const;

  // The component of the first switch or pulser bound to a key character, or -1: what a key
  // press acts on, from the window or from a key script.
  int switchComponent(int keyChar) const;

private:
  // The blocks that all pin and parameter lists, and all byte parameters, are cut from.
  int* listBlock = nullptr;
  unsigned char* byteBlock = nullptr;
};

extern PhaseTwo* phaseTwo;
