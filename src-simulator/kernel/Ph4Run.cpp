#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "display/FandCOp.h"
#include "display/Ph5.h"
#include "display/SchCell.h"
#include "display/Window.h"
#include "display/WindowEv.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Activations.h"
#include "kernel/KeyScript.h"
#include "kernel/Ph4.h"
#include "kernel/RunTime.h"
#include "kernel/Waveform.h"
#include "startup/Sim.h"

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
  const int n = phaseTwo->numberOfComponents;
  ComponentFunction* hooks = phaseTwo->xEventTriggered;
  for (int i = 0; i < n; ++i)
    if (hooks[i] != nullptr) hooks[i](i);
}

}  // namespace

void PhaseFour::run() {
  PhaseFive& five = *phaseFive;
  Windex& window = *five.windexPointer;
  const PhaseTwo& two = *phaseTwo;
  const int n = two.numberOfComponents;

  // Written out in blocks from here on: a probe line each is too dear as a write each.
  bufferStandardError();

  // Kept for the life of the display, since the tiling may refer into it; a later run tiles
  // afresh and releases the tree before.
  static SchematicCell* schematic = nullptr;
  if (schematic != nullptr) releaseSchematicCell(schematic);
  schematic = new SchematicCell();

  keyScriptCheck();
  waveformOpen();

  for (const char* c = FunctionKeyString; *c != '\0'; ++c) FunctionKeyOperate(*c - '0');
  for (const char* c = CursorKeyString; *c != '\0'; ++c) CursorKeyOperate(*c - '0');

  five.componentTiling(schematic);
  five.drawSchematic();
  five.superProbeCollect = 0;
  if (five.interconnectFlag) five.connect();
  five.drawPanes();
  if (five.superProbeSelect) five.displaySuperProbes();
  window.drawSubWindow();

  Activations activations(n);
  runInitialize();
  activations.allSet();
  startComponents();

  done = n == 0 ? 1 : 0;
  int checkEventCountDown = 1;

  // Without a window nothing from outside can reach the run: a halt, or an empty queue with
  // nothing left to evaluate, would last for ever.
  const bool headless = window.display == nullptr;
  auto pastStopTime = [&] { return stopTime != 0 && time > stopTime; };
  auto idle = [&] { return skewHeap.isEmpty() && !activations.any() && reStart == 0 && done == 0; };

  ComponentFunction* const logicEvaluate = two.logicEvaluate;
  ComponentFunction* const drawDynamic = two.drawDynamic;
  const int* const outputOverloadable = two.outputOverloadable;
  const int* const graphicLevel = two.graphicLevel;
  SignalValue* const currentSignals = phaseThree->currentSignals;

  while (done == 0) {
    if (pastStopTime()) break;
    if (headless && (haltFlag != 0 || idle())) break;

    if (haltFlag != 0) {
      // Only a window event can change anything while halted.
      flushStandardError();
      window.waitForEvent();
      drainWindowEvents();
      continue;
    }

    if (reStart != 0) {
      runInitialize();
      activations.allSet();
      startComponents();
      reStart = 0;
    }

    if (displayTimeFlag != 0) window.drawTimeAndQueue(time, skewHeap.getLength(), stallLevel);

    ++passes;
    const int level = five.currentGraphicDisplayLevel;
    activations.forEachAscending([&](int i) {
      if (logicEvaluate[i] != nullptr) logicEvaluate[i](i);
      if (drawDynamic[i] != nullptr &&
          (outputOverloadable[i] == 0 ? level >= graphicLevel[i] : level == graphicLevel[i]))
        drawDynamic[i](i);
    });

    if (five.superProbeSelect) five.displaySuperProbes();

    activations.clear();

    if (keyScriptPending) [[unlikely]] keyScriptStep();

    if (!skewHeap.isEmpty()) {
      const uint64_t now = skewHeap.root->time;
      time = now;
      do {
        const Event* top = skewHeap.root;
        const int s = top->signalSerialNumber;
        const SignalValue v = top->sigValue;
        if (v != currentSignals[s]) {
          currentSignals[s] = v;
          if (waveformRecording) [[unlikely]] waveformChange(now, s, v);
          activations.markWire(s);
        }
        skewHeap.removeMin();
        ++appliedEvents;
      } while (!skewHeap.isEmpty() && skewHeap.root->time == now);
    }

    if (checkEventCountDown > 0) {
      --checkEventCountDown;
    } else {
      // Nothing can change before the next window event: sleep on the connection instead of spinning.
      if (idle() && !pastStopTime()) {
        flushStandardError();
        window.waitForEvent();
      }
      drainWindowEvents();
      checkEventCountDown = 1;
    }

    // The end of the pass: what it wrote goes out before anything waits.
    flushStandardError();

    if (stallLevel != 0) {
      for (int stalls = 0; stalls < waitsForStallLevel(stallLevel);) {
        msWait();
        while (anyWindowEvents() != 0)
          if (displayTimeFlag != 0) window.drawTimeAndQueue(time, skewHeap.getLength(), stallLevel);
        flushStandardError();
        if (done != 0 || reStart != 0) break;
        ++stalls;
      }
    }
  }

  waveformClose();
  unbufferStandardError();
}
