// Draws a component's icon, label and leads inside its tile.
#pragma once

void iconDraw(int cind, const int* icon);

int TrX(int x, int xs, int ws, int scale);
int TrY(int y, int ys, int hs, int scale);
