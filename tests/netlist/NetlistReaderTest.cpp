// tavrin-net end to end: the errors of each reader, the cells' behaviour under test vectors,
// ports, keys, names, hierarchy, and a netlist of 100,000 cells.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>
#include <vector>

#include "support/Harness.h"

namespace {

class TempDir {
 public:
  TempDir() {
    char name[] = "/tmp/tavrin-net-XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string file(const std::string& name, const std::string& text) const {
    const std::string full = path + "/" + name;
    std::ofstream(full) << text;
    return full;
  }
  std::string path;
};

RunResult net(std::vector<std::string> args) {
  args.insert(args.begin(), TAVRIN_NET_EXE);
  return runProcess(args, 300);
}

// A Yosys-style module "top": ports (name, direction, bits) and cells (name, type, connections),
// all given as JSON text.
std::string design(const std::string& ports, const std::string& cells, const std::string& more = "") {
  return R"({"modules": {"top": {"attributes": {"top": "1"}, "ports": {)" + ports + R"(}, "cells": {)" + cells +
         R"(}, "netnames": {}})" + more + "}}";
}
std::string port(const std::string& name, const char* direction, const std::string& bits) {
  return "\"" + name + "\": {\"direction\": \"" + direction + "\", \"bits\": [" + bits + "]}";
}
std::string cell(const std::string& name, const std::string& type, const std::string& connections) {
  return "\"" + name + "\": {\"type\": \"" + type + "\", \"connections\": {" + connections + "}}";
}

const std::string twoInOneOut = port("a", "input", "2") + ", " + port("b", "input", "3") + ", " + port("y", "output", "4");

TEST(NetlistErrors, EachEndsTheProcessWithItsPlaceBeforeTheRun) {
  struct Case {
    const char* what;
    const char* file;
    std::string text;
    std::vector<std::string> options;
    std::string message;  // after "tavrin-net: DIR/FILE:"
  };
  const std::string andCell = cell("c1", "$_AND_", R"("A": [2], "B": [3], "Y": [4])");
  const std::vector<Case> cases = {
      {"malformed .bench line", "x.bench", "INPUT(a)\nfoo bar\n", {}, "2: expected INPUT(name), OUTPUT(name)"},
      {"unknown gate", "x.bench", "INPUT(a)\nOUTPUT(y)\ny = FOO(a)\n", {}, "3: unknown gate type 'FOO'"},
      {"gate of the wrong width", "x.bench", "INPUT(a)\nINPUT(b)\ny = NOT(a, b)\n", {}, "3: NOT takes 1 input, not 2"},
      {"net driven twice", "x.bench", "INPUT(a)\nOUTPUT(y)\ny = NOT(a)\ny = BUFF(a)\n", {}, "4: 'y' is driven twice"},
      {"input driven by a gate", "x.bench", "INPUT(a)\nINPUT(b)\na = NOT(b)\n", {}, "3: 'a' is driven twice"},
      {"input declared twice", "x.bench", "INPUT(a)\nINPUT(a)\n", {}, "2: input 'a' is declared twice"},
      {"nothing in the file", "x.bench", "# empty\n", {}, "1: no INPUT or OUTPUT in the file"},
      {"malformed JSON", "x.json", "{\"modules\":\n {\"top\": [1,}\n", {}, "2: malformed JSON: parse error"},
      {"not a design", "x.json", "{\"creator\": 1}", {}, "modules: no \"modules\" object"},
      {"unknown cell type", "x.json", design(twoInOneOut, cell("c1", "$add", R"("A": [2], "B": [3], "Y": [4])")), {},
       "modules.top.cells.c1.type: unknown cell type '$add'"},
      {"memory cell", "x.json", design(twoInOneOut, cell("m", "$mem_v2", "")), {},
       "modules.top.cells.m.type: memory cell $mem_v2 is not a gate: map it to flip-flops and gates with the Yosys "
       "pass memory_map"},
      {"cell port of the wrong width", "x.json", design(twoInOneOut, cell("c1", "$_AND_", R"("A": [2, 3], "B": [3], "Y": [4])")),
       {}, "modules.top.cells.c1.connections.A: port A of $_AND_ is 2 bits wide, not 1"},
      {"cell port missing", "x.json", design(twoInOneOut, cell("c1", "$_AND_", R"("A": [2], "Y": [4])")), {},
       "modules.top.cells.c1.connections: $_AND_ has no connection for port B"},
      {"bad bit", "x.json", design(twoInOneOut, cell("c1", "$_AND_", R"("A": [2], "B": ["q"], "Y": [4])")), {},
       "modules.top.cells.c1.connections.B.0: a bit must be a number"},
      {"JSON net driven twice", "x.json",
       design(twoInOneOut, andCell + ", " + cell("c2", "$_NOT_", R"("A": [2], "Y": [4])")), {},
       "modules.top.cells.c2: 'y' is driven twice"},
      {"tri-state buffer and a gate on one net", "x.json",
       design(twoInOneOut, andCell + ", " + cell("t", "$_TBUF_", R"("A": [2], "E": [3], "Y": [4])")), {},
       "modules.top.cells.t: 'y' is driven twice"},
      {"unknown top", "x.json", design(twoInOneOut, andCell), {"--top", "nope"}, "modules: unknown top module 'nope'"},
      {"no single top", "x.json",
       R"({"modules": {"p": {"ports": {}, "cells": {}}, "q": {"ports": {}, "cells": {}}}})", {},
       "modules: no single top module (p, q): name one with --top"},
      {"instance port of the wrong width", "x.json",
       design(twoInOneOut, cell("u1", "sub", R"("i": [2, 3], "o": [4])"),
              R"(, "sub": {"ports": {"i": {"direction": "input", "bits": [2]}, "o": {"direction": "output", "bits": [2]}}, "cells": {}})"),
       {}, "modules.top.cells.u1.connections.i: port i of sub is 1 bits wide, the connection 2"},
      {"module instantiating itself", "x.json",
       R"({"modules": {"top": {"attributes": {"top": 1}, "ports": {}, "cells": {"u": {"type": "top", "connections": {}}}}}})",
       {}, "modules.top.cells.u.type: module 'top' instantiates itself"},
      {"unknown clock", "x.json", design(twoInOneOut, andCell), {"--clock", "q=10"}, "--clock: no input port 'q'"},
      {"unknown probe", "x.json", design(twoInOneOut, andCell), {"--probe", "nothing"},
       "--probe: no net named 'nothing'"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.file(c.file, c.text);
    std::vector<std::string> args = {"-X", "-Q"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(path);
    const RunResult r = net(args);
    EXPECT_EQ(r.status, 2) << c.what << "\n" << r.err;
    EXPECT_NE(r.err.find("tavrin-net: " + path + ":" + c.message), std::string::npos) << c.what << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.what;
  }
}

TEST(NetlistErrors, AnUndrivenNetThatIsReadWarnsAndReadsHiz) {
  TempDir dir;
  const std::string path = dir.file("u.bench", "INPUT(a)\nOUTPUT(y)\nOUTPUT(q)\ny = AND(a, floating)\nq = BUFF(floating)\n");
  const RunResult r = net({"-X", "-Q", "-v", dir.file("u.vec", "a:=1  q=z\n"), path});
  EXPECT_EQ(r.status, 0) << r.err << r.out;
  EXPECT_NE(r.err.find(path + ":4: warning: 'floating' is read but never driven; it reads HIZ"), std::string::npos)
      << r.err;
}

// Every gate of synth, one output each, over every combination of its inputs.
TEST(NetlistCells, EachGateComputesItsFunction) {
  struct Gate {
    const char* type;
    const char* pins;  // input pins in order
    std::function<int(int, int, int, int)> f;
  };
  const std::vector<Gate> gates = {
      {"$_BUF_", "A", [](int a, int, int, int) { return a; }},
      {"$_NOT_", "A", [](int a, int, int, int) { return !a; }},
      {"$_AND_", "AB", [](int a, int b, int, int) { return a & b; }},
      {"$_NAND_", "AB", [](int a, int b, int, int) { return !(a & b); }},
      {"$_OR_", "AB", [](int a, int b, int, int) { return a | b; }},
      {"$_NOR_", "AB", [](int a, int b, int, int) { return !(a | b); }},
      {"$_XOR_", "AB", [](int a, int b, int, int) { return a ^ b; }},
      {"$_XNOR_", "AB", [](int a, int b, int, int) { return !(a ^ b); }},
      {"$_ANDNOT_", "AB", [](int a, int b, int, int) { return a & !b; }},
      {"$_ORNOT_", "AB", [](int a, int b, int, int) { return a | !b; }},
      {"$_MUX_", "ABS", [](int a, int b, int s, int) { return s ? b : a; }},
      {"$_NMUX_", "ABS", [](int a, int b, int s, int) { return !(s ? b : a); }},
      {"$_AOI3_", "ABC", [](int a, int b, int c, int) { return !((a & b) | c); }},
      {"$_OAI3_", "ABC", [](int a, int b, int c, int) { return !((a | b) & c); }},
      {"$_AOI4_", "ABCD", [](int a, int b, int c, int d) { return !((a & b) | (c & d)); }},
      {"$_OAI4_", "ABCD", [](int a, int b, int c, int d) { return !((a | b) & (c | d)); }},
      {"$_TBUF_", "AE", [](int a, int e, int, int) { return e ? a : 2; }},
  };
  std::string ports = port("i", "input", "2, 3, 4, 5"), cells;
  for (size_t g = 0; g < gates.size(); ++g) {
    const std::string out = std::to_string(10 + g);
    ports += ", " + port("y" + std::to_string(g), "output", out);
    std::string connections = "\"Y\": [" + out + "]";
    for (size_t k = 0; gates[g].pins[k] != '\0'; ++k)
      connections += ", \"" + std::string(1, gates[g].pins[k]) + "\": [" + std::to_string(2 + k) + "]";
    cells += (g > 0 ? ", " : "") + cell("g" + std::to_string(g), gates[g].type, connections);
  }
  std::string vectors;
  for (int v = 0; v < 16; ++v) {
    vectors += "i:=" + std::to_string(v) + " ";
    for (size_t g = 0; g < gates.size(); ++g) {
      const int y = gates[g].f(v & 1, v >> 1 & 1, v >> 2 & 1, v >> 3 & 1);
      vectors += " y" + std::to_string(g) + "=" + (y == 2 ? "z" : std::to_string(y));
    }
    vectors += "\n";
  }
  TempDir dir;
  const RunResult r = net({"-X", "-Q", "-v", dir.file("g.vec", vectors), dir.file("g.json", design(ports, cells))});
  EXPECT_EQ(r.status, 0) << r.err << r.out;
  EXPECT_EQ(r.out, std::to_string(16 * gates.size()) + " passed, 0 failed\n");
}

// Flip-flops and latches against a model, over a fixed pseudo-random sequence: each step sets
// the data and control inputs with the clock low, then raises the clock.
TEST(NetlistCells, FlipFlopsAndLatchesStoreAsTheirTypeSays) {
  struct Storage {
    const char* type;
    const char* pins;  // of D E R S, which it has (C always)
    // next q from (q, d, e, r, s, edge): edge is 1 when the clock rises, 0 for the level phase
    std::function<int(int, int, int, int, int, bool)> next;
  };
  const std::vector<Storage> types = {
      {"$_DFF_P_", "D", [](int q, int d, int, int, int, bool edge) { return edge ? d : q; }},
      {"$_DFFE_PN_", "DE", [](int q, int d, int e, int, int, bool edge) { return edge && !e ? d : q; }},
      {"$_DFF_PN1_", "DR", [](int q, int d, int, int r, int, bool edge) { return !r ? 1 : edge ? d : q; }},
      {"$_DFFE_PP0P_", "DER", [](int q, int d, int e, int r, int, bool edge) { return r ? 0 : edge && e ? d : q; }},
      {"$_SDFF_PP1_", "DR", [](int q, int d, int, int r, int, bool edge) { return edge ? (r ? 1 : d) : q; }},
      {"$_SDFFE_PP0P_", "DER", [](int q, int d, int e, int r, int, bool edge) { return edge ? (r ? 0 : e ? d : q) : q; }},
      {"$_SDFFCE_PN0P_", "DER", [](int q, int d, int e, int r, int, bool edge) { return edge && e ? (!r ? 0 : d) : q; }},
      {"$_DFFSR_PPP_", "DRS", [](int q, int d, int, int r, int s, bool edge) { return r ? 0 : s ? 1 : edge ? d : q; }},
      {"$_DLATCH_P_", "DE", [](int q, int d, int e, int, int, bool) { return e ? d : q; }},
      {"$_DLATCH_NP0_", "DER", [](int q, int d, int e, int r, int, bool) { return r ? 0 : !e ? d : q; }},
  };
  // Inputs: c (bit 2), d 3, e 4, r 5, s 6 of one port.
  std::string ports = port("c", "input", "2") + ", " + port("in", "input", "3, 4, 5, 6"), cells;
  for (size_t t = 0; t < types.size(); ++t) {
    const std::string q = std::to_string(10 + t);
    ports += ", " + port("q" + std::to_string(t), "output", q);
    const bool latch = std::string(types[t].type).find("LATCH") != std::string::npos;
    std::string connections = "\"Q\": [" + q + "]" + (latch ? "" : ", \"C\": [2]");
    for (const char* p = types[t].pins; *p != '\0'; ++p)
      connections += ", \"" + std::string(1, *p) + "\": [" + std::to_string(3 + std::string("DERS").find(*p)) + "]";
    cells += (t > 0 ? ", " : "") + cell("f" + std::to_string(t), types[t].type, connections);
  }
  std::vector<int> q(types.size(), -1);  // -1: not known yet
  std::string vectors;
  unsigned seed = 12345;
  auto expectations = [&] {
    std::string text;
    for (size_t t = 0; t < types.size(); ++t)
      if (q[t] >= 0) text += " q" + std::to_string(t) + "=" + std::to_string(q[t]);
    return text;
  };
  // One thing changes at a time, the enable first, then reset and set, then the data: a latch
  // closing as its data or its reset changes is a race.
  int bits = 0;
  auto level = [&](int b) {
    bits = b;
    for (size_t t = 0; t < types.size(); ++t)
      q[t] = types[t].next(q[t], b & 1, b >> 1 & 1, b >> 2 & 1, b >> 3 & 1, false);
    vectors += "c:=0 in:=" + std::to_string(b) + " " + expectations() + "\n";
  };
  for (int step = 0; step < 60; ++step) {
    seed = seed * 1103515245u + 12345u;
    const int next = static_cast<int>(seed >> 16) & 15;
    level((next & 2) | (bits & ~2));  // the enable
    level((next & ~1) | (bits & 1));  // reset and set
    level(next);
    for (size_t t = 0; t < types.size(); ++t)
      q[t] = types[t].next(q[t], next & 1, next >> 1 & 1, next >> 2 & 1, next >> 3 & 1, true);
    vectors += "c:=1 " + expectations() + "\n";
  }
  TempDir dir;
  const RunResult r = net({"-X", "-Q", "-v", dir.file("f.vec", vectors), dir.file("f.json", design(ports, cells))});
  EXPECT_EQ(r.status, 0) << r.err << r.out.substr(0, 2000);
  EXPECT_NE(r.out.find(" passed, 0 failed\n"), std::string::npos) << r.out.substr(0, 2000);
}

// A run that draws nothing (-Q) takes a word of 64 gates and multiplexers in one loop whatever
// their kinds; one that writes probe lines evaluates each component by itself. Small groups of
// each kind, so that words mix kinds, with flip-flops and a cell of another shape among them:
// the waveforms must be the same, change for change.
TEST(NetlistCells, MixedWordsChangeAsEachCellAlone) {
  const std::vector<std::pair<const char*, const char*>> kinds = {
      {"$_AND_", "AB"}, {"$_OR_", "AB"},     {"$_XOR_", "AB"},    {"$_NAND_", "AB"},   {"$_NOR_", "AB"},
      {"$_XNOR_", "AB"}, {"$_ANDNOT_", "AB"}, {"$_ORNOT_", "AB"}, {"$_NOT_", "A"},     {"$_MUX_", "ABS"},
      {"$_AOI3_", "ABC"}, {"$_DFF_P_", "CD"}};
  std::string cells;
  unsigned seed = 2026;
  auto pick = [&](int below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(below));
  };
  int nets = 10;  // the inputs are nets 2 to 9, the clock 9
  for (int g = 0; g < 400; ++g) {
    const auto& [type, pins] = kinds[static_cast<size_t>(g % 37 < 34 ? g % 10 : 10 + g % 2)];
    std::string connections = "\"" + std::string(type == std::string("$_DFF_P_") ? "Q" : "Y") + "\": [" +
                              std::to_string(nets) + "]";
    for (const char* p = pins; *p != '\0'; ++p)
      connections += ", \"" + std::string(1, *p) + "\": [" + std::to_string(*p == 'C' ? 9 : 2 + pick(nets - 2)) + "]";
    cells += (g > 0 ? ", " : "") + cell("c" + std::to_string(g), type, connections);
    ++nets;
  }
  std::string outputs;
  for (int n = nets - 40; n < nets; ++n) outputs += (n > nets - 40 ? ", " : "") + std::to_string(n);
  const std::string ports = port("i", "input", "2, 3, 4, 5, 6, 7, 8, 9") + ", " + port("y", "output", outputs);
  std::string vectors;
  for (int v = 0; v < 60; ++v) {
    const std::string value = std::to_string(pick(256));
    vectors += "i:=" + value + "  i=" + value + "\n";
  }
  TempDir dir;
  const std::string netlist = dir.file("m.json", design(ports, cells)), file = dir.file("m.vec", vectors);
  const RunResult quiet = net({"-X", "-Q", "-V", dir.path + "/q.vcd", "-v", file, netlist});
  const RunResult lines = net({"-X", "-V", dir.path + "/l.vcd", "-v", file, netlist});
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  ASSERT_EQ(lines.status, 0) << lines.err;
  auto text = [](const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  const std::string waveform = text(dir.path + "/q.vcd");
  EXPECT_GT(std::count(waveform.begin(), waveform.end(), '\n'), 5000);
  EXPECT_TRUE(waveform == text(dir.path + "/l.vcd"));
}

TEST(NetlistPorts, KeysInPortOrderBitZeroFirstThenNone) {
  TempDir dir;
  std::string bench;
  for (int k = 0; k < 64; ++k) bench += "INPUT(i" + std::to_string(k) + ")\n";
  bench += "OUTPUT(y)\ny = AND(i0, i63)\nq = DFF(y)\n";
  const RunResult r = net({"-X", "-E", dir.file("k.bench", bench)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("key 0 i0\nkey 1 i1\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("key Z i61\nkey none i62\nkey none i63\nkey none CLK\n"), std::string::npos) << r.out;

  const std::string json = design(port("d", "input", "2, 3") + ", " + port("e", "input", "4") + ", " +
                                      port("y", "output", "5"),
                                  cell("c", "$_AND_", R"("A": [2], "B": [4], "Y": [5])"));
  const RunResult j = net({"-X", "-E", dir.file("k.json", json)});
  EXPECT_EQ(j.out, "key 0 d[0]\nkey 1 d[1]\nkey 2 e\n");
}

TEST(NetlistPorts, ClockProbeAndHierarchicalNames) {
  // A module instance u1 of "inv" inside top: names are prefixed with the instance.
  const std::string sub =
      R"(, "inv": {"ports": {"a": {"direction": "input", "bits": [2]}, "y": {"direction": "output", "bits": [3]}},
            "cells": {"n": {"type": "$_NOT_", "connections": {"A": [2], "Y": [3]}}},
            "netnames": {"mid": {"hide_name": 0, "bits": [3]}}})";
  const std::string json = design(port("clk", "input", "2") + ", " + port("y", "output", "4"),
                                  cell("u1", "inv", R"("a": [2], "y": [4])"), sub);
  TempDir dir;
  const std::string path = dir.file("h.json", json);
  const RunResult r = net({"-X", "-T", "300", "--clock", "clk=100", "--probe", "u1.mid", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Probe for y at"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Probe for u1.mid at"), std::string::npos) << r.err;
  // The clock toggles y: both levels seen.
  EXPECT_NE(r.err.find("Value = ONE"), std::string::npos);
  EXPECT_NE(r.err.find("Value = ZERO"), std::string::npos);
  const RunResult wide = net({"-X", "-Q", "--clock", "clk=1", path});
  EXPECT_EQ(wide.status, 2);
  EXPECT_NE(wide.err.find("--clock: the period of 'clk' must be a number of at least 2"), std::string::npos) << wide.err;
}

// A top-level name that takes one net of its own and one a port has: the port's bit is driven
// into it by an invisible buffer, placed inside a cell of its own, and the run says nothing else.
TEST(NetlistPorts, ANameSharingAPortsNetReadsItQuietly) {
  const std::string json =
      R"({"modules": {"top": {"attributes": {"top": "1"}, "ports": {)" + twoInOneOut + R"(}, "cells": {)" +
      cell("c1", "$_AND_", R"("A": [2], "B": [3], "Y": [4])") + ", " + cell("c2", "$_NOT_", R"("A": [2], "Y": [5])") +
      R"(}, "netnames": {"both": {"hide_name": 0, "bits": [4, 5]}}}}})";
  TempDir dir;
  const RunResult r = net({"-X", "-Q", "-v", dir.file("n.vec", "a:=1 b:=1  both=0b01 y=1\na:=0  both=0b10\n"),
                           dir.file("n.json", json)});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "3 passed, 0 failed\n");
  EXPECT_EQ(r.err, "");
}

TEST(NetlistScale, AHundredThousandCellsRun) {
  std::string bench;
  for (int k = 0; k < 32; ++k) bench += "INPUT(i" + std::to_string(k) + ")\n";
  bench += "OUTPUT(n99999)\n";
  unsigned seed = 7;
  auto pick = [&](int below) {
    seed = seed * 1103515245u + 12345u;
    const int back = static_cast<int>(seed >> 8) % 200 + 1;
    return below - back < 0 ? "i" + std::to_string((below + back) % 32) : "n" + std::to_string(below - back);
  };
  static const char* const gates[] = {"AND", "NAND", "OR", "NOR", "XOR", "XNOR"};
  for (int c = 0; c < 100000; ++c) {
    bench += "n" + std::to_string(c) + " = ";
    if (c % 50 == 49)
      bench += "DFF(" + pick(c) + ")\n";
    else
      bench += std::string(gates[c % 6]) + "(" + pick(c) + ", " + pick(c) + ")\n";
  }
  TempDir dir;
  const RunResult r = net({"-X", "-Q", "-T", "100", dir.file("big.bench", bench)});
  EXPECT_EQ(r.status, 0) << r.err.substr(0, 2000);
}

}  // namespace
