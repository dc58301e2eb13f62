#include "netlist/YosysJson.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <unordered_map>
#include <unordered_set>

namespace netlist {
namespace {

// ---------------------------------------------------------------------------------------------
// The document as a tree that keeps the file's order of keys, built by the library's SAX parser
// in one pass (its own ordered objects look every key up as they are read).

struct Node {
  enum Type : uint8_t { Null, Boolean, Integer, Float, String, Array, Object } type = Null;
  int32_t first = -1, last = -1, next = -1;
  uint32_t keyAt = 0, keyLength = 0;    // in Tree::text: the key of an object's member
  uint32_t textAt = 0, textLength = 0;  // a string's value
  int64_t number = 0;                   // Boolean, Integer (unsigned values beyond int64 saturate)
};

struct Tree {
  std::vector<Node> nodes;
  std::string text;
  std::string_view key(const Node& n) const { return std::string_view(text).substr(n.keyAt, n.keyLength); }
  std::string_view string(const Node& n) const { return std::string_view(text).substr(n.textAt, n.textLength); }
  // The member named name of an object, or -1.
  int32_t member(int32_t object, std::string_view name) const {
    if (object < 0 || nodes[static_cast<size_t>(object)].type != Node::Object) return -1;
    for (int32_t c = nodes[static_cast<size_t>(object)].first; c >= 0; c = nodes[static_cast<size_t>(c)].next)
      if (key(nodes[static_cast<size_t>(c)]) == name) return c;
    return -1;
  }
  const Node& at(int32_t i) const { return nodes[static_cast<size_t>(i)]; }
  bool is(int32_t i, Node::Type type) const { return i >= 0 && at(i).type == type; }
};

class TreeBuilder {
public:
  using json = nlohmann::json;
  explicit TreeBuilder(Tree& t) : tree(t) {}

  bool null() { return add(Node::Null); }
  bool boolean(bool value) { return add(Node::Boolean, value ? 1 : 0); }
  bool number_integer(json::number_integer_t value) { return add(Node::Integer, value); }
  bool number_unsigned(json::number_unsigned_t value) {
    return add(Node::Integer, value > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(value));
  }
  bool number_float(json::number_float_t, const json::string_t&) { return add(Node::Float); }
  bool string(json::string_t& value) {
    if (!add(Node::String)) return false;
    Node& n = tree.nodes.back();
    n.textAt = static_cast<uint32_t>(tree.text.size());
    n.textLength = static_cast<uint32_t>(value.size());
    tree.text += value;
    return true;
  }
  bool binary(json::binary_t&) { return add(Node::Null); }
  bool start_object(std::size_t) {
    if (!add(Node::Object)) return false;
    open.push_back(static_cast<int32_t>(tree.nodes.size() - 1));
    return true;
  }
  bool key(json::string_t& value) {
    pendingKeyAt = static_cast<uint32_t>(tree.text.size());
    pendingKeyLength = static_cast<uint32_t>(value.size());
    tree.text += value;
    return true;
  }
  bool end_object() {
    open.pop_back();
    return true;
  }
  bool start_array(std::size_t) { return start_object(0) && ((tree.nodes.back().type = Node::Array), true); }
  bool end_array() { return end_object(); }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    errorPosition = position;
    errorText = e.what();
    return false;
  }

  size_t errorPosition = 0;
  std::string errorText;

private:
  Tree& tree;
  std::vector<int32_t> open;
  uint32_t pendingKeyAt = 0, pendingKeyLength = 0;

