// Several simulations at once in one process, each on a thread of its own.
#pragma once

#include <string>
#include <vector>

// One simulation to run: its command line as main receives it (args[0] is the program name, used
// in messages, then the options) and the function that builds its circuit.
struct SimulationJob {
  std::vector<std::string> args;
  void (*build)() = nullptr;
};

// What one simulation gave: its exit status and everything it wrote to standard output and to
// standard error, in order.
struct SimulationResult {
  int status = 0;
  std::string out;
  std::string err;
};

// Runs every job, each as simulate(args, build) from a clean start (startup/Sim.h), on a pool of
// threads threads (at least 1, at most one per job; the calling thread waits), and returns their
// results in the order of jobs. A job writes to its result's strings, never to the process's
// standard output or standard error, so that its result is the same on 1 thread as on many, and
// the same as what a process of the executable with that command line writes (without the key
// help and colour legend that main writes before the simulation). Files a job writes (-V, -s,
// -o) are its own: jobs must not write the same file.
//
// Before any thread starts, every job's command line is read on the calling thread, its vector
// and script files included. A job whose command line asks for the window (no -X) is not run:
// its result has status 2 and the message
//   <program>: simulateEach: a simulation on a thread runs without the window: give -X
// An error in a command line that would end the executable (a bad option, an unreadable vector
// file, -h) ends the process right there, as that executable would end: the job's messages on
// standard error, its status. An error found later, inside a running job (the circuit's fatal
// diagnostics, an output file that cannot be written, a -k error at run time), ends the process
// in the same way from that job's thread, with what the job wrote so far, while the other jobs'
// output is lost (see endProcess in process/EndProcess.h).
//
// Component kinds (defineComponentKind) must be defined before: while jobs run, the table of
// kinds is read by every thread, and a definition then ends the process with status 1.
// threads below 1 is taken as 1. Only the calling thread's own state is left as it was.
std::vector<SimulationResult> simulateEach(const std::vector<SimulationJob>& jobs, int threads);
