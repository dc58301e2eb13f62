// The pipelined 16-bit processor as circuit functions, so that tests and other circuits can
// build the whole machine or any part of it. Every function takes the instance's designation
// first, then its input ports, then its output ports; all of them only create signals and
// library components through tavrin.h.
//
// Installed as the library tavrin_pipeline (CMake: Tavrin::pipeline; pkg-config: tavrin), with
// this header as "pipeline.h".
#pragma once

#include "tavrin.h"

// The program image: 64 words, most significant byte of each word first.
extern const unsigned char romContents[128];

// Memory system: ROM in the lower 64 words, two byte-wide RAMs in the upper 64, one data bus.
// image is the ROM's 128-byte contents (the program image unless another is given).
void Memory(const SD& coord, const Signal& MReq, const Signal& Read, const Signal& Addr, const Signal& DataIn,
            const Signal& DataOut, const Signal& enTriLink, const Signal& enTriROM, const Signal& enTriRAM,
            const unsigned char* image = romContents);
void MemAddr1(const SD& coord, const Signal& MREQ, const Signal& Read, const Signal& A6, const Signal& enTriROM);
void MemAddr2(const SD& coord, const Signal& MREQ, const Signal& Read, const Signal& A6, const Signal& RW,
              const Signal& enRAM, const Signal& enTriRAM);
void Link3(const SD& coord, const Signal& in, const Signal& out);
void Link16(const SD& coord, const Signal& in, const Signal& out);

// Register bank.
void Reg16(const SD& coord, const Signal& in, const Signal& load, const Signal& reset, const Signal& out);
void Registers(const SD& coord, const Signal& reset, const Signal& clock, const Signal& load, const Signal& select,
               const Signal& data, const Signal& Reg7, const Signal& Reg6, const Signal& Reg5, const Signal& Reg4,
               const Signal& Reg3, const Signal& Reg2, const Signal& Reg1, const Signal& Reg0);

// Arithmetic. This Adder is the processor's one-bit full adder built from gates; it
// overloads the library's two-operand Adder by its parameter list.
void Adder(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& cout,
           const Signal& sum);
void Subtracter(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& cout,
                const Signal& s);
void ALUComponent(const SD& coord, const Signal& cin, const Signal& a, const Signal& b, const Signal& c,
                  const Signal& cout, const Signal& s);
void ALU(const SD& coord, const Signal& a, const Signal& b, const Signal& c, const Signal& out, const Signal& N,
         const Signal& Z);
void Plus1(const SD& coord, const Signal& in, const Signal& out);
void ALU1(const SD& coord, const Signal& PC1, const Signal& A, const Signal& D, const Signal& branch,
          const Signal& setlo, const Signal& out);
void ALU2(const SD& coord, const Signal& B, const Signal& IR1, const Signal& branch, const Signal& hilo,
          const Signal& immediate, const Signal& out);
void PSR(const SD& coord, const Signal& reset, const Signal& update, const Signal& Ni, const Signal& Zi,
         const Signal& N, const Signal& Z);

// Pipeline stages and their control.
void IR(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& in,
        const Signal& out);
void InstructionDecoder(const SD& coord, const Signal& IR, const Signal& alu, const Signal& ld, const Signal& st,
                        const Signal& branch, const Signal& sethi, const Signal& setlo, const Signal& hilo,
                        const Signal& psr, const Signal& immediate);
void IF(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& branch,
        const Signal& branchAddr, const Signal& dataIn, const Signal& memory, const Signal& read, const Signal& PC,
        const Signal& PCtmp, const Signal& instruction);
void ID(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
        const Signal& PCtmp, const Signal& src1, const Signal& src2, const Signal& src3, const Signal& src1_sel,
        const Signal& src2_sel, const Signal& src3_sel, const Signal& PC1, const Signal& A, const Signal& B,
        const Signal& IR1, const Signal& D);
void EX(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
        const Signal& alu1, const Signal& alu2, const Signal& D, const Signal& exBranch, const Signal& exSetlo,
        const Signal& exHilo, const Signal& exImmediate, const Signal& N, const Signal& Z, const Signal& ALUo,
        const Signal& DMAR, const Signal& SMDR);
void MEM(const SD& coord, const Signal& reset, const Signal& clock, const Signal& stall, const Signal& IR,
         const Signal& ALUo, const Signal& DMAR, const Signal& SMDR, const Signal& dataIn, const Signal& isBranch,
         const Signal& brCond, const Signal& memory, const Signal& ld, const Signal& ALUo1, const Signal& LMDR,
         const Signal& addrOut, const Signal& dataOut, const Signal& enableTSB);
void BranchDecision(const SD& coord, const Signal& isBranch, const Signal& c, const Signal& lt, const Signal& eq,
                    const Signal& branch);
