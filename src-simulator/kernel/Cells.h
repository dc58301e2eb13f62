// The components whose kind gives their output's level by a table of their inputs' levels (the
// kinds table's levels: the gates and the one-bit multiplexer), as a run with the time buckets
// that draws nothing evaluates them: each one's table and wires side by side, so that a word of
// activated components is evaluated in one loop whatever their kinds, each request made inline.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "construction/ComponentKind.h"
#include "elaboration/Ph2.h"

struct Cell {
  const LevelTable* levels;  // null: not such a component, its own evaluator takes it
  int32_t in[3];             // its inputs' wires (its first again for one its kind lacks)
  int32_t out;               // its output's wire
};

class Cells {
public:
  // A component is a cell when its kind has a table, it evaluates with the kind's evaluator, its
  // pins have the table's shape, and its output drives a wire.
  explicit Cells(const PhaseTwo& two);

  const Cell* data() const { return cells.data(); }
  // Whether the components word * 64 to word * 64 + 63 include a cell.
  bool inWord(size_t word) const { return words[word] != 0; }

private:
  std::vector<Cell> cells;
  std::vector<uint8_t> words;
};
