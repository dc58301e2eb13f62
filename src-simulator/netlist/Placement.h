// Automatic placement of a netlist on the schematic grid (construction/Schmtc.h).
//
// Each module instance (box) is laid out on a grid of its own, drawn inside the box's cell of
// its parent's grid; the top module's grid is the schematic. The items of a grid are the cells of
// its box, its child boxes and, on the top grid, the ports and extra probes. Columns are logic
// levels: an item one column right of the last item driving one of its inputs, the inputs in
// column 0 and the outputs and probes in a column after the last; a flip-flop's or latch's
// output counts as an input: what it drives starts again at column 1 (column 0 inside a box), and a combinational loop is cut where the
// order of the file meets it first. Within a column the items are ordered by the mean row of
// their drivers (a barycentre pass, from left to right), and each column is centred.
//
// A grid of up to 26 rows and 26 columns is lettered "aa" .. "zz" (row, then column); one of up
// to 93 rows and 93 columns is one field of the position text, row character then
// column character from the 93 printable characters '!' .. '~' other than '.'; a larger grid
// nests blocks of 93 x 93 in further fields, most significant first. Time and memory are linear
// in the size of the netlist.
#pragma once

#include <string>
#include <vector>

#include "netlist/Netlist.h"

namespace netlist {

struct Placement {
  std::vector<std::string> cells;   // per Netlist::cells: the position text of its SD
  std::vector<std::string> boxes;   // per Netlist::boxes ("" for box 0, the whole schematic)
  std::vector<std::string> ports;   // per Netlist::ports
  std::vector<std::string> probes;  // per extra probe
  int columns = 0;                  // of the top grid
  int rows = 0;
};

// Places every cell, box and port of netlist, and the extra probes, each given as the nets it
// shows (probes on the top grid, in the outputs' column). Nets out of range are ignored.
Placement place(const Netlist& netlist, const std::vector<std::vector<NetId>>& probes);

// The position text of row `row`, column `column` of a grid of `rows` x `columns` (both at
// least 1): two letters up to 26 x 26, else ceil(log93) fields of two characters joined by '.'.
std::string gridPosition(int row, int column, int rows, int columns);

}  // namespace netlist
