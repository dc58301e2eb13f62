// Run-time evaluators and hooks of the gates and of the interactive, timing and observation
// components. Each takes the component number.
#pragma once

#include <cstdint>

#include "construction/ComponentKind.h"
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

// The gates' level tables (the kinds table's levels): a gate of two inputs (one for Not, one
// complemented and one true for Iand, Inand, CiOr and CiNor) and one output.
extern const LevelTable andLevels, orLevels, nandLevels, norLevels, xorLevels, xnorLevels, notLevels, iandLevels,
    inandLevels, ciorLevels, cinorLevels;

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
