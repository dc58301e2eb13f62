#include "netlist/Builder.h"

#include <deque>
#include <initializer_list>
#include <unordered_map>

#include "components/msiPh1.h"
#include "components/ssiPh1.h"
#include "construction/CompList.h"
#include "construction/Ph1.h"
#include "construction/Schmtc.h"
#include "construction/Signal.h"
#include "construction/addStCmp.h"

namespace netlist {

const char* const switchKeys = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

namespace {

// A key no key press reaches: control characters go to the window's own commands, and scripts
// accept printable keys only.
constexpr char noKey = '\x01';

// Names handed to the library, which keeps the pointers: alive until the process ends.
const char* keep(std::string text) {
  static std::deque<std::string> kept;
  kept.push_back(std::move(text));
  return kept.back().c_str();
}

// A handle on given wires, bit 0 first, without a name copy.
class Wires {
public:
  Wires(std::initializer_list<int> serials) { set(serials.begin(), serials.size()); }
  explicit Wires(const std::vector<int>& serials) { set(serials.data(), serials.size()); }
  operator const Signal&() const { return handle; }

private:
  Signal handle;
  void set(const int* serials, size_t n) {
    handle.length = static_cast<int>(n);
    handle.serialNumber = n > 0 ? new int[n] : nullptr;
    for (size_t i = 0; i < n; ++i) handle.serialNumber[i] = serials[i];
    handle.nameTag = "net";
  }
};

class Builder {
public:
  Builder(const Netlist& n, const BuildPlan& p, const Placement& l) : netlist(n), plan(p), placement(l) {}

  std::vector<SwitchKey> run() {
    serial.assign(static_cast<size_t>(netlist.netCount), -1);
    serial[constZero] = Zero.serialNumber[0];
    serial[constOne] = One.serialNumber[0];
    markUsed();
    tieUndriven();
    nameWires();
    // The cells' components grouped by kind (their wires keep the numbers they take here).
    ComponentList& components = PhaseOne::instance().componentList;
    const ComponentNode* const beforeCells = components.end;
    for (size_t c = 0; c < netlist.cells.size(); ++c) cell(c);
    components.gatherOrderFree(beforeCells);
    for (size_t b = 1; b < netlist.boxes.size(); ++b) box(b);
    inputs();
    outputs();
    aliases();
    return keys;
  }

private:
  const Netlist& netlist;
  const BuildPlan& plan;
  const Placement& placement;
  std::vector<int> serial;  // per net: its wire, or -1
  std::vector<uint8_t> used;
  struct Alias {
    int from, to;
    std::string position;
    int level;
  };
  std::vector<Alias> pendingAliases;
  std::vector<SwitchKey> keys;

  int constantWire(NetId net) {
    if (serial[static_cast<size_t>(net)] < 0) {
      const Signal s(1, net == constUnknown ? XXX : HIZ, 1, net == constUnknown ? "1'bx" : "1'bz");
      serial[static_cast<size_t>(net)] = s.serialNumber[0];
    }
    return serial[static_cast<size_t>(net)];
  }

  // The wire of a net, made unnamed if no name claimed it.
  int wire(NetId net) {
    if (net < 0) return constantWire(constFloat);
    if (net == constUnknown || net == constFloat) return constantWire(net);
    int& s = serial[static_cast<size_t>(net)];
    if (s < 0) {
      const Signal w(1, nullptr);
      s = w.serialNumber[0];
    }
    return s;
  }

  int fresh() {
    const Signal w(1, nullptr);
    return w.serialNumber[0];
  }

  void markUsed() {
    used.assign(static_cast<size_t>(netlist.netCount), 0);
    for (const Cell& c : netlist.cells) {
      const NetId* in = netlist.inputsOf(c);
      for (uint32_t k = 0; k < c.inputCount; ++k)
        if (in[k] >= 0) used[static_cast<size_t>(in[k])] = 1;
      if (c.output >= 0) used[static_cast<size_t>(c.output)] = 1;
    }
  }

  // Nets read but driven by nothing read HIZ.
  void tieUndriven() {
    const Drivers d = findDrivers(netlist);
    const int z = constantWire(constFloat);
    for (size_t n = firstNet; n < static_cast<size_t>(netlist.netCount); ++n)
      if (d.plain[n] == 0 && d.tristate[n] == 0) serial[n] = z;
  }

  // A name as one Signal: it takes the bits no name has yet; the others are driven into its wires
  // by buffers. Returns its wires, or nothing when it claimed no bit (and always is false).
  std::vector<int> claim(const std::string& name, const std::vector<NetId>& bits, bool always,
                         const std::string& position, int level) {
    bool any = always;
    for (NetId b : bits)
      if (b >= firstNet && serial[static_cast<size_t>(b)] < 0) any = true;
    if (!any || bits.empty()) return {};
    const Signal s(static_cast<unsigned>(bits.size()), keep(name));
    std::vector<int> wires(s.serialNumber, s.serialNumber + s.length);
    for (size_t k = 0; k < bits.size(); ++k) {
      const NetId b = bits[k];
      if (b >= firstNet && serial[static_cast<size_t>(b)] < 0)
        serial[static_cast<size_t>(b)] = wires[k];
      else
        pendingAliases.push_back(Alias{wire(b), wires[k], position, level});
    }
    return wires;
  }

