// Window input: events from the surface, the sub-window zones and full repaints.
#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowKeys.h"

namespace {

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

void drawContents(bool clipped) {
  if (phaseFive == nullptr) return;
  phaseFive->drawSchematic();
  bool lines = phaseFive->interconnectFlag && (!clipped || phaseFive->newWindowingMode);
  if (lines) phaseFive->connect();
  phaseFive->drawPanes();
}

void Windex::checkEvent(int& eventType, int& keyChar) {
  eventType = noWindowEvent;
  if (surface != nullptr) surface->nextEvent(*this, eventType, keyChar);
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
  if (surface == nullptr || which < 0 || which > 9) return;
  surface->setCursor(which);
}

void Windex::waitForEvent() {
  if (surface == nullptr) return;
  paneBatch::drawCollected();
  surface->waitForEvent();
}
