// Pins everything a headless run prints: fixed circuits run with -X and a stop time, their
// standard output, standard error and exit status compared byte for byte with the files in
// tests/golden. Any change to the kernel's speed must leave them untouched.
// TAVRIN_UPDATE_GOLDEN=1 rewrites the files from the present code instead of comparing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "pipeline.h"
#include "support/Harness.h"

namespace {

const std::string goldenDir = std::string(TAVRIN_SOURCE_DIR) + "/tests/golden/";

uint64_t fnv1a(const std::string& text) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  return h;
}

// The whole output, each stream preceded by its length.
std::string fullRecord(const RunResult& r) {
  return "status " + std::to_string(r.status) + "\nstdout " + std::to_string(r.out.size()) + "\n" + r.out +
         "\nstderr " + std::to_string(r.err.size()) + "\n" + r.err + "\n";
}

std::string streamSummary(const char* name, const std::string& text) {
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(text)));
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return std::string(name) + " bytes " + std::to_string(text.size()) + " lines " + std::to_string(lines) +
         " fnv1a64 " + hash + "\n";
}

// For long runs: sizes and hashes only.
std::string summaryRecord(const RunResult& r) {
  return "status " + std::to_string(r.status) + "\n" + streamSummary("stdout", r.out) +
         streamSummary("stderr", r.err);
}

std::string firstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int line = 1;; ++line) {
    bool ha = static_cast<bool>(std::getline(a, la)), hb = static_cast<bool>(std::getline(b, lb));
    if (!ha && !hb) return "same lines";
    if (!ha || !hb || la != lb)
      return "line " + std::to_string(line) + ":\n  golden: " + (ha ? la : "<end>") + "\n  now:    " +
             (hb ? lb : "<end>");
  }
}

