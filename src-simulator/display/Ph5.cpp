#include "display/Ph5.h"

#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
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

bool hasLongField(const char* position) {
  size_t fieldLength = 0;
  for (const char* p = position; *p != '\0'; ++p)
    if (*p == '.')
      fieldLength = 0;
    else if (++fieldLength > maxFieldLength)
      return true;
  return false;
}

// A position whose entry reports nothing: not empty, no field empty or too long.
bool plain(const char* position) {
  size_t fieldLength = 0;
  for (const char* p = position;; ++p) {
    if (*p == '.' || *p == '\0') {
      if (fieldLength == 0) return false;
      if (*p == '\0') return true;
      fieldLength = 0;
    } else if (++fieldLength > maxFieldLength) {
      return false;
    }
  }
}

// The position with every field cut to five characters; reports the cut when asked.
std::string cutFields(const char* position, bool report) {
  std::string cut;
  size_t fieldLength = 0;
  for (const char* p = position; *p != '\0'; ++p) {
    if (*p == '.')
      fieldLength = 0;
    else if (++fieldLength > maxFieldLength)
      continue;
    cut += *p;
  }
  if (report)
    standardError() << "Field longer than five characters in schematic cell designation: " << position
                    << " (cut to five)" << std::endl;
  return cut;
}

const char* positionOf(int c) {
  const char* rcpos = phaseTwo->record[c].rcpos;
  return rcpos != nullptr ? rcpos : "";
}

}  // namespace

// A component whose position text is the one of the component before (the elaboration shares
// it) gets the same rectangle, and when entering the text reports nothing, it enters the same
// cells: it is neither entered nor placed again. Nothing per component is held but its place in
// its stack.
void PhaseFive::componentTiling(SchematicCell* root) {
  const int n = phaseTwo->numberOfComponents;
  // Components that share a position string are stacked in registration order: order[i] is
  // i's place among them, counters[i] points at their number.
  std::vector<int> order(n);
  std::vector<const int*> counters(n);
  std::unordered_map<std::string_view, int> count;
  int* counter = nullptr;
  const char* before = nullptr;
  for (int i = 0; i < n; ++i) {
    const char* position = positionOf(i);
    if (counter == nullptr || position != before) counter = &count[position];
    before = position;
    order[i] = ++*counter;
    counters[i] = counter;
  }

  before = nullptr;
  for (int i = 0; i < n; ++i) {
    const char* position = positionOf(i);
    const bool repeat = i > 0 && position == before;
    before = position;
    if (repeat && plain(position)) continue;
    if (hasLongField(position))
      enterSchematicCell(root, cutFields(position, true).c_str());
    else
      enterSchematicCell(root, position);
  }

  before = nullptr;
  int x = 0, y = 0, w = worldSize, h = worldSize;
  for (int i = 0; i < n; ++i) {
    const char* position = positionOf(i);
    if (i == 0 || position != before) {
      x = 0, y = 0, w = worldSize, h = worldSize;
      if (hasLongField(position))
        schematicSubSpace(root, cutFields(position, false).c_str(), x, y, w, h);
      else
        schematicSubSpace(root, position, x, y, w, h);
    }
    before = position;
    const int total = *counters[i];
    ScreenTile& tile = phaseTwo->record[i].tile;
    tile.x = x;
    tile.w = w;
    tile.h = h / total;
    tile.y = y + static_cast<int>(static_cast<int64_t>(order[i] - 1) * h / total);
  }
}

void PhaseFive::tile() {
  if (schematic != nullptr) releaseSchematicCell(schematic);
  schematic = new SchematicCell();
  componentTiling(schematic);
}

// Without a window or a recorder no drawing is seen: the icons, their lead tabs, the lines
// between them and the super probes (shown only in a window) are left out then, which for a
// big circuit saves most of the start-up's memory. The panes are drawn all the same, since
// some of them write probe lines.
void PhaseFive::drawStartUp() {
  tile();
  const bool shown = windexPointer->showsDrawings();
  if (shown) drawSchematic();
  superProbeCollect = 0;
  if (shown && interconnectFlag) connect();
  drawPanes();
  if (shown && superProbeSelect) displaySuperProbes();
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
