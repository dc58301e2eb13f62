// tavrin-bench: how fast the kernel runs the processor, how its cost grows with circuit size, and
// how fast it runs a large combinational circuit fed by timed key steps.
//
//   tavrin-bench [--probes] [--scale N] [--jobs N] CYCLES
//   tavrin-bench --gates N CYCLES
//   tavrin-bench --multiplier VECTORS
//   tavrin-bench --netlist FILE
//
// Without --scale: the processor (BasicPipe + Memory), reset by a PowerOn and clocked by a
// Clock, run headless for CYCLES clock cycles; --probes adds the 425 one-bit probes of the
// simulator's own layout, their lines sent to /dev/null. With --scale N: N copies of a
// gate-level 16-bit counter on one clock instead (from 2,000 copies on with a few Rams). Prints
// one key=value line per run and a second line with the start-up cost (and, for the counters,
// the peak memory per component). With --gates N: N two-input gates in random connection, a
// netlist rather than a design of repeated modules, run and reported like the counters. With
// --multiplier: the 16x16 gate-level array multiplier of
// ArrayMultiplier.h, its 32 operand switches toggled by timed key steps (one operand pair every
// multiplierPeriod time units, a fixed pseudo-random sequence), a Probe on each product bit, its
// lines sent to /dev/null; every product is checked when it has settled, and a wrong or unsettled
// one ends the benchmark with status 1. With --netlist: tavrin-net's start-up on a netlist file
// (read and checked, placed, built, elaborated, tiled), each step timed, one key=value line.
//
// With --jobs N (the processor or the counters): the same run as N simulations at once, each on a
// thread of its own with its standard streams captured (process/StandardStreams.h), started
// together once all are built; first as one job alone on a thread, then as N. Prints one line
// with the total throughput of the N (cycles/s summed over the jobs, from their common start to
// the end of the last) and its ratio to the one job's.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ArrayMultiplier.h"
#include "RippleCounter.h"
#include "construction/Ph1.h"
#include "construction/addStCmp.h"
#include "display/Ph5.h"
#include "display/SchCell.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "elaboration/Ph3.h"
#include "grading/KeyScript.h"
#include "kernel/Ph4.h"
#include "kernel/RunObserver.h"
#include "netlist/Builder.h"
#include "netlist/NetlistFile.h"
#include "netlist/Placement.h"
#include "pipeline.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"

namespace {

using Clock_ = std::chrono::steady_clock;

double msSince(Clock_::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock_::now() - start).count();
}

// The run first tiles and draws the schematic, which costs far more for a big circuit than
// for a small one; the timing starts with the first evaluation pass instead, taken by an
// invisible component without pins (the reset activates every component).
// The current thread's run (with --jobs, each job's).
thread_local Clock_::time_point loopStart;
thread_local bool loopStarted = false;

void markLoopStart(int) {
  if (loopStarted) return;
  loopStart = Clock_::now();
  loopStarted = true;
}

const ComponentKind timerKind = defineComponentKind({.name = "Timer", .logicEvaluate = markLoopStart});

void addTimer() {
  const int saved = visibleFlag;
  visibleFlag = 0;
  addComponent(timerKind, SD("zz"), {});
  visibleFlag = saved;
}

// The processor's clock: period 1000, each edge 9 steps late, so a cycle is 1018 steps; the
// slowest settling after an edge takes about 360.
constexpr int processorCycle = processorCycleSteps;
bool withProbes = false;


void processor() {
  const ProcessorSignals s;
  ClockedProcessor(s);
  if (withProbes) ProcessorProbes(s);
}

// The scaling circuit: copies of a 16-bit counter (flip-flops and a ripple incrementer of
// gates, 46 components each), all on one clock, as a synchronous design of any size would be.
constexpr int counterCycle = 518;  // period 500 plus the edges' delays
constexpr int counterFirstEdge = 100;
int copies = 0;

