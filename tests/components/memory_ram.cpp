// RegisterFile, Ram and Rom: storage, read-port timing, write handshake, errors, initial images.
#include <gtest/gtest.h>

#include <iostream>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/RunTime.h"
#include "msi_bench.h"
#include "tavrin.h"

namespace {

// Inputs start at time 1, so the reads of the first pass (all addresses UNINITIALIZED) land at
// 10 and never share a time with the first real reads.
TEST(MemoryRegisterFile, AddressZeroReadsZerosAndReadsFollowWritesTenStepsLater) {
  RunResult r = bench::run(
      [] {
        Signal ra0(3, "ra0"), ra1(3, "ra1"), wa(3, "wa"), strobe(1, "C"), enable(1, "E"), data(16, "data");
        Signal out(32, "out");
        bench::drive((enable, (strobe, wa)), {{1, "10000"}, {100, "11000"}, {150, "10101"}, {200, "11101"},
                                              {250, "10101"}});
        bench::drive(data, {{1, "1111111111111111"}, {150, "00010010001X0100"}});
        bench::drive(ra0, {{1, "000"}, {250, "101"}});
        bench::drive(ra1, {{1, "101"}, {300, "0X1"}});
        RegisterFile(SD("aa"), (enable, strobe, wa, ra1, ra0), data, out, 8, 16, 3, 2, 1);
        bench::trace(out.sub(15, 0), "port0");
        bench::trace(out.sub(31, 16), "port1");
      },
      400);
  // Port 0 reads address 0 as zeros, even after a write there.
  EXPECT_EQ("XXXXXXXXXXXXXXXX 0000000000000000 0000000000000000 00010010001X0100",
            bench::valuesAt(r.err, "port0", {10, 11, 249, 260}));
  // Never written, then written and read in one evaluation (an XXX bit kept), then a read
  // address with an XXX bit: all XXX exactly 10 steps later.
  EXPECT_EQ("UUUUUUUUUUUUUUUU 00010010001X0100 00010010001X0100 XXXXXXXXXXXXXXXX",
            bench::valuesAt(r.err, "port1", {209, 210, 309, 310}));
}

TEST(MemoryRam, WritesOncePerStrobeAndReportsAnIndeterminateAddress) {
  RunResult r = bench::run(
      [] {
        Signal ra(2, "ra"), wa(2, "wa"), strobe(1, "C"), enable(1, "E"), data(4, "data"), out(4, "out");
        // (enable, strobe, write address, read address)
        bench::drive((enable, strobe, wa, ra), {{1, "100000"}, {50, "110000"}, {100, "100101"},
                                                {150, "110101"}, {200, "1X0101"}, {210, "110101"},
                                                {300, "100101"}, {350, "110101"}, {400, "100X01"},
                                                {450, "110X01"}, {500, "101111"}, {550, "111111"}});
        bench::drive(data, {{1, "0110"}, {100, "1010"}, {200, "0101"}, {500, "1Z01"}});
        Ram(SD("ma"), (enable, strobe, wa, ra), data, out, 4, 4, 2, 1, 1);
        bench::trace(out, "out");
      },
      600);
  // Address 0 reads back; a second strobe without a fall writes nothing; the indeterminate
  // write stores nothing; HIZ has no storage code and reads back UNINITIALIZED.
  EXPECT_EQ("0110 1010 1010 0101 0101 UUUU 1U01",
            bench::valuesAt(r.err, "out", {99, 199, 299, 399, 499, 549, 599}));
  EXPECT_EQ(
      "ERROR-- Ram at ma componentNumber = 3\n"
      "     Attempt to write with indeterminate write-port address.\n"
      "     The component is probably enabled when it shouldn't be.\n",
      bench::messages(r.err));
}

TEST(MemoryRam, AddressesBeyondTheLastWordWriteNothingAndReadXxx) {
  RunResult r = bench::run(
      [] {
        Signal ra(3, "ra"), wa(3, "wa"), strobe(1, "C"), enable(1, "E"), data(4, "data"), out(4, "out");
        bench::drive((enable, strobe, wa, ra), {{1, "10100100"}, {50, "11100100"}, {100, "10110100"},
                                                {150, "11110100"}, {200, "10110110"}, {250, "10110101"},
                                                {300, "10111111"}});
        bench::drive(data, {{1, "1100"}, {100, "0011"}});
        Ram(SD("mb", "Stack"), (enable, strobe, wa, ra), data, out, 5, 4, 3, 1, 1);
        bench::trace(out, "out");
      },
      400);
  // Word 4 (the last), then addresses 6, 5 and 7.
  EXPECT_EQ("1100 XXXX XXXX XXXX", bench::valuesAt(r.err, "out", {199, 249, 299, 400}));
  EXPECT_EQ("ERROR-- Stack at mb componentNumber = 3  Attempt to write to address 6 beyond the last word 4; "
            "nothing stored.\n",
            bench::messages(r.err));
}

// Restarts the run once, when its input first becomes ONE.
int restarts = 0;
void restartOnce(int cind) {
  if (restarts == 0 && phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[0]] == ONE) {
    ++restarts;
    reStart = 1;
    std::cerr << "RESTART\n";
  }
}