  bool add(Node::Type type, int64_t number = 0) {
    // The text offsets are 32 bits: a file of 4 GiB or more is refused as malformed.
    if (tree.text.size() > UINT32_MAX / 2 || tree.nodes.size() > INT32_MAX / 2) return false;
    Node n;
    n.type = type;
    n.number = number;
    const int32_t index = static_cast<int32_t>(tree.nodes.size());
    if (!open.empty()) {
      Node& parent = tree.nodes[static_cast<size_t>(open.back())];
      if (parent.type == Node::Object) {
        n.keyAt = pendingKeyAt;
        n.keyLength = pendingKeyLength;
      }
      if (parent.last >= 0)
        tree.nodes[static_cast<size_t>(parent.last)].next = index;
      else
        parent.first = index;
      tree.nodes[static_cast<size_t>(open.back())].last = index;
    }
    tree.nodes.push_back(n);
    return true;
  }
};

// ---------------------------------------------------------------------------------------------
// Cell types.

// A slot of the model's pin order and the Yosys port that feeds it.
struct PinSource {
  const char* port;
  int slot;
};

struct CellType {
  CellKind kind;
  Storage storage;
  std::vector<PinSource> inputs;
  const char* output;
};

Active polarity(char letter) { return letter == 'P' ? Active::High : Active::Low; }

// "$_DFFE_PN0P_" and the like: the letters between the type's stem and the final '_'.
bool lettersMatch(std::string_view letters, std::string_view pattern) {
  if (letters.size() != pattern.size()) return false;
  for (size_t i = 0; i < letters.size(); ++i) {
    const char c = letters[i];
    if (pattern[i] == 'p' ? (c != 'P' && c != 'N') : (c != '0' && c != '1')) return false;
  }
  return true;
}

bool storageType(std::string_view type, CellType& t) {
  auto split = [&](std::string_view stem, std::string_view& letters) {
    if (type.size() <= stem.size() + 1 || type.substr(0, stem.size()) != stem || type.back() != '_') return false;
    letters = type.substr(stem.size(), type.size() - stem.size() - 1);
    return true;
  };
  std::string_view l;
  Storage& s = t.storage;
  t.output = "Q";
  // Dff slots: C 0, D 1, E 2, R 3, S 4. Latch slots: E 0, D 1, R 2.
  if (split("$_DFF_", l) && lettersMatch(l, "p")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    t.inputs = {{"C", 0}, {"D", 1}};
    return true;
  }
  if (split("$_DFFE_", l) && lettersMatch(l, "pp")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    s.enable = polarity(l[1]);
    t.inputs = {{"C", 0}, {"D", 1}, {"E", 2}};
    return true;
  }
  if (split("$_DFF_", l) && lettersMatch(l, "pp0")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    s.reset = polarity(l[1]);
    s.resetValue = l[2] == '1';
    t.inputs = {{"C", 0}, {"D", 1}, {"R", 3}};
    return true;
  }
  if (split("$_DFFE_", l) && lettersMatch(l, "pp0p")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    s.reset = polarity(l[1]);
    s.resetValue = l[2] == '1';
    s.enable = polarity(l[3]);
    t.inputs = {{"C", 0}, {"D", 1}, {"E", 2}, {"R", 3}};
    return true;
  }
  const bool sdff = split("$_SDFF_", l) && lettersMatch(l, "pp0");
  std::string_view le;
  const bool sdffe = split("$_SDFFE_", le) && lettersMatch(le, "pp0p");
  std::string_view lce;
  const bool sdffce = split("$_SDFFCE_", lce) && lettersMatch(lce, "pp0p");
  if (sdff || sdffe || sdffce) {
    const std::string_view x = sdff ? l : (sdffe ? le : lce);
    t.kind = CellKind::Dff;
    s.clockRising = x[0] == 'P';
    s.syncReset = polarity(x[1]);
    s.syncValue = x[2] == '1';
    t.inputs = {{"C", 0}, {"D", 1}, {"R", 3}};
    if (!sdff) {
      s.enable = polarity(x[3]);
      s.enableOverReset = sdffce;
      t.inputs.push_back({"E", 2});
    }
    return true;
  }
  if (split("$_DFFSR_", l) && lettersMatch(l, "ppp")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    s.set = polarity(l[1]);
    s.reset = polarity(l[2]);
    t.inputs = {{"C", 0}, {"D", 1}, {"R", 3}, {"S", 4}};
    return true;
  }
  if (split("$_DFFSRE_", l) && lettersMatch(l, "pppp")) {
    t.kind = CellKind::Dff;
    s.clockRising = l[0] == 'P';
    s.set = polarity(l[1]);
    s.reset = polarity(l[2]);
    s.enable = polarity(l[3]);
    t.inputs = {{"C", 0}, {"D", 1}, {"E", 2}, {"R", 3}, {"S", 4}};
    return true;
  }
  if (split("$_DLATCH_", l) && lettersMatch(l, "p")) {
    t.kind = CellKind::Latch;
    s.clockRising = l[0] == 'P';
    t.inputs = {{"E", 0}, {"D", 1}};
    return true;
  }
  if (split("$_DLATCH_", l) && lettersMatch(l, "pp0")) {
    t.kind = CellKind::Latch;
    s.clockRising = l[0] == 'P';
    s.reset = polarity(l[1]);
    s.resetValue = l[2] == '1';
    t.inputs = {{"E", 0}, {"D", 1}, {"R", 2}};
    return true;
  }
  return false;
}

bool cellType(std::string_view type, CellType& t) {
  struct Gate {
    const char* name;
    CellKind kind;
    int inputs;
  };
  static const Gate gates[] = {
      {"$_BUF_", CellKind::Buf, 1},    {"$_NOT_", CellKind::Not, 1},       {"$_AND_", CellKind::And, 2},
      {"$_NAND_", CellKind::Nand, 2},  {"$_OR_", CellKind::Or, 2},         {"$_NOR_", CellKind::Nor, 2},
      {"$_XOR_", CellKind::Xor, 2},    {"$_XNOR_", CellKind::Xnor, 2},     {"$_ANDNOT_", CellKind::AndNot, 2},
      {"$_ORNOT_", CellKind::OrNot, 2}, {"$_MUX_", CellKind::Mux, 3},      {"$_NMUX_", CellKind::NMux, 3},
      {"$_AOI3_", CellKind::Aoi3, 3},  {"$_OAI3_", CellKind::Oai3, 3},     {"$_AOI4_", CellKind::Aoi4, 4},
      {"$_OAI4_", CellKind::Oai4, 4},  {"$_TBUF_", CellKind::Tbuf, 2},
  };
  for (const Gate& g : gates) {
    if (type != g.name) continue;
    t = CellType{g.kind, {}, {}, "Y"};
    if (g.kind == CellKind::Mux || g.kind == CellKind::NMux)
      t.inputs = {{"A", 0}, {"B", 1}, {"S", 2}};
    else if (g.kind == CellKind::Tbuf)
      t.inputs = {{"A", 0}, {"E", 1}};
    else
      for (int k = 0; k < g.inputs; ++k) t.inputs.push_back({k == 0 ? "A" : k == 1 ? "B" : k == 2 ? "C" : "D", k});
    return true;
  }
  t = CellType{};
  return storageType(type, t);
}

// ---------------------------------------------------------------------------------------------
// Flattening.

bool truthy(const Tree& tree, int32_t node) {
  if (node < 0) return false;
  const Node& n = tree.at(node);
  if (n.type == Node::String) return tree.string(n).find_first_not_of("0") != std::string_view::npos;
  return (n.type == Node::Integer || n.type == Node::Boolean) && n.number != 0;
}

struct Module {
  std::string name;
  int32_t node;
  bool blackbox;
};

class Reader {
public:
  Reader(const Tree& t, Netlist& n, Diagnostics& d) : tree(t), netlist(n), diagnostics(d) {}

