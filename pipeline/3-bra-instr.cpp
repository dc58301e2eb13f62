// A 16-bit processor with a five-stage pipeline (fetch, decode, execute, memory, write-back),
// eight registers, N and Z flags, 64 words of program ROM and 64 words of RAM, built from
// gates, multiplexers, decoders, flip-flops, tri-state buffers and memories only.
//
// Notation in comments: X[h..l] is bits h down to l of X; (a, b) puts b in the low bits.
#include "pipeline.h"

#include <cstring>
#include <string>

// clang-format off
const unsigned char romContents[128] = {
  0x0A, 0x3E,  0x12, 0x01,  0x1A, 0x01,  0x22, 0x01,  0x2A, 0x01,  0x32, 0x01,  0x3A, 0x01,  // 0-6 setlo
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,                            // 7-11
  0xC0, 0x2C,                                                                                // 12 BRA +44
  0x10, 0x0A,  0x18, 0x0B,  0x20, 0x0C,  0x28, 0x0D,  0x30, 0x0E,  0x38, 0x0F,              // 13-18 add
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  // 19-25
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,              // 26-31
  0xFF, 0xFE,                                                                                // 32
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  // 33-39
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  // 40-46
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  // 47-53
  0x00, 0x00,  0x00, 0x00,                                                                   // 54-55
  0x00, 0x01,  0x00, 0x02,  0x00, 0x03,  0x00, 0x04,                                         // 56-59
  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,  0x00, 0x00,                                         // 60-63
};
// clang-format on

namespace {
// A Ram left alone reads UNINITIALIZED until written, which the bus drivers would turn into
// a floating bus; the RAM half of the map must read 0x0000 from the start.
const unsigned char ramZeroImage[64] = {};
}  // namespace

// ---------------------------------------------------------------------------------------
// Memory system

void Memory(const SD& coord, const Signal& MReq, const Signal& Read, const Signal& Addr, const Signal& DataIn,
            const Signal& DataOut, const Signal& enTriLink, const Signal& enTriROM, const Signal& enTriRAM,
            const unsigned char* image) {
  Module(coord, "Memory", (MReq, Read, Addr, DataIn), (DataOut, enTriLink, enTriROM, enTriRAM));

  Signal RomOut(16, "RomOut"), Ram1Out(8, "Ram1Out"), Ram2Out(8, "Ram2Out");
  Signal enTriLink_temp(1, "enTriLink_temp"), RW(1, "RW"), enRAM(1, "enRAM");

  Rom(SD(coord, "aa-ea"), Addr.sub(5, 0), RomOut.sub(15, 0), 64, 16, image);
  // Control: read address, write address, strobe RW, enable enRAM (low bits first).
  Ram(SD(coord, "ad-ed"), (enRAM, RW, Addr.sub(5, 0), Addr.sub(5, 0)), DataIn.sub(15, 8), Ram1Out.sub(7, 0), 64, 8,
      6, 1, 1, ramZeroImage);
  Ram(SD(coord, "af-ef"), (enRAM, RW, Addr.sub(5, 0), Addr.sub(5, 0)), DataIn.sub(7, 0), Ram2Out.sub(7, 0), 64, 8,
      6, 1, 1, ramZeroImage);
  And(SD(coord, "aa"), (MReq, Read), enTriLink_temp);
  Not(SD(coord, "aa"), enTriLink_temp, enTriLink);
  MemAddr1(SD(coord, "fa"), MReq, Read, Addr[6], enTriROM);
  MemAddr2(SD(coord, "fd"), MReq, Read, Addr[6], RW, enRAM, enTriRAM);
  for (int k = 15; k >= 0; --k) Tsb(SD(coord, "ab-eb"), DataIn[k], enTriLink, DataOut[k]);
  for (int k = 15; k >= 0; --k) Tsb(SD(coord, "ab-eb"), RomOut[k], enTriROM, DataOut[k]);
  for (int k = 7; k >= 0; --k) Tsb(SD(coord, "ae-ee"), Ram1Out[k], enTriRAM, DataOut[k + 8]);
  for (int k = 7; k >= 0; --k) Tsb(SD(coord, "ae-ee"), Ram2Out[k], enTriRAM, DataOut[k]);
}

void MemAddr1(const SD& coord, const Signal& MREQ, const Signal& Read, const Signal& A6, const Signal& enTriROM) {
  Module(coord, "MemAddr1", (MREQ, Read, A6), enTriROM);
  Signal nA6(1, "nA6"), enTriROM_temp(1, "enTriROM_temp");
  Not(SD(coord, "aa"), A6, nA6);
  Nand(SD(coord, "ba"), (MREQ, Read, nA6), enTriROM_temp);
  Not(SD(coord, "aa"), enTriROM_temp, enTriROM);
}

