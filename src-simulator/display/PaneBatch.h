// Pane drawing collected between two looks at the X connection while the run goes at full speed.
//
// A pane that changes many times between two looks is drawn once, when the window is next
// looked at (or before the run waits or ends), with exactly the pixels the whole series of
// drawings would have left: each pane's clear rectangle shows its last value; the outline and
// line pixels that a drawing leaves outside that rectangle are the same for every value of a
// probe pane, and for a plain pane they are drawn once for every other value the pane showed
// meanwhile. Panes are drawn in the order of their last drawing. In slow motion, at start-up and
// while window events are served nothing is collected: every drawing goes out at once.
#pragma once

#include <string>

#include "construction/Signal.h"
#include "process/ThreadLocal.h"

class Windex;

// How a pane strip is drawn: probe strips are cleared, filled with the value's colour and
// outlined; plain panes (switches) show the value by line pattern.
enum class PaneStyle : unsigned char { probe, plain };

// One pane strip: the rectangle cleared and the rectangle drawn, in world coordinates.
struct PaneStrip {
  int clearX, clearY, clearW, clearH;
  int x, y, w, h;
  PaneStyle style;
};

// Draws a strip at once, as its value requires.
void drawPaneStrip(Windex& window, const PaneStrip& strip, SignalValue value);

namespace paneBatch {

// True while drawings are collected (set by the run loop around its evaluation passes); the
// current thread's.
extern TAVRIN_THREAD_LOCAL bool collecting;

// Collects a strip's drawing in place of drawing it.
void add(const PaneStrip& strip, SignalValue value);
// Collects the time and queue text (drawn at world x, y) in place of drawing it.
void addText(int x, int y, std::string text);
// Draws everything collected, into the X connection's output buffer, and forgets it.
void drawCollected();
// Drawings collected and not yet drawn.
bool pending();

}  // namespace paneBatch
