// Registration of one component into the construction lists.
#pragma once

#include "construction/CompList.h"
#include "construction/Schmtc.h"
#include "construction/Signal.h"

// While a circuit holds this at 0, components are registered without an icon.
extern int visibleFlag;

void addStandardComponent(ComponentFunction evaluate, SecondaryEvaluatePointer secondaryEvaluate,
                          const int* iconArray, ComponentFunction drawDynamic, ComponentFunction xEventTriggered,
                          ComponentFunction heapQueueEventTriggered, int outputOverloadable, int selfActivating,
                          const char* decal, const SD& sd, const Signal& dataIn, const Signal& controlIn,
                          const Signal& out, int numberOfIntegerParameters, const int* integerParameters,
                          int numberOfByteParameters, const unsigned char* byteParameters,
                          int numberOfInternal32BitVariables, int numberOfInternal16BitVariables,
                          int numberOfInternal8BitVariables);

void addStandardComponent(ComponentFunction evaluate, const int* iconArray, const char* decal, const SD& sd,
                          const Signal& dataIn, const Signal& controlIn, const Signal& out);

// The designation's own label if it has one, else the component's default label (for messages).
inline const char* decalOf(const SD& sd, const char* ownLabel) { return sd.decal != nullptr ? sd.decal : ownLabel; }

// Counts one construction error; the run is refused when construction ends.
void countFatalDiagnostic();
