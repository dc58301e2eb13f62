// Serves one pending window event: keys, mouse buttons, pointer motion.
#include "display/WindowEv.h"

#include <cstdio>

#include "display/FandCOp.h"
#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowKeys.h"
#include "elaboration/Ph2.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL int viewXlast = 0, viewYlast = 0;

namespace {

TAVRIN_THREAD_LOCAL int panState = 0;  // the sub-window zone a button-1 drag holds, 0 for none
TAVRIN_THREAD_LOCAL int lastPanX = 0, lastPanY = 0;

void fullRedraw(Windex* w) {
  w->clear();
  phaseFive->drawSchematic();
  if (phaseFive->interconnectFlag) phaseFive->connect();
  phaseFive->drawPanes();
  w->drawSubWindow();
}

// A key of the circuit: the first switch or pulser bound to it acts.
void characterKey(int keyChar) {
  int cind = phaseTwo != nullptr ? phaseTwo->switchComponent(keyChar) : -1;
  if (cind >= 0) {
    if (const ComponentFunction key = phaseTwo->kindOf(cind).xEventTriggered; key != nullptr) {
      key(cind);
    } else {
      std::fprintf(standardErrorFile(), "Keyboard input maps to a component, but no function exists\n");
    }
    return;
  }
  std::fprintf(standardErrorFile(),
               "Keyboard input:  Character (char=%c,int=%d) with no corresponding component activation "
               "defined.\n",
               static_cast<char>(keyChar), keyChar);
}

void controlKey(int keyChar) {
  switch (keyChar) {
    case controlA:
      FunctionKeyOperate(keyLeastDetail);
      break;
    case controlL:
      FunctionKeyOperate(keyRedraw);
      break;
    case controlM:
      FunctionKeyOperate(keyMoreDetail);
      break;
    case controlN:
      FunctionKeyOperate(keyLessDetail);
      break;
    case controlZ:
      FunctionKeyOperate(keyMostDetail);
      break;
    default:
      std::fprintf(standardErrorFile(), "Keyboard input:  Control character (int=%d) unmapped.\n", keyChar);
      break;
  }
}

void buttonPress(Windex* w, int button, int x, int y) {
  bool windowing = phaseFive->newWindowingMode != 0;
  switch (button) {
    case 1:
      if (windowing) {
        panState = w->pointInSubWindow(x, y);
        if (panState != 0) {
          lastPanX = x;
          lastPanY = y;
        }
      } else {
        viewXlast = x;
        viewYlast = y;
      }
      break;
    case 2:
      if (windowing) {
        w->subWinToViewWin();
        w->clear();
        phaseFive->drawSchematic();
        phaseFive->drawPanes();
        w->drawSubWindow();
      } else {
        w->resetView();
        fullRedraw(w);
      }
      break;
    case 3:
      if (windowing) {
        w->resetView();
        w->clear();
        phaseFive->drawSchematic();
        phaseFive->drawPanes();
        w->setSubWin();
        w->drawSubWindow();
      } else {
        w->reviseView(viewXlast, viewYlast, x, y);
        fullRedraw(w);
      }
      break;
    default:
      break;
  }
}

}  // namespace

int anyWindowEvents() {
  if (phaseFive == nullptr || phaseFive->windexPointer == nullptr) return 0;
  Windex* w = phaseFive->windexPointer;
  // What the passes drew since the last look goes out before an event can draw over it.
  paneBatch::drawCollected();
  int eventType = 0, keyChar = 0;
  w->checkEvent(eventType, keyChar);
  int x = keyChar >> pointerFieldBits & pointerFieldMask;
  int y = keyChar & pointerFieldMask;
  switch (eventType) {
    case noWindowEvent:
      return 0;
    case characterEvent:
      if (keyChar > lastControlCharacter) {
        characterKey(keyChar);
      } else {
        controlKey(keyChar);
      }
      break;
    case functionKeyEvent:
      FunctionKeyOperate(keyChar);
      break;
    case cursorKeyEvent:
      CursorKeyOperate(keyChar);
      break;
    case buttonPressEvent:
      buttonPress(w, keyChar >> pointerButtonShift, x, y);
      break;
    case buttonReleaseEvent:
      if (keyChar >> pointerButtonShift == 1) {
        panState = 0;
        w->setCursor(0);
      }
      break;
    case pointerMotionEvent:
      w->adjustSubWindow(panState, x, y, lastPanX, lastPanY);
      lastPanX = x;
      lastPanY = y;
      break;
    default: std::fprintf(standardErrorFile(), "Unused EventType = %d keyChar = %d\n", eventType, keyChar); break;
  }
  return 1;
}
