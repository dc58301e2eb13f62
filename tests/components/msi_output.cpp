// Stderr, IntOut and HexOut: the exact texts they write, once per rising strobe.
#include <gtest/gtest.h>

#include "msi_bench.h"
#include "tavrin.h"

namespace {

const std::string stderrError =
    "\nERROR -- Stderr component trying to output uninitialized bits \n or bits in transition. state = 4\n";

TEST(MsiStderr, PrintsCharactersCaretsAndBarsPerRisingStrobe) {
  RunResult r = bench::run(
      [] {
        Signal in(10, "in");  // bits from the most significant: enable, strobe, code
        bench::drive(in, {{0, "1001000001"},   {100, "1101000001"},  // 65
                          {150, "1000000111"}, {200, "1100000111"},  // 7
                          {250, "1011000001"}, {300, "1111000001"},  // 193
                          {350, "1010001010"}, {400, "1110001010"},  // 138
                          {450, "1000011111"}, {500, "1100011111"},  // 31
                          {550, "1010100000"}, {600, "1110100000"},  // 160
                          {650, "1000001010"}, {700, "1100001010"},  // 10
                          {750, "100X000000"}, {800, "110X000000"},  // unreadable
                          {850, "0001000010"}, {900, "0101000010"},  // 66, strobe while disabled
                          {950, "1101000010"},                       // enabled, strobe still high
                          {1000, "1001000010"}, {1050, "1101000010"}});
        Stderr(SD("aa"), in);
      },
      1100);
  EXPECT_EQ("A^G|A|^J^_| \n" + stderrError + "B", bench::messages(r.err));
}

TEST(MsiIntAndHexOut, DecimalHexDigitsAndErrorsInPlaceOfUnreadableDigits) {
  RunResult r = bench::run(
      [] {
        Signal c1(2, "c1"), d1(10, "d1"), c2(2, "c2"), d2(8, "d2"), c3(2, "c3"), d3(8, "d3");
        bench::drive(c1, {{0, "10"}, {100, "11"}});  // (enable, strobe)
        bench::drive(d1, {{0, "1010100101"}});       // 677
        HexOut(SD("aa"), c1, d1);
        bench::drive(c2, {{0, "10"}, {200, "11"}});
        bench::drive(d2, {{0, "00X00101"}});
        HexOut(SD("ab"), c2, d2);
        bench::drive(c3, {{0, "10"}, {300, "11"}, {350, "10"}, {400, "11"}});
        bench::drive(d3, {{0, "11111111"}, {350, "1111111U"}});
        IntOut(SD("ac"), c3, d3);
      },
      500);
  // After the hexadecimal digits the stream is decimal again: 255, not ff.
  EXPECT_EQ("2a5"
            "\nERROR -- HexOut component trying to output uninitialized bits \n or bits in transition. state = 4\n"
            "5"
            "255\n"
            "\nERROR -- IntOut component trying to output uninitialized bits \n or bits in transition. state = 4\n",
            bench::messages(r.err));
}

void badOutput() {
  Signal nine(9, "nine"), three(3, "three"), one(1, "one"), data(4, "data");
  Stderr(SD("da"), nine);
  IntOut(SD("db"), three, data);
  HexOut(SD("dc"), one, data);
}

TEST(MsiConstruction, OutputComponentLengthErrorsAreCountedWithExactTexts) {
  RunResult r = runSimulation(badOutput, {"-X", "-E"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "I/O length error--Stderr() at da in.length = 9 should be 10.\n"
      "I/O length error--IntOut() at db control.length = 3 should be 2.\n"
      "I/O length error--HexOut() at dc control.length = 1 should be 2.\n"
      "3 Fatal Diagnostic(s)--Can't Continue.\n",
      r.err);
}

// A power-on edge strobes two characters and a number; a Stop ends the run.
void outputCircuit() {
  Signal p(1, "p"), h(8, 'H', "h"), i(8, 'i', "i"), n(8, 42u, "n");
  PowerOn(SD("aa"), p, 20, Zero);
  Probe(SD("ab"), p);
  Stderr(SD("ac"), (One, p, h));
  Stderr(SD("ad"), (One, p, i));
  IntOut(SD("ae"), (One, p), n);
  Stop(SD("af"), p);
}

TEST(MsiCircuit, OutputComponentsWriteOnThePowerOnEdge) {
  RunResult r = runSimulation(outputCircuit, {"-X", "-T", "1000"});
  EXPECT_EQ(0, r.status);
  std::string probe = "  Probe for p at ab  Value = ";
  EXPECT_EQ("There are 6 components.\nThere are 27 signals.\n"
            "Time = 0" + probe + "UNINITIALIZED\nTime = 0" + probe + "UNINITIALIZED\n"
            "Time = 7" + probe + "XXX\nTime = 10" + probe + "ZERO\nTime = 24" + probe + "XXX\n"
            "Time = 29" + probe + "ONE\nHi42\n",
            r.err);
}

}  // namespace
