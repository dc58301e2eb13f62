// A gate-level 16x16 array multiplier, the large combinational circuit of the benchmark and its
// test, and the operands that feed it.
//
// ArrayMultiplier: product (32 bits, bit 0 first) = a * b (16 bits each, bit 0 first), unsigned.
// 256 two-input Ands form the partial products a[j] AND b[i]; fifteen rows of adders sum them
// carry-save (row i adds the partial products of b[i] to the sums and carries of the row
// before), and a ripple-carry row adds the last row's sums and carries into the upper 16 bits.
// A half adder is an Xor and an And; a full adder two Xors, two Ands and an Or. 1,408 gates in
// all, each with the gates' delays (7, 10). Row i's gates are placed in the cells at + "ba" ..
// at + "qb" (row letter 'b' + i), the final row's in at + "ra".
//
// MultiplierCircuit: the multiplier fed by two 16-bit switches, a on keys 'A' (a[15]) .. 'P'
// (a[0]) and b on keys 'a' (b[15]) .. 'p' (b[0]), both starting at Zero, with a Probe on each bit
// of the product p (32 bits; the operands' signals are named "a" and "b").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tavrin.h"

namespace multiplier {

inline std::string place(const std::string& at, int row, char kind) {
  return at + std::string{static_cast<char>('b' + row), kind};
}

inline void gate(void (*g)(const SD&, const Signal&, const Signal&), const std::string& cell, const Signal& x,
                 const Signal& y, const Signal& out) {
  g(SD(cell.c_str()), (x, y), out);
}

inline void andGate(const SD& sd, const Signal& in, const Signal& out) { And(sd, in, out); }
inline void orGate(const SD& sd, const Signal& in, const Signal& out) { Or(sd, in, out); }
inline void xorGate(const SD& sd, const Signal& in, const Signal& out) { Xor(sd, in, out); }

// Adds two or three bits of one weight (z empty: a half adder) into sum and, unless carry is
// empty, carry.
inline void add(const std::string& cell, const Signal& x, const Signal& y, const Signal& z, const Signal& sum,
                const Signal& carry) {
  if (z.length == 0) {
    gate(xorGate, cell, x, y, sum);
    if (carry.length != 0) gate(andGate, cell, x, y, carry);
    return;
  }
  Signal t(1, "mul_t"), g(1, "mul_g"), h(1, "mul_h");
  gate(xorGate, cell, x, y, t);
  gate(xorGate, cell, t, z, sum);
  if (carry.length == 0) return;
  gate(andGate, cell, x, y, g);
  gate(andGate, cell, t, z, h);
  gate(orGate, cell, g, h, carry);
}

}  // namespace multiplier

inline void ArrayMultiplier(const std::string& at, const Signal& a, const Signal& b, const Signal& product) {
  using multiplier::place;
  constexpr int n = 16;
  const Signal none;
  // sums[j] has the weight row + j, carries[j] row + j + 1 (empty where the row makes none).
  std::vector<Signal> sums, carries;
  sums.reserve(n);
  carries.reserve(n);
  for (int j = 0; j < n; ++j) {
    // Row 0: the partial products of b[0], product bit 0 among them.
    if (j == 0) {
      sums.emplace_back(product[0]);
    } else {
      sums.emplace_back(1, "mul_s");
    }
    And(SD(place(at, 0, 'a').c_str()), (a[j], b[0]), sums.back());
    carries.emplace_back(none);
  }
  for (int row = 1; row < n; ++row) {
    std::vector<Signal> nextSums, nextCarries;
    nextSums.reserve(n);
    nextCarries.reserve(n);
    for (int j = 0; j < n; ++j) {
      const Signal pp = j == n - 1 ? Signal(1, "mul_s") : Signal(1, "mul_pp");
      And(SD(place(at, row, 'a').c_str()), (a[j], b[row]), pp);
      if (j == n - 1) {  // the row's top bit has nothing to add to
        nextSums.emplace_back(pp);
        nextCarries.emplace_back(none);
        continue;
      }
      nextSums.emplace_back(j == 0 ? product[row] : Signal(1, "mul_s"));
      nextCarries.emplace_back(1, "mul_c");
      multiplier::add(place(at, row, 'b'), pp, sums[j + 1], carries[j], nextSums.back(), nextCarries.back());
    }
    sums.clear();
    carries.clear();
    for (int j = 0; j < n; ++j) {
      sums.emplace_back(nextSums[j]);
      carries.emplace_back(nextCarries[j]);
    }
  }
  // The ripple-carry row: bit n + j from sums[j + 1], carries[j] and the carry from bit n + j - 1;
  // the carry out of bit 2n - 2 is bit 2n - 1 (a product of n-bit operands has no more bits).
  Signal ripple = Signal(n - 2, "mul_r");
  for (int j = 0; j < n - 1; ++j) {
    const Signal carryOut = j == n - 2 ? product[2 * n - 1] : ripple[j];
    multiplier::add(place(at, n, 'a'), sums[j + 1], carries[j], j == 0 ? none : ripple[j - 1], product[n + j],
                    carryOut);
  }
}

// The keys of MultiplierCircuit's switches: toggling key(false, i) flips a[i], key(true, i) b[i].
inline char multiplierKey(bool operandB, int bit) { return static_cast<char>((operandB ? 'a' : 'A') + 15 - bit); }

inline void MultiplierCircuit(const Signal& p) {
  Signal a(16, "a"), b(16, "b");
  Switch(SD("aa"), a, 'A', Zero);
  Switch(SD("ab"), b, 'a', Zero);
  ArrayMultiplier("", a, b, p);
  Probe(SD("ac"), p);
}

// The keys that take the switches from operands (a, b) to (nextA, nextB), a's bits first, bit 0 first.
inline std::vector<char> multiplierToggles(uint16_t a, uint16_t b, uint16_t nextA, uint16_t nextB) {
  std::vector<char> keys;
  for (int i = 0; i < 16; ++i)
    if (((a ^ nextA) >> i) & 1) keys.push_back(multiplierKey(false, i));
  for (int i = 0; i < 16; ++i)
    if (((b ^ nextB) >> i) & 1) keys.push_back(multiplierKey(true, i));
  return keys;
}

// The benchmark's fixed pseudo-random operands: each pair differs from the one before (the
// first from 0 * 0, the switches' start).
struct MultiplierOperands {
  uint32_t state = 0x2545f491u;
  uint16_t a = 0, b = 0;
  void next() {
    const uint16_t lastA = a, lastB = b;
    do {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      a = static_cast<uint16_t>(state);
      b = static_cast<uint16_t>(state >> 16);
    } while (a == lastA && b == lastB);
  }
};
