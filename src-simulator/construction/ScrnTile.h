// A component's rectangle on the schematic, in world coordinates.
#pragma once

class ScreenTile {
public:
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int numberOfPanes = 0;
  ScreenTile* panes = nullptr;
};
