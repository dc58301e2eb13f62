// The window's drawing primitives, its view and its sub-window, in world coordinates: each told
// to the recorder, then scaled to pixels and drawn on the surface when there is one.
#include "display/Window.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>

#include "display/PaneBatch.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

// The colours of the signal values, as the window and the colour legend show them.
char bar_color_ONE[8] = "#008000";
char bar_color_ZERO[8] = "#F0FFF0";
char bar_color_UNINITIALIZED[8] = "#FFFFFF";
char bar_color_XXX[8] = "#FF8C00";
char bar_color_HIZ[8] = "#FFEBCD";

Windex::Windex(const char* labelString) {
  if (!useXDisplay) return;
  char title[100];
  snprintf(title, sizeof title, "%s%s", labelString, WindowLabelString);
  surface = openSurface(title, labelString, xPixels, yPixels);
  if (surface == nullptr) return;
  resetView();
  setSubWin();
}

Windex::~Windex() {
  delete surface;
  surface = nullptr;
}

void Windex::flush() {
  if (surface != nullptr) surface->flush();
}

// ---- Drawing primitives: world coordinates in, nothing drawn without a surface.

#define RECORD(op, text, ...)                                         \
  do {                                                                \
    if (recorder) {                                                   \
      const int recordArgs[] = {__VA_ARGS__};                         \
      recorder->record(op, recordArgs, static_cast<int>(sizeof recordArgs / sizeof(int)), text); \
    }                                                                 \
  } while (0)

void Windex::clear() {
  if (recorder) recorder->record("clear", nullptr, 0, nullptr);
  if (surface == nullptr) return;
  surface->clear();
}

void Windex::clearArea(int xs, int ys, int w, int h) {
  RECORD("clearArea", nullptr, xs, ys, w, h);
  if (surface == nullptr) return;
  const int width = wScale(w), height = hScale(h);
  // X reads a width or height of 0 as "to the window's edge": a pane too small for a pixel, or
  // the empty tile of a component drawn before the tiling, would wipe a whole band.
  if (width <= 0 || height <= 0) return;
  surface->clearArea(xScale(xs), yScale(ys), width, height);
}

void Windex::drawLine(int xs, int ys, int xe, int ye) {
  RECORD("drawLine", nullptr, xs, ys, xe, ye);
  if (surface == nullptr) return;
  surface->line(xScale(xs), yScale(ys), xScale(xe), yScale(ye), false);
}

void Windex::drawLine_BOLD(int xs, int ys, int xe, int ye) {
  RECORD("drawLine_BOLD", nullptr, xs, ys, xe, ye);
  if (surface == nullptr) return;
  surface->line(xScale(xs), yScale(ys), xScale(xe), yScale(ye), true);
}

void Windex::drawRectangle(int xs, int ys, int w, int h) {
  RECORD("drawRectangle", nullptr, xs, ys, w, h);
  if (surface == nullptr) return;
  surface->rectangle(xScale(xs), yScale(ys), wScale(w), hScale(h));
}

void Windex::drawCircle(int xs, int ys, int w, int h, int angle1, int angle2) {
  RECORD("drawCircle", nullptr, xs, ys, w, h, angle1, angle2);
  if (surface == nullptr) return;
  surface->arc(xScale(xs), yScale(ys), wScale(w), hScale(h), angle1, angle2);
}

void Windex::fillRectangle(Fill fill, int xs, int ys, int w, int h) {
  if (surface == nullptr) return;
  surface->fillRectangle(fill, xScale(xs), yScale(ys), wScale(w), hScale(h));
}

void Windex::drawFilledRectangle(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle", nullptr, xs, ys, w, h);
  fillRectangle(Fill::Foreground, xs, ys, w, h);
}

void Windex::drawFilledRectangle_ONE(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_ONE", nullptr, xs, ys, w, h);
  fillRectangle(Fill::ValueOne, xs, ys, w, h);
}

void Windex::drawFilledRectangle_ZERO(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_ZERO", nullptr, xs, ys, w, h);
  fillRectangle(Fill::ValueZero, xs, ys, w, h);
}

void Windex::drawFilledRectangle_UNINITIALIZED(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_UNINITIALIZED", nullptr, xs, ys, w, h);
  fillRectangle(Fill::ValueUninitialized, xs, ys, w, h);
}

void Windex::drawFilledRectangle_XXX(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_XXX", nullptr, xs, ys, w, h);
  fillRectangle(Fill::ValueXxx, xs, ys, w, h);
}

void Windex::drawFilledRectangle_HIZ(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_HIZ", nullptr, xs, ys, w, h);
  fillRectangle(Fill::ValueHiz, xs, ys, w, h);
}

