// tavrin-peer (bench/peer/): its errors, the patterns of its vectors, and Verilog that Icarus
// Verilog reads for ports whose names are not plain identifiers. The behaviour of the Verilog it
// writes is checked against tavrin-net by peer_check.sh.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Harness.h"

namespace {

struct Folder {
  Folder() {
    char name[] = "/tmp/tavrin-peer-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string file(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name) << text;
    return path + "/" + name;
  }
  std::string path;
};

RunResult peer(std::vector<std::string> args) {
  args.insert(args.begin(), TAVRIN_PEER_EXE);
  return runProcess(args);
}

// y = a & b[0], c a 5-bit input, clk and rst 1 bit: ports a, b (2 bits), c, clk, rst, y.
const std::string design = R"({"modules": {"top": {"attributes": {"top": "1"}, "ports": {
  "a": {"direction": "input", "bits": [2]}, "b": {"direction": "input", "bits": [3, 4]},
  "c": {"direction": "input", "bits": [5, 6, 7, 8, 9]}, "clk": {"direction": "input", "bits": [10]},
  "rst": {"direction": "input", "bits": [11]}, "y": {"direction": "output", "bits": [12]}},
  "cells": {"g": {"type": "$_AND_", "connections": {"A": [2], "B": [3], "Y": [12]}}}, "netnames": {}}}})";

std::vector<std::vector<std::string>> lines(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    rows.emplace_back();
    for (std::string w; words >> w;) rows.back().push_back(w);
  }
  return rows;
}

TEST(Peer, ErrorsEndWithStatusTwoAndAMessage) {
  Folder f;
  const std::string json = f.file("top.json", design);
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "no mode given"},
      {{"draw", json}, "unknown mode 'draw'"},
      {{"verilog", json, "more"}, "verilog takes 1 word"},
      {{"verilog", "--toggle", "clk", json}, "--toggle is an option of the mode vectors"},
      {{"verilog", f.path + "/none.json"}, "none.json:0: cannot read the file"},
      {{"vectors", json, "ten", "1"}, "'ten' is not a count"},
      {{"vectors", "--hold", "rst", json, "4", "1"}, "--hold: 'rst' is not NAME=VALUE"},
      {{"vectors", "--hold", "rst=2", json, "4", "1"}, "--hold: '2' is not a value of input 'rst' (1 bits)"},
      {{"vectors", "--hold", "q=0", json, "4", "1"}, "--hold: no input port 'q'"},
      {{"vectors", "--toggle", "c", json, "4", "1"}, "--toggle: input 'c' is 5 bits wide; a clock is 1 bit"},
      {{"vectors", "--toggle", "clk", "--hold", "clk=0", json, "4", "1"}, "input 'clk' is given a pattern twice"},
      {{"testbench", json, "v.txt", "1"}, "the period must be at least 2"},
  };
  for (const auto& c : cases) {
    const RunResult r = peer(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << c.message;
  }
}

TEST(Peer, VectorsFollowTheirSeedAndPatterns) {
  Folder f;
  const std::string json = f.file("top.json", design);
  const RunResult plain = peer({"vectors", json, "40", "7"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(peer({"vectors", json, "40", "7"}).out, plain.out);
  EXPECT_NE(peer({"vectors", json, "40", "8"}).out, plain.out);
  // Port order, a digit per four bits, no bit beyond the width.
  for (const auto& row : lines(plain.out)) {
    ASSERT_EQ(row.size(), 5u);
    EXPECT_LE(std::stoi(row[0], nullptr, 16), 1);
    EXPECT_LE(std::stoi(row[1], nullptr, 16), 3);
    EXPECT_EQ(row[2].size(), 2u);
    EXPECT_LE(std::stoi(row[2], nullptr, 16), 31);
  }
  // A clock alternates from 0, a reset is the complement of its value up to the first even
  // vector from the lead on, and the other inputs change only with the clock's fall.
  const RunResult clocked = peer({"vectors", "--toggle", "clk", "--hold", "rst=0", "--lead", "3", json, "40", "7"});
  ASSERT_EQ(clocked.status, 0) << clocked.err;
  const auto rows = lines(clocked.out);
  ASSERT_EQ(rows.size(), 40u);
  bool changed = false;
  for (size_t k = 0; k < rows.size(); ++k) {
    EXPECT_EQ(rows[k][3], k % 2 ? "1" : "0");
    EXPECT_EQ(rows[k][4], k < 4 ? "1" : "0");
    if (k % 2) {
      EXPECT_EQ(rows[k][2], rows[k - 1][2]) << k;
    }
    if (k > 1 && k % 2 == 0) changed |= rows[k][2] != rows[k - 1][2];
  }
  EXPECT_TRUE(changed);
}

// Ports named like keywords, like the wires or not as identifiers at all: the Verilog and the
// testbench compile and compute.
TEST(Peer, EscapedNamesCompileAndRunInIcarus) {
  if (std::system("command -v iverilog > /dev/null && command -v vvp > /dev/null") != 0)
    GTEST_SKIP() << "Icarus Verilog is not installed";
  Folder f;
  const std::string json = f.file("top.json", R"({"modules": {"top": {"attributes": {"top": "1"}, "ports": {
    "or": {"direction": "input", "bits": [2]}, "n5": {"direction": "input", "bits": [3]},
    "a.b": {"direction": "output", "bits": [4]}},
    "cells": {"g": {"type": "$_XOR_", "connections": {"A": [2], "B": [3], "Y": [4]}}}, "netnames": {}}}})");
  const std::string vectors = f.file("v.txt", "0 1\n1 1\n");
  const RunResult verilog = peer({"verilog", json});
  const RunResult bench = peer({"testbench", json, vectors, "20"});
  ASSERT_EQ(verilog.status, 0) << verilog.err;
  ASSERT_EQ(bench.status, 0) << bench.err;
  const std::string sim = f.path + "/sim";
  const RunResult compile =
      runProcess({"/usr/bin/env", "iverilog", "-g2005", "-o", sim, f.file("top.v", verilog.out), f.file("tb.v", bench.out)});
  ASSERT_EQ(compile.status, 0) << compile.out << compile.err;
  const RunResult run = runProcess({"/usr/bin/env", "vvp", "-n", sim});
  EXPECT_EQ(run.out, "or:=0x0 n5:=0x1  a.b=0b1\nor:=0x1 n5:=0x1  a.b=0b0\n# settled 7\n") << run.err;
}

}  // namespace
