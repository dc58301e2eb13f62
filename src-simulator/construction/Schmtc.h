// Schematic designations: where a component is drawn, at which level, with which label.
#pragma once

class SD {
public:
  int graphicLevel;
  char* graphicPosition;  // owned
  char* decal;            // owned, or null for "use the component's own label"

  SD(const char* pos, const char* thisDecal = nullptr);
  SD(const SD& sd, const char* pos, const char* thisDecal = nullptr);  // child of sd
  SD(const SD& sd);
  SD();  // only as the starting point of operator,
  ~SD();

  SD operator,(const char* thisDecal) const;  // same place, new label
  SD& operator=(const SD& sd);
};
