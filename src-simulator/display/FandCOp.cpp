// Function-key and cursor-key operations, from the keyboard or the -F / -K start-up strings.
#include "display/FandCOp.h"

#include <cstdio>

#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowKeys.h"
#include "elaboration/Ph2.h"
#include "kernel/RunTime.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

namespace {

void repaintWindow() {
  if (phaseFive != nullptr && phaseFive->windexPointer != nullptr) phaseFive->windexPointer->repaint();
}

void setLevel(int level) {
  if (phaseFive == nullptr) return;
  int deepest = phaseTwo != nullptr ? phaseTwo->maxGraphicDisplayLevel : 1;
  if (level > deepest) level = deepest;
  if (level < 1) level = 1;
  phaseFive->currentGraphicDisplayLevel = level;
  repaintWindow();
}

void toggleAndRepaint(int PhaseFive::*flag) {
  if (phaseFive == nullptr) return;
  phaseFive->*flag ^= 1;
  repaintWindow();
}

}  // namespace

void FunctionKeyOperate(int keyChar) {
  switch (keyChar) {
    case keyRestart:
      reStart = 1;
      break;
    case keyInterconnect:
      toggleAndRepaint(&PhaseFive::interconnectFlag);
      break;
    case keyLabelGates:
      toggleAndRepaint(&PhaseFive::labelGateFlag);
      break;
    case keyComponentLeads:
      toggleAndRepaint(&PhaseFive::drawComponentLeadsFlag);
      break;
    case keyLabelLines:
      toggleAndRepaint(&PhaseFive::labelLinesFlag);
      break;
    case keyDisplayTime:
      displayTimeFlag ^= 1;
      break;
    case keyConnectMuxOnly:
      connectMuxOnlyFlag ^= 1;
      break;
    case keySuperProbes:
      toggleAndRepaint(&PhaseFive::superProbeSelect);
      break;
    case keyWindowingMode:
      toggleAndRepaint(&PhaseFive::newWindowingMode);
      break;
    case keyExit:
      done = 1;
      break;
    case homeLeastDetail:
    case keyLeastDetail:
      setLevel(1);
      break;
    case keyLessDetail:
    case pageUpLessDetail:
      if (phaseFive != nullptr) setLevel(phaseFive->currentGraphicDisplayLevel - 1);
      break;
    case pageDownMoreDetail:
    case keyMoreDetail:
      if (phaseFive != nullptr) setLevel(phaseFive->currentGraphicDisplayLevel + 1);
      break;
    case endMostDetail:
    case keyMostDetail:
      setLevel(phaseTwo != nullptr ? phaseTwo->maxGraphicDisplayLevel : 1);
      break;
    case keyRedraw:
      repaintWindow();
      break;
    default: std::fprintf(standardErrorFile(), "Unused Function key F%d\n", keyChar); break;
  }
}

void CursorKeyOperate(int keyChar) {
  switch (keyChar) {
    case keySlower:
      ++stallLevel;
      break;
    case keyFullSpeed:
      stallLevel = 0;
      break;
    case keyFaster:
      if (stallLevel > 0) --stallLevel;
      break;
    case keyHalt:
      haltFlag ^= 1;
      break;
    default: std::fprintf(standardErrorFile(), "Unused Cursor key = %d\n", keyChar); break;
  }
}
