#include "display/SchCell.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iostream>
#include <vector>

#include "construction/TextCopy.h"
#include "process/StandardStreams.h"
namespace {

// A reversed range or a letter outside its grid's heading places a tile outside its parent, and
// deeper fields can carry it beyond what an int holds. Such tiles stop well outside the world
// (0 .. 2^24), where the sums of tiling and scaling still fit an int.
int coordinate(float v) {
  constexpr float limit = 1 << 28;
  return static_cast<int>(std::clamp(v, -limit, limit));
}

// The sub-cell of cell named name, or null. Names are unique among a cell's sub-cells, so that
// starting where the last search ended finds the one a search from the first would.
SchematicCell* findSubCell(SchematicCell* cell, const char* name) {
  const int n = cell->nr_of_subspaces;
  int i = cell->last_found < n ? cell->last_found : 0;
  for (int looked = 0; looked < n; ++looked, i = i + 1 < n ? i + 1 : 0)
    if (strcmp(cell->ptr[i].name, name) == 0) {
      cell->last_found = i;
      return &cell->ptr[i];
    }
  return nullptr;
}

void releaseSubCells(SchematicCell* cell) {
  for (int i = 0; i < cell->nr_of_subspaces; ++i) {
    releaseSubCells(&cell->ptr[i]);
    delete[] cell->ptr[i].name;
  }
  delete[] cell->ptr;
}

}  // namespace

int breakOut(const char* s, char*** fields) {
  *fields = nullptr;
  if (s == nullptr || *s == '\0') {
    standardError() << "Screen_cell string has zero length.\n";
    return 0;
  }
  std::vector<char*> found;
  const char* begin = s;
  for (const char* p = s;; ++p) {
    if (*p == '.' || *p == '\0') {
      if (p == begin)
        standardError() << "Length zero field in schematic cell designation: " << s << std::endl;
      else
        found.push_back(copyText(begin, static_cast<size_t>(p - begin)));
      if (*p == '\0') break;
      begin = p + 1;
    }
  }
  if (!found.empty()) {
    *fields = new char*[found.size()];
    for (size_t i = 0; i < found.size(); ++i) (*fields)[i] = found[i];
  }
  return static_cast<int>(found.size());
}

void breakCell(const char* field, char* r, char* c) {
  r[0] = field[0];
  c[0] = field[0] ? field[1] : '\0';
  size_t n = strlen(field);
  // A range needs five characters; a truncated one keeps the first corner for what is missing.
  if (n > 2) {
    r[1] = n > 3 ? field[3] : r[0];
    c[1] = n > 4 ? field[4] : c[0];
  } else {
    r[1] = r[0];
    c[1] = c[0];
  }
}

void firstCell(const char* s, char* f) {
  int n = 0;
  while (s[n] != '\0' && s[n] != '.' && n < 5) {
    f[n] = s[n];
    ++n;
  }
  f[n] = '\0';
}

void updateLevelHeading(SchematicCell* cell, const char* field) {
  char r[2], c[2];
  breakCell(field, r, c);
  if (cell->nr_h_cells == 0) {
    cell->min_v_label = r[0];
    cell->max_v_label = r[1];
    cell->min_h_label = c[0];
    cell->max_h_label = c[1];
    // Reversed ranges can leave a used grid with no columns, which reads as unseen: the
    // sub-cells it had are dropped then, and released.
    releaseSubCells(cell);
    cell->nr_of_subspaces = 0;
    cell->ptr = nullptr;
  } else {
    if (r[0] < cell->min_v_label) cell->min_v_label = r[0];
    if (r[1] > cell->max_v_label) cell->max_v_label = r[1];
    if (c[0] < cell->min_h_label) cell->min_h_label = c[0];
    if (c[1] > cell->max_h_label) cell->max_h_label = c[1];
  }
  cell->nr_v_cells = cell->max_v_label - cell->min_v_label + 1;
  cell->nr_h_cells = cell->max_h_label - cell->min_h_label + 1;
}

void getSubCell(SchematicCell* cell, const char* sa, const char* sb, SchematicCell*& next) {
  next = findSubCell(cell, sa);
  if (next == nullptr) {
    // Sub-cells are held by value, in an array of room for the next power of two of them: full
    // at a power of two, it doubles, and the grown array takes over the older cells' texts and
    // arrays, so that a grid of many cells is built in time proportional to their number.
    const int used = cell->nr_of_subspaces;
    if (used == 0 || std::has_single_bit(static_cast<unsigned>(used))) {
      SchematicCell* grown = new SchematicCell[used == 0 ? 1 : 2 * static_cast<size_t>(used)];
      for (int i = 0; i < used; ++i) grown[i] = cell->ptr[i];
      delete[] cell->ptr;
      cell->ptr = grown;
    }
    next = &cell->ptr[used];
    cell->last_found = used;
    next->name = copyText(sa, strlen(sa));
    ++cell->nr_of_subspaces;
  }
  updateLevelHeading(next, sb);
}

void enterSchematicCell(SchematicCell* root, const char* s) {
  char** fields = nullptr;
  int n = breakOut(s, &fields);
  SchematicCell* current = root;
  for (int k = 0; k < n; ++k) {
    updateLevelHeading(current, fields[k]);
    if (k + 1 < n) getSubCell(current, fields[k], fields[k + 1], current);
  }
  for (int k = 0; k < n; ++k) delete[] fields[k];
  delete[] fields;
}

void schematicSubSpace(SchematicCell* cell, const char* s, int& x, int& y, int& w, int& h) {
  while (cell != nullptr && s != nullptr) {
    // Empty fields were skipped when the tree was built, so they are skipped here too.
    while (*s == '.') ++s;
    if (*s == '\0') return;
    // A grid without rows or columns (a reversed range seen first) has no cells to divide into.
    if (cell->nr_h_cells <= 0 || cell->nr_v_cells <= 0) return;
    char field[6];
    firstCell(s, field);
    char r[2], c[2];
    breakCell(field, r, c);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    float nh = static_cast<float>(cell->nr_h_cells), nv = static_cast<float>(cell->nr_v_cells);
    x = coordinate(fx + static_cast<float>(c[0] - cell->min_h_label) * fw / nh);
    y = coordinate(fy + static_cast<float>(r[0] - cell->min_v_label) * fh / nv);
    w = coordinate(static_cast<float>(c[1] - c[0] + 1) * fw / nh);
    h = coordinate(static_cast<float>(r[1] - r[0] + 1) * fh / nv);
    const char* dot = strchr(s, '.');
    if (dot == nullptr) return;
    cell = findSubCell(cell, field);
    s = dot + 1;
  }
}

void releaseSchematicCell(SchematicCell* root) {
  releaseSubCells(root);
  delete root;
}
