#include "display/IconDraw.h"

#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"

int TrX(int x, int xs, int ws, int scale) {
  return static_cast<int>(static_cast<float>(ws) * static_cast<float>(x) / static_cast<float>(scale) +
                          static_cast<float>(xs));
}

int TrY(int y, int ys, int hs, int scale) {
  return static_cast<int>(static_cast<float>(hs) * static_cast<float>(y) / static_cast<float>(scale) +
                          static_cast<float>(ys));
}

void iconDraw(int cind, const int* icon) {
  Windex* win = phaseFive->windexPointer;
  const ScreenTile& tile = phaseTwo->record[cind].tile;
  const float x = static_cast<float>(tile.x), y = static_cast<float>(tile.y);
  const float w = static_cast<float>(tile.w), h = static_cast<float>(tile.h);

  const float dxBlank = 0.1f * w;
  const float dxTab = 0.05f * w;
  const float dxLine = 0.1f * w;
  const float dxComp = 0.5f * w;
  const float dyBlank = 0.1f * h;
  const float dyComp = 0.5f * h;
  const float dySpace = (h - 2 * dyBlank - dyComp) / 2;

  const int xs = static_cast<int>(x + dxBlank + dxTab + dxLine);
  const int ys = static_cast<int>(y + dyBlank + dySpace);
  const int ws = static_cast<int>(dxComp);
  const int hs = static_cast<int>(dyComp);

  // Body: polylines in a 1000 x 1000 box.
  const int numberOfPolylines = icon[0];
  const int* point = icon + 1 + numberOfPolylines;
  for (int p = 0; p < numberOfPolylines; ++p) {
    const int n = icon[1 + p];
    for (int j = 0; j + 1 < n; ++j) {
      const int* a = point + 2 * j;
      win->drawLine(TrX(a[0], xs, ws, 1000), TrY(a[1], ys, hs, 1000), TrX(a[2], xs, ws, 1000),
                    TrY(a[3], ys, hs, 1000));
    }
    if (n > 0) point += 2 * n;
  }

  const char* label = phaseTwo->record[cind].decal;
  if (phaseFive->labelGateFlag && label != nullptr) win->drawText(xs, ys, label);

  if (!phaseFive->drawComponentLeadsFlag) return;

  auto nameOf = [](int signal) {
    const char* name = phaseTwo->signalNames ? phaseTwo->signalNames[signal] : nullptr;
    return name != nullptr ? name : "";
  };

  const int numberOfControls = phaseTwo->core[cind].numberOfControlInputs;
  const int numberOfData = phaseTwo->core[cind].numberOfDataInputs;
  const int n = numberOfData + numberOfControls;
  if (n > 0) {
    const int d = hs / n;
    const double t = d * 0.2;
    const int leadStart = static_cast<int>(x + dxBlank + dxTab);
    const int tabLeft = static_cast<int>(x + dxBlank);
    const int tabWidth = static_cast<int>(dxTab);
    const int tabCentre = static_cast<int>(x + dxBlank + dxTab / 2);
    for (int i = 0; i < n; ++i) {
      // Control inputs on top (last first), then data inputs, most significant first.
      const int signal = i < numberOfControls ? phaseTwo->core[cind].controlInputs()[numberOfControls - 1 - i]
                                              : phaseTwo->core[cind].dataInputs()[n - 1 - i];
      const double c = d * (0.5 + i) + ys;
      const int yc = static_cast<int>(c);
      win->drawLine(leadStart, yc, xs, yc);
      if (phaseFive->labelLinesFlag) win->drawText(leadStart, yc, nameOf(signal));
      const int tabTop = static_cast<int>(c - t / 2);
      win->drawRectangle(tabLeft, tabTop, tabWidth, static_cast<int>(t));
      phaseFive->inTab.addTab(cind, signal, tabCentre, yc);
      if (phaseFive->superProbeCollect)
        phaseFive->superProbeList.addSuperProbe(signal, tabLeft, tabTop, tabWidth, static_cast<int>(t));
    }
  }

  const int m = phaseTwo->core[cind].numberOfOutputs;
  if (m >= 1) {
    const int d = hs / m;
    const double t = d * 0.2;
    const float xr = x + dxBlank + dxTab + dxLine + dxComp;
    const int leadStart = static_cast<int>(xr);
    const int leadEnd = static_cast<int>(xr + dxLine);
    const int tabWidth = static_cast<int>(dxTab);
    const int tabCentre = static_cast<int>(xr + dxLine + dxTab / 2);
    for (int j = 0; j < m; ++j) {
      const int signal = phaseTwo->core[cind].outputs()[m - 1 - j];
      const double c = d * (0.5 + j) + ys;
      const int yc = static_cast<int>(c);
      win->drawLine(leadStart, yc, leadEnd, yc);
      const int tabTop = static_cast<int>(c - t / 2);
      win->drawRectangle(leadEnd, tabTop, tabWidth, static_cast<int>(t));
      phaseFive->outTab.addTab(cind, signal, tabCentre, yc);
      if (phaseFive->superProbeCollect)
        phaseFive->superProbeList.addSuperProbe(signal, leadEnd, tabTop, tabWidth, static_cast<int>(t));
      if (phaseFive->labelLinesFlag) win->drawText(leadStart, yc, nameOf(signal));
    }
  }
}
