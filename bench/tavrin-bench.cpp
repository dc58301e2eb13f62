// tavrin-bench: how fast the kernel runs the processor, how its cost grows with circuit size, and
// how fast it runs a large combinational circuit fed by timed key steps.
//
//   tavrin-bench [--probes] [--scale N] CYCLES
//   tavrin-bench --gates N CYCLES
//   tavrin-bench --multiplier VECTORS
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
// one ends the benchmark with status 1.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
#include "pipeline.h"

namespace {

using Clock_ = std::chrono::steady_clock;

double msSince(Clock_::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock_::now() - start).count();
}

// The run first tiles and draws the schematic, which costs far more for a big circuit than
// for a small one; the timing starts with the first evaluation pass instead, taken by an
// invisible component without pins (the reset activates every component).
Clock_::time_point loopStart;
bool loopStarted = false;

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
  keyScriptAppend(steps);
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
               "usage: %s [--probes] [--scale N] CYCLES\n       %s --gates N CYCLES\n       %s --multiplier VECTORS\n",
               program, program, program);
  return 2;
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

}  // namespace

int main(int argc, char** argv) {
  long cycles = -1;
  int scale = 0;
  bool multiplierRun = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--multiplier") == 0) {
      multiplierRun = true;
    } else if (std::strcmp(argv[i], "--probes") == 0) {
      withProbes = true;
    } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
      scale = std::atoi(argv[++i]);
      if (scale <= 0) return usage(argv[0]);
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
  if (cycles < 0 || (multiplierRun && (withProbes || scale > 0)) ||
      (gateCount > 0 && (multiplierRun || scale > 0 || withProbes)))
    return usage(argv[0]);

  useXDisplay = 0;
  copies = scale;
  // Construction and elaboration report counts and warnings on standard error; like the
  // probe lines, they go to the sink so that only the results reach the terminal.
  const int savedErr = dup(2);
  const int sink = open("/dev/null", O_WRONLY);
  dup2(sink, 2);
  if (multiplierRun) return runMultiplier(cycles, savedErr);

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