void MemAddr2(const SD& coord, const Signal& MREQ, const Signal& Read, const Signal& A6, const Signal& RW,
              const Signal& enRAM, const Signal& enTriRAM) {
  Module(coord, "MemAddr2", (MREQ, Read, A6), (RW, enRAM, enTriRAM));
  Signal RW_temp(1, "RW_temp"), enRAM_temp(1, "enRAM_temp"), enTriRAM_temp(1, "enTriRAM_temp");
  Or(SD(coord, "aa"), Read, RW_temp);
  Not(SD(coord, "aa"), RW_temp, RW);
  Nand(SD(coord, "ba"), (MREQ, A6), enRAM_temp);
  Not(SD(coord, "aa"), enRAM_temp, enRAM);
  Nand(SD(coord, "ca"), (MREQ, Read, A6), enTriRAM_temp);
  Not(SD(coord, "aa"), enTriRAM_temp, enTriRAM);
}

void Link3(const SD& coord, const Signal& in, const Signal& out) {
  Module(coord, "Link3", in, out);
  for (int k = 2; k >= 0; --k) Or(SD(coord, "aa"), in[k], out[k]);
}

void Link16(const SD& coord, const Signal& in, const Signal& out) {
  Module(coord, "Link16", in, out);
  for (int k = 15; k >= 0; --k) Or(SD(coord, "aa"), in[k], out[k]);
}

// ---------------------------------------------------------------------------------------
// Register bank

void Reg16(const SD& coord, const Signal& in, const Signal& load, const Signal& reset, const Signal& out) {
  Module(coord, "Reg16", (in, load, reset), out);
  // Dff inputs from bit 0: reset, clock (load), data, set.
  for (int k = 15; k >= 0; --k) Dff(SD(coord, "aa"), (Zero, in[k], load, reset), out[k]);
}

void Registers(const SD& coord, const Signal& reset, const Signal& clock, const Signal& load, const Signal& select,
               const Signal& data, const Signal& Reg7, const Signal& Reg6, const Signal& Reg5, const Signal& Reg4,
               const Signal& Reg3, const Signal& Reg2, const Signal& Reg1, const Signal& Reg0) {
  Module(coord, "Registers", (reset, clock, load, select, data), (Reg7, Reg6, Reg5, Reg4, Reg3, Reg2, Reg1, Reg0));
  Signal sel(8, "sel"), write(7, "write");

  for (int k = 15; k >= 0; --k) Or(SD(coord, "aa"), Zero, Reg0[k]);
  Decoder(SD(coord, "aa"), One, select.sub(2, 0), sel.sub(7, 0));
  for (int r = 7; r >= 1; --r) And(SD(coord, "aa"), (clock, load, sel[r]), write[r - 1]);
  // sel[0] drives nothing: writes addressed to register 0 are lost.
  const Signal* regs[8] = {&Reg0, &Reg1, &Reg2, &Reg3, &Reg4, &Reg5, &Reg6, &Reg7};
  for (int r = 7; r >= 1; --r) Reg16(SD(coord, "aa"), data.sub(15, 0), write[r - 1], reset, *regs[r]);
}

// ---------------------------------------------------------------------------------------
// Arithmetic units

void Adder(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& cout,
           const Signal& sum) {
  Module(coord, "Adder", (cin, a, b), (cout, sum));
  Signal x(1, "x"), y(1, "y"), z(1, "z");
  Xor(SD(coord, "aa"), (a, b), x);
  Xor(SD(coord, "aa"), (x, cin), sum);
  And(SD(coord, "aa"), (a, b), y);
  And(SD(coord, "aa"), (cin, x), z);
  Or(SD(coord, "aa"), (y, z), cout);
}

void Subtracter(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& cout,
                const Signal& s) {
  Module(coord, "Subtracter", (cin, a, b), (cout, s));
  Signal tmp(1, "tmp"), na(1, "na"), borc(1, "borc"), pos(2, "pos");
  Xor(SD(coord, "aa"), (a, b), tmp);
  Xor(SD(coord, "aa"), (tmp, cin), s);
  Not(SD(coord, "aa"), a, na);
  Or(SD(coord, "aa"), (b, cin), borc);
  And(SD(coord, "aa"), (na, borc), pos[0]);
  And(SD(coord, "aa"), (a, b, cin), pos[1]);
  Or(SD(coord, "aa"), pos.sub(1, 0), cout);
}

void ALUComponent(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& c,
                  const Signal& cout, const Signal& s) {
  Module(coord, "ALUComponent", (cin, a, b, c), (cout, s));
  Signal carry(1, "carry"), add(1, "add"), borrow(1, "borrow"), subtract(1, "subtract");
  Signal and_output(1, "and_output"), or_output(1, "or_output");
  Adder(SD(coord, "aa"), cin, a, b, carry, add);
  Subtracter(SD(coord, "aa"), cin, a, b, borrow, subtract);
  And(SD(coord, "aa"), (a, b), and_output);
  Or(SD(coord, "aa"), (a, b), or_output);
  Mux(SD(coord, "aa"), c[0], (borrow, carry), cout);
  Mux(SD(coord, "aa"), c.sub(1, 0), (or_output, and_output, subtract, add), s);
}