  bool read(const std::string& top) {
    const int32_t modulesNode = tree.member(0, "modules");
    if (!tree.is(0, Node::Object) || !tree.is(modulesNode, Node::Object)) {
      diagnostics.error("modules", "no \"modules\" object: not the JSON of write_json");
      return false;
    }
    for (int32_t m = tree.at(modulesNode).first; m >= 0; m = tree.at(m).next) {
      const std::string name(tree.key(tree.at(m)));
      if (!tree.is(m, Node::Object)) return fail("modules." + name, "a module must be an object");
      const bool blackbox = truthy(tree, tree.member(tree.member(m, "attributes"), "blackbox"));
      if (moduleIndex.emplace(name, modules.size()).second) modules.push_back(Module{name, m, blackbox});
    }
    const int topModule = findTop(top);
    if (topModule < 0) return false;
    onStack.assign(modules.size(), 0);
    netlist.boxes[0].instance = modules[static_cast<size_t>(topModule)].name;
    netlist.boxes[0].module = netlist.boxes[0].instance;
    flatten(topModule, 0, "", nullptr);
    if (diagnostics.failed()) return false;
    canonicalize();
    return !diagnostics.failed();
  }

private:
  const Tree& tree;
  Netlist& netlist;
  Diagnostics& diagnostics;
  std::vector<Module> modules;
  std::unordered_map<std::string, size_t> moduleIndex;
  std::vector<char> onStack;
  std::vector<NetId> parent{0, 1, 2, 3};  // union-find over the nets

