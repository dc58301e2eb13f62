#include "display/Pane.h"

#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"

namespace {

// The window to draw into, or null when nothing would be drawn (no display, nothing recording):
// headless runs then skip the pane arithmetic, which clocks and switches ask for every pass.
Windex* window() {
  Windex* win = phaseFive != nullptr ? phaseFive->windexPointer : nullptr;
  return (win != nullptr && (win->isOpen() || win->recorder != nullptr)) ? win : nullptr;
}

bool isLevel(SignalValue sv) { return sv >= ZERO && sv <= ONE; }

void strip(Windex& win, const PaneStrip& s, SignalValue sv) {
  if (paneBatch::collecting) {
    paneBatch::add(s, sv);
  } else {
    drawPaneStrip(win, s, sv);
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
  strip(*win, {xs, ys, ws, hs, xs, ys, ws, hs, is_probe ? PaneStyle::probe : PaneStyle::plain}, sv);
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
    strip(*win, {xs, ys + i * s, ws, f, xs, ys + i * s, ws, f, PaneStyle::probe}, sv[i]);
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
    strip(*win, {xs + i * s, ys, s, hs, xs + i * s, ys, f, hs, PaneStyle::probe}, sv[i]);
  }
}