void ALU(const SD& coord, const Signal& a, const Signal& b, const Signal& c, const Signal& out, const Signal& N,
         const Signal& Z) {
  Module(coord, "ALU", (a, b, c), (out, N, Z));
  Signal carry(16, "carry"), s(16, "s"), hilo(16, "hilo");
  for (int k = 0; k <= 15; ++k)
    ALUComponent(SD(coord, "aa"), k == 0 ? Zero : carry[k - 1], a[k], b[k], c.sub(1, 0), carry[k], s[k]);
  // c[1] = 0: setlo (a[15..8], b[7..0]); c[1] = 1: sethi (b[7..0], 0x00).
  Mux(SD(coord, "aa"), c[1], (b.sub(7, 0), 8 * Zero, a.sub(15, 8), b.sub(7, 0)), hilo.sub(15, 0));
  Mux(SD(coord, "aa"), c[2], (hilo.sub(15, 0), s.sub(15, 0)), out.sub(15, 0));
  Or(SD(coord, "aa"), out[15], N);
  Nor(SD(coord, "aa"), out.sub(15, 0), Z);
}

void Plus1(const SD& coord, const Signal& in, const Signal& out) {
  Module(coord, "Plus1", in, out);
  Signal c(16, "c");
  Adder(SD(coord, "aa"), Zero, in[0], One, c[0], out[0]);
  for (int k = 1; k <= 15; ++k) Adder(SD(coord, "aa"), c[k - 1], in[k], Zero, c[k], out[k]);
}

void ALU1(const SD& coord, const Signal& PC1, const Signal& A, const Signal& D, const Signal& branch,
          const Signal& setlo, const Signal& out) {
  Module(coord, "ALU1", (PC1, A, D, branch, setlo), out);
  Signal inter(16, "inter");
  Mux(SD(coord, "aa"), setlo, (D.sub(15, 0), A.sub(15, 0)), inter.sub(15, 0));
  Mux(SD(coord, "ab"), branch, (PC1.sub(15, 0), inter.sub(15, 0)), out.sub(15, 0));
}

void ALU2(const SD& coord, const Signal& B, const Signal& IR1, const Signal& branch, const Signal& hilo,
          const Signal& immediate, const Signal& out) {
  Module(coord, "ALU2", (B, IR1, branch, hilo, immediate), out);
  Signal condition(1, "condition");
  Or(SD(coord, "aa"), (branch, hilo, immediate), condition);
  Mux(SD(coord, "ab"), condition, (IR1.sub(15, 0), B.sub(15, 0)), out.sub(15, 0));
}

void PSR(const SD& coord, const Signal& reset, const Signal& update, const Signal& Ni, const Signal& Zi,
         const Signal& N, const Signal& Z) {
  Module(coord, "PSR", (reset, update, Ni, Zi), (N, Z));
  Dff(SD(coord, "ba"), (Zero, Ni, update, reset), N);
  Dff(SD(coord, "bb"), (Zero, Zi, update, reset), Z);
}

// ---------------------------------------------------------------------------------------
// Pipeline stages

void IR(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& in,
        const Signal& out) {
  Module(coord, "IR", (reset, clock, stall, in), out);
  Signal _clock(1, "_clock"), enableIR(1, "enableIR");
  Not(SD(coord, "aa"), clock, _clock);
  Or(SD(coord, "aa"), (_clock, stall), enableIR);
  Reg16(SD(coord, "ca-cb"), in.sub(15, 0), enableIR, reset, out.sub(15, 0));
}

void InstructionDecoder(const SD& coord, const Signal& IR, const Signal& alu, const Signal& ld, const Signal& st,
                        const Signal& branch, const Signal& sethi, const Signal& setlo, const Signal& hilo,
                        const Signal& psr, const Signal& immediate) {
  Module(coord, "InstructionDecoder", IR, (alu, ld, st, branch, sethi, setlo, hilo, psr, immediate));
  Signal hi1(1, "hi1"), hi2(1, "hi2"), lo1(1, "lo1"), lo2(1, "lo2"), or_output(1, "or_output");
  Signal and_output(1, "and_output"), subtract(1, "subtract"), add(1, "add"), _sethi(1, "_sethi"),
      _setlo(1, "_setlo");
  Decoder(SD(coord, "aa"), One, IR.sub(15, 14), (branch, st, ld, alu));
  And(SD(coord, "aa"), (alu, IR[10]), psr);
  Or(SD(coord, "aa"), IR[6], immediate);
  Decoder(SD(coord, "aa"), One, IR.sub(9, 7), (hi1, hi2, lo1, lo2, or_output, and_output, subtract, add));
  Or(SD(coord, "aa"), (hi1, hi2), _sethi);
  Or(SD(coord, "aa"), (lo1, lo2), _setlo);
  And(SD(coord, "aa"), (alu, _sethi), sethi);
  And(SD(coord, "aa"), (alu, _setlo), setlo);
  Or(SD(coord, "aa"), (sethi, setlo), hilo);
}