TEST(MemoryRam, InitialImageIsLoadedAfterEveryResetAndPlainRamIsCleared) {
  RunResult r = bench::run(
      [] {
        static const unsigned char image[8] = {0xFA, 0xBC, 0x01, 0x23, 0xFF, 0xFF, 0x00, 0x00};
        Signal ra(2, "ra"), wa(2, "wa"), strobe(1, "C"), enable(1, "E"), data(12, "data");
        Signal loaded(12, "loaded"), plain(12, "plain"), trigger(1, "trigger");
        bench::drive((enable, strobe, wa, ra), {{1, "100100"}, {50, "100101"}, {100, "110101"},
                                                {150, "100101"}, {160, "100111"}});
        bench::drive(data, {{1, "010101010101"}});
        // The restart is served at the next pass, so something must happen after the trigger.
        bench::drive(trigger, {{1, "0"}, {200, "1"}, {250, "0"}});
        Ram(SD("ma"), (enable, strobe, wa, ra), data, loaded, 4, 12, 2, 1, 1, image);
        Ram(SD("mb"), (enable, strobe, wa, ra), data, plain, 4, 12, 2, 1, 1);
        addComponent(defineComponentKind({.name = "Restart", .logicEvaluate = restartOnce}), SD("zz"),
                     {.data = trigger});
        bench::trace(loaded, "loaded");
        bench::trace(plain, "plain");
      },
      300);
  size_t split = r.err.find("RESTART\n");
  ASSERT_NE(std::string::npos, split) << r.err;
  for (const std::string& run : {r.err.substr(0, split), r.err.substr(split)}) {
    // Words 0 (0xABC) and 1 (0x123) of the image, word 1 rewritten, word 3.
    EXPECT_EQ("101010111100 000100100011 010101010101 000000000000",
              bench::valuesAt(run, "loaded", {49, 99, 149, 199}));
    EXPECT_EQ("UUUUUUUUUUUU 010101010101", bench::valuesAt(run, "plain", {99, 149}));
  }
}

TEST(MemoryRom, TwelveBitWordsUseTwoBytesMostSignificantFirstWithRomDelays) {
  RunResult r = bench::run(
      [] {
        static unsigned char contents[32] = {};
        contents[6] = 0xFA;  // only the low four bits belong to the word
        contents[7] = 0x5C;
        contents[30] = 0x0F;
        contents[31] = 0xFF;
        Signal address(4, "address"), out(12, "out");
        bench::drive(address, {{1, "0011"}, {100, "1111"}, {200, "X000"}});
        Rom(SD("ra"), address, out, 16, 12, contents);
        contents[7] = 0;  // the Rom keeps its own copy
        bench::trace(out, "out");
      },
      300);
  EXPECT_EQ((std::vector<std::string>{"0:UUUUUUUUUUUU", "17:XXXXXXXXXXXX", "24:101001011100",
                                      "117:1X1XX1X111XX", "123:111111111111", "223:XXXXXXXXXXXX"}),
            bench::traceOf(r.err, "out"));
}

