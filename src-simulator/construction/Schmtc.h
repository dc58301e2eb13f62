// Schematic designations: where a component is drawn, at which level, with which label.
#pragma once

// A position text names a grid cell per level, joined by ".": a cell is two characters, row
// first then column ("aa" row a column a, "ca" row c column a, "1z" row 1 column z; any
// characters, ordered by code), a block of cells five: first corner, "-", far corner ("da-ea"
// rows d to e in column a). "aa.ab" is cell ab of the grid inside cell aa; a module passes its
// own SD down and places its parts with SD(sd, "ab"). Each level's grid spans the smallest to
// the largest row and column used in it. A decal replaces the component's own label on the
// screen (and in the probe lines of -X).
class SD {
public:
  int graphicLevel;
  char* graphicPosition;  // owned
  char* decal;            // owned, or null for "use the component's own label"

  // A top-level designation (level 1) at pos, with an optional decal.
  SD(const char* pos, const char* thisDecal = nullptr);
  // A child of sd: level sd's + 1, position "<sd's position>.<pos>"; the decal is sd's decal
  // followed by thisDecal (either alone when the other is missing).
  SD(const SD& sd, const char* pos, const char* thisDecal = nullptr);  // child of sd
  SD(const SD& sd);
  SD();  // only as the starting point of operator,
  ~SD();

  // Same place and level, new label: Nand((sd, "busy"), in, out).
  SD operator,(const char* thisDecal) const;
  SD& operator=(const SD& sd);
};
