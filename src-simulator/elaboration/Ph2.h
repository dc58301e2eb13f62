// The flattened circuit: per component a hot core that the evaluation pass reads and a cold
// record for the rest, per wire its initial value, name and whether it is constant.
#pragma once

#include <cstdint>

#include "construction/CompList.h"
#include "process/ThreadLocal.h"
#include "construction/ComponentKind.h"
#include "construction/Signal.h"
#include "construction/ScrnTile.h"

// What an evaluation reads of its component, two components to a cache line: the evaluator, the
// state, and the pin lists, which lie one after the other in one block (data inputs, control
// inputs, outputs, then the integer parameters), the next component's after them.
struct alignas(32) ComponentCore {
  ComponentFunction logicEvaluate;  // the kind's, or null for a component that evaluates nothing
  int* pins;
  int state;
  int numberOfDataInputs;
  int numberOfControlInputs;
  int numberOfOutputs;

  int* dataInputs() const { return pins; }
  int* controlInputs() const { return pins + numberOfDataInputs; }
  int* outputs() const { return pins + numberOfDataInputs + numberOfControlInputs; }
  // As many as the record's numberOfIntegerParameters.
  int* integerParameters() const { return outputs() + numberOfOutputs; }
};
static_assert(sizeof(ComponentCore) == 32, "two components to a cache line");

// The rest of a component: what drawing, messages, setting up a run and its private variables
// need. Its texts and lists live in blocks that the PhaseTwo owns; an empty list is null. A
// text the component before has too (the position of a row of gates) is shared with it.
struct ComponentRecord {
  ComponentKind kind;
  int graphicLevel;
  ScreenTile tile;
  const char* rcpos;
  const char* decal;
  const int* iconArray;  // null for a component registered invisible
  int numberOfIntegerParameters;
  int numberOfByteParameters;
  int numberOfInternal32BitVariables;
  int numberOfInternal16BitVariables;
  int numberOfInternal8BitVariables;
  const unsigned char* byteParameters;
  uint32_t* internal32BitVariables;
  uint16_t* internal16BitVariables;
  uint8_t* internal8BitVariables;
};
static_assert(sizeof(ComponentRecord) <= 104, "no padding between the fields");

class PhaseTwo {
public:
  int numberOfSignals = 0;
  int numberOfComponents = 0;
  int numberOfSwitches = 0;
  int maxGraphicDisplayLevel;

  ComponentCore* core = nullptr;              // per component, hot
  ComponentRecord* record = nullptr;          // per component, cold
  int (*activationsFromWindow)[3] = nullptr;  // key character, component number, wire
  SignalValue* signalInitializations = nullptr;
  char** signalNames = nullptr;
  int* constSignals = nullptr;

  PhaseTwo();
  ~PhaseTwo() = default;  // the arrays live until the process ends

  // Component c's kind: its name, hooks, icon and rules.
  const ComponentKindRow& kindOf(int c) const { return componentKind(record[c].kind); }

  // Flattens the construction phase's lists. The components' nodes are released as they are
  // copied, and the wires' names are kept from the list rather than copied, so that the list
  // and the arrays are never both whole.
  void listsToArrays();
  // The components from first on (count of them, linked by ptr) into core and record: where
  // their arrays and blocks are allocated and filled. The nodes stay as they are.
  void componentsToArrays(const ComponentNode* first, int count);
  // Frees every array and leaves an empty PhaseTwo: for a process that elaborates circuit
  // after circuit, such as a fuzzer.
  void releaseArrays();
  void dumpFromArrays() const;

  // The component of the first switch or pulser bound to a key character, or -1: what a key
  // press acts on, from the window or from a key script.
  int switchComponent(int keyChar) const;

private:
  // componentsToArrays, each node released from consumed (its list) once it is copied, when
  // consumed is not null.
  void flattenComponents(const ComponentNode* first, int count, ComponentList* consumed);

  TextBlocks* nameBlocks = nullptr;  // the wires' names, taken from the signal list
  // The blocks that the components' lists, texts and private variables are cut from.
  int* pinBlock = nullptr;
  unsigned char* byteBlock = nullptr;
  char* textBlock = nullptr;
  uint32_t* block32 = nullptr;
  uint16_t* block16 = nullptr;
  uint8_t* block8 = nullptr;
};

extern TAVRIN_THREAD_LOCAL PhaseTwo* phaseTwo;  // the current thread's
