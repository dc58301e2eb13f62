// Window input: reading and classifying X events, the sub-window zones and full repaints.
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowKeys.h"

namespace {

// Every event a window can select; events outside it (mapping changes, client messages) are
// read separately so that none stays queued.
constexpr long anyWindowEventMask = 0x01FFFFFFL;
constexpr int keyTextCapacity = 25;

// Pixel coordinates are packed into 12-bit fields; a drag that leaves the window reports
// coordinates outside them, which would otherwise spill into the neighbouring field.
int packField(int v) {
  if (v < 0) return 0;
  if (v > pointerFieldMask) return pointerFieldMask;
  return v;
}

// The clipped redraw of an exposure batch draws interconnecting lines only in windowing mode.
void drawContents(bool clipped) {
  if (phaseFive == nullptr) return;
  phaseFive->drawSchematic();
  bool lines = phaseFive->interconnectFlag && (!clipped || phaseFive->newWindowingMode);
  if (lines) phaseFive->connect();
  phaseFive->drawPanes();
}

// An edge dragged by d world units, truncated; far outside the world it stops short of the
// int range instead of overflowing.
int movedEdge(int edge, float d) {
  constexpr float limit = 1073741824.0f;
  float moved = static_cast<float>(edge) + d;
  if (moved > limit) moved = limit;
  if (moved < -limit) moved = -limit;
  return static_cast<int>(moved);
}

}  // namespace

void Windex::checkEvent(int& eventType, int& keyChar) {
  eventType = noWindowEvent;
  if (display == nullptr) return;
  if (!XCheckWindowEvent(display, window, anyWindowEventMask, &event)) {
    // Nothing for the window; take one event of any other kind so it cannot stay queued.
    if (XPending(display) > 0) {
      XNextEvent(display, &event);
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    }
    return;
  }

  switch (event.type) {
    case KeyPress: {
      KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
      if (keysym >= XK_F1 && keysym <= XK_F35) {
        eventType = functionKeyEvent;
        keyChar = static_cast<int>(keysym - functionKeyOrigin);
      } else if (keysym >= cursorBlockFirst && keysym <= cursorBlockLast) {
        eventType = cursorKeyEvent;
        keyChar = static_cast<int>(keysym) - cursorKeyOrigin;
      } else {
        char text[keyTextCapacity];
        KeySym translated;
        int count = XLookupString(&event.xkey, text, keyTextCapacity, &translated, nullptr);
        if (count == 1) {
          eventType = characterEvent;
          keyChar = static_cast<signed char>(text[0]);
        }
      }
      break;
    }
    case ButtonPress:
    case ButtonRelease:
      eventType = event.type == ButtonPress ? buttonPressEvent : buttonReleaseEvent;
      keyChar = static_cast<int>(event.xbutton.button << pointerButtonShift) |
                packField(event.xbutton.x) << pointerFieldBits |
                packField(event.xbutton.y);
      break;
    case MotionNotify:
      eventType = pointerMotionEvent;
      keyChar = packField(event.xmotion.x) << pointerFieldBits | packField(event.xmotion.y);
      break;
    case Expose: {
      const XExposeEvent& e = event.xexpose;
      if (numClips < 16) {
        XRectangle& r = clips[numClips];
        r.x = static_cast<short>(e.x);
        r.y = static_cast<short>(e.y);
        r.width = static_cast<unsigned short>(e.width);
        r.height = static_cast<unsigned short>(e.height);
        ++numClips;
      }
      if (e.count == 0 || numClips >= 16) {
        XSetClipRectangles(display, gc, 0, 0, clips, numClips, Unsorted);
        drawContents(true);
        drawSubWindow();
        XSetClipMask(display, gc, None);
        numClips = 0;
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes)) {
          xPixels = attributes.width;
          yPixels = attributes.height;
        }
      }
      repaint();
      break;
    }
    default:
      break;
  }
}

void Windex::repaint() {
  clear();
  drawContents(false);
  drawSubWindow();
}

int Windex::pointInSubWindow(int x, int y) {
  int xs = xScale(subWinXs), ys = yScale(subWinYs);
  int xe = xScale(subWinXe), ye = yScale(subWinYe);
  int zone = 0;
  if (x >= xs && x <= xe && y >= ys && y <= ye) {
    int mx = (xe - xs) >> 3;
    int my = (ye - ys) >> 3;
    int column = x < xs + mx ? 0 : (x > xe - mx ? 2 : 1);
    int row = y < ys + my ? 0 : (y >= ye - my ? 2 : 1);
    static const int zones[3][3] = {{2, 3, 4}, {5, 1, 6}, {7, 8, 9}};
    zone = zones[row][column];
  }
  setCursor(zone);
  return zone;
}

void Windex::adjustSubWindow(int state, int xn, int yn, int xo, int yo) {
  // Which edges a zone moves: left, top, right, bottom.
  static const bool moves[10][4] = {
      {false, false, false, false}, {true, true, true, true},   {true, true, false, false},
      {false, true, false, false},  {false, true, true, false}, {true, false, false, false},
      {false, false, true, false},  {true, false, false, true}, {false, false, false, true},
      {false, false, true, true}};
  if (state < 1 || state > 9) return;
  float dx = static_cast<float>(viewXe - viewXs) * static_cast<float>(xn - xo) / static_cast<float>(xPixels);
  float dy = static_cast<float>(viewYe - viewYs) * static_cast<float>(yn - yo) / static_cast<float>(yPixels);
  const bool* m = moves[state];
  int xs = m[0] ? movedEdge(subWinXs, dx) : subWinXs;
  int ys = m[1] ? movedEdge(subWinYs, dy) : subWinYs;
  int xe = m[2] ? movedEdge(subWinXe, dx) : subWinXe;
  int ye = m[3] ? movedEdge(subWinYe, dy) : subWinYe;
  // An edge dragged onto or past its opposite would leave an empty or inverted sub-window,
  // which cannot be picked up again and cannot become a view.
  if (xe <= xs || ye <= ys) return;
  drawSubWindow();
  subWinXs = xs;
  subWinYs = ys;
  subWinXe = xe;
  subWinYe = ye;
  drawSubWindow();
}

void Windex::subWinToViewWin() { setView(subWinXs, subWinYs, subWinXe, subWinYe); }

void Windex::setCursor(int which) {
  if (display == nullptr || which < 0 || which > 9) return;
  Cursor previous = cursor;
  cursor = XCreateFontCursor(display, cursor_shape[which]);
  XDefineCursor(display, window, cursor);
  // The server keeps a cursor alive while a window uses it, so the old one can go now.
  if (previous != 0) XFreeCursor(display, previous);
}

void Windex::waitForEvent() {
  if (display == nullptr) return;
  paneBatch::drawCollected();
  if (XPending(display) > 0) return;
  pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
  poll(&descriptor, 1, -1);
}