std::string cell(int k, const char* inner) {
  std::string s{static_cast<char>('a' + k / 676 % 26), static_cast<char>('a' + k / 26 % 26), '.',
                static_cast<char>('a' + k % 26), 'a', '.'};
  return s + inner;
}

void counters() {
  Signal reset(1, "reset"), clk(1, "clk");
  PowerOn(SD("aa"), reset, 40, One);
  Clock(SD("ab"), clk, 250, counterFirstEdge, 500, Zero);
  for (int k = 0; k < copies; ++k) {
    Signal q(16, "q");
    RippleCounter(cell(k, ""), clk, reset, q);
    // Big circuits (2,000 copies and more) hold a few memories too: every 500th copy also writes
    // its count into a 16-word Ram, at the address of its low four bits, and reads it back.
    if (copies >= 2000 && k % 500 == 499) {
      Signal word(16, "word");
      Ram(SD(cell(k, "af").c_str()), (One, clk, q.sub(3, 0), q.sub(3, 0)), q, word, 16, 16, 4, 1, 1);
    }
  }
}

// The netlist-like circuit: gates two-input And, Or, Nand, Nor and Xor in turn, each fed by two
// wires drawn at random (a fixed sequence) from the clocks and the outputs of the gates before
// it, so that the circuit is combinational and its wires reach anywhere. Sixteen clocks of
// different periods drive it. They share the first cell of the schematic, and each run of
// sixteen gates one of the cells after it.
constexpr int gateClocks = 16;
int gateCount = 0;

void gates() {
  Signal inputs(gateClocks, "in");
  for (int i = 0; i < gateClocks; ++i)
    Clock(SD("aa.aa"), inputs[i], 250 + 10 * i, counterFirstEdge, 500 + 20 * i, Zero);
  Signal g(static_cast<unsigned>(gateCount), "g");
  uint64_t random = 0x9e3779b97f4a7c15u;  // xorshift64
  auto pick = [&](int k) {
    random ^= random << 13;
    random ^= random >> 7;
    random ^= random << 17;
    const int n = static_cast<int>(random % static_cast<uint64_t>(gateClocks + k));
    return n < gateClocks ? inputs[n] : g[n - gateClocks];
  };
  for (int k = 0; k < gateCount; ++k) {
    const std::string at = cell(1 + k / 16, "");
    const SD sd(at.substr(0, at.size() - 1).c_str());
    const Signal a = pick(k), b = pick(k);
    switch (k % 5) {
      case 0: And(sd, a, b, g[k]); break;
      case 1: Or(sd, a, b, g[k]); break;
      case 2: Nand(sd, (a, b), g[k]); break;
      case 3: Nor(sd, (a, b), g[k]); break;
      default: Xor(sd, (a, b), g[k]); break;
    }
  }
}

// The multiplier's operands: vector v (1-based) is applied at v * multiplierPeriod, well after the
// product of the one before has settled (the slowest of the first 5,000 settles in 590;
// longest_settle reports it).
constexpr uint64_t multiplierPeriod = 1000;
Signal* product = nullptr;  // the product wires, for the checks
struct Expected {
  size_t point;  // the settle point after the vector's last toggle
  uint64_t at;   // when the vector is applied
  uint32_t product;
};
std::vector<Expected> expected;
size_t nextCheck = 0;
long wrongVectors = 0;
uint64_t longestSettle = 0;  // time steps from a vector to its settled product

void multiplierCircuit() {
  product = new Signal(32, "p");
  MultiplierCircuit(*product);
}

// Appends the timed steps of the vectors and what each must give.
void multiplierSteps(long vectors) {
  std::vector<ScriptStep> steps;
  MultiplierOperands operands;
  for (long v = 1; v <= vectors; ++v) {
    const uint16_t a = operands.a, b = operands.b;
    operands.next();
    for (char key : multiplierToggles(a, b, operands.a, operands.b))
      steps.push_back(ScriptStep{key, 1, true, static_cast<uint64_t>(v) * multiplierPeriod});
    expected.push_back({steps.size(), static_cast<uint64_t>(v) * multiplierPeriod,
                        static_cast<uint32_t>(operands.a) * operands.b});
  }
  keyScriptAppend(std::move(steps));
}

