// tavrin-bench: how fast the kernel runs the processor, and how its cost grows with circuit size.
//
//   tavrin-bench [--probes] [--scale N] CYCLES
//
// Without --scale: the processor (BasicPipe + Memory), reset by a PowerOn and clocked by a
// Clock, run headless for CYCLES clock cycles; --probes adds the 425 one-bit probes of the
// simulator's own layout, their lines sent to /dev/null. With --scale N: N copies of a
// gate-level 16-bit counter instead. Prints one key=value line per run, and for the processor
// a second line with the start-up cost.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "construction/Ph1.h"
#include "display/Ph5.h"
#include "display/SchCell.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "pipeline.h"

namespace {

using Clock_ = std::chrono::steady_clock;

double msSince(Clock_::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock_::now() - start).count();
}

// The processor's clock: period 1000, each edge 9 steps late, so a cycle is 1018 steps; the
// slowest settling after an edge takes about 360.
constexpr int processorCycle = 1018;
constexpr int processorFirstEdge = 1000;
bool withProbes = false;

// Sixteen one-bit probes, bit 15 first, laid out as the simulator lays out a register.
void probe16(const char* first, const Signal& sig, const char* title) {
  std::string position(first);
  std::string::size_type dot = position.find('.');
  std::string outer = position.substr(0, dot);
  std::string inner = position.substr(dot + 1);
  const size_t titleLength = std::strlen(title);
  for (int k = 15; k >= 0; --k) {
    const size_t i = static_cast<size_t>(15 - k);
    std::string label = (i < titleLength && title[i] != ' ') ? std::string(1, title[i]) : std::string();
    Probe(SD((outer + "." + inner).c_str()), sig[k], label, 0, nullptr);
    if (inner[1] < 'e') {
      ++inner[1];
    } else {
      inner = "aa";
      ++outer[1];
      if (outer.size() == 5) ++outer[4];
    }
  }
}