  void nameWires() {
    portWires.resize(netlist.ports.size());
    std::unordered_map<std::string, size_t> inputNames;
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      if (netlist.ports[p].input) inputNames.emplace(netlist.ports[p].name, p);
    for (size_t p = 0; p < netlist.ports.size(); ++p) {
      const Port& port = netlist.ports[p];
      // An output that is an input of the same name (.bench) shows the input's wires.
      const bool always = port.input || inputNames.count(port.name) == 0;
      portWires[p] = claim(port.name, port.bits, always, inside(placement.ports[p]), 1);
    }
    for (const NetName& n : netlist.names) {
      if (n.hidden) continue;
      const std::string& box = placement.boxes[static_cast<size_t>(n.box)];
      claim(n.name, n.bits, false, n.box == 0 ? inside(topCell()) : box, n.box == 0 ? 1 : 0);
    }
  }

  // A cell of the top grid that holds one component and no grid: the first port's, else the first
  // cell's.
  const std::string& topCell() const {
    static const std::string none = "aa";
    if (!placement.ports.empty()) return placement.ports[0];
    return placement.cells.empty() ? none : placement.cells[0];
  }
  // A place inside the cell at position for the invisible buffers of a name: one of its own, so
  // that they do not share the tile of what the cell shows.
  static std::string inside(const std::string& position) { return position + ".aa"; }

  SD at(const std::string& position, int level, const char* decal = nullptr) {
    SD sd(position.c_str(), decal);
    sd.graphicLevel = level;
    return sd;
  }

  // Polarity: the active-high form of a control pin.
  int active(const SD& sd, int w, Active a) {
    if (a != Active::Low) return w;
    const int t = fresh();
    Not(sd, Wires{w}, Wires{t});
    return t;
  }

  void cell(size_t index) {
    const Cell& c = netlist.cells[index];
    const SD sd = at(placement.cells[index], netlist.boxes[static_cast<size_t>(c.box)].depth + 1);
    const NetId* in = netlist.inputsOf(c);
    std::vector<int> w(c.inputCount);
    for (uint32_t k = 0; k < c.inputCount; ++k)
      w[k] = in[k] == noNet && (c.kind == CellKind::Dff || c.kind == CellKind::Latch) ? -1 : wire(in[k]);
    const int y = wire(c.output);
    switch (c.kind) {
      case CellKind::Buf: And(sd, Wires{w[0]}, Wires{y}); break;
      case CellKind::Not: Not(sd, Wires{w[0]}, Wires{y}); break;
      case CellKind::And: And(sd, Wires(w), Wires{y}); break;
      case CellKind::Nand: Nand(sd, Wires(w), Wires{y}); break;
      case CellKind::Or: Or(sd, Wires(w), Wires{y}); break;
      case CellKind::Nor: Nor(sd, Wires(w), Wires{y}); break;
      case CellKind::Xor: Xor(sd, Wires(w), Wires{y}); break;
      case CellKind::Xnor: Xnor(sd, Wires(w), Wires{y}); break;
      case CellKind::AndNot: Iand(sd, Wires{w[0]}, Wires{w[1]}, Wires{y}); break;
      case CellKind::OrNot: CiOr(sd, Wires{w[0]}, Wires{w[1]}, Wires{y}); break;
      case CellKind::Mux: Mux(sd, Wires{w[2]}, Wires{w[0], w[1]}, Wires{y}); break;
      case CellKind::NMux: {
        const int t = fresh();
        Mux(sd, Wires{w[2]}, Wires{w[0], w[1]}, Wires{t});
        Not(sd, Wires{t}, Wires{y});
        break;
      }
      case CellKind::Aoi3: case CellKind::Oai3: {
        const int t = fresh();
        if (c.kind == CellKind::Aoi3) {
          And(sd, Wires{w[0], w[1]}, Wires{t});
          Nor(sd, Wires{t, w[2]}, Wires{y});
        } else {
          Or(sd, Wires{w[0], w[1]}, Wires{t});
          Nand(sd, Wires{t, w[2]}, Wires{y});
        }
        break;
      }
      case CellKind::Aoi4: case CellKind::Oai4: {
        const int t = fresh(), u = fresh();
        if (c.kind == CellKind::Aoi4) {
          And(sd, Wires{w[0], w[1]}, Wires{t});
          And(sd, Wires{w[2], w[3]}, Wires{u});
          Nor(sd, Wires{t, u}, Wires{y});
        } else {
          Or(sd, Wires{w[0], w[1]}, Wires{t});
          Or(sd, Wires{w[2], w[3]}, Wires{u});
          Nand(sd, Wires{t, u}, Wires{y});
        }
        break;
      }
      case CellKind::Tbuf: Tsb(sd, Wires{w[0]}, Wires{w[1]}, Wires{y}); break;
      case CellKind::Dff: dff(sd, netlist.storages[static_cast<size_t>(c.storage)], w, y); break;
      case CellKind::Latch: latch(sd, netlist.storages[static_cast<size_t>(c.storage)], w, y); break;
    }
  }

