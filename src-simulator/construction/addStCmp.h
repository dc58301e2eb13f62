// Registration of one component into the construction lists.
#pragma once

#include <span>

#include "construction/CompList.h"
#include "process/ThreadLocal.h"
#include "construction/ComponentKind.h"
#include "construction/Schmtc.h"
#include "construction/Signal.h"

// While a circuit holds this at 0, components are registered without an icon (this thread's).
extern TAVRIN_THREAD_LOCAL int visibleFlag;

// The "no wires" of a pin list.
const Signal& noSignal();

// A component's three pin lists, each a bus whose bit 0 is pin 0.
struct ComponentPins {
  const Signal& data = noSignal();
  const Signal& control = noSignal();
  const Signal& outputs = noSignal();
};

// What a component keeps besides its pins: integer and byte parameters (copied), and the counts
// of its private variables, which the flattening allocates and zeroes.
struct ComponentParameters {
  std::span<const int> integers{};
  std::span<const unsigned char> bytes{};
  int internal32BitVariables = 0;
  int internal16BitVariables = 0;
  int internal8BitVariables = 0;
};

// Registers a component of the given kind at sd. Its label is sd's decal if it has one, else
// label, else the kind's default label (see defaultLabel).
void addComponent(ComponentKind kind, const SD& sd, const ComponentPins& pins,
                  const ComponentParameters& parameters = {}, const char* label = nullptr);

// The designation's own label if it has one, else the component's default label (for messages).
inline const char* decalOf(const SD& sd, const char* ownLabel) { return sd.decal != nullptr ? sd.decal : ownLabel; }
inline const char* decalOf(const SD& sd, ComponentKind kind) { return decalOf(sd, defaultLabel(kind)); }

// Counts one construction error; the run is refused when construction ends.
void countFatalDiagnostic();
