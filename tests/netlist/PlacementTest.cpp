// The placement: columns by logic level, flip-flops starting again, rows by barycentre, and the
// position texts of small and large grids.
#include <gtest/gtest.h>

#include <string>

#include "netlist/BenchFile.h"
#include "netlist/Placement.h"

namespace {

netlist::Netlist bench(const std::string& text) {
  netlist::Netlist n;
  netlist::Diagnostics d;
  EXPECT_TRUE(netlist::readBench(text, n, d)) << (d.errors.empty() ? "" : d.errors[0]);
  return n;
}

TEST(Placement, ColumnsFollowLogicLevelsAndFlipFlopsStartAgain) {
  // cells: n1 (level 1), n2 (2), q DFF of n2 (3), m from q (1: q counts as an input), y (4)
  const netlist::Netlist n = bench(
      "INPUT(a)\nINPUT(b)\nOUTPUT(y)\nn1 = AND(a, b)\nn2 = NOT(n1)\nq = DFF(n2)\nm = NOT(q)\ny = OR(n2, m)\n");
  const netlist::Placement p = netlist::place(n, {});
  auto column = [](const std::string& pos) { return pos[1] - 'a'; };
  EXPECT_EQ(column(p.ports[0]), 0);  // a
  EXPECT_EQ(column(p.cells[0]), 1);  // n1
  EXPECT_EQ(column(p.cells[1]), 2);  // n2
  EXPECT_EQ(column(p.cells[2]), 3);  // q
  EXPECT_EQ(column(p.cells[3]), 1);  // m
  EXPECT_EQ(column(p.cells[4]), 3);  // y
  EXPECT_EQ(column(p.ports[2]), 4);  // the output y, after the last column
  EXPECT_EQ(column(p.ports[3]), 0);  // CLK
}

TEST(Placement, RowsFollowTheirDriversAcrossAColumn) {
  // Two independent chains: each gate stays in its chain's row.
  const netlist::Netlist n = bench("INPUT(a)\nINPUT(b)\nOUTPUT(x)\nOUTPUT(y)\nx = NOT(b)\ny = NOT(a)\n");
  const netlist::Placement p = netlist::place(n, {});
  EXPECT_EQ(p.cells[1][0], p.ports[0][0]);  // y beside a
  EXPECT_EQ(p.cells[0][0], p.ports[1][0]);  // x beside b
}

TEST(Placement, PositionTextsOfSmallAndLargeGrids) {
  EXPECT_EQ(netlist::gridPosition(0, 0, 1, 1), "aa");
  EXPECT_EQ(netlist::gridPosition(2, 25, 26, 26), "cz");
  EXPECT_EQ(netlist::gridPosition(0, 26, 1, 27), "!<");  // 93 printable characters, '.' left out
  EXPECT_EQ(netlist::gridPosition(13, 0, 93, 1), "/!");
  EXPECT_EQ(netlist::gridPosition(93 * 2 + 7, 5, 1000, 10), "#!.(&");
}

}  // namespace
