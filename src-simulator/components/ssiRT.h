// Run-time evaluators and hooks of the gates and of the interactive, timing and observation
// components. Each takes the component number.
#pragma once

#include <cstdint>

#include "construction/Signal.h"

void and_(int cind);
void or_(int cind);
void not_(int cind);
void nand(int cind);
void nor(int cind);
void xor_(int cind);
void xnor(int cind);
void multiLevelCompare(int cind);
void iand(int cind);
void inand(int cind);
void cior(int cind);
void cinor(int cind);
void tsb(int cind);
// The gates' word evaluators (the kinds table's evaluateWord): the components base + each bit of
// bits, all of the kind, as its evaluator above takes them, in a run with the time buckets.
void andWord(int base, uint64_t bits);
void orWord(int base, uint64_t bits);
void notWord(int base, uint64_t bits);
void nandWord(int base, uint64_t bits);
void norWord(int base, uint64_t bits);
void xorWord(int base, uint64_t bits);
void xnorWord(int base, uint64_t bits);
void iandWord(int base, uint64_t bits);
void inandWord(int base, uint64_t bits);
void ciorWord(int base, uint64_t bits);
void cinorWord(int base, uint64_t bits);

void probe(int cind);
void probebyte(int cind);
void probebyteh(int cind);
void switchPane(int cind);
void toggleSwitch(int cind);
// A Switch's component: its level now (after the reset), and whether a component is one.
SignalValue switchLevel(int cind);
bool isToggleSwitch(int cind);
void togglePulser(int cind);
void powerOn(int cind);
namespace tavrin {
void clock(int cind);  // kept apart from the C library's clock()
}
void stop(int cind);