  bool fail(const std::string& place, const std::string& message) {
    diagnostics.error(place, message);
    return false;
  }
  bool stopped() const { return diagnostics.errors.size() >= 20; }

  int findTop(const std::string& top) {
    if (!top.empty()) {
      auto it = moduleIndex.find(top);
      if (it == moduleIndex.end() || modules[it->second].blackbox) {
        fail("modules", "unknown top module '" + top + "'");
        return -1;
      }
      return static_cast<int>(it->second);
    }
    std::vector<int> marked;
    for (size_t m = 0; m < modules.size(); ++m)
      if (!modules[m].blackbox && truthy(tree, tree.member(tree.member(modules[m].node, "attributes"), "top")))
        marked.push_back(static_cast<int>(m));
    if (marked.size() == 1) return marked[0];
    std::vector<char> instantiated(modules.size(), 0);
    for (const Module& m : modules) {
      const int32_t cells = tree.member(m.node, "cells");
      if (!tree.is(cells, Node::Object)) continue;
      for (int32_t c = tree.at(cells).first; c >= 0; c = tree.at(c).next) {
        const int32_t type = tree.member(c, "type");
        if (!tree.is(type, Node::String)) continue;
        auto it = moduleIndex.find(std::string(tree.string(tree.at(type))));
        if (it != moduleIndex.end() && it->second != static_cast<size_t>(&m - modules.data()))
          instantiated[it->second] = 1;
      }
    }
    std::vector<int> candidates;
    for (size_t m = 0; m < modules.size(); ++m)
      if (!modules[m].blackbox && instantiated[m] == 0 && (marked.empty() || std::find(marked.begin(), marked.end(), m) != marked.end()))
        candidates.push_back(static_cast<int>(m));
    if (candidates.size() == 1) return candidates[0];
    std::string names;
    for (int c : candidates) names += (names.empty() ? "" : ", ") + modules[static_cast<size_t>(c)].name;
    fail("modules", candidates.empty() ? "no top module: no module that is not instantiated"
                                       : "no single top module (" + names + "): name one with --top");
    return -1;
  }

  NetId newNet() {
    parent.push_back(netlist.netCount);
    return netlist.newNet();
  }
  NetId find(NetId n) {
    while (parent[static_cast<size_t>(n)] != n) {
      parent[static_cast<size_t>(n)] = parent[static_cast<size_t>(parent[static_cast<size_t>(n)])];
      n = parent[static_cast<size_t>(n)];
    }
    return n;
  }
  // Joins two nets; a constant stays the root. Two different constants cannot be joined.
  void join(NetId a, NetId b, const std::string& place) {
    a = find(a);
    b = find(b);
    if (a == b) return;
    if (isConstant(a) && isConstant(b)) {
      fail(place, "a port joins two different constants");
      return;
    }
    if (isConstant(b) || (!isConstant(a) && b < a)) std::swap(a, b);
    parent[static_cast<size_t>(b)] = a;
  }

