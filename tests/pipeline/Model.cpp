#include "pipeline/Model.h"

#include <cstddef>

namespace model {

namespace {
int cls(uint16_t w) { return w >> 14; }
int rd(uint16_t w) { return (w >> 11) & 7; }
int bit(uint16_t w, int k) { return (w >> k) & 1; }
int op(uint16_t w) { return (w >> 7) & 7; }
bool memoryAccess(uint16_t w) { return cls(w) == 1 || cls(w) == 2; }
bool setsFlags(uint16_t w) { return cls(w) == 0 && bit(w, 10); }
uint16_t sext(uint16_t w, int bits) {
  uint16_t sign = 1u << (bits - 1), mask = (1u << bits) - 1;
  return static_cast<uint16_t>(((w & mask) ^ sign) - sign);
}

uint16_t operate(int o, uint16_t x, uint16_t y) {
  switch (o) {
    case 0: return static_cast<uint16_t>(x + y);
    case 1: return static_cast<uint16_t>(x - y);
    case 2: return x & y;
    case 3: return x | y;
    case 4:
    case 5: return static_cast<uint16_t>((x & 0xFF00) | (y & 0xFF));
    default: return static_cast<uint16_t>((y & 0xFF) << 8);
  }
}

// The constant decode prepares: branch displacement, sethi/setlo byte, or 3-bit immediate.
uint16_t constant(uint16_t w) {
  if (cls(w) == 3) return sext(w, 11);
  if (cls(w) == 0 && op(w) >= 4) return w & 0xFF;
  return sext(w, 3);
}
}  // namespace

uint16_t alu(int o, int d, int s1, int s2, bool f) {
  return static_cast<uint16_t>(d << 11 | f << 10 | o << 7 | s1 << 3 | s2);
}
uint16_t alui(int o, int d, int s1, int i, bool f) {
  return static_cast<uint16_t>(d << 11 | f << 10 | o << 7 | 1 << 6 | s1 << 3 | (i & 7));
}
uint16_t setlo(int d, int i) { return static_cast<uint16_t>(d << 11 | SETLO << 7 | (i & 0xFF)); }
uint16_t sethi(int d, int i) { return static_cast<uint16_t>(d << 11 | SETHI << 7 | (i & 0xFF)); }
uint16_t load(int d, int s1, int i) { return static_cast<uint16_t>(1 << 14 | alui(ADD, d, s1, i)); }
uint16_t store(int d, int s1, int i) { return static_cast<uint16_t>(2 << 14 | alui(ADD, d, s1, i)); }
uint16_t branch(int c, int disp) { return static_cast<uint16_t>(3 << 14 | c << 11 | (disp & 0x7FF)); }

std::vector<unsigned char> image(const std::vector<uint16_t>& words) {
  std::vector<unsigned char> bytes(128, 0);
  for (std::size_t w = 0; w < words.size() && w < 64; ++w) {
    bytes[2 * w] = static_cast<unsigned char>(words[w] >> 8);
    bytes[2 * w + 1] = static_cast<unsigned char>(words[w]);
  }
  return bytes;
}

Machine::Machine(const unsigned char* rom) {
  for (int w = 0; w < 64; ++w) memory[w] = static_cast<uint16_t>(rom[2 * w] << 8 | rom[2 * w + 1]);
}

uint16_t Machine::read(uint16_t address) const { return bit(address, 6) ? ram[address & 63] : memory[address & 63]; }

uint16_t Machine::addressBus() const { return clockHigh && memoryAccess(irMEM) ? aluo : pc; }

uint16_t Machine::result() const {
  bool isBranch = cls(irEX) == 3, hilo = cls(irEX) == 0 && op(irEX) >= 4;
  bool isSetlo = hilo && op(irEX) < 6;
  uint16_t x = isBranch ? pc1 : isSetlo ? d : a;
  uint16_t y = (isBranch || hilo || bit(irEX, 6)) ? imm : b;
  return operate(isBranch ? 0 : op(irEX), x, y);
}

void Machine::rise() {
  clockHigh = true;
  if ((cls(irWB) == 0 || cls(irWB) == 1) && rd(irWB) != 0) reg[rd(irWB)] = cls(irWB) == 1 ? lmdr : aluo1;
  if (setsFlags(irEX)) {
    uint16_t r = result();
    N = r >> 15;
    Z = r == 0;
  }
  if (memoryAccess(irMEM)) {
    if (cls(irMEM) == 2) {
      if (bit(aluo, 6)) ram[aluo & 63] = smdr;
      bus = smdr;
    } else {
      bus = read(aluo);
    }
  } else {
    fetched = bus = read(pc);
  }
}

void Machine::fall() {
  clockHigh = false;
  const bool stall = memoryAccess(irMEM);
  const int c = rd(irMEM);
  const bool conditionMet = c == BRA || (c == BEQ && Z) || (c == BNE && !Z) || (c == BLT && N) ||
                            (c == BLE && (N || Z)) || (c == BGT && !N && !Z) || (c == BGE && !N);
  const bool taken = cls(irMEM) == 3 && conditionMet;
  const uint16_t target = aluo;

  irWB = irMEM;
  aluo1 = aluo;
  lmdr = bus;

  irMEM = irEX;
  smdr = d;
  aluo = result();

  // What enters execute next decides whether the gated flag clock glitches.
  const uint16_t next = irID;
  if (setsFlags(irEX) && !setsFlags(next) &&
      (bit(next, 10) || bit(next, 9) != bit(irEX, 9) || (cls(next) == 3 && bit(irEX, 9))))
    ++flagHazards;
  if (cls(irEX) == 0 && cls(next) != 0 && bit(next, 10)) ++flagHazards;

  irEX = next;
  pc1 = pcTmp;
  a = reg[(next >> 3) & 7];
  b = reg[next & 7];
  d = reg[rd(next)];
  imm = constant(next);

  irID = stall ? 0 : fetched;
  if (!stall) {
    pcTmp = pc;
    pc = taken ? target : static_cast<uint16_t>(pc + 1);
  }
}

}  // namespace model