void processor() {
  Signal memory(1, "memory"), read(1, "read"), AddrBus(16, "AddrBus"), DataWrite(16, "DataWrite");
  Signal PC(16, "PC"), PCtmp(16, "PCtmp"), IR_ID(16, "IR_ID"), PC1(16, "PC1"), A(16, "A"), B(16, "B");
  Signal IR1(16, "IR1"), D(16, "D"), IR_EX(16, "IR_EX"), ALUo(16, "ALUo"), DMAR(16, "DMAR"), SMDR(16, "SMDR");
  Signal N(1, "N"), Z(1, "Z"), IR_MEM(16, "IR_MEM"), ALUo1(16, "ALUo1"), LMDR(16, "LMDR"), IR_WB(16, "IR_WB");
  Signal R0(16, "Reg0"), R1(16, "Reg1"), R2(16, "Reg2"), R3(16, "Reg3"), R4(16, "Reg4"), R5(16, "Reg5");
  Signal R6(16, "Reg6"), R7(16, "Reg7"), stallIF(1, "stallIF"), stallID(1, "stallID"), stallEX(1, "stallEX");
  Signal stallMEM(1, "stallMEM"), branchDecision(1, "branchDecision"), MemReq(1, "MemReq");
  Signal DataBus(16, "DataBus"), enTriLink(1, "enTriLink"), enTriROM(1, "enTriROM"), enTriRAM(1, "enTriRAM");
  Signal reset(1, "reset"), clock(1, "clock");
  BasicPipe(SD("la-sj"), reset, clock, DataBus, memory, read, AddrBus, DataWrite, PC, PCtmp, IR_ID, PC1, A, B, IR1,
            D, IR_EX, ALUo, DMAR, SMDR, N, Z, IR_MEM, ALUo1, LMDR, IR_WB, R0, R1, R2, R3, R4, R5, R6, R7, stallIF,
            stallID, stallEX, stallMEM, branchDecision, MemReq);
  Memory(SD("ol-sn"), memory, read, AddrBus, DataWrite, DataBus, enTriLink, enTriROM, enTriRAM);
  PowerOn(SD("ad.ac-ae"), reset, 500, One);
  Clock(SD("bd.ac-ae"), clock, 500, processorFirstEdge, 1000, Zero);
  if (!withProbes) return;

  // The probes of the simulator's schematic, in its order (the switches replaced by the above).
  probe16("aa.aa", PC, "IF: PC");
  probe16("ba.aa", PCtmp, "IF: PCtmp");
  Probe(SD("ak.aa-ac"), memory, "MemRq", 0, nullptr);
  probe16("ak.ae", AddrBus, "Address Bus");
  Probe(SD("bk.aa-ac"), read, "R/W", 0, nullptr);
  probe16("bk.ae", DataBus, "Data Bus");
  probe16("da-ea.aa", IR_ID, "ID: IR");
  probe16("dd-ed.ad", IR_EX, "EX: IR");
  probe16("dh-eh.ab", IR_MEM, "MEM: IR");
  probe16("dk-ek.ae", IR_WB, "WB: IR");
  Probe(SD("ca"), stallIF, "Stall_IF", 0, nullptr);
  Probe(SD("cd"), stallID, "Stall_ID", 0, nullptr);
  Probe(SD("cg"), stallEX, "Stall_EX", 0, nullptr);
  Probe(SD("ai"), branchDecision, "Branch?", 0, nullptr);
  Probe(SD("ck"), stallMEM, "Stall_MEM", 0, nullptr);
  probe16("fa.aa", PC1, "ID: PC1");
  probe16("ga.aa", A, "ID: A");
  probe16("ha.aa", B, "ID: B");
  probe16("ia.aa", IR1, "ID: IR1");
  probe16("ja.aa", D, "ID: D");
  Probe(SD("ff.aa-ab"), N, "N", 0, nullptr);
  Probe(SD("ff.ad-ae"), Z, "Z", 0, nullptr);
  probe16("gd.ad", ALUo, "EX: ALUo");
  probe16("hd.ad", DMAR, "EX: DMAR");
  probe16("jd.ad", SMDR, "EX: SMDR");
  probe16("gh.ab", ALUo1, "MEM: ALUo1");
  probe16("jh.ab", LMDR, "MEM: LMDR");
  const Signal regs[8] = {R0, R1, R2, R3, R4, R5, R6, R7};
  const char* const regPositions[8] = {"fk.ae", "gk.ae", "hk.ae", "ik.ae", "jk.ae", "kk.ae", "lk.ae", "mk.ae"};
  for (int r = 0; r < 8; ++r) probe16(regPositions[r], regs[r], ("Reg" + std::to_string(r)).c_str());
}

// The scaling circuit: copies of a 16-bit counter (flip-flops and a ripple incrementer of
// gates), 46 components and a clock each. Each copy has its own clock, offset by a few steps from its
// neighbours', so that a bigger circuit spreads its work over more passes, each touching a
// small part of it.
constexpr int counterCycle = 518;  // period 500 plus the edges' delays
constexpr int counterFirstEdge = 100;
int copies = 0;

std::string cell(int k, const char* inner) {
  std::string s{static_cast<char>('a' + k / 676 % 26), static_cast<char>('a' + k / 26 % 26), '.',
                static_cast<char>('a' + k % 26), 'a', '.'};
  return s + inner;
}

