// The netlist model: what a netlist file describes, flattened into one list of cells over one
// set of nets, with the module instances kept as boxes for the schematic. The readers
// (YosysJson.h, BenchFile.h) fill it, checkNetlist finds what cannot be simulated, the placement
// (Placement.h) and the builder (Builder.h) turn it into components.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace netlist {

// A net: one bit of the design. Nets 0 .. 3 are the constants; the others are numbered from
// firstNet on.
using NetId = int32_t;
constexpr NetId constZero = 0;
constexpr NetId constOne = 1;
constexpr NetId constUnknown = 2;  // "x"
constexpr NetId constFloat = 3;    // "z"
constexpr NetId firstNet = 4;
inline bool isConstant(NetId net) { return net >= 0 && net < firstNet; }

// The cells the builder knows. Pin order of each kind (Cell::inputs):
//   Buf, Not: A. And .. Xnor: A, B, and further inputs for a .bench gate of more than two.
//   AndNot (A & ~B), OrNot (A | ~B): A, B. Mux, NMux (S ? B : A, NMux inverted): A, B, S.
//   Aoi3 ~((A&B)|C), Oai3 ~((A|B)&C): A, B, C. Aoi4 ~((A&B)|(C&D)), Oai4 ~((A|B)&(C|D)): A..D.
//   Tbuf (E ? A : z): A, E.
//   Dff: C, D, then E, R, S as Storage says (absent pins are noNet).
//   Latch: E (the enable, polarity Storage::clockRising), D, R (absent: noNet).
enum class CellKind : uint8_t {
  Buf, Not, And, Nand, Or, Nor, Xor, Xnor, AndNot, OrNot, Mux, NMux, Aoi3, Oai3, Aoi4, Oai4, Tbuf, Dff, Latch
};
constexpr NetId noNet = -1;

// Polarity of a flip-flop's or latch's control pin: absent, active high, active low.
enum class Active : uint8_t { None, High, Low };

// What a Dff or Latch does besides storing D.
struct Storage {
  bool clockRising = true;           // Dff: stores on the rising clock edge; Latch: open while E is high
  Active enable = Active::None;      // Dff: E pin, stores only while enabled
  Active syncReset = Active::None;   // Dff: R pin, synchronous: stores syncValue instead of D
  bool syncValue = false;
  bool enableOverReset = false;      // Dff: the synchronous reset acts only while enabled ($_SDFFCE_)
  Active reset = Active::None;       // Dff, Latch: R pin, asynchronous: forces resetValue
  bool resetValue = false;
  Active set = Active::None;         // Dff: S pin, asynchronous set; R (reset) wins over S
};

struct Cell {
  CellKind kind = CellKind::Buf;
  uint32_t firstInput = 0;  // its inputs: Netlist::pins[firstInput .. firstInput + inputCount)
  uint32_t inputCount = 0;
  NetId output = noNet;
  int box = 0;              // the module instance it belongs to (0: the top module)
  int storage = -1;         // Dff and Latch: index into Netlist::storages
  uint32_t where = 0;       // index into Netlist::places
};

// A top-level port: an input becomes switches (or a clock), an output probes.
struct Port {
  std::string name;
  bool input = true;
  std::vector<NetId> bits;  // bit 0 first
  uint32_t where = 0;
};

// A name the file gives to some nets (a wire, a bus, a .bench signal), bit 0 first. Hidden names
// (the synthesis tool's own) never become wire names, but --probe finds them.
struct NetName {
  std::string name;
  std::vector<NetId> bits;
  bool hidden = false;
  int box = 0;
  uint32_t where = 0;
};

// A module instance, drawn as a box. Box 0 is the top module itself.
struct Box {
  std::string instance;  // "u1" (box 0: the top module's name)
  std::string module;
  int parent = -1;
  int depth = 0;  // 0 for the top module, 1 for its instances, ...
  std::vector<NetId> inputs, outputs;  // what its ports connect to in the parent
  uint32_t where = 0;
};

struct Netlist {
  int netCount = firstNet;  // nets firstNet .. netCount - 1 exist
  std::vector<Cell> cells;
  std::vector<NetId> pins;
  std::vector<Storage> storages;
  std::vector<Port> ports;
  std::vector<NetName> names;  // in the order their names are preferred for a net
  std::vector<Box> boxes{Box{}};
  std::vector<std::string> places;  // where each thing is in the file: "12" (a line) or a JSON path

  NetId newNet() { return netCount++; }
  uint32_t place(std::string text) {
    places.push_back(std::move(text));
    return static_cast<uint32_t>(places.size() - 1);
  }
  // Appends a cell with the given inputs and returns its index.
  int addCell(CellKind kind, const std::vector<NetId>& inputs, NetId output, int box, uint32_t where,
              int storage = -1);
  const NetId* inputsOf(const Cell& cell) const { return pins.data() + cell.firstInput; }
};

// What went wrong where, collected in order: "FILE:PLACE: message" per entry.
struct Diagnostics {
  std::string file;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  void error(const std::string& place, const std::string& message);
  void warning(const std::string& place, const std::string& message);
  bool failed() const { return !errors.empty(); }
};

// The Yosys type name of a cell kind ("$_AND_"; .bench gates by their own names in messages).
const char* cellKindName(CellKind kind);
// The number of inputs a cell kind has (And .. Xnor: at least 2).
int cellKindInputs(CellKind kind);

// The checks before a build: a net driven by more than one cell or input (tri-state buffers
// alone may share one), a cell that drives a constant. Errors are added to diagnostics; a net
// that is read but driven by nothing is a warning ("reads HIZ"), and the builder ties it to the
// constant z. Returns false when an error was added.
bool checkNetlist(const Netlist& netlist, Diagnostics& diagnostics);

// Each net's drivers: count (0, 1, 2+) of cells and input ports driving it, tri-state buffers
// counted apart. Index by NetId.
struct Drivers {
  std::vector<uint8_t> plain;  // cells other than Tbuf, and input ports
  std::vector<uint8_t> tristate;
  std::vector<int32_t> cell;  // a driving cell (the last one seen), or -1 (none, or an input port)
};
Drivers findDrivers(const Netlist& netlist);

// The name of bit `bit` of a name as the schematic shows it: "d" for a 1-bit name, "d[3]".
std::string bitName(const NetName& name, size_t bit);

}  // namespace netlist
