#include "display/Pane.h"

#include "display/Ph5.h"
#include "display/Window.h"

namespace {

// The window to draw into, or null when nothing would be drawn (no display, nothing recording):
// headless runs then skip the pane arithmetic, which clocks and switches ask for every pass.
Windex* window() {
  Windex* win = phaseFive != nullptr ? phaseFive->windexPointer : nullptr;
  return (win != nullptr && (win->display != nullptr || win->recorder != nullptr)) ? win : nullptr;
}

bool isLevel(SignalValue sv) { return sv >= ZERO && sv <= ONE; }

void fillWithValue(Windex* win, SignalValue sv, int x, int y, int w, int h) {
  switch (sv) {
    case ZERO: win->drawFilledRectangle_ZERO(x, y, w, h); break;
    case ONE: win->drawFilledRectangle_ONE(x, y, w, h); break;
    case XXX: win->drawFilledRectangle_XXX(x, y, w, h); break;
    case UNINITIALIZED: win->drawFilledRectangle_UNINITIALIZED(x, y, w, h); break;
    case HIZ: win->drawFilledRectangle_HIZ(x, y, w, h); break;
  }
}

}  // namespace

void shrink(float sf, int x, int y, int w, int h, int& xs, int& ys, int& ws, int& hs) {
  hs = static_cast<int>(static_cast<float>(h) * sf);
  ws = static_cast<int>(static_cast<float>(w) * sf);
  xs = static_cast<int>(static_cast<float>(x) + static_cast<float>((w - ws) / 2));
  ys = static_cast<int>(static_cast<float>(y) + static_cast<float>((h - hs) / 2));
}

void drawPane(int x, int y, int w, int h, SignalValue sv, bool is_probe, float shrinkFactor) {
  Windex* win = window();
  if (win == nullptr) return;
  int xs, ys, ws, hs;
  shrink(shrinkFactor, x, y, w, h, xs, ys, ws, hs);
  if (!isLevel(sv)) return;
  win->clearArea(xs, ys, ws, hs);
  if (is_probe) {
    fillWithValue(win, sv, xs, ys, ws, hs);
    win->drawRectangle(xs, ys, ws, hs);
    return;
  }
  switch (sv) {
    case ONE: win->drawFilledRectangle(xs, ys, ws, hs); break;
    case ZERO: win->drawRectangle(xs, ys, ws, hs); break;
    case XXX:
      win->drawRectangle(xs, ys, ws, hs);
      win->drawLine(xs, ys, xs + ws, ys + hs);
      win->drawLine(xs, ys + hs, xs + ws, ys);
      break;
    case UNINITIALIZED:
      win->drawRectangle(xs, ys, ws, hs);
      win->drawLine(xs, ys + hs, xs + ws, ys);
      break;
    case HIZ:
      win->drawRectangle(xs, ys, ws, hs);
      win->drawLine(xs, ys + hs / 2, xs + ws, ys + hs / 2);
      break;
  }
}

// Byte strips always show the value colours, probe or not.
void drawPane_byte(int x, int y, int w, int h, SignalValue* sv, bool, float shrinkFactor) {
  Windex* win = window();
  if (win == nullptr) return;
  int xs, ys, ws, hs;
  shrink(shrinkFactor, x, y, w, h, xs, ys, ws, hs);
  int s = hs / 8;
  int f = static_cast<int>(s * 0.7);
  for (int i = 0; i < 8; ++i) {
    if (!isLevel(sv[i])) continue;
    win->clearArea(xs, ys + i * s, ws, f);
    fillWithValue(win, sv[i], xs, ys + i * s, ws, f);
    win->drawRectangle(xs, ys + i * s, ws, f);
  }
}

void drawPane_byte_h(int x, int y, int w, int h, SignalValue* sv, bool, float shrinkFactor) {
  Windex* win = window();
  if (win == nullptr) return;
  int xs, ys, ws, hs;
  shrink(shrinkFactor, x, y, w, h, xs, ys, ws, hs);
  int s = ws / 8;
  int f = static_cast<int>(s * 0.7);
  for (int i = 0; i < 8; ++i) {
    if (!isLevel(sv[i])) continue;
    win->clearArea(xs + i * s, ys, s, hs);
    fillWithValue(win, sv[i], xs + i * s, ys, f, hs);
    win->drawRectangle(xs + i * s, ys, f, hs);
  }
}
