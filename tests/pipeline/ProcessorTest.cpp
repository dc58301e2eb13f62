// The whole processor, clocked from reset through its switches and compared, half-cycle by
// half-cycle, with the instruction-level model.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <regex>

#include "pipeline.h"
#include "pipeline/Bench.h"
#include "pipeline/Model.h"
#include "support/Harness.h"

using namespace model;

namespace {

// The architectural and pipeline registers, found by the names simnet gives them.
struct Wires {
  std::vector<int> reg[8], pc, ir[4], addrBus, aluo, dmar;
  int n, z, reset, clock;
  Wires() {
    for (int k = 0; k < 8; ++k) reg[k] = bench::wires("Reg" + std::to_string(k), 16);
    const char* irNames[4] = {"IR_ID", "IR_EX", "IR_MEM", "IR_WB"};
    for (int k = 0; k < 4; ++k) ir[k] = bench::wires(irNames[k], 16);
    pc = bench::wires("PC", 16);
    addrBus = bench::wires("AddrBus", 16);
    aluo = bench::wires("ALUo", 16);
    dmar = bench::wires("DMAR", 16);
    n = bench::wires("N", 1)[0];
    z = bench::wires("Z", 1)[0];
    reset = bench::wires("reset", 1)[0];
    clock = bench::wires("clock", 1)[0];
  }
};

// simnet without its probes, with another program in the ROM.
void buildProcessor(const unsigned char* image) {
  const ProcessorSignals s;
  Processor(s, image);
  Switch(SD("ad.ac-ae"), s.reset, '0', One, "0:RST");
  Switch(SD("bd.ac-ae"), s.clock, '1', Zero, "1:CLK");
}

// Presses 1 and checks the gate-level machine against the model after each edge.
bool step(const Wires& w, Machine& m, int cycle) {
  for (int half = 0; half < 2; ++half) {
    bench::press('1');
    half == 0 ? m.rise() : m.fall();
    std::string where = "cycle " + std::to_string(cycle) + (half == 0 ? " rising" : " falling");
    for (int k = 0; k < 8; ++k)
      if (bench::word(w.reg[k]) != m.reg[k]) return ADD_FAILURE() << where << ": Reg" << k, false;
    const uint16_t irs[4] = {m.irID, m.irEX, m.irMEM, m.irWB};
    for (int k = 0; k < 4; ++k)
      if (bench::word(w.ir[k]) != irs[k]) return ADD_FAILURE() << where << ": instruction register " << k, false;
    if (bench::word(w.pc) != m.pc) return ADD_FAILURE() << where << ": PC", false;
    if (bench::word(w.addrBus) != m.addressBus()) return ADD_FAILURE() << where << ": address bus", false;
    if (bench::level(w.n) != (m.N ? ONE : ZERO) || bench::level(w.z) != (m.Z ? ONE : ZERO))
      return ADD_FAILURE() << where << ": flags", false;
  }
  return true;
}

void runProgram(const std::vector<uint16_t>& words, int cycles, const std::function<void(const Machine&)>& check) {
  std::vector<unsigned char> rom = image(words);
  bench::inChild([&] {
    buildProcessor(rom.data());
    bench::start();
    Wires w;
    Machine m(rom.data());
    bench::press('0');
    for (int c = 1; c <= cycles && step(w, m, c); ++c) {
    }
    EXPECT_EQ(m.flagHazards, 0) << "the program breaks the flag-clock rules";
    check(m);
  });
}

// cmp; branch over one marker (r7 += 1) with three nop delay slots.
void condition(std::vector<uint16_t>& p, uint16_t compare, int cond) {
  p.insert(p.end(), {compare, branch(cond, 5), 0, 0, 0, alui(ADD, 7, 7, 1)});
}

// r1 = 5, r2 = 5, r3 = -3, r4 = 7
std::vector<uint16_t> comparisonSetup() {
  return {setlo(1, 5), setlo(2, 5), sethi(3, 0xFF), setlo(4, 7), 0, setlo(3, 0xFD), 0, 0};
}
const uint16_t zeroResult = alu(SUB, 0, 1, 2, true);  // 5 - 5: Z
const uint16_t negative = alu(SUB, 0, 3, 1, true);    // -3 - 5: N
const uint16_t positive = alu(SUB, 0, 4, 1, true);    // 7 - 5: neither

TEST(Processor, ConditionalBranchesOnSubtractedFlags) {
  std::vector<uint16_t> p = comparisonSetup();
  condition(p, zeroResult, BEQ);  // taken
  condition(p, positive, BEQ);
  condition(p, zeroResult, BNE);
  condition(p, positive, BNE);  // taken
  condition(p, negative, BLT);  // taken
  condition(p, zeroResult, BLT);
  condition(p, zeroResult, BLE);  // taken
  condition(p, negative, BLE);    // taken
  condition(p, positive, BLE);
  p.push_back(branch(BRA, 0));
  runProgram(p, 90, [](const Machine& m) { EXPECT_EQ(m.reg[7], 4) << "not-taken branches"; });
}

TEST(Processor, ConditionalBranchesOnLogicAndImmediateFlags) {
  std::vector<uint16_t> p = comparisonSetup();
  const uint16_t andZero = alui(AND, 0, 1, 2, true);  // 5 & 2
  const uint16_t orNegative = alui(OR, 6, 3, 0, true);
  const uint16_t addPositive = alui(ADD, 5, 4, -4, true);  // 7 - 4
  condition(p, addPositive, BGT);  // taken
  condition(p, andZero, BGT);
  condition(p, orNegative, BGT);
  condition(p, addPositive, BGE);  // taken
  condition(p, orNegative, BGE);
  condition(p, andZero, BGE);  // taken
  condition(p, negative, BRA);     // taken
  condition(p, zeroResult, NEVER);
  p.push_back(branch(BRA, 0));
  runProgram(p, 80, [](const Machine& m) {
    EXPECT_EQ(m.reg[7], 4);
    EXPECT_EQ(m.reg[6], 0xFFFD);
    EXPECT_EQ(m.reg[5], 3);
  });
}

TEST(Processor, LoadsStoresAndLoops) {
  const std::vector<uint16_t> p = {
      sethi(1, 0x12), setlo(2, 0x40), setlo(3, 3), 0, setlo(1, 0x34), 0, 0,
      // 7: store r1 at r2, r2 += 1, r1 += r1, three times
      store(1, 2, 0), alui(ADD, 2, 2, 1), alu(ADD, 1, 1, 1), alui(SUB, 3, 3, 1, true), branch(NEVER, 0),
      branch(BNE, -5), 0, 0, 0,
      // 16: the ROM half ignores stores and loads return program words
      load(4, 2, -1), load(5, 0, 1), store(1, 0, 2), load(6, 0, 2), alu(AND, 7, 4, 5), alu(OR, 3, 4, 5),
      alu(SUB, 5, 4, 1), load(6, 2, -3),
      // 24: a load before a taken branch leaves two delay slots
      branch(BRA, 4), alui(ADD, 1, 0, 1), alui(ADD, 2, 0, 2), alui(ADD, 3, 0, 3), branch(BRA, 0)};
  runProgram(p, 90, [](const Machine& m) {
    EXPECT_EQ(m.ramWord(0x40), 0x1234);
    EXPECT_EQ(m.ramWord(0x42), 0x48D0);
    EXPECT_EQ(m.reg[4], 0x48D0);
    EXPECT_EQ(m.reg[6], 0x1234);
    EXPECT_EQ(m.reg[7], 0x48D0 & setlo(2, 0x40)) << "a load from the ROM half reads the program";
    EXPECT_EQ(m.reg[5], static_cast<uint16_t>(0x48D0 - 0x91A0));
    EXPECT_EQ(m.reg[1], 1);
    EXPECT_EQ(m.reg[2], 2);
    EXPECT_EQ(m.reg[3], 0x48D0 | setlo(2, 0x40)) << "the third delay slot is lost to the load";
  });
}

TEST(Processor, CountingLoopWithBackwardBranchesAndSethi) {
  // Sums 6 + 5 + ... + 1 into r2, then builds a word with sethi and setlo and keeps it in RAM.
  const std::vector<uint16_t> p = {
      setlo(1, 6), setlo(5, 0x7F), setlo(2, 0), 0, 0,
      // 5: r2 += r1, r1 -= 1 (flags), loop while r1 > 0
      alu(ADD, 2, 2, 1), alui(SUB, 1, 1, 1, true), 0, store(1, 5, 0), branch(BGT, -4), 0, 0, 0,
      // 13: r6 = (r2 in the high byte, 0x2A below)
      0, 0, sethi(6, 21), 0, 0, 0, setlo(6, 0x2A), alu(SUB, 4, 0, 2, true), branch(NEVER, 0), branch(BLT, 5), 0, 0,
      0, alui(ADD, 7, 7, 3), store(6, 5, -1), load(3, 5, -1), branch(BRA, 0)};
  runProgram(p, 110, [](const Machine& m) {
    EXPECT_EQ(m.reg[2], 21);
    EXPECT_EQ(m.reg[6], 0x152A);
    EXPECT_EQ(m.reg[3], 0x152A);
    EXPECT_EQ(m.reg[4], 0xFFEB);
    EXPECT_EQ(m.reg[7], 0);
    EXPECT_TRUE(m.N);
  });
}

// Both glitches of the gated flag clock latch XXX into the flags at the falling edge.
void expectFlagGlitch(const std::vector<uint16_t>& words, int glitchCycle) {
  std::vector<unsigned char> rom = image(words);
  bench::inChild([&] {
    buildProcessor(rom.data());
    bench::start();
    Wires w;
    Machine m(rom.data());
    bench::press('0');
    for (int c = 1; c < glitchCycle; ++c) ASSERT_TRUE(step(w, m, c));
    bench::press('1');
    m.rise();
    ASSERT_TRUE(bench::level(w.n) == (m.N ? ONE : ZERO) && bench::level(w.z) == (m.Z ? ONE : ZERO));
    bench::press('1');
    m.fall();
    EXPECT_EQ(m.flagHazards, 1);
    EXPECT_TRUE(bench::level(w.n) == XXX || bench::level(w.z) == XXX)
        << "N " << bench::level(w.n) << " Z " << bench::level(w.z);
  });
}

TEST(Processor, FlagClockGlitchWhenTheNextInstructionChangesBit9) {
  // addcc executes in cycle 7; setlo (bit 9 set, no flags) follows it into execute.
  expectFlagGlitch({setlo(1, 5), 0, 0, 0, alu(ADD, 2, 1, 1, true), setlo(3, 1), 0, 0, branch(BRA, 0)}, 7);
}

TEST(Processor, FlagClockGlitchWhenAnAluWordPrecedesABackwardBranch) {
  // The backward branch at 4 enters execute at the end of cycle 6, after a no-operation.
  expectFlagGlitch({setlo(1, 5), 0, 0, 0, branch(BRA, -4), 0, 0, 0}, 6);
}

TEST(Processor, RomProgramFromReset) {
  bench::inChild([] {
    simnet();
    bench::start();
    Wires w;
    EXPECT_EQ(bench::level(w.reset), ONE);
    EXPECT_EQ(bench::level(w.clock), ZERO);
    for (const char* name : {"PC", "PCtmp", "IR_ID", "PC1", "A", "B", "IR1", "D", "IR_EX", "ALUo", "DMAR", "SMDR",
                             "IR_MEM", "ALUo1", "LMDR", "IR_WB", "Reg0", "Reg1", "Reg7", "AddrBus"})
      EXPECT_EQ(bench::word(bench::wires(name, 16)), 0) << name << " before any key";
    EXPECT_EQ(bench::level(w.n), ZERO);
    EXPECT_EQ(bench::level(w.z), ZERO);

    bench::press('0');
    Machine m(romContents);
    std::vector<int> fetches;                  // PC modulo 128 of every cycle
    std::vector<std::vector<int>> registers;  // Reg1..Reg7 after every cycle
    const int cycles = 360;
    for (int c = 1; c <= cycles; ++c) {
      fetches.push_back(bench::word(w.pc) & 127);
      if (!step(w, m, c)) return;
      if (c == 4) {
        EXPECT_EQ(bench::word(w.ir[3]), 0x0A3E) << "after eight presses";
        EXPECT_EQ(bench::word(w.reg[1]), 0);
      }
      if (c == 5) {
        EXPECT_EQ(bench::word(w.reg[1]), 0x003E);
      }
      EXPECT_EQ(bench::word(w.reg[0]), 0);
      registers.push_back({});
      for (int k = 1; k < 8; ++k) registers.back().push_back(bench::word(w.reg[k]));
    }
    EXPECT_EQ(registers[40], (std::vector<int>{0x3E, 0x3F, 0x3F, 0x3F, 1, 1, 1})) << "after the branch at 12";
    EXPECT_EQ(fetches[12], 12);
    EXPECT_EQ(fetches[16], 56) << "three delay slots, then the target";
    EXPECT_EQ(fetches[88], 0) << "88 fetches per pass";
    for (int c = 0; c + 88 < cycles; ++c) {
      EXPECT_EQ(fetches[c], fetches[c + 88]) << "fetch " << c;
      if (c >= 88) {
        EXPECT_EQ(registers[c], registers[c + 88]) << "cycle " << c;
      }
    }
  });
}

TEST(Processor, ComponentAndSignalCountsFollowTheCircuitTables) {
  // Per circuit function: its own components (module box included) and internal signal bits,
  // and the circuit functions it instantiates.
  struct Function {
    int components, signalBits;
    std::vector<std::pair<std::string, int>> uses;
  };
  const std::map<std::string, Function> table = {
      {"Link3", {4, 0, {}}},
      {"Link16", {17, 0, {}}},
      {"Reg16", {17, 0, {}}},
      {"MemAddr1", {4, 2, {}}},
      {"MemAddr2", {7, 3, {}}},
      {"Memory", {1 + 1 + 2 + 2 + 16 + 16 + 8 + 8, 16 + 8 + 8 + 3, {{"MemAddr1", 1}, {"MemAddr2", 1}}}},
      {"Registers", {1 + 16 + 1 + 7, 8 + 7, {{"Reg16", 7}}}},
      {"Adder", {6, 3, {}}},
      {"Subtracter", {8, 5, {}}},
      {"ALUComponent", {5, 6, {{"Adder", 1}, {"Subtracter", 1}}}},
      {"ALU", {5, 48, {{"ALUComponent", 16}}}},
      {"Plus1", {1, 16, {{"Adder", 16}}}},
      {"ALU1", {3, 16, {}}},
      {"ALU2", {3, 1, {}}},
      {"PSR", {3, 0, {}}},
      {"IR", {3, 2, {{"Reg16", 1}}}},
      {"InstructionDecoder", {10, 10, {}}},
      {"IF", {6, 34, {{"Link16", 1}, {"Reg16", 2}, {"Plus1", 1}}}},
      {"ID", {5, 43, {{"InstructionDecoder", 1}, {"Link3", 3}, {"Reg16", 5}}}},
      {"EX", {7, 31, {{"InstructionDecoder", 1}, {"PSR", 1}, {"ALU", 1}, {"Reg16", 3}}}},
      {"MEM", {42, 14, {{"InstructionDecoder", 1}, {"Link3", 1}, {"Reg16", 2}}}},
      {"BranchDecision", {14, 19, {}}},
      {"WB", {3, 9, {{"InstructionDecoder", 1}, {"Link3", 1}}}},
      {"Stall_IF", {2, 9, {{"InstructionDecoder", 1}}}},
      {"Stall_ID", {2, 0, {}}},
      {"Stall_EX", {2, 0, {}}},
      {"Stall_MEM", {2, 0, {}}},
      {"BasicPipe",
       {1 + 9 + 1, 2 + 32 + 9 + 48 + 16 + 4 + 48 + 1 + 3 + 2 + 32 + 1 + 3 + 16,
        {{"Registers", 1}, {"Stall_IF", 1}, {"IF", 1}, {"IR", 4}, {"Stall_ID", 1}, {"ID", 1}, {"Stall_EX", 1},
         {"EX", 1}, {"ALU1", 1}, {"ALU2", 1}, {"Stall_MEM", 1}, {"MEM", 1}, {"BranchDecision", 1}, {"WB", 1}}}},
      // 26 sixteen-bit and 9 one-bit probes, 2 switches, 15 fillers; the top-level signals.
      {"simnet",
       {26 * 16 + 9 + 2 + 15, 1 + 1 + 16 + 16 + 12 * 16 + 2 + 4 * 16 + 8 * 16 + 6 + 16 + 5 + 15,
        {{"BasicPipe", 1}, {"Memory", 1}}}},
  };
  std::function<std::pair<int, int>(const std::string&)> total = [&](const std::string& name) {
    const Function& f = table.at(name);
    std::pair<int, int> sum{f.components, f.signalBits};
    for (const auto& [part, count] : f.uses) {
      auto [c, s] = total(part);
      sum.first += count * c;
      sum.second += count * s;
    }
    return sum;
  };
  auto [components, signals] = total("simnet");
  signals += 2;  // Zero and One

  RunResult r = runProcess({TAVRIN_EXE, "-X", "-E"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("There are " + std::to_string(components) + " components.\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("There are " + std::to_string(signals) + " signals.\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << "every input is driven";
}

}  // namespace
