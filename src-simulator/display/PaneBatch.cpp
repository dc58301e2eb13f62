#include "display/PaneBatch.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "display/Ph5.h"
#include "display/Window.h"
#include "process/ThreadLocal.h"

namespace {

void fillWithValue(Windex& win, SignalValue sv, int x, int y, int w, int h) {
  switch (sv) {
    case ZERO: win.drawFilledRectangle_ZERO(x, y, w, h); break;
    case ONE: win.drawFilledRectangle_ONE(x, y, w, h); break;
    case XXX: win.drawFilledRectangle_XXX(x, y, w, h); break;
    case UNINITIALIZED: win.drawFilledRectangle_UNINITIALIZED(x, y, w, h); break;
    case HIZ: win.drawFilledRectangle_HIZ(x, y, w, h); break;
  }
}

struct Collected {
  PaneStrip strip;
  SignalValue last;
  unsigned char shown;  // a bit per value drawn since the last look
  uint64_t order;       // when it was last drawn
};

struct StripKey {
  int x, y, w, h;
  PaneStyle style;
  bool operator==(const StripKey&) const = default;
};

struct StripHash {
  size_t operator()(const StripKey& k) const {
    uint64_t h = static_cast<uint32_t>(k.x) * 0x9E3779B97F4A7C15ULL;
    h ^= (static_cast<uint64_t>(static_cast<uint32_t>(k.y)) << 1) * 0xC2B2AE3D27D4EB4FULL;
    h ^= static_cast<uint64_t>(static_cast<uint32_t>(k.w)) * 0x165667B19E3779F9ULL;
    h ^= static_cast<uint64_t>(static_cast<uint32_t>(k.h) * 31 + static_cast<uint32_t>(k.style));
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

// What is collected is the current thread's, like the window it is drawn into.
thread_local std::vector<Collected> strips;
thread_local std::unordered_map<StripKey, size_t, StripHash> where;
TAVRIN_THREAD_LOCAL uint64_t drawings = 0;

// The time text: each text drawn since the last look that still shows beyond the end of the
// texts drawn after it (a shorter text leaves the tail of a longer one), oldest first.
struct Text {
  std::vector<std::string> shown;
  int x = 0, y = 0;
  uint64_t order = 0;
};
thread_local Text text;

TAVRIN_THREAD_LOCAL bool anything = false;

}  // namespace

void drawPaneStrip(Windex& win, const PaneStrip& s, SignalValue sv) {
  win.clearArea(s.clearX, s.clearY, s.clearW, s.clearH);
  if (s.style == PaneStyle::probe) {
    fillWithValue(win, sv, s.x, s.y, s.w, s.h);
    win.drawRectangle(s.x, s.y, s.w, s.h);
    return;
  }
  switch (sv) {
    case ONE: win.drawFilledRectangle(s.x, s.y, s.w, s.h); break;
    case ZERO: win.drawRectangle(s.x, s.y, s.w, s.h); break;
    case XXX:
      win.drawRectangle(s.x, s.y, s.w, s.h);
      win.drawLine(s.x, s.y, s.x + s.w, s.y + s.h);
      win.drawLine(s.x, s.y + s.h, s.x + s.w, s.y);
      break;
    case UNINITIALIZED:
      win.drawRectangle(s.x, s.y, s.w, s.h);
      win.drawLine(s.x, s.y + s.h, s.x + s.w, s.y);
      break;
    case HIZ:
      win.drawRectangle(s.x, s.y, s.w, s.h);
      win.drawLine(s.x, s.y + s.h / 2, s.x + s.w, s.y + s.h / 2);
      break;
  }
}

namespace paneBatch {

TAVRIN_THREAD_LOCAL bool collecting = false;

void add(const PaneStrip& strip, SignalValue value) {
  const StripKey key{strip.x, strip.y, strip.w, strip.h, strip.style};
  const auto [at, fresh] = where.try_emplace(key, strips.size());
  if (fresh) {
    strips.push_back({strip, value, 0, 0});
  }
  Collected& c = strips[at->second];
  c.strip = strip;
  c.last = value;
  c.shown |= static_cast<unsigned char>(1u << value);
  c.order = ++drawings;
  anything = true;
}

void addText(int x, int y, std::string s) {
  while (!text.shown.empty() && text.shown.back().size() <= s.size()) text.shown.pop_back();
  text.shown.push_back(std::move(s));
  text.x = x;
  text.y = y;
  text.order = ++drawings;
  anything = true;
}

bool pending() { return anything; }

void drawCollected() {
  if (!anything) return;
  anything = false;
  Windex* win = phaseFive != nullptr ? phaseFive->windexPointer : nullptr;
  if (win == nullptr) {
    strips.clear();
    where.clear();
    text.shown.clear();
    return;
  }
  // Panes do not overlap one another; the order of last drawings keeps the rare overlap of a
  // pane and the time text as it was.
  std::sort(strips.begin(), strips.end(), [](const Collected& a, const Collected& b) { return a.order < b.order; });
  bool textDrawn = text.shown.empty();
  auto drawText = [&] {
    for (const std::string& s : text.shown) win->drawText(text.x, text.y, s.c_str());
    text.shown.clear();
    textDrawn = true;
  };
  for (const Collected& c : strips) {
    if (!textDrawn && text.order < c.order) drawText();
    // A plain pane's line patterns reach past its clear rectangle: those of every other value
    // it showed stay on the screen, so each such value is drawn once before the last.
    if (c.strip.style == PaneStyle::plain)
      for (int v = ZERO; v <= ONE; ++v)
        if (v != c.last && (c.shown >> v & 1) != 0) drawPaneStrip(*win, c.strip, static_cast<SignalValue>(v));
    drawPaneStrip(*win, c.strip, c.last);
  }
  if (!textDrawn) drawText();
  strips.clear();
  where.clear();
}

}  // namespace paneBatch
