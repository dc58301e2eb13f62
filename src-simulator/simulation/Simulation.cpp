#include "simulation/Simulation.h"

#include <atomic>

namespace {

thread_local constinit Simulation* currentSimulation = nullptr;

}  // namespace

Simulation::Simulation() : before(currentSimulation) { currentSimulation = this; }

Simulation::~Simulation() {
  // Later parts may refer to earlier ones: released in the reverse order of their making.
  for (auto id = made.rbegin(); id != made.rend(); ++id) parts[static_cast<size_t>(*id)].reset();
  if (currentSimulation == this) currentSimulation = before;
}

Simulation& Simulation::current() {
  if (currentSimulation == nullptr) new Simulation();  // the program's own, kept until it ends
  return *currentSimulation;
}

int Simulation::newPartId() {
  static std::atomic<int> next{0};
  return next++;
}