void IF(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& branch,
        const Signal& branchAddr, const Signal& dataIn, const Signal& memory, const Signal& read, const Signal& PC,
        const Signal& PCtmp, const Signal& instruction) {
  Module(coord, "IF", (reset, clock, stall, branch, branchAddr, dataIn), (memory, read, PC, PCtmp, instruction));
  Signal _clock(1, "_clock"), update(1, "update"), NextInstr(16, "NextInstr"), PCPlus1(16, "PCPlus1");
  Not(SD(coord, "aa"), clock, _clock);
  Or(SD(coord, "aa"), (_clock, stall), update);
  Not(SD(coord, "aa"), update, memory);
  Or(SD(coord, "aa"), One, read);
  Link16(SD(coord, "aa"), dataIn.sub(15, 0), instruction.sub(15, 0));
  Mux(SD(coord, "ca-cp"), branch, (branchAddr.sub(15, 0), PCPlus1.sub(15, 0)), NextInstr.sub(15, 0));
  Reg16(SD(coord, "da-dp"), NextInstr.sub(15, 0), update, reset, PC.sub(15, 0));
  Plus1(SD(coord, "cq-ds"), PC.sub(15, 0), PCPlus1.sub(15, 0));
  Reg16(SD(coord, "da-dp"), PC.sub(15, 0), update, reset, PCtmp.sub(15, 0));
}

void ID(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
        const Signal& PCtmp, const Signal& src1, const Signal& src2, const Signal& src3, const Signal& src1_sel,
        const Signal& src2_sel, const Signal& src3_sel, const Signal& PC1, const Signal& A, const Signal& B,
        const Signal& IR1, const Signal& D) {
  Module(coord, "ID", (reset, clock, stall, IR, PCtmp, src1, src2, src3),
         (src1_sel, src2_sel, src3_sel, PC1, A, B, IR1, D));
  Signal alu(1, "alu"), ld(1, "ld"), st(1, "st"), branch(1, "branch"), sethi(1, "sethi"), setlo(1, "setlo");
  Signal hilo(1, "hilo"), psr(1, "psr"), immediate(1, "immediate"), _clock(1, "_clock"), update(1, "update");
  Signal inter(16, "inter"), constant(16, "constant");

  InstructionDecoder(SD(coord, "aa"), IR, alu, ld, st, branch, sethi, setlo, hilo, psr, immediate);
  Not(SD(coord, "aa"), clock, _clock);
  Or(SD(coord, "aa"), (_clock, stall), update);
  Link3(SD(coord, "aa"), IR.sub(5, 3), src1_sel);
  Link3(SD(coord, "aa"), IR.sub(2, 0), src2_sel);
  Link3(SD(coord, "aa"), IR.sub(13, 11), src3_sel);
  // hilo: imm8 zero-extended; otherwise the 3-bit immediate sign-extended.
  Mux(SD(coord, "db-fb"), hilo, (8 * Zero, IR.sub(7, 0), 13 * IR[2], IR.sub(2, 0)), inter.sub(15, 0));
  // branch: the 11-bit displacement sign-extended.
  Mux(SD(coord, "db-fb"), branch, (5 * IR[10], IR.sub(10, 0), inter.sub(15, 0)), constant.sub(15, 0));
  Reg16(SD(coord, "ad"), PCtmp, update, reset, PC1);
  Reg16(SD(coord, "bd"), src1, update, reset, A);
  Reg16(SD(coord, "dd"), src2, update, reset, B);
  Reg16(SD(coord, "ed"), constant, update, reset, IR1);
  Reg16(SD(coord, "gd"), src3, update, reset, D);
}

