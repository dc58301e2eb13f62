// The display state: the window, lead tabs, super probes and the drawing flags.
#pragma once

#include "display/SchCell.h"
#include "display/SupProbe.h"
#include "display/Tab.h"
#include "process/ThreadLocal.h"

class Windex;
class RunView;

class PhaseFive {
public:
  Windex* windexPointer;
  TabList inTab;
  TabList outTab;
  SuperProbeList superProbeList;
  int superProbeCollect = 1;
  int superProbeSelect = 0;
  int newWindowingMode = 1;
  int currentGraphicDisplayLevel = 1;
  int interconnectFlag = 1;
  int labelGateFlag = 1;
  int drawComponentLeadsFlag = 1;
  int labelLinesFlag = 0;
  // The tiled schematic, kept for the life of the display since the tiling refers into it.
  SchematicCell* schematic = nullptr;
  // The run shown on this display (made by the elaboration, released with the display).
  RunView* runView = nullptr;

  PhaseFive();
  ~PhaseFive();
  PhaseFive(const PhaseFive&) = delete;
  PhaseFive& operator=(const PhaseFive&) = delete;

  // Places every component on the schematic grid below root.
  void componentTiling(SchematicCell* root);
  // Tiles afresh into schematic (a tree of its own, released by the next tiling).
  void tile();
  void drawSchematic();
  void drawPanes();
  void connect();
  void displaySuperProbes();
  // The run's first picture: tiles the schematic afresh, then draws it, its lines and panes.
  void drawStartUp();

  // Whether a component is drawn at the current level of detail.
  bool isVisible(int cind) const;
};

extern TAVRIN_THREAD_LOCAL PhaseFive* phaseFive;  // the current thread's

// The title every window carries.
extern const char* const windowTitle;