void Windex::drawFilledCircle(int xs, int ys, int w, int h, int angle1, int angle2) {
  RECORD("drawFilledCircle", nullptr, xs, ys, w, h, angle1, angle2);
  if (surface == nullptr) return;
  surface->fillArc(xScale(xs), yScale(ys), wScale(w), hScale(h), angle1, angle2);
}

void Windex::drawText(int x, int y, const char* s) {
  if (s == nullptr) s = "";
  RECORD("drawText", s, x, y);
  if (surface == nullptr) return;
  surface->text(xScale(x), yScale(y), s);
}

void Windex::buttonPoint(int x, int y) {
  RECORD("buttonPoint", "X", x, y);
  if (surface == nullptr) return;
  surface->text(x, y, "X");
}

#undef RECORD

// ---- View and scaling, in single precision: the quotient first, then the pixel count.

int Windex::xScale(int x) const {
  float q = static_cast<float>(x - viewXs) / static_cast<float>(viewXe - viewXs);
  return static_cast<int>(static_cast<float>(xPixels) * q);
}

int Windex::yScale(int y) const {
  float q = static_cast<float>(y - viewYs) / static_cast<float>(viewYe - viewYs);
  return static_cast<int>(static_cast<float>(yPixels) * q);
}

int Windex::wScale(int w) const {
  float q = static_cast<float>(w) / static_cast<float>(viewXe - viewXs);
  return static_cast<int>(static_cast<float>(xPixels) * q);
}

int Windex::hScale(int h) const {
  float q = static_cast<float>(h) / static_cast<float>(viewYe - viewYs);
  return static_cast<int>(static_cast<float>(yPixels) * q);
}

namespace {

// The scale functions divide by the view's extents, so an empty view is never taken.
bool refuseEmptyView(int xs, int ys, int xe, int ye) {
  if (xs != xe && ys != ye) return false;
  standardError() << "Zoom ignored: the view " << xs << " " << ys << " " << xe << " " << ye
                  << " has zero width or height" << std::endl;
  return true;
}

}  // namespace

void Windex::setView(int xs, int ys, int xe, int ye) {
  if (refuseEmptyView(xs, ys, xe, ye)) return;
  viewXs = xs;
  viewYs = ys;
  viewXe = xe;
  viewYe = ye;
}

void Windex::getView(int* xs, int* ys, int* xe, int* ye) const {
  *xs = viewXs;
  *ys = viewYs;
  *xe = viewXe;
  *ye = viewYe;
}

void Windex::resetView() { setView(0, 0, worldSize, worldSize); }

void Windex::reviseView(int xa, int ya, int xb, int yb) {
  float xSpan = static_cast<float>(viewXe - viewXs);
  float ySpan = static_cast<float>(viewYe - viewYs);
  float xp = static_cast<float>(xPixels);
  float yp = static_cast<float>(yPixels);
  int xs = static_cast<int>(static_cast<float>(viewXs) + xSpan * static_cast<float>(xa) / xp);
  int xe = static_cast<int>(static_cast<float>(viewXs) + xSpan * static_cast<float>(xb) / xp);
  int ys = static_cast<int>(static_cast<float>(viewYs) + ySpan * static_cast<float>(ya) / yp);
  int ye = static_cast<int>(static_cast<float>(viewYs) + ySpan * static_cast<float>(yb) / yp);
  setView(xs, ys, xe, ye);
}

void Windex::showView() const {
  standardError() << "View: " << viewXs << " " << viewYs << " " << viewXe << " " << viewYe << std::endl;
}

void Windex::drawTimeAndQueue(unsigned long long t, int q, int s) {
  std::string text = "T=" + std::to_string(t) + " Q=" + std::to_string(q) + " S=" + std::to_string(s) + "        ";
  if (paneBatch::collecting) {
    paneBatch::addText(viewXs + (viewXe - viewXs) / 32, viewYs + (viewYe - viewYs) / 32, std::move(text));
    return;
  }
  drawText(viewXs + (viewXe - viewXs) / 32, viewYs + (viewYe - viewYs) / 32, text.c_str());
}

// ---- The sub-window frame.

void Windex::setSubWin() {
  int a = (viewXe - viewXs) >> 3;
  int b = (viewYe - viewYs) >> 3;
  subWinXs = viewXs + 3 * a;
  subWinXe = viewXs + 5 * a;
  subWinYs = viewYs + 3 * b;
  subWinYe = viewYs + 5 * b;
}

void Windex::drawSubWindow() {
  if (recorder) {
    const int args[] = {subWinXs, subWinYs, subWinXe - subWinXs, subWinYe - subWinYs};
    recorder->record("drawSubWindow", args, 4, nullptr);
  }
  if (surface == nullptr) return;
  surface->subWindowFrame(xScale(subWinXs), yScale(subWinYs), wScale(subWinXe - subWinXs),
                          hScale(subWinYe - subWinYs));
}
