// The tree of grids that position strings describe ("da-ea.ac": cell ac inside block da-ea).
#pragma once

class SchematicCell {
public:
  char* name = nullptr;  // the field that selects this cell in its parent (null for the root)
  char min_v_label = 0;
  char min_h_label = 0;
  char max_v_label = 0;
  char max_h_label = 0;
  int nr_v_cells = 0;
  int nr_h_cells = 0;  // 0: no grid seen yet
  int nr_of_subspaces = 0;
  SchematicCell* ptr = nullptr;  // sub-cells, in order of first use (room for more after them)
  // The sub-cell found last, where the next search starts: components come mostly in the order
  // of their cells, so that a search seldom looks further.
  int last_found = 0;
};

// Splits a position string at its dots; returns the number of fields (owned texts in *fields).
int breakOut(const char* s, char*** fields);
void breakCell(const char* field, char* r, char* c);
// The first field of s, copied into f (at most five characters and the terminator).
void firstCell(const char* s, char* f);
void updateLevelHeading(SchematicCell* cell, const char* field);
void getSubCell(SchematicCell* cell, const char* sa, const char* sb, SchematicCell*& next);
void enterSchematicCell(SchematicCell* root, const char* s);
void schematicSubSpace(SchematicCell* cell, const char* s, int& x, int& y, int& w, int& h);
// Deletes a tree made with new, its sub-cells and their names included.
void releaseSchematicCell(SchematicCell* root);