  using LocalNets = std::unordered_map<int64_t, NetId>;

  // A bit of a module: its net (a constant, or the module's local bit number), or noNet with
  // an error.
  NetId bit(int32_t node, LocalNets& local, const std::string& place) {
    if (tree.is(node, Node::Integer)) {
      auto [it, added] = local.try_emplace(tree.at(node).number, 0);
      if (added) it->second = newNet();
      return it->second;
    }
    if (tree.is(node, Node::String)) {
      const std::string_view s = tree.string(tree.at(node));
      if (s == "0") return constZero;
      if (s == "1") return constOne;
      if (s == "x") return constUnknown;
      if (s == "z") return constFloat;
    }
    fail(place, "a bit must be a number or one of \"0\" \"1\" \"x\" \"z\"");
    return noNet;
  }

  // The bits of an array node, bit 0 first; false with an error.
  bool bits(int32_t node, LocalNets& local, const std::string& place, std::vector<NetId>& out) {
    out.clear();
    if (!tree.is(node, Node::Array)) return fail(place, "\"bits\" must be an array");
    size_t k = 0;
    for (int32_t b = tree.at(node).first; b >= 0; b = tree.at(b).next, ++k) {
      const NetId net = bit(b, local, place + "." + std::to_string(k));
      if (net == noNet) return false;
      out.push_back(net);
    }
    return true;
  }

  struct ModulePort {
    std::string name;
    int32_t bitsNode;
    bool input;
    size_t width;
  };

  bool modulePorts(size_t m, std::vector<ModulePort>& ports) {
    const std::string place = "modules." + modules[m].name + ".ports";
    const int32_t node = tree.member(modules[m].node, "ports");
    if (node < 0) return true;
    if (!tree.is(node, Node::Object)) return fail(place, "\"ports\" must be an object");
    for (int32_t p = tree.at(node).first; p >= 0; p = tree.at(p).next) {
      const std::string name(tree.key(tree.at(p)));
      const int32_t direction = tree.member(p, "direction");
      const int32_t bitsNode = tree.member(p, "bits");
      if (!tree.is(direction, Node::String)) return fail(place + "." + name, "a port needs a \"direction\"");
      if (!tree.is(bitsNode, Node::Array)) return fail(place + "." + name + ".bits", "a port needs \"bits\"");
      size_t width = 0;
      for (int32_t b = tree.at(bitsNode).first; b >= 0; b = tree.at(b).next) ++width;
      ports.push_back(ModulePort{name, bitsNode, tree.string(tree.at(direction)) == "input", width});
    }
    return true;
  }

  // Builds module m into box; binding holds, per port in order, the nets its bits are joined to
  // (null for the top module, whose ports become the netlist's ports).
  void flatten(int m, int box, const std::string& prefix, const std::vector<std::vector<NetId>>* binding) {
    const Module& module = modules[static_cast<size_t>(m)];
    const std::string at = "modules." + module.name;
    onStack[static_cast<size_t>(m)] = 1;
    LocalNets local;
    std::vector<ModulePort> ports;
    if (!modulePorts(static_cast<size_t>(m), ports)) return;
    std::vector<NetId> b;
    for (size_t p = 0; p < ports.size(); ++p) {
      const std::string place = at + ".ports." + ports[p].name + ".bits";
      if (!bits(ports[p].bitsNode, local, place, b)) return;
      if (binding == nullptr) {
        netlist.ports.push_back(Port{ports[p].name, ports[p].input, b, netlist.place(at + ".ports." + ports[p].name)});
        continue;
      }
      for (size_t k = 0; k < b.size(); ++k) join(b[k], (*binding)[p][k], place);
    }
    names(module, box, prefix, local);
    cells(m, box, prefix, local);
    onStack[static_cast<size_t>(m)] = 0;
  }

