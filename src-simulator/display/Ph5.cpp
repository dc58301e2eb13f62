#include "display/Ph5.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/IconDraw.h"
#include "display/RunView.h"
#include "display/Window.h"
#include "elaboration/Ph2.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseFive* phaseFive = nullptr;

const char* const windowTitle = "Tavrin v" TAVRIN_VERSION_DIGITS;

PhaseFive::PhaseFive() : windexPointer(new Windex(windowTitle)) {}

PhaseFive::~PhaseFive() {
  delete runView;
  runView = nullptr;
  delete windexPointer;
  windexPointer = nullptr;
  superProbeList.clear();
  inTab.clear();
  outTab.clear();
  if (schematic != nullptr) releaseSchematicCell(schematic);
  schematic = nullptr;
}

bool PhaseFive::isVisible(int cind) const {
  const int level = phaseTwo->record[cind].graphicLevel;
  if (phaseTwo->kindOf(cind).outputOverloadable) return currentGraphicDisplayLevel == level;
  return currentGraphicDisplayLevel >= level;
}

namespace {

constexpr size_t maxFieldLength = 5;

// The position with every field cut to five characters; reports a cut once per component.
std::string cutFields(const char* position) {
  std::string cut;
  bool shortened = false;
  size_t fieldLength = 0;
  for (const char* p = position; *p != '\0'; ++p) {
    if (*p == '.') {
      fieldLength = 0;
    } else if (++fieldLength > maxFieldLength) {
      shortened = true;
      continue;
    }
    cut += *p;
  }
  if (shortened)
    standardError() << "Field longer than five characters in schematic cell designation: " << position
                    << " (cut to five)" << std::endl;
  return cut;
}

}  // namespace

void PhaseFive::componentTiling(SchematicCell* root) {
  const int n = phaseTwo->numberOfComponents;
  // Components that share a position string are stacked in registration order.
  std::vector<int> order(n), total(n);
  std::unordered_map<std::string, int> count;
  std::vector<std::string> positions(n);
  for (int i = 0; i < n; ++i) {
    const char* rcpos = phaseTwo->record[i].rcpos;
    positions[i] = rcpos != nullptr ? rcpos : "";
    order[i] = ++count[positions[i]];
  }
  for (int i = 0; i < n; ++i) total[i] = count[positions[i]];

  std::vector<std::string> cut(n);
  for (int i = 0; i < n; ++i) {
    cut[i] = cutFields(positions[i].c_str());
    enterSchematicCell(root, cut[i].c_str());
  }

  for (int i = 0; i < n; ++i) {
    int x = 0, y = 0, w = worldSize, h = worldSize;
    schematicSubSpace(root, cut[i].c_str(), x, y, w, h);
    ScreenTile& tile = phaseTwo->record[i].tile;
    tile.x = x;
    tile.w = w;
    tile.h = h / total[i];
    tile.y = y + static_cast<int>(static_cast<int64_t>(order[i] - 1) * h / total[i]);
  }
}

void PhaseFive::tile() {
  if (schematic != nullptr) releaseSchematicCell(schematic);
  schematic = new SchematicCell();
  componentTiling(schematic);
}

void PhaseFive::drawStartUp() {
  tile();
  drawSchematic();
  superProbeCollect = 0;
  if (interconnectFlag) connect();
  drawPanes();
  if (superProbeSelect) displaySuperProbes();
  windexPointer->drawSubWindow();
}

void PhaseFive::drawSchematic() {
  for (int i = 0; i < phaseTwo->numberOfComponents; ++i)
    if (phaseTwo->record[i].iconArray != nullptr && isVisible(i)) iconDraw(i, phaseTwo->record[i].iconArray);
}

void PhaseFive::drawPanes() {
  for (int i = 0; i < phaseTwo->numberOfComponents; ++i)
    if (const ComponentFunction draw = phaseTwo->kindOf(i).drawDynamic; draw != nullptr && isVisible(i)) draw(i);
}

void PhaseFive::connect() {
  // Input tabs grouped by wire, each group in list order, so that every output tab meets only
  // the inputs of its own wire.
  const int signals = phaseTwo->numberOfSignals;
  std::vector<int> first(signals + 1, 0);
  int inputs = 0;
  for (Tab* q = inTab.start; q != nullptr; q = q->link)
    if (q->signalIndex >= 0 && q->signalIndex < signals) {
      ++first[q->signalIndex + 1];
      ++inputs;
    }
  for (int s = 0; s < signals; ++s) first[s + 1] += first[s];
  std::vector<Tab*> bySignal(inputs);
  std::vector<int> fill(first.begin(), first.end() - 1);
  for (Tab* q = inTab.start; q != nullptr; q = q->link)
    if (q->signalIndex >= 0 && q->signalIndex < signals) bySignal[fill[q->signalIndex]++] = q;

  Windex* win = windexPointer;
  for (Tab* p = outTab.start; p != nullptr; p = p->link) {
    if (p->signalIndex < 0 || p->signalIndex >= signals) continue;
    for (int k = first[p->signalIndex]; k < first[p->signalIndex + 1]; ++k) {
      const Tab* q = bySignal[k];
      if (!connectMuxOnlyFlag || phaseTwo->record[q->cmp].kind == ComponentKind::Mux)
        win->drawLine(p->xc, p->yc, q->xc, q->yc);
    }
  }
  inTab.clear();
  outTab.clear();
}
