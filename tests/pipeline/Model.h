// An instruction-level model of the processor's architecture and timing rules, cycle by cycle:
// one fetch per cycle except while a load or store uses the memory port, register reads in
// decode after the write-back of the same cycle, no forwarding, branches decided at the end of
// their memory-stage cycle with three delay slots, flags set by the rising edge while a
// flag-setting instruction executes. It knows nothing of the gates that build the machine.
#pragma once

#include <cstdint>
#include <vector>

namespace model {

// Instruction words.
enum Op { ADD = 0, SUB = 1, AND = 2, OR = 3, SETLO = 4, SETHI = 6 };
enum Cond { BRA = 0, BEQ, BNE, BLT, BLE, BGT, BGE, NEVER };
uint16_t alu(int op, int rd, int rs1, int rs2, bool setFlags = false);
uint16_t alui(int op, int rd, int rs1, int imm3, bool setFlags = false);
uint16_t setlo(int rd, int imm8);
uint16_t sethi(int rd, int imm8);
uint16_t load(int rd, int rs1, int imm3);
uint16_t store(int rd, int rs1, int imm3);
uint16_t branch(int cond, int disp);
// A 128-byte ROM image, most significant byte first, the rest of the 64 words 0x0000.
std::vector<unsigned char> image(const std::vector<uint16_t>& words);

class Machine {
public:
  uint16_t reg[8] = {};
  bool N = false, Z = false;
  uint16_t pc = 0;
  uint16_t irID = 0, irEX = 0, irMEM = 0, irWB = 0;
  bool clockHigh = false;
  // Flag-clock glitches the gate-level machine suffers (see the README): a program that
  // behaves as the instruction set says never causes one.
  int flagHazards = 0;

  explicit Machine(const unsigned char* rom);
  void rise();  // clock 0 -> 1
  void fall();  // clock 1 -> 0
  uint16_t addressBus() const;
  uint16_t ramWord(int address) const { return ram[address & 63]; }

private:
  uint16_t memory[64] = {}, ram[64] = {};
  uint16_t pcTmp = 0, pc1 = 0, a = 0, b = 0, imm = 0, d = 0;  // decode's latches
  uint16_t aluo = 0, smdr = 0;                                // execute's (DMAR = ALUo)
  uint16_t aluo1 = 0, lmdr = 0;                               // memory stage's
  uint16_t fetched = 0, bus = 0;
  uint16_t result() const;
  uint16_t read(uint16_t address) const;
};

}  // namespace model
