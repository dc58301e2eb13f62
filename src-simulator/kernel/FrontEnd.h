// What shows a run and what reaches it from outside while it goes on: the window, or a run
// without one. The run loop calls it around its passes; components shown at the front end's
// level of detail have their drawDynamic hook called after they are evaluated (a probe writes
// its line or draws its pane there).
#pragma once

#include <cstdint>

class PhaseFour;

class FrontEnd {
public:
  virtual ~FrontEnd() = default;

  // Read on every pass, without a call.
  const int* detailLevel = nullptr;  // components drawn at this level are shown
  const int* superProbes = nullptr;  // nonzero: showSuperProbes after every pass
  // Something outside (a window) can still change the run: it waits instead of ending when it
  // is halted or has nothing left to do.
  bool interactive = false;
  // Its drawings go somewhere (a window, a recorder of them): every component shown at its level
  // has its drawDynamic hook called. Otherwise all but those of kinds whose hook only draws
  // panes (ComponentKindRow::drawsOnlyPanes).
  bool showsPanes = false;

  // Before the reset: keys given on the command line, the first picture.
  virtual void runStart() {}
  virtual void showSuperProbes() {}
  // Around a pass's evaluation, for an interactive front end.
  virtual void beforePass(const PhaseFour&) {}
  virtual void afterEvaluation() {}
  // After a pass: events from outside served; idle says nothing can change before one comes.
  virtual void serve(bool idle) { (void)idle; }
  // The run is halted: waits for something from outside.
  virtual void waitWhileHalted() {}
  // Slow motion: the wait after a pass at the current slowness.
  virtual void slowMotion(const PhaseFour&) {}
  // The run ended (any way but a fatal error): the last picture brought up to date.
  virtual void runEnd() {}
};
