// The view of a run: the window when there is one, else the run without one. It shows the
// components at the display's level of detail (a probe's pane is drawn as its input changes),
// serves the window's events between passes, and keeps slow motion.
#pragma once

#include "kernel/FrontEnd.h"
#include "kernel/RunObserver.h"

class PhaseFive;

class RunView : public FrontEnd {
public:
  // Shows the run on five's window; interactive when the window is open.
  explicit RunView(PhaseFive& five);

  void runStart() override;
  void showSuperProbes() override;
  void beforePass(const PhaseFour& four) override;
  void afterEvaluation() override;
  void serve(bool idle) override;
  void waitWhileHalted() override;
  void slowMotion(const PhaseFour& four) override;
  void runEnd() override;

  // Draws a probe's pane as its input changes; watches probes when the run asked for a window.
  struct ProbePanes : RunObserver {
    void probeChange(int component) override;
  } probePanes;

private:
  PhaseFive& five;
  bool collectDrawings = false;
  int checkEventCountDown = 1;
};
