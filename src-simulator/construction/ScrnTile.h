// A component's rectangle on the schematic, in world coordinates.
#pragma once

// Trivial, so that an array of records holding tiles takes memory only as it is filled:
// ScreenTile{} is the empty tile at the origin.
class ScreenTile {
public:
  int x;
  int y;
  int w;
  int h;
};
