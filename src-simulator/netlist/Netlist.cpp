#include "netlist/Netlist.h"

#include <cstdint>

namespace netlist {

int Netlist::addCell(CellKind kind, const std::vector<NetId>& inputs, NetId output, int box, uint32_t where,
                     int storage) {
  Cell cell;
  cell.kind = kind;
  cell.firstInput = static_cast<uint32_t>(pins.size());
  cell.inputCount = static_cast<uint32_t>(inputs.size());
  pins.insert(pins.end(), inputs.begin(), inputs.end());
  cell.output = output;
  cell.box = box;
  cell.where = where;
  cell.storage = storage;
  cells.push_back(cell);
  return static_cast<int>(cells.size() - 1);
}

void Diagnostics::error(const std::string& place, const std::string& message) {
  errors.push_back(file + ":" + place + ": " + message);
}

void Diagnostics::warning(const std::string& place, const std::string& message) {
  warnings.push_back(file + ":" + place + ": warning: " + message);
}

const char* cellKindName(CellKind kind) {
  switch (kind) {
    case CellKind::Buf: return "$_BUF_";
    case CellKind::Not: return "$_NOT_";
    case CellKind::And: return "$_AND_";
    case CellKind::Nand: return "$_NAND_";
    case CellKind::Or: return "$_OR_";
    case CellKind::Nor: return "$_NOR_";
    case CellKind::Xor: return "$_XOR_";
    case CellKind::Xnor: return "$_XNOR_";
    case CellKind::AndNot: return "$_ANDNOT_";
    case CellKind::OrNot: return "$_ORNOT_";
    case CellKind::Mux: return "$_MUX_";
    case CellKind::NMux: return "$_NMUX_";
    case CellKind::Aoi3: return "$_AOI3_";
    case CellKind::Oai3: return "$_OAI3_";
    case CellKind::Aoi4: return "$_AOI4_";
    case CellKind::Oai4: return "$_OAI4_";
    case CellKind::Tbuf: return "$_TBUF_";
    case CellKind::Dff: return "$_DFF_";
    case CellKind::Latch: return "$_DLATCH_";
  }
  return "?";
}

int cellKindInputs(CellKind kind) {
  switch (kind) {
    case CellKind::Buf: case CellKind::Not: return 1;
    case CellKind::Mux: case CellKind::NMux: case CellKind::Aoi3: case CellKind::Oai3: return 3;
    case CellKind::Aoi4: case CellKind::Oai4: return 4;
    case CellKind::Dff: return 5;
    case CellKind::Latch: return 3;
    default: return 2;
  }
}

Drivers findDrivers(const Netlist& netlist) {
  Drivers d;
  const size_t n = static_cast<size_t>(netlist.netCount);
  d.plain.assign(n, 0);
  d.tristate.assign(n, 0);
  d.cell.assign(n, -1);
  auto bump = [](uint8_t& count) {
    if (count < 2) ++count;
  };
  for (const Port& port : netlist.ports)
    if (port.input)
      for (NetId bit : port.bits)
        if (bit >= 0) bump(d.plain[static_cast<size_t>(bit)]);
  for (size_t c = 0; c < netlist.cells.size(); ++c) {
    const Cell& cell = netlist.cells[c];
    if (cell.output < 0) continue;
    const size_t net = static_cast<size_t>(cell.output);
    bump(cell.kind == CellKind::Tbuf ? d.tristate[net] : d.plain[net]);
    d.cell[net] = static_cast<int32_t>(c);
  }
  return d;
}

std::string bitName(const NetName& name, size_t bit) {
  if (name.bits.size() == 1) return name.name;
  return name.name + "[" + std::to_string(bit) + "]";
}

namespace {

// The first name of each net, for messages.
struct NetLabels {
  std::vector<int32_t> name, bit;
  explicit NetLabels(const Netlist& netlist)
      : name(static_cast<size_t>(netlist.netCount), -1), bit(static_cast<size_t>(netlist.netCount), 0) {
    // Ports first, numbered after the names.
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      for (size_t b = 0; b < netlist.ports[p].bits.size(); ++b) {
        const NetId net = netlist.ports[p].bits[b];
        if (net < 0 || name[static_cast<size_t>(net)] >= 0) continue;
        name[static_cast<size_t>(net)] = static_cast<int32_t>(netlist.names.size() + p);
        bit[static_cast<size_t>(net)] = static_cast<int32_t>(b);
      }
    for (size_t k = 0; k < netlist.names.size(); ++k) {
      const NetName& n = netlist.names[k];
      for (size_t b = 0; b < n.bits.size(); ++b) {
        const NetId net = n.bits[b];
        if (net < 0 || name[static_cast<size_t>(net)] >= 0) continue;
        name[static_cast<size_t>(net)] = static_cast<int32_t>(k);
        bit[static_cast<size_t>(net)] = static_cast<int32_t>(b);
      }
    }
  }
  std::string of(const Netlist& netlist, NetId net) const {
    const int32_t k = name[static_cast<size_t>(net)];
    std::string text;
    if (k < 0) return text.append("net ").append(std::to_string(net));
    if (static_cast<size_t>(k) >= netlist.names.size()) {
      const Port& p = netlist.ports[static_cast<size_t>(k) - netlist.names.size()];
      const int32_t b = bit[static_cast<size_t>(net)];
      text.append("'").append(p.name);
      if (p.bits.size() != 1) text.append("[").append(std::to_string(b)).append("]");
      return text.append("'");
    }
    return text.append("'")
        .append(bitName(netlist.names[static_cast<size_t>(k)], static_cast<size_t>(bit[static_cast<size_t>(net)])))
        .append("'");
  }
};

constexpr int warningsShown = 10;

}  // namespace

bool checkNetlist(const Netlist& netlist, Diagnostics& diagnostics) {
  const size_t before = diagnostics.errors.size();
  const NetLabels labels(netlist);
  const size_t n = static_cast<size_t>(netlist.netCount);
  std::vector<uint8_t> plain(n, 0), tristate(n, 0), read(n, 0);
  constexpr uint32_t nowhere = UINT32_MAX;
  std::vector<uint32_t> readAt(n, nowhere);  // where it is first read
  for (const Port& port : netlist.ports)
    if (port.input)
      for (NetId bit : port.bits)
        if (bit >= firstNet) plain[static_cast<size_t>(bit)] = 1;
  for (size_t c = 0; c < netlist.cells.size(); ++c) {
    const Cell& cell = netlist.cells[c];
    const NetId* in = netlist.inputsOf(cell);
    for (uint32_t k = 0; k < cell.inputCount; ++k)
      if (in[k] >= firstNet) {
        read[static_cast<size_t>(in[k])] = 1;
        if (readAt[static_cast<size_t>(in[k])] == nowhere) readAt[static_cast<size_t>(in[k])] = cell.where;
      }
    if (cell.output == noNet) continue;
    const std::string& where = netlist.places[cell.where];
    if (isConstant(cell.output)) {
      diagnostics.error(where, std::string(cellKindName(cell.kind)) + " drives a constant");
      continue;
    }
    const size_t out = static_cast<size_t>(cell.output);
    const bool isTristate = cell.kind == CellKind::Tbuf;
    if (plain[out] != 0 || (!isTristate && tristate[out] != 0))
      diagnostics.error(where, labels.of(netlist, cell.output) + " is driven twice" +
                                   (plain[out] != 0 || isTristate ? "" : " (tri-state buffers and another cell)"));
    (isTristate ? tristate[out] : plain[out]) = 1;
  }
  for (const Port& port : netlist.ports)
    if (!port.input)
      for (NetId bit : port.bits)
        if (bit >= firstNet) {
          read[static_cast<size_t>(bit)] = 1;
          if (readAt[static_cast<size_t>(bit)] == nowhere) readAt[static_cast<size_t>(bit)] = port.where;
        }
  int undriven = 0;
  for (size_t net = firstNet; net < n; ++net) {
    if (read[net] == 0 || plain[net] != 0 || tristate[net] != 0) continue;
    if (++undriven > warningsShown) continue;
    diagnostics.warning(netlist.places[readAt[net]], labels.of(netlist, static_cast<NetId>(net)) + " is read but never driven; it reads HIZ");
  }
  if (undriven > warningsShown)
    diagnostics.warning(netlist.places.empty() ? "0" : netlist.places[0], std::to_string(undriven - warningsShown) + " more nets are read but never driven");
  return diagnostics.errors.size() == before;
}

}  // namespace netlist