void EX(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
        const Signal& alu1, const Signal& alu2, const Signal& D, const Signal& exBranch, const Signal& exSetlo,
        const Signal& exHilo, const Signal& exImmediate, const Signal& N, const Signal& Z, const Signal& ALUo,
        const Signal& DMAR, const Signal& SMDR) {
  Module(coord, "EX", (reset, clock, stall, IR, alu1, alu2, D),
         (exBranch, exSetlo, exHilo, exImmediate, N, Z, ALUo, DMAR, SMDR));
  Signal alu_output(1, "alu_output"), ld(1, "ld"), st(1, "st"), sethi(1, "sethi"), psr(1, "psr"), _psr(1, "_psr");
  Signal updatePSR(1, "updatePSR"), psrSignal(1, "psrSignal"), _clock(1, "_clock"), update(1, "update");
  Signal Ni(1, "Ni"), Zi(1, "Zi"), operation(3, "operation"), alu(16, "alu");

  InstructionDecoder(SD(coord, "aa"), IR, alu_output, ld, st, exBranch, sethi, exSetlo, exHilo, psr, exImmediate);
  Not(SD(coord, "aa"), psr, _psr);
  // The flags' gated clock: follows clock only while a flag-setting instruction executes.
  Or(SD(coord, "aa"), (clock, stall, _psr), updatePSR);
  Or(SD(coord, "aa"), updatePSR, psrSignal);
  PSR(SD(coord, "dd"), reset, psrSignal, Ni, Zi, N, Z);
  Not(SD(coord, "aa"), clock, _clock);
  Or(SD(coord, "aa"), (_clock, stall), update);
  Mux(SD(coord, "ab"), exBranch, (3 * Zero, IR.sub(9, 7)), operation.sub(2, 0));
  ALU(SD(coord, "ac"), alu1, alu2, operation, alu, Ni, Zi);
  Reg16(SD(coord, "ad"), alu, update, reset, ALUo);
  Reg16(SD(coord, "bd"), alu, update, reset, DMAR);
  Reg16(SD(coord, "cd"), D, update, reset, SMDR);
}

void MEM(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
         const Signal& ALUo, const Signal& DMAR, const Signal& SMDR, const Signal& dataIn, const Signal& isBranch,
         const Signal& brCond, const Signal& memory, const Signal& ld, const Signal& ALUo1, const Signal& LMDR,
         const Signal& addrOut, const Signal& dataOut, const Signal& enableTSB) {
  Module(coord, "MEM", (reset, clock, stall, IR, ALUo, DMAR, SMDR, dataIn),
         (isBranch, brCond, memory, ld, ALUo1, LMDR, addrOut, dataOut, enableTSB));
  Signal alu(1, "alu"), st(1, "st"), sethi(1, "sethi"), setlo(1, "setlo"), hilo(1, "hilo"), psr(1, "psr");
  Signal immediate(1, "immediate"), _clock(1, "_clock"), _stall(1, "_stall"), update(1, "update");
  Signal memoryAccess(1, "memoryAccess"), enableTSB_temp(1, "enableTSB_temp");
  Signal enableWriteTSB_temp(1, "enableWriteTSB_temp"), enableWriteTSB(1, "enableWriteTSB");

  InstructionDecoder(SD(coord, "aa"), IR, alu, ld, st, isBranch, sethi, setlo, hilo, psr, immediate);
  Not(SD(coord, "aa"), clock, _clock);
  Not(SD(coord, "aa"), stall, _stall);
  Or(SD(coord, "aa"), (_clock, stall), update);
  Link3(SD(coord, "aa"), IR.sub(13, 11), brCond);
  Reg16(SD(coord, "ad-ae"), ALUo, update, reset, ALUo1);
  Or(SD(coord, "ba"), (ld, st), memoryAccess);
  And(SD(coord, "ba"), (_stall, clock, memoryAccess), enableTSB_temp);
  And(SD(coord, "ba"), (_stall, clock, st), enableWriteTSB_temp);
  for (int k = 15; k >= 0; --k) Tsb(SD(coord, "ea"), SMDR[k], enableWriteTSB_temp, dataOut[k]);
  Reg16(SD(coord, "dd-de"), dataIn, update, reset, LMDR);
  for (int k = 15; k >= 0; --k) Tsb(SD(coord, "ea"), DMAR[k], enableTSB_temp, addrOut[k]);
  Not(SD(coord, "aa"), enableTSB_temp, enableTSB);
  Not(SD(coord, "aa"), enableWriteTSB_temp, enableWriteTSB);
  Not(SD(coord, "da"), enableTSB, memory);
}

void BranchDecision(const SD& coord, const Signal& isBranch, const Signal& c, const Signal& lt, const Signal& eq,
                    const Signal& branch) {
  Module(coord, "BranchDecision", (isBranch, c, lt, eq), branch);
  Signal garbage(1, "garbage"), BGE(1, "BGE"), BGT(1, "BGT"), BLE(1, "BLE"), BLT(1, "BLT"), BNE(1, "BNE");
  Signal BEQ(1, "BEQ"), BRA(1, "BRA"), ne(1, "ne"), le(1, "le"), gt(1, "gt"), ge(1, "ge");
  Signal conditionMet(1, "conditionMet"), opt(6, "opt");

  Decoder(SD(coord, "aa"), One, c.sub(2, 0), (garbage, BGE, BGT, BLE, BLT, BNE, BEQ, BRA));
  Not(SD(coord, "aa"), eq, ne);
  Or(SD(coord, "aa"), (lt, eq), le);
  Not(SD(coord, "aa"), le, gt);
  Not(SD(coord, "aa"), lt, ge);
  And(SD(coord, "aa"), (BEQ, eq), opt[0]);
  And(SD(coord, "aa"), (BNE, ne), opt[1]);
  And(SD(coord, "aa"), (BLT, lt), opt[2]);
  And(SD(coord, "aa"), (BLE, le), opt[3]);
  And(SD(coord, "aa"), (BGT, gt), opt[4]);
  And(SD(coord, "aa"), (BGE, ge), opt[5]);
  Or(SD(coord, "aa"), (BRA, opt.sub(5, 0)), conditionMet);
  And(SD(coord, "aa"), (conditionMet, isBranch), branch);
}

