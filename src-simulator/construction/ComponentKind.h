// Component kinds: what every component of one kind shares, looked up by the kind's number.
//
// The library's kinds are numbered by ComponentKind and described by the rows of the table in
// components/Kinds.cpp. A circuit, a test or a benchmark may define kinds of its own at run time
// (defineComponentKind); they are numbered after the library's. Code that must tell kinds apart
// compares kinds (phaseTwo->record[c].kind == ComponentKind::Probe), never their functions.
#pragma once

#include <cstdint>

#include "construction/Signal.h"

typedef void (*ComponentFunction)(int cind);

// Reserved block-evaluation hooks: stored and carried along, never called.
typedef void (*signalBlockEvaluatePointer)(int&, int, const SignalValue*, int, SignalValue*);
typedef void (*logicBlockEvaluatePointer)(int&, int, const int*, int, int*);
union SecondaryEvaluatePointer {
  signalBlockEvaluatePointer signalBlockEvaluate;
  logicBlockEvaluatePointer logicBlockEvaluate;
};

// The data inputs of component cind whose change alone cannot make it act, so that the run need
// not evaluate it for one: bit k of always for input k whatever its new value, bit k of onXxx for
// input k turning XXX. driversOfWire counts each wire's drivers. Both start at 0.
typedef void (*QuietInputsRule)(int cind, const int* driversOfWire, uint32_t& always, uint32_t& onXxx);

enum class ComponentKind : uint16_t {
  // Gates and tri-state buffers (components/ssiPh1.h).
  And,
  Or,
  Not,
  Nand,
  Nor,
  Xor,
  Xnor,
  MultiLevelCompare,
  Iand,
  Inand,
  CiOr,
  CiNor,
  Tsb,
  // Observation, interaction and timing (components/ssiPh1.h).
  Probe,
  ProbeByte,
  ProbeByteH,
  Switch,
  PowerOn,
  Pulser,
  Clock,
  Stop,
  Module,
  Space,
  // Medium-scale components (components/msiPh1.h).
  Adder,
  Increment,
  Mux,
  Decoder,
  Encoder,
  Gate,
  Counter,
  Dff,
  Jkff,
  Register,
  BitAddressibleRegister,
  Stderr,
  IntOut,
  HexOut,
  // Memories (components/vlsiPh1.h).
  RegisterFile,
  Ram,
  Rom,
  // The number of library kinds; defined kinds follow.
  numberOfLibraryKinds
};

// A kind's pins, one text per pin list in pin order (pin 0 first), names separated by spaces:
// "name" is one pin, "name[N]" N pins, "name[]" a bus of any width (none included). A null
// text is a list without pins.
struct PinNames {
  const char* data = nullptr;
  const char* control = nullptr;
  const char* outputs = nullptr;
};

// The level of a component's one output by the levels of its inputs, for a kind that computes
// nothing else: level[z][x][y] for the levels x, y and z of its first, second and third input (a
// kind with fewer inputs reads its first again for each one it lacks), a component of the usual
// shape having dataInputs data inputs, controlInputs control inputs and then one output, which
// is requested after the kind's delays.
struct LevelTable {
  uint8_t level[8][8][8];
  int dataInputs;
  int controlInputs;
  int quickTime;
  int lazyTime;
};

struct ComponentKindRow {
  ComponentKind kind{};        // its own number in the table
  const char* name = nullptr;  // the construction function's name
  // The label of a component whose designation gives none and whose construction sets none;
  // null for the name.
  const char* label = nullptr;
  ComponentFunction logicEvaluate = nullptr;  // evaluates an activated component
  // Of an orderFree kind: evaluates the components base + k for each bit k of bits, all of this
  // kind, in ascending order, as logicEvaluate on each would, in a run with the time buckets (-R)
  // that draws nothing: one call for a word of activated components. Null: none.
  void (*evaluateWord)(int base, uint64_t bits) = nullptr;
  // Of an orderFree kind whose logicEvaluate, for a component of the table's usual shape, only
  // requests the table's level for its output: in a run with the time buckets that draws nothing,
  // such components are evaluated from their wires and the table (kernel/Cells.h), a word of
  // activated components in one loop whatever their kinds. Null: none.
  const LevelTable* levels = nullptr;
  ComponentFunction drawDynamic = nullptr;  // draws its panes (or writes its probe lines)
  // drawDynamic only draws panes (a switch's): it is not called in a run whose drawings go
  // nowhere. Otherwise (a probe tells its observers, a byte probe checks its width, a kind of the
  // circuit's own may print) it is called there too.
  bool drawsOnlyPanes = false;
  // drawDynamic only tells the run's probe watchers (kernel/RunObserver.h: probe lines, the
  // window's panes): a run without any does not call it (a probe's, with -X -Q).
  bool tellsOnlyProbeWatchers = false;
  // Its evaluation reads only its inputs' present values and asks only for transitions of its
  // own outputs, which nothing else drives, and prints nothing: components of such kinds may be
  // evaluated in any order within a pass without changing what the run shows (the gates and the
  // multiplexer). A netlist's cells are numbered grouped by kind on it (ComponentList::gatherOrderFree).
  bool orderFree = false;
  ComponentFunction xEventTriggered = nullptr;          // its key: a press, and once at each reset
  ComponentFunction heapQueueEventTriggered = nullptr;  // reserved: counts as driving, never called
  SecondaryEvaluatePointer secondaryEvaluate{};
  const int* icon = nullptr;
  QuietInputsRule quietInputs = nullptr;  // null: every input change may make it act
  // Several may drive one wire (tri-state), and it is drawn only at its own level.
  int outputOverloadable = 0;
  // Its outputs activate it too: it acts on what it drives itself.
  int selfActivating = 0;
  PinNames pins{};
};

// Every kind, by number: the library's rows, then the defined ones. Valid until the next
// definition.
extern const ComponentKindRow* componentKindRows;
inline const ComponentKindRow& componentKind(ComponentKind kind) {
  return componentKindRows[static_cast<uint16_t>(kind)];
}
int numberOfComponentKinds();

// A kind of the caller's own, numbered after those there are; row.kind is ignored. Each call
// makes a new kind, so a kind is defined once (at namespace scope, say) and used for every
// component of it. A definition past the largest number ends the process with status 1.
// The table is the process's: while simulations run on threads (simulateEach, startup/Parallel.h)
// every one of them reads it, and a definition then ends the process with status 1 after
// "ERROR -- component kind defined while simulations run on threads: <name>".
ComponentKind defineComponentKind(const ComponentKindRow& row);

// Marks the start (true) and the end (false) of a time in which simulations run on threads and
// no kind may be defined; such times may overlap.
void freezeComponentKinds(bool frozen);

// The label a component of this kind gets when neither its designation nor its construction
// gives one.
inline const char* defaultLabel(ComponentKind kind) {
  const ComponentKindRow& row = componentKind(kind);
  return row.label != nullptr ? row.label : row.name;
}

// Whether count pins can be a pin list with these names: exactly their number without an
// any-width bus, at least the fixed ones' number with one.
bool pinNamesFit(const char* names, int count);