  // d gated by the enable: E ? d : q.
  int enabled(const SD& sd, int d, int e, Active a, int q) {
    const int t = fresh();
    Mux(sd, Wires{e}, a == Active::High ? Wires{q, d} : Wires{d, q}, Wires{t});
    return t;
  }

  // d with the synchronous reset: the reset value while r is active.
  int reset(const SD& sd, int d, int r, Active a, bool value) {
    const int t = fresh();
    if (!value && a == Active::High) Iand(sd, Wires{d}, Wires{r}, Wires{t});
    if (!value && a == Active::Low) And(sd, Wires{d, r}, Wires{t});
    if (value && a == Active::High) Or(sd, Wires{d, r}, Wires{t});
    if (value && a == Active::Low) CiOr(sd, Wires{d}, Wires{r}, Wires{t});
    return t;
  }

  // Pins: C 0, D 1, E 2, R 3, S 4. The library's Dff stores on the rising edge and has an
  // asynchronous preset and clear, both active high (both: q held; here R wins).
  void dff(const SD& sd, const Storage& s, const std::vector<int>& w, int q) {
    const int clock = s.clockRising ? w[0] : active(sd, w[0], Active::Low);
    int d = w[1];
    if (s.syncReset != Active::None && s.enableOverReset) d = reset(sd, d, w[3], s.syncReset, s.syncValue);
    if (s.enable != Active::None) d = enabled(sd, d, w[2], s.enable, q);
    if (s.syncReset != Active::None && !s.enableOverReset) d = reset(sd, d, w[3], s.syncReset, s.syncValue);
    int preset = serial[constZero], clear = serial[constZero];
    if (s.set != Active::None) {
      clear = active(sd, w[3], s.reset);
      // Set only while reset is not active.
      preset = fresh();
      std::vector<int> trues, complements;
      (s.set == Active::High ? trues : complements).push_back(w[4]);
      (s.reset == Active::High ? complements : trues).push_back(w[3]);
      Iand(sd, Wires(trues), Wires(complements), Wires{preset});
    } else if (s.reset != Active::None) {
      (s.resetValue ? preset : clear) = active(sd, w[3], s.reset);
    }
    Dff(sd, Wires{clear, clock, d, preset}, Wires{q});
  }

  // Pins: E 0, D 1, R 2. A Dff whose clock never rises, set and cleared through its asynchronous
  // pins while the latch is open: preset = e & d, clear = e & ~d; closed, both ZERO, it holds.
  // (A loop of gates would keep the pulses of its transitions circulating.)
  void latch(const SD& sd, const Storage& s, const std::vector<int>& w, int q) {
    const int e = active(sd, w[0], s.clockRising ? Active::High : Active::Low);
    const int d = w[1];
    int preset = fresh(), clear = fresh();
    And(sd, Wires{e, d}, Wires{preset});
    Iand(sd, Wires{e}, Wires{d}, Wires{clear});
    if (s.reset != Active::None) {
      const int r = active(sd, w[2], s.reset);
      const int preset2 = fresh(), clear2 = fresh();
      if (s.resetValue) {
        Or(sd, Wires{preset, r}, Wires{preset2});
        Iand(sd, Wires{clear}, Wires{r}, Wires{clear2});
      } else {
        Iand(sd, Wires{preset}, Wires{r}, Wires{preset2});
        Or(sd, Wires{clear, r}, Wires{clear2});
      }
      preset = preset2;
      clear = clear2;
    }
    const int zero = serial[constZero];
    Dff(sd, Wires{clear, zero, zero, preset}, Wires{q});
  }

  void box(size_t b) {
    const Box& x = netlist.boxes[b];
    std::vector<int> in, out;
    for (NetId n : x.inputs) in.push_back(wire(n));
    for (NetId n : x.outputs) out.push_back(wire(n));
    Module(at(placement.boxes[b], x.depth), keep(x.instance + ":" + x.module), Wires(in), Wires(out));
  }