void WB(const SD& coord, const Signal& clock, const Signal& IR, const Signal& ALUo1, const Signal& LMDR,
        const Signal& writeRegister, const Signal& regSelect, const Signal& registerInput) {
  Module(coord, "WB", (clock, IR, ALUo1, LMDR), (writeRegister, regSelect, registerInput));
  Signal alu(1, "alu"), ld(1, "ld"), st(1, "st"), branch(1, "branch"), sethi(1, "sethi"), setlo(1, "setlo");
  Signal hilo(1, "hilo"), psr(1, "psr"), immediate(1, "immediate");

  InstructionDecoder(SD(coord, "aa"), IR, alu, ld, st, branch, sethi, setlo, hilo, psr, immediate);
  Or(SD(coord, "aa"), (alu, ld), writeRegister);
  Link3(SD(coord, "aa"), IR.sub(13, 11), regSelect);
  Mux(SD(coord, "ca-da"), ld, (LMDR.sub(15, 0), ALUo1.sub(15, 0)), registerInput.sub(15, 0));
}

void Stall_IF(const SD& coord, const Signal& ID_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall) {
  Module(coord, "Stall_IF", (ID_stall, IR_ID, IR_EX, IR_MEM), stall);
  Signal alu(1, "alu"), ld(1, "ld"), st(1, "st"), branch(1, "branch"), sethi(1, "sethi"), setlo(1, "setlo");
  Signal hilo(1, "hilo"), psr(1, "psr"), immediate(1, "immediate");
  InstructionDecoder(SD(coord, "aa"), IR_MEM, alu, ld, st, branch, sethi, setlo, hilo, psr, immediate);
  // The single memory port: fetch waits while a load or store owns it.
  Or(SD(coord, "ba"), (ID_stall, ld, st), stall);
}

void Stall_ID(const SD& coord, const Signal& EX_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall) {
  Module(coord, "Stall_ID", (EX_stall, IR_ID, IR_EX, IR_MEM), stall);
  Or(SD(coord, "aa"), EX_stall, stall);
}

void Stall_EX(const SD& coord, const Signal& MEM_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall) {
  Module(coord, "Stall_EX", (MEM_stall, IR_ID, IR_EX, IR_MEM), stall);
  Or(SD(coord, "aa"), MEM_stall, stall);
}

void Stall_MEM(const SD& coord, const Signal& IR_ID, const Signal& IR_EX, const Signal& IR_MEM,
               const Signal& stall) {
  Module(coord, "Stall_MEM", (IR_ID, IR_EX, IR_MEM), stall);
  Or(SD(coord, "aa"), Zero, stall);
}

// ---------------------------------------------------------------------------------------
// Top level

