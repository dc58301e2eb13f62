// One simulation: the owner of what a run has beyond the hot arrays of the circuit (the key
// script, the test vectors, the table, the exit status and the rest), so that a program can build
// and run one circuit after another, or the same circuit twice, each from a clean start.
//
// Each subsystem keeps its state for one simulation in a part: a struct of its own, made the
// first time the subsystem asks for it and released with the simulation. Construction functions
// and the run reach the simulation being built or run on this thread, Simulation::current().
// A program that makes none has one made for it at the first use (an executable's main).
#pragma once

#include <memory>
#include <vector>

class Simulation {
public:
  // A new simulation becomes the current one on this thread, in place of the one before, which
  // is current again when this one is destroyed.
  Simulation();
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  static Simulation& current();

  // The part of this simulation of type Part (default-constructed on first use).
  template <class Part>
  Part& part();

  // The exit status the run has raised so far (a failed check, lost output): the highest given.
  void raiseStatus(int status) {
    if (status > raisedStatus) raisedStatus = status;
  }
  int status() const { return raisedStatus; }

private:
  struct PartBase {
    virtual ~PartBase() = default;
  };
  template <class Part>
  struct Holder : PartBase {
    Part value;
  };
  static int newPartId();
  template <class Part>
  static int partId() {
    static const int id = newPartId();
    return id;
  }

  std::vector<std::unique_ptr<PartBase>> parts;  // by part id
  std::vector<int> made;                         // part ids in the order made, released in reverse
  int raisedStatus = 0;
  Simulation* before = nullptr;
};

template <class Part>
Part& Simulation::part() {
  const size_t id = static_cast<size_t>(partId<Part>());
  if (id >= parts.size()) parts.resize(id + 1);
  if (parts[id] == nullptr) {
    parts[id] = std::make_unique<Holder<Part>>();
    made.push_back(static_cast<int>(id));
  }
  return static_cast<Holder<Part>*>(parts[id].get())->value;
}