void counters() {
  Signal reset(1, "reset");
  PowerOn(SD("aa"), reset, 40, One);
  for (int k = 0; k < copies; ++k) {
    Signal clk(1, "clk"), q(16, "q"), d(16, "d"), carry(14, "carry");
    Clock(SD(cell(k, "aa").c_str()), clk, 250, counterFirstEdge + k % 16, 500, Zero);
    Not(SD(cell(k, "ab").c_str()), q[0], d[0]);
    for (int i = 1; i < 16; ++i) {
      const Signal carryIn = i == 1 ? q[0] : carry[i - 2];
      Xor(SD(cell(k, "ac").c_str()), (q[i], carryIn), d[i]);
      if (i < 15) And(SD(cell(k, "ad").c_str()), (q[i], carryIn), carry[i - 1]);
    }
    for (int i = 0; i < 16; ++i) Dff(SD(cell(k, "ae").c_str()), (Zero, d[i], clk, reset), q[i]);
  }
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

  start = Clock_::now();
  phaseTwo = new PhaseTwo();
  phaseTwo->listsToArrays();
  delete phaseOne;
  phaseOne = nullptr;
  phaseThree = new PhaseThree();
  phaseThree->checkConnectivity();
  const double beforeLists = msSince(start);
  auto listsStart = Clock_::now();
  phaseThree->formActivationLists();
  t.activationLists = msSince(listsStart);
  t.elaboration = beforeLists + t.activationLists;

  phaseFour = new PhaseFour();
  phaseFive = new PhaseFive();
  // The run tiles again at its start; this one is only timed.
  start = Clock_::now();
  phaseFive->componentTiling(new SchematicCell());
  t.tiling = msSince(start);
  return t;
}

int usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--probes] [--scale N] CYCLES\n", program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long cycles = -1;
  int scale = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--probes") == 0) {
      withProbes = true;
    } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
      scale = std::atoi(argv[++i]);
      if (scale <= 0) return usage(argv[0]);
    } else if (argv[i][0] != '-' && cycles < 0) {
      cycles = std::atol(argv[i]);
      if (cycles <= 0) return usage(argv[0]);
    } else {
      return usage(argv[0]);
    }
  }
  if (cycles < 0) return usage(argv[0]);

  useXDisplay = 0;
  copies = scale;
  // Construction and elaboration report counts and warnings on standard error; like the
  // probe lines, they go to the sink so that only the results reach the terminal.
  const int savedErr = dup(2);
  const int sink = open("/dev/null", O_WRONLY);
  dup2(sink, 2);

  const Startup startup = prepare(scale > 0 ? counters : processor);
  const uint64_t firstEdge = scale > 0 ? counterFirstEdge : processorFirstEdge;
  const uint64_t cycleSteps = scale > 0 ? counterCycle : processorCycle;
  stopTime = firstEdge + static_cast<uint64_t>(cycles) * cycleSteps;

  const auto start = Clock_::now();
  phaseFour->run();
  const double seconds = msSince(start) / 1000.0;
  std::fflush(stderr);
  dup2(savedErr, 2);

  rusage usageNow{};
  getrusage(RUSAGE_SELF, &usageNow);
  const double events = static_cast<double>(phaseFour->appliedEvents);
  const int components = phaseTwo->numberOfComponents;
  std::string circuit = scale > 0 ? "counters" : "processor";
  std::printf("circuit=%s cycles=%ld events=%llu passes=%llu seconds=%.3f cycles_per_s=%.0f events_per_s=%.0f "
              "peak_rss_kb=%ld",
              circuit.c_str(), cycles, static_cast<unsigned long long>(phaseFour->appliedEvents),
              static_cast<unsigned long long>(phaseFour->passes), seconds, cycles / seconds, events / seconds,
              usageNow.ru_maxrss);
  if (withProbes) std::printf(" probes=425");
  if (scale > 0)
    std::printf(" scale=%d components=%d ns_per_component_cycle=%.2f", scale, components,
                seconds * 1e9 / (static_cast<double>(components) * cycles));
  std::printf("\n");
  if (scale == 0)
    std::printf("circuit=processor components=%d construction_ms=%.2f elaboration_ms=%.2f activation_lists_ms=%.2f "
                "tiling_ms=%.2f startup_ms=%.2f\n",
                components, startup.construction, startup.elaboration, startup.activationLists, startup.tiling,
                startup.construction + startup.elaboration + startup.tiling);
  return 0;
}
