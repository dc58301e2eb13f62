// Value panes: a rectangle that shows a wire's value by colour or line pattern.
#pragma once

#include "construction/Signal.h"

void shrink(float sf, int x, int y, int w, int h, int& xs, int& ys, int& ws, int& hs);
// How much smaller than its tile a component's pane is drawn.
constexpr float paneShrink = 0.25f;

void drawPane(int x, int y, int w, int h, SignalValue sv, bool is_probe, float shrinkFactor);
void drawPane_byte(int x, int y, int w, int h, SignalValue* sv, bool is_probe, float shrinkFactor);
void drawPane_byte_h(int x, int y, int w, int h, SignalValue* sv, bool is_probe, float shrinkFactor);