void badMemories() {
  static const unsigned char contents[32] = {};
  Signal c10(10, "c10"), c11(11, "c11"), d8(8, "d8"), d16(16, "d16"), o32(32, "o32"), a3(3, "a3"), a4(4, "a4");
  Signal o12(12, "o12"), o8(8, "o8");
  RegisterFile(SD("ea"), c10, d16, o32, 8, 16, 3, 2, 1);
  Ram(SD("eb", "Mem"), c11, d8, o32, 8, 16, 3, 2, 1);
  RegisterFile(SD("ec"), c11, d16, o32, 8, 16, 3, 2, 1);  // fine
  Rom(SD("ed"), a3, o12, 16, 12, contents);
  Rom(SD("ee", "Prog"), a4, o8, 16, 12, contents);
}

TEST(MemoryConstruction, LengthErrorsAreCountedWithExactTexts) {
  RunResult r = runSimulation(badMemories, {"-X", "-E"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "Error--RegisterFile RegFile at ea: I/O length error\n"
      " dataIn.length = 16 should match: 16\n"
      " controlIn.length = 10 should match: 11\n"
      " out.length = 32 should match: 32\n"
      "Error--Ram Mem at eb: I/O length error\n"
      " dataIn.length = 8 should match: 16\n"
      " controlIn.length = 11 should match: 11\n"
      " out.length = 32 should match: 32\n"
      "I/O length error--Rom Rom at ed in.length = 3 words = 16 out.length = 12 bitsPerWord = 12 "
      "allocatedBytesPerWord = 2\n"
      "I/O length error--Rom Prog at ee in.length = 4 words = 16 out.length = 8 bitsPerWord = 12 "
      "allocatedBytesPerWord = 2\n"
      "4 Fatal Diagnostic(s)--Can't Continue.\n",
      r.err);
}

// A Rom word copied into a Ram on the power-on edge and read back through probes.
void memoryCircuit() {
  static const unsigned char contents[4] = {0x1, 0x2, 0x9, 0x4};
  Signal addr(2, 2u, "addr"), romOut(4, "romOut"), ramOut(4, "ramOut"), p(1, "p"), clk(1, "clk");
  Rom(SD("aa"), addr, romOut, 4, 4, contents);
  Ram(SD("ab"), (One, p, addr, addr), romOut, ramOut, 4, 4, 2, 1, 1);
  PowerOn(SD("ac"), p, 60, Zero);
  Probe(SD("ad"), ramOut);
  Clock(SD("ae"), clk, 50, 0, 100, Zero);  // keeps time moving to the stop time
}

TEST(MemoryCircuit, RomWordStoredInRamOnPowerOnAppearsTenStepsAfterTheStrobe) {
  RunResult r = runSimulation(memoryCircuit, {"-X", "-T", "150"});
  EXPECT_EQ(0, r.status);
  std::string start;
  for (int pass = 0; pass < 2; ++pass)
    for (int bit = 3; bit >= 0; --bit)
      start += "Time = 0  Probe for ramOut[" + std::to_string(bit) + "] at ad  Value = UNINITIALIZED\n";
  // The power-on edge settles at 69 and the read port follows at 79 with word 2 = 1001.
  EXPECT_EQ("There are 8 components.\nThere are 14 signals.\n" + start +
                "Time = 79  Probe for ramOut[3] at ad  Value = ONE\n"
                "Time = 79  Probe for ramOut[2] at ad  Value = ZERO\n"
                "Time = 79  Probe for ramOut[1] at ad  Value = ZERO\n"
                "Time = 79  Probe for ramOut[0] at ad  Value = ONE\n",
            r.err);
}

}  // namespace