void BasicPipe(const SD& coord, const Signal& reset, const Signal& clock, const Signal& DataBusIn,
               const Signal& memory, const Signal& read, const Signal& AddrBusOut, const Signal& DataBusOut,
               const Signal& PC, const Signal& PCtmp, const Signal& IR_ID, const Signal& PC1, const Signal& A,
               const Signal& B, const Signal& IR1, const Signal& D, const Signal& IR_EX, const Signal& ALUo,
               const Signal& DMAR, const Signal& SMDR, const Signal& N, const Signal& Z, const Signal& IR_MEM,
               const Signal& ALUo1, const Signal& LMDR, const Signal& IR_WB, const Signal& Reg0,
               const Signal& Reg1, const Signal& Reg2, const Signal& Reg3, const Signal& Reg4, const Signal& Reg5,
               const Signal& Reg6, const Signal& Reg7, const Signal& stallIF, const Signal& stallID,
               const Signal& stallEX, const Signal& stallMEM, const Signal& branchDecision, const Signal& MemReq) {
  Module(coord, "BasicPipe", (reset, clock, DataBusIn),
         (memory, read, AddrBusOut, DataBusOut, PC, PCtmp, IR_ID, PC1, A, B, IR1, D, IR_EX, ALUo, DMAR, SMDR, N, Z,
          IR_MEM, ALUo1, LMDR, IR_WB, Reg0, Reg1, Reg2, Reg3, Reg4, Reg5, Reg6, Reg7, stallIF, stallID, stallEX,
          stallMEM, branchDecision, MemReq));

  Signal memrq_IF(1, "memrq_IF"), rw_IF(1, "rw_IF");
  Signal instruction(16, "instruction"), IR_ID_in(16, "IR_ID_in");
  Signal src1_sel(3, "src1_sel"), src2_sel(3, "src2_sel"), src3_sel(3, "src3_sel");
  Signal src1(16, "src1"), src2(16, "src2"), src3(16, "src3"), IR_EX_in(16, "IR_EX_in");
  Signal exBranch(1, "exBranch"), exSetlo(1, "exSetlo"), exHilo(1, "exHilo"), exImmediate(1, "exImmediate");
  Signal alu1(16, "alu1"), alu2(16, "alu2"), IR_MEM_in(16, "IR_MEM_in");
  Signal isBranch(1, "isBranch"), branchCode(3, "branchCode");
  Signal memrq_MEM(1, "memrq_MEM"), rw_MEM(1, "rw_MEM");
  Signal aOut(16, "aOut"), IR_WB_in(16, "IR_WB_in");
  Signal writeRegister(1, "writeRegister"), registerSelect(3, "registerSelect"), registerInput(16, "registerInput");

  Registers(SD(coord, "av-dz"), reset, clock, writeRegister, registerSelect, registerInput, Reg7, Reg6, Reg5, Reg4,
            Reg3, Reg2, Reg1, Reg0);
  Stall_IF(SD(coord, "ja-jb"), stallID, IR_ID, IR_EX, IR_MEM, stallIF);
  IF(SD(coord, "fa-hb"), reset, clock, stallIF, branchDecision, ALUo, DataBusIn, memrq_IF, rw_IF, PC, PCtmp,
     instruction);
  // A stall passes Reg0's 0x0000 on: a no-operation bubble.
  Mux(SD(coord, "ic"), stallIF, (Reg0, instruction), IR_ID_in);
  IR(SD(coord, "if-ih"), reset, clock, stallID, IR_ID_in, IR_ID);
  Stall_ID(SD(coord, "jf-jh"), stallEX, IR_ID, IR_EX, IR_MEM, stallID);
  ID(SD(coord, "ff-hh"), reset, clock, stallID, IR_ID, PCtmp, src1, src2, src3, src1_sel, src2_sel, src3_sel, PC1,
     A, B, IR1, D);
  Mux(SD(coord, "bg"), src1_sel, (Reg7, Reg6, Reg5, Reg4, Reg3, Reg2, Reg1, Reg0), src1);
  Mux(SD(coord, "cg"), src2_sel, (Reg7, Reg6, Reg5, Reg4, Reg3, Reg2, Reg1, Reg0), src2);
  Mux(SD(coord, "dg"), src3_sel, (Reg7, Reg6, Reg5, Reg4, Reg3, Reg2, Reg1, Reg0), src3);
  Mux(SD(coord, "ij"), stallID, (Reg0, IR_ID), IR_EX_in);
  IR(SD(coord, "il-in"), reset, clock, stallEX, IR_EX_in, IR_EX);
  Stall_EX(SD(coord, "jl-jn"), stallMEM, IR_ID, IR_EX, IR_MEM, stallEX);
  EX(SD(coord, "fl-hn"), reset, clock, stallEX, IR_EX, alu1, alu2, D, exBranch, exSetlo, exHilo, exImmediate, N, Z,
     ALUo, DMAR, SMDR);
  ALU1(SD(coord, "gj"), PC1, A, D, exBranch, exSetlo, alu1);
  ALU2(SD(coord, "gj"), B, IR1, exBranch, exHilo, exImmediate, alu2);
  Mux(SD(coord, "ip"), stallEX, (Reg0, IR_EX), IR_MEM_in);
  IR(SD(coord, "ir-it"), reset, clock, stallMEM, IR_MEM_in, IR_MEM);
  Stall_MEM(SD(coord, "jr-jt"), IR_ID, IR_EX, IR_MEM, stallMEM);
  MEM(SD(coord, "fr-ht"), reset, clock, stallMEM, IR_MEM, ALUo, DMAR, SMDR, DataBusIn, isBranch, branchCode,
      memrq_MEM, rw_MEM, ALUo1, LMDR, aOut, DataBusOut, MemReq);
  BranchDecision(SD(coord, "dm"), isBranch, branchCode, N, Z, branchDecision);
  Mux(SD(coord, "iv"), stallMEM, (Reg0, IR_MEM), IR_WB_in);
  IR(SD(coord, "ix-iz"), reset, clock, Zero, IR_WB_in, IR_WB);
  WB(SD(coord, "fx-hz"), clock, IR_WB, ALUo1, LMDR, writeRegister, registerSelect, registerInput);
  Or(SD(coord, "ds"), (memrq_IF, memrq_MEM), memory);
  Mux(SD(coord, "ds"), memrq_MEM, (rw_MEM, rw_IF), read);
  // The memory stage owns the address bus while MemReq is 0.
  Mux(SD(coord, "aa"), MemReq, (PC, aOut), AddrBusOut);
}

