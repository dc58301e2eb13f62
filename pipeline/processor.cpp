// The bundled processor's top level: the whole machine with its two switches and its probes,
// running the built-in program or the image named with -r. The machine itself comes from the
// pipeline library (pipeline.h).
#include <cstdio>
#include <string>

#include "RomImage.h"
#include "pipeline.h"

namespace {

void probe1(const char* position, const Signal& sig, const char* label) {
  Probe(SD(position), sig, label, 0, nullptr);
}

void filler(const char* position, const Signal& sig) { Not(SD(position), Zero, sig); }

// The image named with -r, or the built-in program.
const unsigned char* programImage() {
  static unsigned char image[128];
  if (romImageFile == nullptr) return romContents;
  std::string error;
  if (!readRomImage(romImageFile, image, error)) {
    std::fprintf(stderr, "%s: -r: %s\n", commandName, error.c_str());
    endProcess(1);
  }
  return image;
}

}  // namespace

void simnet() {
  const ProcessorSignals s;
  Signal _1(1, "_1"), _2(1, "_2"), _3(1, "_3"), _4(1, "_4"), _5(1, "_5"), _7(1, "_7"), _8(1, "_8"), _6(1, "_6");
  Signal _9(1, "_9"), _10(1, "_10"), _11(1, "_11"), _12(1, "_12"), _13(1, "_13"), _14(1, "_14"), _15(1, "_15");
  Processor(s, programImage());

  probe16("aa.aa", s.PC, "IF: PC");
  probe16("ba.aa", s.PCtmp, "IF: PCtmp");
  Switch(SD("ad.ac-ae"), s.reset, '0', One, "0:RST");
  Switch(SD("bd.ac-ae"), s.clock, '1', Zero, "1:CLK");
  probe1("ak.aa-ac", s.memory, "MemRq");
  probe16("ak.ae", s.AddrBus, "Address Bus");
  probe1("bk.aa-ac", s.read, "R/W");
  probe16("bk.ae", s.DataBus, "Data Bus");
  probe16("da-ea.aa", s.IR_ID, "ID: IR");
  probe16("dd-ed.ad", s.IR_EX, "EX: IR");
  filler("dg-eg.ae", _1);
  filler("dh-eh.aa", _2);
  probe16("dh-eh.ab", s.IR_MEM, "MEM: IR");
  probe16("dk-ek.ae", s.IR_WB, "WB: IR");
  probe1("ca", s.stallIF, "Stall_IF");
  probe1("cd", s.stallID, "Stall_ID");
  probe1("cg", s.stallEX, "Stall_EX");
  probe1("ai", s.branchDecision, "Branch?");
  probe1("ck", s.stallMEM, "Stall_MEM");
  probe16("fa.aa", s.PC1, "ID: PC1");
  filler("fd.ae", _3);
  probe16("ga.aa", s.A, "ID: A");
  probe16("ha.aa", s.B, "ID: B");
  probe16("ia.aa", s.IR1, "ID: IR1");
  filler("id.ae", _4);
  probe16("ja.aa", s.D, "ID: D");
  probe1("ff.aa-ab", s.N, "N");
  probe1("ff.ad-ae", s.Z, "Z");
  probe16("gd.ad", s.ALUo, "EX: ALUo");
  filler("gg.ae", _5);
  probe16("hd.ad", s.DMAR, "EX: DMAR");
  filler("hg.ae", _7);
  probe16("jd.ad", s.SMDR, "EX: SMDR");
  filler("jg.ae", _8);
  filler("gh.aa", _6);
  probe16("gh.ab", s.ALUo1, "MEM: ALUo1");
  filler("jh.aa", _9);
  probe16("jh.ab", s.LMDR, "MEM: LMDR");
  filler("fk.aa", _10);
  probe16("fk.ae", s.Reg0, "Reg0");
  probe16("gk.ae", s.Reg1, "Reg1");
  filler("hk.aa", _11);
  probe16("hk.ae", s.Reg2, "Reg2");
  filler("ik.aa", _12);
  probe16("ik.ae", s.Reg3, "Reg3");
  probe16("jk.ae", s.Reg4, "Reg4");
  filler("kk.aa", _13);
  probe16("kk.ae", s.Reg5, "Reg5");
  filler("lk.aa", _14);
  probe16("lk.ae", s.Reg6, "Reg6");
  filler("mk.aa", _15);
  probe16("mk.ae", s.Reg7, "Reg7");
}
