// What happens in a run, for everything that follows it: the outputs (probe lines, the
// waveform, the test vectors, the table per step), the script that presses keys, the window.
//
// An observer registers with the simulation being built (observeRun) and stays registered, not
// owned, until the simulation ends. At the run's start observers are called in the order they
// registered; at each settle point by their order (lower first, then in the order registered),
// and at the end in the reverse of that. Wire and probe changes reach only the observers that
// ask for them: a run without such observers pays nothing for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "construction/Signal.h"

// Settle points. A row is due after the reset and after each press, input setting and wait of
// the key script, once the circuit has settled (or, where it never settles, as a free-running
// clock keeps it busy, when the next step comes due or the run ends); a wait's row is due at
// once. The row that ends a step (its last press, the press after which its condition holds, or
// the one at its limit) is complete: step k's expectations are checked there.
struct SettlePoint {
  size_t step = 0;       // 0: the reset; k: step k (1-based)
  uint64_t row = 0;      // 0 for the reset, then one more per row
  uint64_t presses = 0;  // presses of step k made so far
  bool complete = true;
};

class RunObserver {
public:
  virtual ~RunObserver() = default;
  // The circuit is elaborated and about to run: names can be resolved, files opened.
  virtual void runStart() {}
  // Every wire was just set to its start value without events (run start, restart).
  virtual void wiresReset() {}
  // A row of the key script, with the wires and the time as they stand.
  virtual void settlePoint(const SettlePoint&) {}
  // A wire takes a new value (in increasing time order until the next reset).
  virtual void wireChange(uint64_t /*time*/, int /*wire*/, SignalValue /*value*/) {}
  // A probe shown at the current level of detail was evaluated: its input changed.
  virtual void probeChange(int /*component*/) {}
  // The run ended any way but a fatal error.
  virtual void runEnd() {}

  int order = 0;
  bool watchesWires = false;   // wiresReset and wireChange are called
  bool watchesProbes = false;  // probeChange is called
  bool watchesSettlePoints = false;  // settlePoint is called: the key script reports its rows
};

// What drives the run's inputs while it goes on (the key script): asked between a pass's
// evaluation and the advance in time, as long as pending is set.
class RunScript : public RunObserver {
public:
  bool pending = false;
  // Set by the run: a run without a window ends where the script says.
  bool endsRun = false;
  // Set by step() each time: it has nothing to do while the run is before this time and an event
  // is queued at it or earlier (0: no such wait). The run does not call it then.
  uint64_t waitsFor = 0;
  virtual void step() = 0;
};

// An observer made of plain functions, any of them null.
struct RunHooks : RunObserver {
  RunHooks(void (*start_)(), void (*settle_)(const SettlePoint&), void (*end_)(), int order_) noexcept
      : start(start_), settle(settle_), end(end_) {
    order = order_;
    watchesSettlePoints = settle_ != nullptr;
  }
  void (*start)();
  void (*settle)(const SettlePoint&);
  void (*end)();
  void runStart() override {
    if (start != nullptr) start();
  }
  void settlePoint(const SettlePoint& point) override {
    if (settle != nullptr) settle(point);
  }
  void runEnd() override {
    if (end != nullptr) end();
  }
};

// Registers an observer with the current simulation.
void observeRun(RunObserver& observer);
// The current simulation's script (one at most; a later one takes its place).
void scriptRun(RunScript& script);

// The observers of the current simulation, as the run calls them.
struct RunObservers {
  std::vector<RunObserver*> registered;  // in the order registered
  std::vector<RunObserver*> byOrder;     // by order, then registration
  std::vector<RunObserver*> wireWatchers;
  std::vector<RunObserver*> probeWatchers;
  int settleWatchers = 0;
  RunScript* script = nullptr;

  void runStart() const;
  void settlePoint(const SettlePoint& point) const;
  void runEnd() const;
};
RunObservers& runObservers();