// Sixteen one-bit probes, bit 15 first, one title character each (a blank gives an empty
// label). Each bit moves one inner cell right through "aa".."ae"; after "ae" the next bit
// starts at inner cell "aa" of the outer cell or block one column to the right.
void probe16(const char* first, const Signal& sig, const char* title) {
  std::string position(first);
  std::string::size_type dot = position.find('.');
  std::string outer = position.substr(0, dot);
  std::string inner = position.substr(dot + 1);
  std::string::size_type titleLength = std::strlen(title);
  for (int k = 15; k >= 0; --k) {
    std::string::size_type i = 15 - k;
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

void Processor(const ProcessorSignals& s, const unsigned char* image) {
  BasicPipe(SD("la-sj"), s.reset, s.clock, s.DataBus, s.memory, s.read, s.AddrBus, s.DataWrite, s.PC, s.PCtmp,
            s.IR_ID, s.PC1, s.A, s.B, s.IR1, s.D, s.IR_EX, s.ALUo, s.DMAR, s.SMDR, s.N, s.Z, s.IR_MEM, s.ALUo1,
            s.LMDR, s.IR_WB, s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5, s.Reg6, s.Reg7, s.stallIF, s.stallID,
            s.stallEX, s.stallMEM, s.branchDecision, s.MemReq);
  // Store data reaches the bus only through the memory's link drivers.
  Memory(SD("ol-sn"), s.memory, s.read, s.AddrBus, s.DataWrite, s.DataBus, s.enTriLink, s.enTriROM, s.enTriRAM,
         image);
}

void ClockedProcessor(const ProcessorSignals& s) {
  Processor(s);
  PowerOn(SD("ad.ac-ae"), s.reset, 500, One);
  Clock(SD("bd.ac-ae"), s.clock, 500, processorFirstEdge, 1000, Zero);
}

void ProcessorProbes(const ProcessorSignals& s) {
  probe16("aa.aa", s.PC, "IF: PC");
  probe16("ba.aa", s.PCtmp, "IF: PCtmp");
  Probe(SD("ak.aa-ac"), s.memory, "MemRq", 0, nullptr);
  probe16("ak.ae", s.AddrBus, "Address Bus");
  Probe(SD("bk.aa-ac"), s.read, "R/W", 0, nullptr);
  probe16("bk.ae", s.DataBus, "Data Bus");
  probe16("da-ea.aa", s.IR_ID, "ID: IR");
  probe16("dd-ed.ad", s.IR_EX, "EX: IR");
  probe16("dh-eh.ab", s.IR_MEM, "MEM: IR");
  probe16("dk-ek.ae", s.IR_WB, "WB: IR");
  Probe(SD("ca"), s.stallIF, "Stall_IF", 0, nullptr);
  Probe(SD("cd"), s.stallID, "Stall_ID", 0, nullptr);
  Probe(SD("cg"), s.stallEX, "Stall_EX", 0, nullptr);
  Probe(SD("ai"), s.branchDecision, "Branch?", 0, nullptr);
  Probe(SD("ck"), s.stallMEM, "Stall_MEM", 0, nullptr);
  probe16("fa.aa", s.PC1, "ID: PC1");
  probe16("ga.aa", s.A, "ID: A");
  probe16("ha.aa", s.B, "ID: B");
  probe16("ia.aa", s.IR1, "ID: IR1");
  probe16("ja.aa", s.D, "ID: D");
  Probe(SD("ff.aa-ab"), s.N, "N", 0, nullptr);
  Probe(SD("ff.ad-ae"), s.Z, "Z", 0, nullptr);
  probe16("gd.ad", s.ALUo, "EX: ALUo");
  probe16("hd.ad", s.DMAR, "EX: DMAR");
  probe16("jd.ad", s.SMDR, "EX: SMDR");
  probe16("gh.ab", s.ALUo1, "MEM: ALUo1");
  probe16("jh.ab", s.LMDR, "MEM: LMDR");
  const Signal regs[8] = {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5, s.Reg6, s.Reg7};
  const char* const regPositions[8] = {"fk.ae", "gk.ae", "hk.ae", "ik.ae", "jk.ae", "kk.ae", "lk.ae", "mk.ae"};
  for (int r = 0; r < 8; ++r) probe16(regPositions[r], regs[r], ("Reg" + std::to_string(r)).c_str());
}
