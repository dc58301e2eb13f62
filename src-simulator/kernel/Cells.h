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

// A cell's judged request, made after the judging of the cells before the next other component:
// its output's wire and the steps (a cell of transit::packedTransitions, not empty) after its
// table's delays.
struct CellRequest {
  int32_t wire;
  uint32_t steps;
  const LevelTable* table;
};

class Cells {
public:
  // A component is a cell when its kind has a table, it evaluates with the kind's evaluator, its
  // pins have the table's shape, and its output is a wire that nothing else drives.
  explicit Cells(const PhaseTwo& two);

  const Cell* data() const { return cells.data(); }
  // Whether the components word * 64 to word * 64 + 63 include a cell.
  bool inWord(size_t word) const { return words[word] != 0; }
  // Room for a request of every component, for one pass.
  CellRequest* requestRoom() { return requests.data(); }

private:
  std::vector<Cell> cells;
  std::vector<uint8_t> words;
  std::vector<CellRequest> requests;
};