  void names(const Module& module, int box, const std::string& prefix, LocalNets& local) {
    const std::string at = "modules." + module.name + ".netnames";
    const int32_t node = tree.member(module.node, "netnames");
    if (node < 0) return;
    if (!tree.is(node, Node::Object)) {
      fail(at, "\"netnames\" must be an object");
      return;
    }
    for (int32_t n = tree.at(node).first; n >= 0 && !stopped(); n = tree.at(n).next) {
      const std::string name(tree.key(tree.at(n)));
      NetName netName;
      netName.name = prefix + name;
      netName.hidden = truthy(tree, tree.member(n, "hide_name"));
      netName.box = box;
      if (!bits(tree.member(n, "bits"), local, at + "." + name + ".bits", netName.bits)) continue;
      netName.where = netlist.place(at + "." + name);
      netlist.names.push_back(std::move(netName));
    }
  }

  void cells(int m, int box, const std::string& prefix, LocalNets& local) {
    const Module& module = modules[static_cast<size_t>(m)];
    const std::string at = "modules." + module.name + ".cells";
    const int32_t node = tree.member(module.node, "cells");
    if (node < 0) return;
    if (!tree.is(node, Node::Object)) {
      fail(at, "\"cells\" must be an object");
      return;
    }
    std::vector<NetId> b;
    for (int32_t c = tree.at(node).first; c >= 0 && !stopped(); c = tree.at(c).next) {
      const std::string name(tree.key(tree.at(c)));
      const std::string place = at + "." + name;
      const int32_t typeNode = tree.member(c, "type");
      const int32_t connections = tree.member(c, "connections");
      if (!tree.is(typeNode, Node::String)) {
        fail(place + ".type", "a cell needs a \"type\"");
        continue;
      }
      if (!tree.is(connections, Node::Object)) {
        fail(place + ".connections", "a cell needs \"connections\"");
        continue;
      }
      const std::string type(tree.string(tree.at(typeNode)));
      if (auto it = moduleIndex.find(type); it != moduleIndex.end() && !modules[it->second].blackbox) {
        instance(static_cast<int>(it->second), c, name, box, prefix, local, place);
        continue;
      }
      if (type == "$mem" || type == "$mem_v2") {
        fail(place + ".type", "memory cell " + type +
                                  " is not a gate: map it to flip-flops and gates with the Yosys pass memory_map "
                                  "before write_json");
        continue;
      }
      CellType t;
      if (!cellType(type, t)) {
        fail(place + ".type", "unknown cell type '" + type + "'");
        continue;
      }
      std::vector<NetId> in(static_cast<size_t>(cellKindInputs(t.kind)), noNet);
      bool ok = true;
      for (const PinSource& pin : t.inputs) {
        if (!connection(connections, pin.port, type, local, place, b)) {
          ok = false;
          break;
        }
        in[static_cast<size_t>(pin.slot)] = b[0];
      }
      if (!ok || !connection(connections, t.output, type, local, place, b)) continue;
      int storage = -1;
      if (t.kind == CellKind::Dff || t.kind == CellKind::Latch) {
        netlist.storages.push_back(t.storage);
        storage = static_cast<int>(netlist.storages.size() - 1);
      }
      netlist.addCell(t.kind, in, b[0], box, netlist.place(place), storage);
    }
  }

