// The shipped programs: builtin.s reproduces the ROM, and the example programs reach the register
// values written at their top on a cycle-level model of the processor.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>

#include "Assembler.h"

namespace {

using Word = std::uint16_t;

// Cycle-level model of the pipeline: no forwarding, three delay slots, fetch pauses while a load
// or store is in the memory stage, register writes and flag updates on the rising clock edge,
// every stage register on the falling edge.
struct Machine {
  std::array<Word, 128> memory{};  // 0-63 ROM, 64-127 RAM
  std::array<Word, 8> reg{};
  Word PC = 0, PCtmp = 0, IR_ID = 0, PC1 = 0, A = 0, B = 0, IR1 = 0, D = 0, IR_EX = 0, ALUo = 0, SMDR = 0,
       IR_MEM = 0, ALUo1 = 0, LMDR = 0, IR_WB = 0;
  int N = 0, Z = 0;
  bool flagHazard = false;  // the gated flag clock would have latched XXX

  static int cls(Word ir) { return ir >> 14; }
  static bool setsFlags(Word ir) { return cls(ir) == 0 && (ir & 0x400); }

  Word constant(Word ir) const {
    if (cls(ir) == 3) return static_cast<Word>((ir & 0x400) ? (ir | 0xF800) : (ir & 0x7FF));
    if (cls(ir) == 0 && (ir & 0x200)) return ir & 0xFF;
    return static_cast<Word>((ir & 4) ? (ir | 0xFFF8) : (ir & 7));
  }

  Word alu() const {
    bool branch = cls(IR_EX) == 3;
    int op = branch ? 0 : IR_EX >> 7 & 7;
    bool hilo = cls(IR_EX) == 0 && op >= 4;
    Word a = branch ? PC1 : (hilo && op < 6) ? D : A;
    Word b = (branch || hilo || (IR_EX & 0x40)) ? IR1 : B;
    switch (op) {
      case 0: return static_cast<Word>(a + b);
      case 1: return static_cast<Word>(a - b);
      case 2: return a & b;
      case 3: return a | b;
      case 4:
      case 5: return static_cast<Word>((a & 0xFF00) | (b & 0xFF));
      default: return static_cast<Word>(b << 8);
    }
  }

  void cycle() {
    // Rising edge.
    if (cls(IR_WB) <= 1 && (IR_WB >> 11 & 7) != 0) reg[IR_WB >> 11 & 7] = cls(IR_WB) == 1 ? LMDR : ALUo1;
    Word result = alu();
    if (setsFlags(IR_EX)) N = result >> 15, Z = result == 0;
    bool access = cls(IR_MEM) == 1 || cls(IR_MEM) == 2;
    int address = (access ? ALUo : PC) & 127;
    if (cls(IR_MEM) == 2 && address >= 64) memory[address] = SMDR;
    Word bus = cls(IR_MEM) == 2 ? SMDR : memory[address];
    // Falling edge.
    bool taken = false;
    if (cls(IR_MEM) == 3) {
      switch (IR_MEM >> 11 & 7) {
        case 0: taken = true; break;
        case 1: taken = Z; break;
        case 2: taken = !Z; break;
        case 3: taken = N; break;
        case 4: taken = N || Z; break;
        case 5: taken = !N && !Z; break;
        case 6: taken = !N; break;
        default: break;
      }
    }
    Word next = access ? Word{0} : bus;
    Word target = ALUo;
    if (cls(IR_EX) == 0 && cls(IR_ID) != 0 && (IR_ID & 0x400)) flagHazard = true;
    if (setsFlags(IR_EX) && !setsFlags(IR_ID) && ((IR_EX ^ IR_ID) & 0x200)) flagHazard = true;
    IR_WB = IR_MEM, ALUo1 = ALUo, LMDR = bus;
    IR_MEM = IR_EX, ALUo = result, SMDR = D;
    IR_EX = IR_ID, PC1 = PCtmp, A = reg[IR_ID >> 3 & 7], B = reg[IR_ID & 7], IR1 = constant(IR_ID),
    D = reg[IR_ID >> 11 & 7];
    IR_ID = next;
    if (!access) PCtmp = PC, PC = taken ? target : static_cast<Word>(PC + 1);
  }

  std::string state() const {
    std::ostringstream out;
    for (int r = 1; r < 8; ++r) {
      char text[16];
      std::snprintf(text, sizeof text, "r%d=0x%04x ", r, reg[r]);
      out << text;
    }
    out << "N=" << N << " Z=" << Z;
    return out.str();
  }
};

std::string readSource(const std::string& name) {
  std::ifstream in(std::string(TAVRIN_SOURCE_DIR) + "/programs/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Machine load(const tavrin::assembler::Result& result) {
  Machine machine;
  std::copy(result.words.begin(), result.words.end(), machine.memory.begin());
  return machine;
}

TEST(Programs, BuiltinReproducesTheRomImage) {
  const unsigned char romContents[128] = {
      0x0A, 0x3E, 0x12, 0x01, 0x1A, 0x01, 0x22, 0x01, 0x2A, 0x01, 0x32, 0x01, 0x3A, 0x01, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0xC0, 0x2C, 0x10, 0x0A, 0x18, 0x0B, 0x20, 0x0C, 0x28, 0x0D, 0x30, 0x0E, 0x38, 0x0F, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0xFF, 0xFE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04,
      0, 0, 0, 0, 0, 0, 0, 0};
  auto result = tavrin::assembler::assemble(readSource("builtin.s"), "builtin.s");
  ASSERT_TRUE(result.ok());
  EXPECT_TRUE(result.diagnostics.empty());
  for (int w = 0; w < 64; ++w) {
    EXPECT_EQ(result.words[w] >> 8, romContents[2 * w]) << "word " << w;
    EXPECT_EQ(result.words[w] & 0xFF, romContents[2 * w + 1]) << "word " << w;
  }
}

// Each program states "Expected after reset and C clock cycles (...) [until cycle U]" and the
// register line below it; the state must first appear at cycle C and hold until U (or 200 more).
TEST(Programs, ExamplesReachTheStatedRegisters) {
  for (const char* name : {"builtin.s", "loop.s", "memcopy.s"}) {
    SCOPED_TRACE(name);
    std::string source = readSource(name);
    std::smatch when, values;
    ASSERT_TRUE(std::regex_search(source, when, std::regex(R"(after reset and (\d+) clock cycles[^\n]*?(until cycle (\d+))?:?\n)")));
    ASSERT_TRUE(std::regex_search(source, values, std::regex(R"(; +(r1=0x[0-9a-f]{4}(?: r\d=0x[0-9a-f]{4}){6} N=\d Z=\d))")));
    int first = std::stoi(when[1]);
    int last = when[3].matched ? std::stoi(when[3]) : first + 200;
    auto result = tavrin::assembler::assemble(source, name);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.warnings, 0);
    Machine machine = load(result);
    for (int cycle = 1; cycle <= last; ++cycle) {
      machine.cycle();
      if (cycle == first - 1) {
        EXPECT_NE(machine.state(), values[1].str()) << "already at cycle " << cycle;
      }
      if (cycle >= first) {
        ASSERT_EQ(machine.state(), values[1].str()) << "cycle " << cycle;
      }
    }
    EXPECT_FALSE(machine.flagHazard);
    machine.cycle();
    if (when[3].matched) {
      EXPECT_NE(machine.state(), values[1].str()) << "still at cycle " << last + 1;
    }
  }
}

}  // namespace