  void inputs() {
    size_t nextKey = 0;
    const size_t keyCount = std::string(switchKeys).size();
    for (size_t p = 0; p < netlist.ports.size(); ++p) {
      const Port& port = netlist.ports[p];
      if (!port.input) continue;
      if (plan.clockPeriod[p] > 0) {
        const int period = plan.clockPeriod[p];
        Clock(at(placement.ports[p], 1), Wires{portWires[p].empty() ? wire(port.bits[0]) : portWires[p][0]},
              period / 2, 0, period, Zero);
        continue;
      }
      for (size_t k = 0; k < port.bits.size(); ++k) {
        const NetId b = port.bits[k];
        if (b < firstNet) continue;
        const std::string name = port.bits.size() == 1 ? port.name : port.name + "[" + std::to_string(k) + "]";
        const char key = nextKey < keyCount ? switchKeys[nextKey++] : 0;
        keys.push_back(SwitchKey{key, name});
        const int w = portWires[p].empty() ? wire(b) : portWires[p][k];
        // A switch without a key shows its name alone.
        if (key != 0)
          Switch(at(placement.ports[p], 1), Wires{w}, key, Zero, name);
        else
          Switch(at(placement.ports[p], 1, name.c_str()), Wires{w}, noKey, Zero, name);
      }
    }
  }

  void probe(const std::string& position, const std::string& name, const std::vector<int>& wires) {
    for (size_t k = wires.size(); k-- > 0;)
      Probe(at(position, 1), Wires{wires[k]}, wires.size() == 1 ? name : name + "[" + std::to_string(k) + "]");
  }

  std::vector<int> wiresOf(const std::vector<NetId>& bits) {
    std::vector<int> w;
    for (NetId b : bits) w.push_back(wire(b));
    return w;
  }

  void outputs() {
    for (size_t p = 0; p < netlist.ports.size(); ++p) {
      const Port& port = netlist.ports[p];
      if (port.input) continue;
      probe(placement.ports[p], port.name, portWires[p].empty() ? wiresOf(port.bits) : portWires[p]);
    }
    for (size_t k = 0; k < plan.probeNets.size(); ++k)
      probe(placement.probes[k], plan.probeNames[k], wiresOf(plan.probeNets[k]));
  }

  std::vector<std::vector<int>> portWires;  // per port: the wires of the Signal made for it

  void aliases() {
    const int saved = visibleFlag;
    visibleFlag = 0;
    for (const Alias& a : pendingAliases) And(at(a.position, a.level), Wires{a.from}, Wires{a.to});
    visibleFlag = saved;
  }
};

}  // namespace

bool planBuild(const Netlist& netlist, const BuildOptions& options, BuildPlan& plan, Diagnostics& diagnostics) {
  const size_t before = diagnostics.errors.size();
  plan.clockPeriod.assign(netlist.ports.size(), 0);
  for (const BuildOptions::ClockInput& clock : options.clocks) {
    size_t p = 0;
    while (p < netlist.ports.size() && !(netlist.ports[p].input && netlist.ports[p].name == clock.name)) ++p;
    if (p == netlist.ports.size())
      diagnostics.error("--clock", "no input port '" + clock.name + "'");
    else if (netlist.ports[p].bits.size() != 1)
      diagnostics.error("--clock", "input '" + clock.name + "' is " + std::to_string(netlist.ports[p].bits.size()) +
                                       " bits wide; a clock is 1 bit");
    else if (clock.period < 2)
      diagnostics.error("--clock", "the period of '" + clock.name + "' must be a number of at least 2");
    else
      plan.clockPeriod[p] = clock.period;
  }
  std::unordered_map<std::string, size_t> byName;
  for (size_t k = 0; k < netlist.names.size(); ++k) byName.try_emplace(netlist.names[k].name, k);
  for (const std::string& name : options.probes) {
    auto it = byName.find(name);
    if (it == byName.end()) {
      // One bit of a name: "sum[3]".
      const size_t open = name.rfind('[');
      if (open != std::string::npos && name.back() == ']' && open + 2 < name.size()) {
        auto whole = byName.find(name.substr(0, open));
        const std::string digits = name.substr(open + 1, name.size() - open - 2);
        if (whole != byName.end() && digits.find_first_not_of("0123456789") == std::string::npos && digits.size() < 10) {
          const size_t bit = std::stoul(digits);
          if (bit < netlist.names[whole->second].bits.size()) {
            plan.probeNets.push_back({netlist.names[whole->second].bits[bit]});
            plan.probeNames.push_back(name);
            continue;
          }
        }
      }
      diagnostics.error("--probe", "no net named '" + name + "'");
      continue;
    }
    plan.probeNets.push_back(netlist.names[it->second].bits);
    plan.probeNames.push_back(name);
  }
  return diagnostics.errors.size() == before;
}

std::vector<SwitchKey> buildNetlist(const Netlist& netlist, const BuildPlan& plan, const Placement& placement) {
  return Builder(netlist, plan, placement).run();
}

}  // namespace netlist