void checkGolden(const std::string& name, const std::string& record) {
  const std::string path = goldenDir + name;
  if (const char* update = std::getenv("TAVRIN_UPDATE_GOLDEN"); update != nullptr && *update == '1') {
    std::ofstream(path, std::ios::binary) << record;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing golden file " << path;
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_TRUE(golden.str() == record) << name << " differs at " << firstDifference(golden.str(), record);
}

// Gates of every kind on three clocks of unrelated periods, one input left undriven.
void gates() {
  Signal a(1, "a"), b(1, "b"), c(1, "c"), floating(1, "floating"), y(13, "y");
  Clock(SD("aa"), a, 30, 5, 60, Zero);
  Clock(SD("ab"), b, 50, 20, 100, One);
  Clock(SD("ac"), c, 70, 3, 170, Zero);
  And(SD("ba"), (a, b, c), y[0]);
  Or(SD("bb"), (a, b), y[1]);
  Nand(SD("bc"), (a, c), y[2]);
  Nor(SD("bd"), (b, c), y[3]);
  Xor(SD("be"), (a, b, c), y[4]);
  Xnor(SD("bf"), (a, b), y[5]);
  Not(SD("bg"), y[4], y[6]);
  Iand(SD("ca"), a, b, y[7]);
  Inand(SD("cb"), b, c, y[8]);
  CiOr(SD("cc"), a, c, y[9]);
  CiNor(SD("cd"), c, a, y[10]);
  MultiLevelCompare(SD("ce"), (a, y[4]), y[11]);
  And(SD("cf"), (a, floating), y[12]);
  Probe(SD("da"), y, "y");
}

// On one bus a disabled buffer releases it just before an enabled one drives it (a TIME
// WARP); on another, clocked buffers take turns and fight the owner ("Another Tsb at" on
// standard output).
void tristate() {
  Signal warped(1, "warped"), bus(1, "bus"), d(1, "d"), e(1, "e"), f(1, "f");
  Tsb(SD("za"), One, Zero, warped);
  Tsb(SD("zb"), One, One, warped);
  Probe(SD("zc"), warped, "warped");
  Tsb(SD("aa"), One, Zero, bus);
  Tsb(SD("ab"), d, One, bus);
  Tsb(SD("ac"), Zero, e, bus);
  Tsb(SD("ad"), One, f, bus);
  Clock(SD("ba"), d, 40, 10, 90, One);
  Clock(SD("bb"), e, 25, 60, 120, Zero);
  PowerOn(SD("bc"), f, 300, Zero);
  Probe(SD("ca"), bus, "bus");
}

// A counter addresses a ROM whose words a RAM stores on the clock and reads back.
void memories() {
  static const unsigned char contents[8] = {0x3, 0xc, 0x5, 0xa, 0xf, 0x0, 0x9, 0x6};
  Signal clk(1, "clk"), clear(1, "clear"), addr(3, "addr"), romOut(4, "romOut"), ramOut(4, "ramOut");
  Signal nclk(1, "nclk");
  Clock(SD("aa"), clk, 60, 40, 120, Zero);
  PowerOn(SD("ab"), clear, 30, Zero);
  Counter(SD("ba"), (clear, clk), addr);
  Rom(SD("bb"), addr, romOut, 8, 4, contents);
  Not(SD("bc"), clk, nclk);
  Ram(SD("bd"), (One, nclk, addr, addr), romOut, ramOut, 8, 4, 3, 1, 1);
  Probe(SD("ca"), (romOut, addr), "rom");
  Probe(SD("cb"), ramOut, "ram");
}

// A gate-level counter of flip-flops, a register, a multiplexer, a decoder and the number
// writers, on one clock.
void counters() {
  Signal clk(1, "clk"), rst(1, "rst"), q(4, "q"), d(4, "d"), carry(3, "carry"), held(4, "held");
  Signal pick(4, "pick"), sel(4, "sel");
  Clock(SD("aa"), clk, 100, 50, 200, Zero);
  PowerOn(SD("ab"), rst, 40, One);
  Not(SD("ba"), q[0], d[0]);
  Xor(SD("bb"), (q[1], q[0]), d[1]);
  And(SD("bc"), (q[1], q[0]), carry[0]);
  Xor(SD("bd"), (q[2], carry[0]), d[2]);
  And(SD("be"), (q[2], carry[0]), carry[1]);
  Xor(SD("bf"), (q[3], carry[1]), d[3]);
  for (int k = 0; k < 4; ++k) Dff(SD((std::string("c") + static_cast<char>('a' + k)).c_str()), (Zero, d[k], clk, rst), q[k]);
  Register(SD("da"), One, clk, q, held);
  Mux(SD("db"), q[0], (held, q), pick);
  Decoder(SD("dc"), One, (q[1], q[0]), sel);
  IntOut(SD("ea"), (One, clk), q);
  HexOut(SD("eb"), (One, clk), (held, q));
  Probe(SD("fa"), pick, "pick");
  Probe(SD("fb"), sel, "sel");
}

// Probe lines, then a fatal run-time error: everything written before it must survive.
void fatalProbe() {
  Signal clk(1, "clk"), three(3, "three");
  Clock(SD("aa"), clk, 10, 0, 20, Zero);
  Probe(SD("ab"), clk, "clk");
  Not(SD("ac"), clk, three[0]);
  ProbeByte(SD("ad"), three, "bad");
}

// A stop component ends the run after some output, without a stop time.
void stopped() {
  Signal clk(1, "clk"), halt(1, "halt");
  Clock(SD("aa"), clk, 10, 0, 20, Zero);
  PowerOn(SD("ab"), halt, 95, Zero);
  Probe(SD("ac"), clk, "clk");
  Stop(SD("ad"), halt);
}

// Both streams into one file, as a terminal shows them: the order of lines across the two.
RunResult runCombined(void (*build)(), const std::vector<std::string>& args) {
  return runInChild([&] {
    dup2(1, 2);
    std::vector<std::string> words{"tavrin"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    Sim(static_cast<int>(words.size()), argv.data(), build);
  });
}

// A component that ends the process with a termination signal once its input is ONE, as an
// interrupt from the terminal would: the lines of the passes before must all be there.
void terminate(int cind) {
  if (phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[0]] == ONE) raise(SIGTERM);
}

void terminated() {
  Signal clk(1, "clk"), halt(1, "halt");
  Clock(SD("aa"), clk, 10, 0, 20, Zero);
  PowerOn(SD("ab"), halt, 95, Zero);
  Probe(SD("ac"), clk, "clk");
  Probe(SD("ad"), halt, "halt");  // its line comes in the same pass as the signal
  addComponent(defineComponentKind({.name = "Terminate", .logicEvaluate = terminate}), SD("ae"), {.data = halt});
}

TEST(GoldenOutput, SmallCircuits) {
  checkGolden("gates.txt", fullRecord(runSimulation(gates, {"-X", "-T", "700"})));
  checkGolden("tristate.txt", fullRecord(runSimulation(tristate, {"-X", "-T", "700"})));
  checkGolden("tristate-combined.txt", fullRecord(runCombined(tristate, {"-X", "-T", "700"})));
  checkGolden("memories.txt", fullRecord(runSimulation(memories, {"-X", "-T", "1500"})));
  checkGolden("counters.txt", fullRecord(runSimulation(counters, {"-X", "-T", "4000"})));
  checkGolden("fatal.txt", fullRecord(runSimulation(fatalProbe, {"-X", "-T", "500"})));
  checkGolden("stopped.txt", fullRecord(runSimulation(stopped, {"-X"})));
  checkGolden("terminated.txt", fullRecord(runSimulation(terminated, {"-X"})));
}

// The processor of simnet, clocked by a Clock instead of the keyboard: a cycle is 1018 time
// steps (period 1000 plus the two edges' delays), ample for the slowest settling.
constexpr int cycleSteps = processorCycleSteps;
bool allProbes = false;

void processor() {
  const ProcessorSignals s;
  ClockedProcessor(s);
  const Signal few[] = {s.PC, s.IR_WB, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5, s.Reg6, s.Reg7, s.N, s.Z};
  const Signal all[] = {s.memory, s.read, s.AddrBus, s.DataBus, s.PC, s.PCtmp, s.IR_ID, s.PC1, s.A, s.B, s.IR1, s.D, s.IR_EX, s.ALUo, s.DMAR,
                        s.SMDR, s.N, s.Z, s.IR_MEM, s.ALUo1, s.LMDR, s.IR_WB, s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5, s.Reg6, s.Reg7, s.stallIF, s.stallID,
                        s.stallEX, s.stallMEM, s.branchDecision};
  const Signal* list = allProbes ? all : few;
  const int count = allProbes ? static_cast<int>(std::size(all)) : static_cast<int>(std::size(few));
  for (int j = 0; j < count; ++j)
    for (int k = list[j].length - 1; k >= 0; --k) {
      std::string position{static_cast<char>('a' + j / 26), static_cast<char>('a' + j % 26), '.', 'a',
                           static_cast<char>('a' + 15 - k)};
      Probe(SD(position.c_str()), list[j][k], "", 0, nullptr);
    }
}

std::string stopAfterCycles(int cycles) { return std::to_string(1000 + cycles * cycleSteps); }

TEST(GoldenOutput, ProcessorWithRegisterProbes) {
  allProbes = false;
  checkGolden("processor.txt", fullRecord(runSimulation(processor, {"-X", "-T", stopAfterCycles(120)})));
}

TEST(GoldenOutput, ProcessorWithEveryProbe) {
  allProbes = true;
  checkGolden("processor-all-probes.txt",
              summaryRecord(runSimulation(processor, {"-X", "-T", stopAfterCycles(400)})));
}

// The simulator itself, its reset and clock keys pressed by a script: the banner, the lines of
// its 425 probes, the end of the run.
TEST(GoldenOutput, SimulatorDrivenByKeys) {
  checkGolden("tavrin-keys.txt", summaryRecord(runProcess({TAVRIN_EXE, "-X", "-k", "0,1*300"})));
}

}  // namespace
