#include <bit>
#include <ctime>
#include <cstdint>
#include <cstring>
#include <vector>

#include "display/FandCOp.h"
#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/WindowEv.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Activations.h"
#include "process/ErrorOutput.h"
#include "grading/KeyScript.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "output/SignalGroups.h"
#include "output/Waveform.h"
#include "process/EndProcess.h"
#include "process/Settings.h"

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

void startComponents() {
  const PhaseTwo& two = *phaseTwo;
  for (int i = 0; i < two.numberOfComponents; ++i)
    if (const ComponentFunction key = two.kindOf(i).xEventTriggered; key != nullptr) key(i);
}

bool pastStopTime(uint64_t time) { return stopTime != 0 && time > stopTime; }

// At full speed the window is looked at (its events served, the panes drawn that changed
// meanwhile) at most this often: faster than the eye, and far less often than every other pass.
constexpr int64_t lookIntervalNs = 10'000'000;

bool lookDue() {
  static int64_t last = 0;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const int64_t ns = static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  if (ns - last < lookIntervalNs) return false;
  last = ns;
  return true;
}

}  // namespace

PhaseFour::~PhaseFour() { delete activations; }

Activations& PhaseFour::activated() {
  if (activations == nullptr) activations = new Activations(phaseTwo->numberOfComponents);
  return *activations;
}

void PhaseFour::reset() {
  runInitialize();
  activated().allSet();
  startComponents();
}

[[gnu::always_inline]] inline void PhaseFour::evaluateActivated() {
  const PhaseTwo& two = *phaseTwo;
  const ComponentCore* const core = two.core;
  ++passes;
  Activations& set = activated();
  if (phaseFive == nullptr) {
    set.takeAscending([&](int i) {
      if (const ComponentFunction evaluate = core[i].logicEvaluate; evaluate != nullptr) evaluate(i);
    });
  } else {
    const ComponentRecord* const record = two.record;
    const uint64_t* const drawn = set.drawMasks(phaseFive->currentGraphicDisplayLevel);
    set.takeAscending([&](int i) {
      if (const ComponentFunction evaluate = core[i].logicEvaluate; evaluate != nullptr) evaluate(i);
      if ((drawn[static_cast<unsigned>(i) >> 6] >> (i & 63)) & 1) componentKind(record[i].kind).drawDynamic(i);
    });
    if (phaseFive->superProbeSelect) phaseFive->displaySuperProbes();
  }
}

[[gnu::always_inline]] inline void PhaseFour::applyEarliestEvents() {
  if (skewHeap.isEmpty()) return;
  SignalValue* const currentSignals = phaseThree->currentSignals;
  Activations& set = activated();
  const uint64_t now = skewHeap.root->time;
  time = now;
  appliedEvents += static_cast<uint64_t>(skewHeap.removeEarliest([&](const Event& e) {
    const int s = e.signalSerialNumber;
    const SignalValue v = e.sigValue;
    if (v != currentSignals[s]) {
      currentSignals[s] = v;
      if (waveformRecording) [[unlikely]] waveformChange(now, s, v);
      set.markWire(s, v);
    }
  }));
}

void PhaseFour::evaluatePass() { evaluateActivated(); }

void PhaseFour::applyNextTime() { applyEarliestEvents(); }

bool PhaseFour::settled() const { return skewHeap.isEmpty() && (activations == nullptr || !activations->any()); }

bool PhaseFour::settle(uint64_t passLimit) {
  for (uint64_t pass = 0; !settled(); ++pass) {
    if (pass == passLimit) return false;
    evaluateActivated();
    applyEarliestEvents();
  }
  return true;
}

// Nothing can change before the next window event.
bool PhaseFour::idle() const { return settled() && reStart == 0 && done == 0 && !keyScriptPending; }

// Every other pass may look at the X connection: in slow motion it does, at full speed once the
// look interval has passed; when nothing can change it sleeps there instead of spinning.
void PhaseFour::serveWindow(int& checkEventCountDown) {
  if (checkEventCountDown > 0) {
    --checkEventCountDown;
    return;
  }
  checkEventCountDown = 1;
  if (idle() && !pastStopTime(time)) {
    flushStandardError();
    phaseFive->windexPointer->waitForEvent();
  } else if (stallLevel == 0 && !lookDue()) {
    return;
  }
  drainWindowEvents();
}

// Slow motion: 2 to the power stallLevel waits of a millisecond after each pass, the window
// served meanwhile.
void PhaseFour::slowMotion() {
  Windex& window = *phaseFive->windexPointer;
  for (int stalls = 0; stalls < waitsForStallLevel(stallLevel);) {
    msWait();
    while (anyWindowEvents() != 0)
      if (displayTimeFlag != 0) window.drawTimeAndQueue(time, skewHeap.getLength(), stallLevel);
    flushStandardError();
    if (done != 0 || reStart != 0) break;
    ++stalls;
  }
}

void PhaseFour::run() {
  PhaseFive& five = *phaseFive;
  Windex& window = *five.windexPointer;

  keyScriptEndsRun = window.display == nullptr;
  // Written out in blocks from here on: a probe line each is too dear as a write each.
  bufferStandardError();
  signalGroupsRunStart();  // test vectors and the step table find their signals
  keyScriptCheck();
  waveformOpen();

  for (const char* c = FunctionKeyString; *c != '\0'; ++c) FunctionKeyOperate(*c - '0');
  for (const char* c = CursorKeyString; *c != '\0'; ++c) CursorKeyOperate(*c - '0');
  five.drawStartUp();

  reset();
  done = phaseTwo->numberOfComponents == 0 ? 1 : 0;
  int checkEventCountDown = 1;
  // Without a window nothing from outside can reach the run: a halt, or an empty queue with
  // nothing left to evaluate, would last for ever.
  const bool headless = window.display == nullptr;
  const bool collectDrawings = !headless && window.recorder == nullptr;

  while (done == 0) {
    if (pastStopTime(time)) break;
    if (headless && (haltFlag != 0 || idle())) break;
    if (haltFlag != 0) {
      // Only a window event can change anything while halted.
      flushStandardError();
      window.waitForEvent();
      drainWindowEvents();
      continue;
    }
    if (reStart != 0) {
      reset();
      reStart = 0;
    }
    // At full speed the pass's drawings are collected, and drawn at the next look.
    paneBatch::collecting = collectDrawings && stallLevel == 0;
    if (displayTimeFlag != 0) window.drawTimeAndQueue(time, skewHeap.getLength(), stallLevel);

    evaluateActivated();
    paneBatch::collecting = false;
    if (keyScriptPending) [[unlikely]] keyScriptStep();
    applyEarliestEvents();
    if (!headless) serveWindow(checkEventCountDown);
    // The end of the pass: what it wrote goes out before anything waits (held where no one
    // can see the passes).
    endOfPassStandardError();
    if (stallLevel != 0) slowMotion();
  }

  paneBatch::drawCollected();
  if (!headless) XFlush(window.display);
  keyScriptRunEnd();
  waveformClose();
  unbufferStandardError();
}
