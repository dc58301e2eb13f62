// Function-key and cursor-key operations, from the keyboard or the -F / -K start-up strings.
#include "display/FandCOp.h"

#include <cstdio>

#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"

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
    case 1:
      reStart = 1;
      break;
    case 2:
      toggleAndRepaint(&PhaseFive::interconnectFlag);
      break;
    case 3:
      toggleAndRepaint(&PhaseFive::labelGateFlag);
      break;
    case 4:
      toggleAndRepaint(&PhaseFive::drawComponentLeadsFlag);
      break;
    case 5:
      toggleAndRepaint(&PhaseFive::labelLinesFlag);
      break;
    case 6:
      displayTimeFlag ^= 1;
      break;
    case 7:
      connectMuxOnlyFlag ^= 1;
      break;
    case 8:
      toggleAndRepaint(&PhaseFive::superProbeSelect);
      break;
    case 9:
      toggleAndRepaint(&PhaseFive::newWindowingMode);
      break;
    case 10:
      done = 1;
      break;
    case 24:
    case 27:
      setLevel(1);
      break;
    case 29:
    case 37:
      if (phaseFive != nullptr) setLevel(phaseFive->currentGraphicDisplayLevel - 1);
      break;
    case 20:
    case 35:
      if (phaseFive != nullptr) setLevel(phaseFive->currentGraphicDisplayLevel + 1);
      break;
    case 21:
    case 33:
      setLevel(phaseTwo != nullptr ? phaseTwo->maxGraphicDisplayLevel : 1);
      break;
    case 31:
      repaintWindow();
      break;
    default:
      std::fprintf(stderr, "Unused Function key F%d\n", keyChar);
      break;
  }
}

void CursorKeyOperate(int keyChar) {
  switch (keyChar) {
    case 0:
      ++stallLevel;
      break;
    case 1:
      stallLevel = 0;
      break;
    case 2:
      if (stallLevel > 0) --stallLevel;
      break;
    case 3:
      haltFlag ^= 1;
      break;
    default:
      std::fprintf(stderr, "Unused Cursor key = %d\n", keyChar);
      break;
  }
}
