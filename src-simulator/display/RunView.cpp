#include "display/RunView.h"

#include <ctime>
#include <cstdint>

#include "display/FandCOp.h"
#include "display/Pane.h"
#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowEv.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "kernel/RunTime.h"
#include "process/Settings.h"
#include "process/ThreadLocal.h"

namespace {

// 2 to the power level, clamped so that no level overflows the count of 1 ms waits.
inline int waitsForStallLevel(int level) {
  if (level <= 0) return 1;
  if (level >= 30) return 1 << 30;
  return 1 << level;
}

void drainWindowEvents() {
  while (anyWindowEvents() != 0) {
  }
}

// At full speed the window is looked at (its events served, the panes drawn that changed
// meanwhile) at most this often: faster than the eye, and far less often than every other pass.
constexpr int64_t lookIntervalNs = 10'000'000;

bool lookDue() {
  static TAVRIN_THREAD_LOCAL int64_t last = 0;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const int64_t ns = static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  if (ns - last < lookIntervalNs) return false;
  last = ns;
  return true;
}

}  // namespace

RunView::RunView(PhaseFive& five_) : five(five_) {
  detailLevel = &five.currentGraphicDisplayLevel;
  superProbes = &five.superProbeSelect;
  const Windex& window = *five.windexPointer;
  interactive = window.isOpen();
  showsPanes = window.isOpen() || window.recorder != nullptr;
  collectDrawings = interactive && window.recorder == nullptr;
  probePanes.watchesProbes = useXDisplay != 0;
}

void RunView::runStart() {
  const Windex& window = *five.windexPointer;
  showsPanes = window.isOpen() || window.recorder != nullptr;  // a recorder may come after the view
  for (const char* c = FunctionKeyString; *c != '\0'; ++c) FunctionKeyOperate(*c - '0');
  for (const char* c = CursorKeyString; *c != '\0'; ++c) CursorKeyOperate(*c - '0');
  five.drawStartUp();
  checkEventCountDown = 1;
}

void RunView::showSuperProbes() { five.displaySuperProbes(); }

void RunView::beforePass(const PhaseFour& four) {
  // At full speed the pass's drawings are collected, and drawn at the next look.
  paneBatch::collecting = collectDrawings && stallLevel == 0;
  if (displayTimeFlag != 0) five.windexPointer->drawTimeAndQueue(four.now(), four.queueLength(), stallLevel);
}

void RunView::afterEvaluation() { paneBatch::collecting = false; }

// Every other pass may look at the X connection: in slow motion it does, at full speed once the
// look interval has passed; when nothing can change it sleeps there instead of spinning.
void RunView::serve(bool idle) {
  if (checkEventCountDown > 0) {
    --checkEventCountDown;
    return;
  }
  checkEventCountDown = 1;
  if (idle) {
    flushStandardError();
    five.windexPointer->waitForEvent();
  } else if (stallLevel == 0 && !lookDue()) {
    return;
  }
  drainWindowEvents();
}

void RunView::waitWhileHalted() {
  five.windexPointer->waitForEvent();
  drainWindowEvents();
}

// Slow motion: 2 to the power stallLevel waits of a millisecond after each pass, the window
// served meanwhile.
void RunView::slowMotion(const PhaseFour& four) {
  Windex& window = *five.windexPointer;
  for (int stalls = 0; stalls < waitsForStallLevel(stallLevel);) {
    msWait();
    while (anyWindowEvents() != 0)
      if (displayTimeFlag != 0) window.drawTimeAndQueue(four.now(), four.queueLength(), stallLevel);
    flushStandardError();
    if (done != 0 || reStart != 0) break;
    ++stalls;
  }
}

void RunView::runEnd() {
  paneBatch::drawCollected();
  if (interactive) five.windexPointer->flush();
}

void RunView::ProbePanes::probeChange(int component) {
  const ScreenTile& t = phaseTwo->record[component].tile;
  drawPane(t.x, t.y, t.w, t.h, dataInputValue(component, 0), true, paneShrink);
}
