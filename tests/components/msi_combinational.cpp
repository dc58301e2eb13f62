// Adder, Increment, Mux, Decoder and Encoder over the five levels; construction errors.
#include <gtest/gtest.h>

#include "msi_bench.h"
#include "tavrin.h"

namespace {

// Inputs change every 100 steps; each case is read 50 steps after its change.
std::string cases(const RunResult& r, const std::string& name, int count) {
  std::vector<uint64_t> times;
  for (int i = 0; i < count; ++i) times.push_back(100 * i + 50);
  return bench::valuesAt(r.err, name, times);
}

TEST(MsiCombinational, AdderRipplesInOneEvaluationWithMediumDelays) {
  RunResult r = bench::run(
      [] {
        Signal a(4, "a"), b(4, "b"), sum(4, "sum");
        bench::drive((b, a), {{0, "00110101"}, {100, "00010101"}, {200, "00010000"}, {300, "0000000X"},
                              {400, "0001000X"}, {500, "00010Z01"}, {600, "11110001"}});
        Adder(SD("aa"), (b, a), sum);
        bench::trace(sum, "sum");
      },
      700);
  // 0101 + 0011, 0101 + 0001, 0000 + 0001: changed bits pass XXX at +13 and settle at +17.
  std::vector<std::string> trace = bench::traceOf(r.err, "sum");
  trace.resize(7);
  EXPECT_EQ((std::vector<std::string>{"0:UUUU", "13:XXXX", "17:1000", "113:XXX0", "117:0110", "213:0XXX",
                                      "217:0001"}),
            trace);
  // An unknown bit spoils the carry only where two known levels do not decide it; wrap-around.
  EXPECT_EQ("1000 0110 0001 000X 00XX 0X10 0000", cases(r, "sum", 7));
}

TEST(MsiCombinational, IncrementMuxDecoderEncoderTruthTables) {
  RunResult r = bench::run(
      [] {
        Signal in(4, "in"), inc(4, "inc"), shortIn(2, "shortIn"), wideInc(4, "wideInc");
        bench::drive(in, {{0, "0111"}, {100, "1111"}, {200, "0X11"}, {300, "Z001"}, {400, "U0X0"}});
        Increment(SD("aa"), in, inc);
        bench::drive(shortIn, {{0, "11"}});
        Increment(SD("ab"), shortIn, wideInc);  // bits beyond the input read XXX
        Signal select(2, "select"), data(8, "data"), mout(2, "mout");
        bench::drive(data, {{0, "Z110U001"}});
        bench::drive(select, {{0, "00"}, {100, "01"}, {200, "10"}, {300, "11"}, {400, "Z1"}, {500, "0X"}});
        Mux(SD("ac"), select, data, mout);
        Signal enable(1, "enable"), code(2, "code"), dout(4, "dout");
        bench::drive((enable, code), {{0, "110"}, {100, "100"}, {200, "0X1"}, {300, "Z10"}, {400, "1X0"},
                                      {500, "U11"}, {600, "111"}});
        Decoder(SD("ad"), enable, code, dout);
        Signal edata(4, "edata"), ecode(2, "ecode"), valid(1, "valid");
        bench::drive(edata, {{0, "1010"}, {100, "0100"}, {200, "100U"}, {300, "0000"}, {400, "0001"},
                             {500, "0Z00"}});
        Encoder(SD("ae"), edata, ecode, valid);
        for (auto [s, name] : {std::pair{inc, "inc"}, {wideInc, "wideInc"}, {mout, "mout"}, {dout, "dout"},
                               {(valid, ecode), "enc"}})
          bench::trace(s, name);
      },
      700);
  // Above the carry a level is copied unchanged, through the transition rules: UNINITIALIZED
  // requested on a bit last scheduled HIZ arrives as XXX, after ZERO as HIZ.
  EXPECT_EQ("1000 0000 1X00 Z010 X0X1", cases(r, "inc", 5));
  EXPECT_EQ("XX00", cases(r, "wideInc", 1));
  EXPECT_EQ("01 Z0 10 Z1 XX XX", cases(r, "mout", 6));
  EXPECT_EQ("0100 0001 0000 XXXX XXXX XXXX 1000", cases(r, "dout", 7));
  EXPECT_EQ("111 110 XXX 000 100 XXX", cases(r, "enc", 6));
}

void badCombinational() {
  Signal a(6, "a"), o(4, "o"), s(2, "s"), one(1, "one"), two(2, "two"), eight(8, "eight");
  Adder(SD("ba"), a, o);
  Adder(SD("bb", "Sum"), o, s);  // fine
  Mux(SD("bc"), s, a, s);
  Decoder(SD("bd", "Dec"), two, s, o);
  Decoder(SD("be"), one, two, eight);
  Encoder(SD("bf"), o, s, two);
  Encoder(SD("bg", "Enc"), eight, s, one);
  Increment(SD("bh"), one, o);  // no check
}

TEST(MsiConstruction, CombinationalLengthErrorsAreCountedWithExactTexts) {
  RunResult r = runSimulation(badCombinational, {"-X", "-E"});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(
      "I/O length error--Adder Adder at ba dataIn.length = 6 out.length = 4\n"
      "I/O length error--Mux Mux at bc dataIn.length = 6 controlIn.length = 2 out.length = 2\n"
      "I/O length error--Decoder Dec at bd dataIn.length = 2 controlIn.length = 2 out.length = 4\n"
      "I/O length error--Decoder Decoder at be dataIn.length = 2 controlIn.length = 1 out.length = 8\n"
      "I/O length error--Encoder Encoder at bf dataIn.length = 4 out.length = 2 valid.length = 2\n"
      "I/O length error--Encoder Enc at bg dataIn.length = 8 out.length = 2 valid.length = 1\n"
      "6 Fatal Diagnostic(s)--Can't Continue.\n",
      r.err);
}

// Increment -> Adder -> Mux -> Decoder -> Encoder on constants, watched by probes.
void combinationalCircuit() {
  Signal k(2, 2u, "k"), one(1, 1u, "one"), tick(1, "tick");
  Signal inc(2, "inc"), sum(2, "sum"), sel(2, "sel"), dec(4, "dec"), code(2, "code"), valid(1, "valid");
  Increment(SD("aa"), k, inc);           // 3
  Adder(SD("ab"), (inc, k), sum);        // 2 + 3 = 1
  Mux(SD("ac"), sum[0], (k, inc), sel);  // selects k
  Decoder(SD("ad"), one, sel, dec);      // 0100
  Encoder(SD("ae"), dec, code, valid);   // 2, valid
  Probe(SD("af"), (valid, code), "enc");
  Clock(SD("ag"), tick, 50, 0, 100, Zero);  // keeps time moving to the stop time
}

TEST(MsiCircuit, ChainOfCombinationalComponentsSettlesAsProbed) {
  RunResult r = runSimulation(combinationalCircuit, {"-X", "-T", "200"});
  EXPECT_EQ(0, r.status);
  auto lines = [](int time, const char* v2, const char* v1, const char* v0) {
    std::string t = "Time = " + std::to_string(time) + "  Probe for enc at af  Value = ";
    return t + v2 + "\n" + t + v1 + "\n" + t + v0 + "\n";
  };
  std::string start = lines(0, "UNINITIALIZED", "UNINITIALIZED", "UNINITIALIZED");
  // Five stages of 17 steps each.
  EXPECT_EQ("There are 9 components.\nThere are 19 signals.\n" + start + start +
                lines(13, "XXX", "XXX", "XXX") + lines(85, "ONE", "ONE", "ZERO"),
            r.err);
}

}  // namespace