uint32_t productNow() {
  uint32_t value = 0;
  for (int i = 0; i < 32; ++i)
    if (phaseThree->currentSignals[product->serialNumber[i]] == ONE) value |= 1u << i;
  return value;
}

// At each settle point: a vector's last toggle has settled (the queue empty) with the product.
void checkProduct(const SettlePoint& settled) {
  const size_t point = settled.step;
  if (nextCheck == expected.size() || expected[nextCheck].point != point) return;
  const Expected& e = expected[nextCheck++];
  if (!phaseFour->queueEmpty() || productNow() != e.product) ++wrongVectors;
  if (phaseFour->now() > e.at && phaseFour->now() - e.at > longestSettle) longestSettle = phaseFour->now() - e.at;
}

// Flattening, connectivity, activation lists and the two run-time phases, as Sim does them.
struct Startup {
  double construction = 0, elaboration = 0, activationLists = 0, tiling = 0;
};

Startup prepare(void (*build)()) {
  Startup t;
  auto start = Clock_::now();
  build();
  t.construction = msSince(start);
  addTimer();

  ElaborationTimes times;
  elaborate(&times);
  t.activationLists = times.activationLists;
  t.elaboration = times.flattening + times.activationLists;

  // The run tiles again at its start; this one is only timed.
  start = Clock_::now();
  phaseFive->tile();
  t.tiling = msSince(start);
  return t;
}

int usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--probes] [--scale N] [--jobs N] CYCLES\n       %s --gates N CYCLES\n       %s --multiplier VECTORS\n"
               "       %s --netlist FILE\n",
               program, program, program, program);
  return 2;
}

// --jobs: jobs simulations of the processor (or the counters) for cycles each, at once on as many
// threads, all started together once built. Returns the total cycles per second.
double runJobs(int jobs, long cycles) {
  std::barrier built(jobs + 1);
  std::vector<Clock_::time_point> ends(static_cast<size_t>(jobs));
  std::vector<std::thread> threads;
  for (int j = 0; j < jobs; ++j)
    threads.emplace_back([&, j] {
      {
        CapturedStreams capture;  // counts, warnings and probe lines: the job's own, dropped
        Simulation simulation;
        resetSettings();
        useXDisplay = 0;
        loopStarted = false;
        prepare(copies > 0 ? counters : processor);
        stopTime = (copies > 0 ? counterFirstEdge : processorFirstEdge) +
                   static_cast<uint64_t>(cycles) * (copies > 0 ? counterCycle : processorCycle);
        built.arrive_and_wait();
        phaseFour->run();
        ends[static_cast<size_t>(j)] = Clock_::now();
        teardown();
      }
      releaseThreadEventStorage();
    });
  built.arrive_and_wait();
  const auto start = Clock_::now();
  for (std::thread& t : threads) t.join();
  Clock_::time_point last = start;
  for (const Clock_::time_point& end : ends) last = std::max(last, end);
  const double seconds = std::chrono::duration<double>(last - start).count();
  return static_cast<double>(jobs) * static_cast<double>(cycles) / seconds;
}

