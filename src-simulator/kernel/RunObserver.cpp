#include "kernel/RunObserver.h"

#include <algorithm>

#include "simulation/Simulation.h"

RunObservers& runObservers() { return Simulation::current().part<RunObservers>(); }

void observeRun(RunObserver& observer) {
  RunObservers& o = runObservers();
  o.registered.push_back(&observer);
  const auto at = std::upper_bound(o.byOrder.begin(), o.byOrder.end(), observer.order,
                                   [](int order, const RunObserver* r) { return order < r->order; });
  o.byOrder.insert(at, &observer);
  if (observer.watchesWires) o.wireWatchers.push_back(&observer);
  if (observer.watchesProbes) o.probeWatchers.push_back(&observer);
  if (observer.watchesSettlePoints) ++o.settleWatchers;
}

void scriptRun(RunScript& script) {
  RunObservers& o = runObservers();
  if (o.script != nullptr) {
    std::erase(o.registered, o.script);
    std::erase(o.byOrder, o.script);
  }
  o.script = &script;
  observeRun(script);
}

void RunObservers::runStart() const {
  for (RunObserver* r : registered) r->runStart();
}

void RunObservers::settlePoint(const SettlePoint& point) const {
  for (RunObserver* r : byOrder) r->settlePoint(point);
}

void RunObservers::runEnd() const {
  for (auto r = byOrder.rbegin(); r != byOrder.rend(); ++r) (*r)->runEnd();
}
