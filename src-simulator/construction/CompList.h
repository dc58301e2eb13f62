// The registered components of a circuit, in registration order.
#pragma once

#include "construction/Signal.h"

typedef void (*ComponentFunction)(int cind);

// Reserved block-evaluation hooks: stored and carried along, never called.
typedef void (*signalBlockEvaluatePointer)(int&, int, const SignalValue*, int, SignalValue*);
typedef void (*logicBlockEvaluatePointer)(int&, int, const int*, int, int*);
union SecondaryEvaluatePointer {
  signalBlockEvaluatePointer signalBlockEvaluate;
  logicBlockEvaluatePointer logicBlockEvaluate;
};

class ComponentNode {
public:
  ComponentNode* ptr = nullptr;
  int componentIndex = 0;
  ComponentFunction logicEvaluate = nullptr;
  SecondaryEvaluatePointer secondaryEvaluate{};
  const int* iconArray = nullptr;
  ComponentFunction drawDynamic = nullptr;
  ComponentFunction xEventTriggered = nullptr;
  ComponentFunction heapQueueEventTriggered = nullptr;
  int outputOverloadable = 0;
  int selfActivating = 0;
  int graphicLevel = 0;
  char* graphicPosition = nullptr;
  char* decal = nullptr;
  int numberOfDataInputs = 0;
  int* dataInputs = nullptr;
  int numberOfControlInputs = 0;
  int* controlInputs = nullptr;
  int numberOfOutputs = 0;
  int* outputs = nullptr;
  int numberOfIntegerParameters = 0;
  int* integerParameters = nullptr;
  int numberOfByteParameters = 0;
  unsigned char* byteParameters = nullptr;
  int numberOfInternal32BitVariables = 0;
  int numberOfInternal16BitVariables = 0;
  int numberOfInternal8BitVariables = 0;

  void print() const;
};

class ComponentList {
public:
  int numberOfComponents = 0;
  ComponentNode* start = nullptr;
  ComponentNode* end = nullptr;

  void add(ComponentNode* newComponent);  // numbers the component
  void print() const;
  ~ComponentList();  // reports the count
};