// The multiplier run, standard error already sent to the sink (restored from savedErr at the end).
int runMultiplier(long vectors, int savedErr) {
  const Startup startup = prepare(multiplierCircuit);
  multiplierSteps(vectors);
  static RunHooks productCheck{nullptr, checkProduct, nullptr, 0};
  observeRun(productCheck);

  const auto start = Clock_::now();
  phaseFour->run();
  const double seconds = msSince(loopStarted ? loopStart : start) / 1000.0;
  std::fflush(stderr);
  dup2(savedErr, 2);
  if (wrongVectors > 0 || nextCheck != expected.size()) {
    std::fprintf(stderr, "tavrin-bench: %ld of %ld products wrong or not settled in time\n",
                 wrongVectors + static_cast<long>(expected.size() - nextCheck), vectors);
    return 1;
  }

  rusage usageNow{};
  getrusage(RUSAGE_SELF, &usageNow);
  const double events = static_cast<double>(phaseFour->appliedEvents);
  const int components = phaseTwo->numberOfComponents - 1;  // not the timer
  std::printf("circuit=multiplier vectors=%ld components=%d events=%llu passes=%llu seconds=%.3f us_per_vector=%.1f "
              "events_per_s=%.0f longest_settle=%llu peak_rss_kb=%ld\n",
              vectors, components, static_cast<unsigned long long>(phaseFour->appliedEvents),
              static_cast<unsigned long long>(phaseFour->passes), seconds, seconds * 1e6 / vectors, events / seconds,
              static_cast<unsigned long long>(longestSettle), usageNow.ru_maxrss);
  std::printf("circuit=multiplier components=%d construction_ms=%.2f elaboration_ms=%.2f activation_lists_ms=%.2f "
              "tiling_ms=%.2f startup_ms=%.2f\n",
              components, startup.construction, startup.elaboration, startup.activationLists, startup.tiling,
              startup.construction + startup.elaboration + startup.tiling);
  return 0;
}