void WB(const SD& coord, const Signal& clock, const Signal& IR, const Signal& ALUo1, const Signal& LMDR,
        const Signal& writeRegister, const Signal& regSelect, const Signal& registerInput);
void Stall_IF(const SD& coord, const Signal& ID_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall);
void Stall_ID(const SD& coord, const Signal& EX_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall);
void Stall_EX(const SD& coord, const Signal& MEM_stall, const Signal& IR_ID, const Signal& IR_EX,
              const Signal& IR_MEM, const Signal& stall);
void Stall_MEM(const SD& coord, const Signal& IR_ID, const Signal& IR_EX, const Signal& IR_MEM,
               const Signal& stall);

// The processor without its memory.
void BasicPipe(const SD& coord, const Signal& reset, const Signal& clock, const Signal& DataBusIn,
               const Signal& memory, const Signal& read, const Signal& AddrBusOut, const Signal& DataBusOut,
               const Signal& PC, const Signal& PCtmp, const Signal& IR_ID, const Signal& PC1, const Signal& A,
               const Signal& B, const Signal& IR1, const Signal& D, const Signal& IR_EX, const Signal& ALUo,
               const Signal& DMAR, const Signal& SMDR, const Signal& N, const Signal& Z, const Signal& IR_MEM,
               const Signal& ALUo1, const Signal& LMDR, const Signal& IR_WB, const Signal& Reg0,
               const Signal& Reg1, const Signal& Reg2, const Signal& Reg3, const Signal& Reg4, const Signal& Reg5,
               const Signal& Reg6, const Signal& Reg7, const Signal& stallIF, const Signal& stallID,
               const Signal& stallEX, const Signal& stallMEM, const Signal& branchDecision, const Signal& MemReq);

// The processor's top-level wires, created in the order the bundled circuit creates them.
struct ProcessorSignals {
  Signal memory{1, "memory"}, read{1, "read"}, AddrBus{16, "AddrBus"}, DataWrite{16, "DataWrite"};
  Signal PC{16, "PC"}, PCtmp{16, "PCtmp"}, IR_ID{16, "IR_ID"}, PC1{16, "PC1"}, A{16, "A"}, B{16, "B"};
  Signal IR1{16, "IR1"}, D{16, "D"}, IR_EX{16, "IR_EX"}, ALUo{16, "ALUo"}, DMAR{16, "DMAR"}, SMDR{16, "SMDR"};
  Signal N{1, "N"}, Z{1, "Z"};
  Signal IR_MEM{16, "IR_MEM"}, ALUo1{16, "ALUo1"}, LMDR{16, "LMDR"}, IR_WB{16, "IR_WB"};
  Signal Reg0{16, "Reg0"}, Reg1{16, "Reg1"}, Reg2{16, "Reg2"}, Reg3{16, "Reg3"};
  Signal Reg4{16, "Reg4"}, Reg5{16, "Reg5"}, Reg6{16, "Reg6"}, Reg7{16, "Reg7"};
  Signal stallIF{1, "stallIF"}, stallID{1, "stallID"}, stallEX{1, "stallEX"}, stallMEM{1, "stallMEM"};
  Signal branchDecision{1, "branchDecision"}, MemReq{1, "MemReq"};
  Signal DataBus{16, "DataBus"};
  Signal enTriLink{1, "enTriLink"}, enTriROM{1, "enTriROM"}, enTriRAM{1, "enTriRAM"};
  Signal reset{1, "reset"}, clock{1, "clock"};
};

// BasicPipe at "la-sj" and Memory at "ol-sn" wired together over those wires, with a ROM image.
void Processor(const ProcessorSignals& s, const unsigned char* image = romContents);

// The processor clocked without the keyboard, as the benchmark and the golden test run it: reset
// held ONE until 500, then a Clock from ZERO with its first edge at 1000 and a period of 1000. With
// each edge's delay a cycle is processorCycleSteps time steps, ample for the slowest settling.
constexpr int processorFirstEdge = 1000;
constexpr int processorCycleSteps = 1018;
void ClockedProcessor(const ProcessorSignals& s);

// The probes of the bundled circuit's schematic, in its order, without its switches and fillers.
void ProcessorProbes(const ProcessorSignals& s);

// Sixteen one-bit probes of a register laid out as the bundled circuit lays them out: bit 15
// first at `first` ("outer.inner"), one title character per probe.
void probe16(const char* first, const Signal& sig, const char* title);

// The whole processor with its switches and probes (declared in startup/Sim.h as well): tavrin's
// own circuit, pipeline/processor.cpp, not part of the library; a circuit built on the library
// defines its own.
void simnet();