  // A 1-bit port of a fine-grained cell.
  bool connection(int32_t connections, const char* port, const std::string& type, LocalNets& local,
                  const std::string& place, std::vector<NetId>& b) {
    const std::string at = place + ".connections." + port;
    const int32_t node = tree.member(connections, port);
    if (node < 0) return fail(place + ".connections", type + " has no connection for port " + port);
    if (!bits(node, local, at, b)) return false;
    if (b.size() != 1)
      return fail(at, "port " + std::string(port) + " of " + type + " is " + std::to_string(b.size()) +
                          " bits wide, not 1");
    return true;
  }

  void instance(int m, int32_t cell, const std::string& name, int box, const std::string& prefix, LocalNets& local,
                const std::string& place) {
    const Module& module = modules[static_cast<size_t>(m)];
    if (onStack[static_cast<size_t>(m)] != 0) {
      fail(place + ".type", "module '" + module.name + "' instantiates itself");
      return;
    }
    std::vector<ModulePort> ports;
    if (!modulePorts(static_cast<size_t>(m), ports)) return;
    const int32_t connections = tree.member(cell, "connections");
    Box b;
    b.instance = name;
    b.module = module.name;
    b.parent = box;
    b.depth = netlist.boxes[static_cast<size_t>(box)].depth + 1;
    b.where = netlist.place(place);
    std::vector<std::vector<NetId>> binding;
    for (const ModulePort& p : ports) {
      std::vector<NetId> nets;
      const int32_t node = tree.member(connections, p.name);
      if (node >= 0) {
        if (!bits(node, local, place + ".connections." + p.name, nets)) return;
        if (nets.size() != p.width) {
          fail(place + ".connections." + p.name, "port " + p.name + " of " + module.name + " is " +
                                                     std::to_string(p.width) + " bits wide, the connection " +
                                                     std::to_string(nets.size()));
          return;
        }
      } else {
        for (size_t k = 0; k < p.width; ++k) nets.push_back(newNet());  // unconnected
      }
      (p.input ? b.inputs : b.outputs).insert((p.input ? b.inputs : b.outputs).end(), nets.begin(), nets.end());
      binding.push_back(std::move(nets));
    }
    netlist.boxes.push_back(std::move(b));
    flatten(m, static_cast<int>(netlist.boxes.size() - 1), prefix + name + ".", &binding);
  }

  // Every net reference to the root of its set.
  void canonicalize() {
    for (NetId& n : netlist.pins)
      if (n >= 0) n = find(n);
    for (Cell& c : netlist.cells)
      if (c.output >= 0) c.output = find(c.output);
    for (Port& p : netlist.ports)
      for (NetId& n : p.bits) n = find(n);
    for (NetName& name : netlist.names)
      for (NetId& n : name.bits) n = find(n);
    for (Box& b : netlist.boxes) {
      for (NetId& n : b.inputs) n = find(n);
      for (NetId& n : b.outputs) n = find(n);
    }
  }
};

// "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error ..." without
// its prefix and position, which the caller gives as a line.
std::string parseMessage(const std::string& what) {
  std::string text = what;
  if (const size_t bracket = text.find("] "); text.rfind("[json.exception", 0) == 0 && bracket != std::string::npos)
    text = text.substr(bracket + 2);
  if (const size_t colon = text.find(": "); text.rfind("parse error at line", 0) == 0 && colon != std::string::npos)
    text = "parse error: " + text.substr(colon + 2);
  return text;
}

}  // namespace

bool readYosysJson(std::string_view text, const std::string& top, Netlist& netlist, Diagnostics& diagnostics) {
  Tree tree;
  TreeBuilder builder(tree);
  if (!nlohmann::json::sax_parse(text.begin(), text.end(), &builder) || tree.nodes.empty()) {
    const size_t upTo = std::min(builder.errorPosition, text.size());
    const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(upTo), '\n'));
    diagnostics.error(std::to_string(line), "malformed JSON: " +
                                                (builder.errorText.empty() ? std::string("too large")
                                                                           : parseMessage(builder.errorText)));
    return false;
  }
  return Reader(tree, netlist, diagnostics).read(top);
}

}  // namespace netlist