// tavrin-net's start-up on FILE, as its build function and Sim do it, each step timed.
int runNetlist(const char* path, int savedErr) {
  netlist::Netlist n;
  netlist::Diagnostics d;
  netlist::BuildPlan plan;
  auto start = Clock_::now();
  const bool ok = netlist::readNetlistFile(path, "", n, d) && netlist::planBuild(n, {}, plan, d);
  const double readMs = msSince(start);
  dup2(savedErr, 2);
  if (!ok) {
    for (const std::string& e : d.errors) std::fprintf(stderr, "tavrin-bench: %s\n", e.c_str());
    return 2;
  }
  start = Clock_::now();
  const netlist::Placement placement = netlist::place(n, plan.probeNets);
  const double placeMs = msSince(start);
  const int sink = open("/dev/null", O_WRONLY);
  dup2(sink, 2);
  start = Clock_::now();
  netlist::buildNetlist(n, plan, placement);
  const double buildMs = msSince(start);
  ElaborationTimes times;
  elaborate(&times);
  start = Clock_::now();
  phaseFive->tile();
  const double tilingMs = msSince(start);
  std::fflush(stderr);
  dup2(savedErr, 2);
  std::printf("circuit=netlist cells=%zu components=%d read_ms=%.2f placement_ms=%.2f build_ms=%.2f "
              "elaboration_ms=%.2f tiling_ms=%.2f startup_ms=%.2f\n",
              n.cells.size(), phaseTwo->numberOfComponents, readMs, placeMs, buildMs,
              times.flattening + times.activationLists, tilingMs,
              readMs + placeMs + buildMs + times.flattening + times.activationLists + tilingMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  long cycles = -1;
  int scale = 0;
  bool multiplierRun = false;
  const char* netlistFile = nullptr;
  int jobs = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--netlist") == 0 && i + 1 < argc) {
      netlistFile = argv[++i];
    } else if (std::strcmp(argv[i], "--multiplier") == 0) {
      multiplierRun = true;
    } else if (std::strcmp(argv[i], "--probes") == 0) {
      withProbes = true;
    } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
      scale = std::atoi(argv[++i]);
      if (scale <= 0) return usage(argv[0]);
    } else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc) {
      jobs = std::atoi(argv[++i]);
      if (jobs <= 0) return usage(argv[0]);
    } else if (std::strcmp(argv[i], "--gates") == 0 && i + 1 < argc) {
      gateCount = std::atoi(argv[++i]);
      if (gateCount <= 0) return usage(argv[0]);
    } else if (argv[i][0] != '-' && cycles < 0) {
      cycles = std::atol(argv[i]);
      if (cycles <= 0) return usage(argv[0]);
    } else {
      return usage(argv[0]);
    }
  }
  if (netlistFile != nullptr && (cycles >= 0 || multiplierRun || withProbes || scale > 0 || jobs > 0 || gateCount > 0))
    return usage(argv[0]);
  if (netlistFile == nullptr && (cycles < 0 || (multiplierRun && (withProbes || scale > 0 || jobs > 0)) ||
                                 (gateCount > 0 && (multiplierRun || scale > 0 || withProbes || jobs > 0))))
    return usage(argv[0]);

  useXDisplay = 0;
  copies = scale;
  // Construction and elaboration report counts and warnings on standard error; like the
  // probe lines, they go to the sink so that only the results reach the terminal.
  const int savedErr = dup(2);
  const int sink = open("/dev/null", O_WRONLY);
  dup2(sink, 2);
  if (netlistFile != nullptr) return runNetlist(netlistFile, savedErr);
  if (multiplierRun) return runMultiplier(cycles, savedErr);
  if (jobs > 0) {
    const double one = runJobs(1, cycles);
    const double all = runJobs(jobs, cycles);
    dup2(savedErr, 2);
    std::printf("circuit=%s jobs=%d cycles=%ld%s%s cycles_per_s=%.0f one_job_cycles_per_s=%.0f ratio=%.2f\n",
                scale > 0 ? "counters" : "processor", jobs, cycles, withProbes ? " probes=425" : "",
                scale > 0 ? (" scale=" + std::to_string(scale)).c_str() : "", all, one, all / one);
    return 0;
  }

  const bool built = scale > 0 || gateCount > 0;  // counters or gates, not the processor
  const Startup startup = prepare(gateCount > 0 ? gates : scale > 0 ? counters : processor);
  const uint64_t firstEdge = built ? counterFirstEdge : processorFirstEdge;
  const uint64_t cycleSteps = built ? counterCycle : processorCycle;
  stopTime = firstEdge + static_cast<uint64_t>(cycles) * cycleSteps;

  const auto start = Clock_::now();
  phaseFour->run();
  const double seconds = msSince(loopStarted ? loopStart : start) / 1000.0;
  std::fflush(stderr);
  dup2(savedErr, 2);

  rusage usageNow{};
  getrusage(RUSAGE_SELF, &usageNow);
  const double events = static_cast<double>(phaseFour->appliedEvents);
  const int components = phaseTwo->numberOfComponents - 1;  // not the timer
  std::string circuit = gateCount > 0 ? "gates" : scale > 0 ? "counters" : "processor";
  std::printf("circuit=%s cycles=%ld events=%llu passes=%llu seconds=%.3f cycles_per_s=%.0f events_per_s=%.0f "
              "peak_rss_kb=%ld",
              circuit.c_str(), cycles, static_cast<unsigned long long>(phaseFour->appliedEvents),
              static_cast<unsigned long long>(phaseFour->passes), seconds, cycles / seconds, events / seconds,
              usageNow.ru_maxrss);
  if (withProbes) std::printf(" probes=425");
  if (scale > 0) std::printf(" scale=%d", scale);
  if (gateCount > 0) std::printf(" gates=%d", gateCount);
  if (built)
    std::printf(" components=%d ns_per_component_cycle=%.2f", components,
                seconds * 1e9 / (static_cast<double>(components) * cycles));
  std::printf("\n");
  if (built)
    std::printf("circuit=%s components=%d construction_ms=%.2f elaboration_ms=%.2f activation_lists_ms=%.2f "
                "tiling_ms=%.2f startup_ms=%.2f peak_bytes_per_component=%.0f\n",
                circuit.c_str(), components, startup.construction, startup.elaboration, startup.activationLists,
                startup.tiling,
                startup.construction + startup.elaboration + startup.tiling,
                static_cast<double>(usageNow.ru_maxrss) * 1024.0 / components);
  if (!built)
    std::printf("circuit=processor components=%d construction_ms=%.2f elaboration_ms=%.2f activation_lists_ms=%.2f "
                "tiling_ms=%.2f startup_ms=%.2f\n",
                components, startup.construction, startup.elaboration, startup.activationLists, startup.tiling,
                startup.construction + startup.elaboration + startup.tiling);
  return 0;
}
