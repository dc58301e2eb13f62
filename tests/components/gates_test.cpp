// Gates and tri-state buffers: registration records, vector splitting, length errors, and
// the evaluators' truth tables over all five values, observed through headless probes.
#include <gtest/gtest.h>

#include "components/gates_support.h"
#include "tavrin.h"

using namespace ssitest;

namespace {

TEST(GatesConstruction, RecordsOfEveryKind) {
  RunResult r = buildAndDescribe([] {
    Signal a(3, "a"), t(2, "t"), c(1, "c"), y(1, "y"), z(2, "z");
    Nand(SD("aa"), a, y);
    Nor(SD("ab", "myNor"), a, y);
    Xor(SD("ac"), a, y);
    Xnor(SD("ad"), a, z);
    MultiLevelCompare(SD("ae"), a, y);
    Iand(SD("af"), t, c, y);
    Inand(SD("ag"), t, c, y);
    CiOr(SD("ah"), t, c, y);
    CiNor(SD("ai"), t, c, y);
    Tsb(SD(SD("ba"), "aj"), c, a[0], y);
    And(SD("bb"), a, y);
    Or(SD("bc"), a, y);
    Not(SD("bd"), c, y);
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Nand|nand|-|-|nandIcon|00|1@aa|a[0] a[1] a[2]||y[0]|\n"
            "myNor|nor|-|-|norIcon|00|1@ab|a[0] a[1] a[2]||y[0]|\n"
            "Xor|xor|-|-|xorIcon|00|1@ac|a[0] a[1] a[2]||y[0]|\n"
            "Xnor|xnor|-|-|xnorIcon|00|1@ad|a[0] a[1] a[2]||z[0] z[1]|\n"
            "mLevCmp|mlc|-|-|rectIcon|00|1@ae|a[0] a[1] a[2]||y[0]|\n"
            "Iand|iand|-|-|iAndIcon|00|1@af|c[0]|t[0] t[1]|y[0]|\n"
            "Inand|inand|-|-|iNandIcon|00|1@ag|c[0]|t[0] t[1]|y[0]|\n"
            "CiOr|cior|-|-|CiOrIcon|00|1@ah|c[0]|t[0] t[1]|y[0]|\n"
            "CiNor|cinor|-|-|CiNorIcon|00|1@ai|c[0]|t[0] t[1]|y[0]|\n"
            "Tsb|tsb|-|-|tsbIcon|10|2@ba.aj|c[0]|a[0]|y[0]|\n"
            "And|and|-|-|andIcon|00|1@bb|a[0] a[1] a[2]||y[0]|\n"
            "Or|or|-|-|orIcon|00|1@bc|a[0] a[1] a[2]||y[0]|\n"
            "Not|not|-|-|notIcon|00|1@bd|c[0]||y[0]|\n");
}

TEST(GatesConstruction, VectorFormsSplitFromTheHighestBit) {
  RunResult r = buildAndDescribe([] {
    Signal in(8, "in"), out(2, "out");
    And(SD("aa"), in, out);  // groups of four, each taken with sub(i*4, i*4+3)
    Signal e(1, "e"), v(3, "v"), o(3, "o");
    And(SD("ab"), e, v, o);  // a one-bit enable against each bit
    Signal p(2, "p"), q(2, "q"), s(2, "s");
    Or(SD("ac"), p, q, s);
    Or(SD("ad"), v, e, o);
    Signal n(2, "n"), m(2, "m");
    Not(SD("ae"), n, m);
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "And|and|-|-|andIcon|00|1@aa|in[7] in[6] in[5] in[4]||out[1]|\n"
            "And|and|-|-|andIcon|00|1@aa|in[3] in[2] in[1] in[0]||out[0]|\n"
            "And|and|-|-|andIcon|00|1@ab|v[2] e[0]||o[2]|\n"
            "And|and|-|-|andIcon|00|1@ab|v[1] e[0]||o[1]|\n"
            "And|and|-|-|andIcon|00|1@ab|v[0] e[0]||o[0]|\n"
            "Or|or|-|-|orIcon|00|1@ac|q[1] p[1]||s[1]|\n"
            "Or|or|-|-|orIcon|00|1@ac|q[0] p[0]||s[0]|\n"
            "Or|or|-|-|orIcon|00|1@ad|e[0] v[2]||o[2]|\n"
            "Or|or|-|-|orIcon|00|1@ad|e[0] v[1]||o[1]|\n"
            "Or|or|-|-|orIcon|00|1@ad|e[0] v[0]||o[0]|\n"
            "Not|not|-|-|notIcon|00|1@ae|n[1]||m[1]|\n"
            "Not|not|-|-|notIcon|00|1@ae|n[0]||m[0]|\n");
}

TEST(GatesConstruction, LengthErrorsAreFatal) {
  struct Case {
    std::function<void()> build;
    const char* message;
  };
  const std::vector<Case> cases = {
      {[] { And(SD("ea"), Signal(3, "i"), Signal(0, "o")); },
       "ERROR -- And with out.length == 0 at ea  length error:  in.length = 3 out.length = 0\n"},
      {[] { And(SD("ea"), Signal(3, "i"), Signal(2, "o")); },
       "ERROR -- And (vector) with inputs not divisible over outputs at ea length error:  in.length = 3 "
       "out.length = 2\n"},
      {[] { And(SD("ea"), Signal(2, "a"), Signal(2, "b"), Signal(3, "o")); },
       "ERROR -- And (vector) component at ea length error:  in1.length = 2 in2.length = 2 out.length = 3\n"},
      {[] { And(SD("ea"), Signal(1, "a"), Signal(3, "b"), Signal(2, "o")); },
       "ERROR -- And (vector) component at ea length error:  in1.length = 1 in2.length = 3 out.length = 2\n"},
      {[] { And(SD("ea"), Signal(2, "a"), Signal(3, "b"), Signal(3, "o")); },
       "ERROR -- And (vector) component at ea length error:  in1.length = 2 in2.length = 3 out.length = 3\n"},
      {[] { Or(SD("eb.ab"), Signal(2, "i"), Signal(0, "o")); },
       "ERROR -- Or with out.length == 0 at eb.ab  length error:  in.length = 2 out.length = 0\n"},
      {[] { Or(SD("eb"), Signal(5, "i"), Signal(3, "o")); },
       "ERROR -- Or (vector) with inputs not divisible over outputs at eb length error:  in.length = 5 "
       "out.length = 3\n"},
      {[] { Or(SD("eb"), Signal(4, "a"), Signal(1, "b"), Signal(3, "o")); },
       "ERROR -- Or (vector) component at eb length error:  in1.length = 4 in2.length = 1 out.length = 3\n"},
      {[] { Not(SD("ec"), Signal(3, "i"), Signal(2, "o")); },
       "ERROR -- Not (vector) at ec length error:  in.length = 3 out.length = 2\n"},
      {[] { Not(SD("ec"), Signal(0, "i"), Signal(0, "o")); },
       "ERROR -- Not (vector) at ec length error:  in.length = 0 out.length = 0\n"},
      {[] { Tsb(SD("ed"), Signal(2, "i"), Signal(1, "c"), Signal(1, "o")); },
       "ERROR -- Tsb (Tri-state-buffer) at ed length error:  control.length = 1 in.length = 2 out.length = 1\n"},
      {[] { Tsb(SD("ed"), Signal(1, "i"), Signal(0, "c"), Signal(1, "o")); },
       "ERROR -- Tsb (Tri-state-buffer) at ed length error:  control.length = 0 in.length = 1 out.length = 1\n"},
  };
  for (const Case& c : cases) {
    RunResult r = runInChild([&] {
      c.build();
      std::fputs("registered\n", stdout);
    });
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.out, "");
  }
}

// The five levels by one-letter code: 0 ZERO, U UNINITIALIZED, X XXX, Z HIZ, 1 ONE.
const char codes[] = "0UXZ1";
const SignalValue levels[] = {ZERO, UNINITIALIZED, XXX, HIZ, ONE};
const char* levelName(char code) {
  switch (code) {
    case '0': return "ZERO";
    case 'U': return "UNINITIALIZED";
    case 'X': return "XXX";
    case 'Z': return "HIZ";
    default: return "ONE";
  }
}

using TwoInputGate = void (*)(const SD&, const Signal& a, const Signal& b, const Signal& y);

struct Table {
  const char* kind;
  TwoInputGate build;
  const char* rows[5];  // row: first operand a, column: second operand b
};

// One gate per pair of constant levels; each probe's last line is the gate's settled output.
void checkTables(const std::vector<Table>& tables) {
  RunResult r = runCircuit(
      [&] {
        std::vector<Signal*> level;
        for (int v = 0; v < 5; ++v) level.push_back(new Signal(1, levels[v], 1, "k"));
        for (const Table& t : tables)
          for (int a = 0; a < 5; ++a)
            for (int b = 0; b < 5; ++b) {
              Signal* y = new Signal(1, "y");
              t.build(SD("aa"), *level[a], *level[b], *y);
              Probe(SD("ab"), *y, std::string(t.kind) + "_" + codes[a] + codes[b]);
            }
        stopAt(40);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::string> last = finalValues(r.err);
  for (const Table& t : tables)
    for (int a = 0; a < 5; ++a)
      for (int b = 0; b < 5; ++b) {
        std::string label = std::string(t.kind) + "_" + codes[a] + codes[b];
        EXPECT_EQ(last[label], levelName(t.rows[a][b])) << label;
      }
}

TEST(GatesEvaluation, MinimumMaximumAndParityTables) {
  checkTables({
      {"and", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { And(sd, a, b, y); },
       {"00000", "0UUUU", "0UXXX", "0UXZZ", "0UXZ1"}},
      {"or", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Or(sd, a, b, y); },
       {"0UXZ1", "UUXZ1", "XXXZ1", "ZZZZ1", "11111"}},
      {"nand", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Nand(sd, (a, b), y); },
       {"11111", "1XXXX", "1XXXX", "1XXXX", "1XXX0"}},
      {"nor", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Nor(sd, (a, b), y); },
       {"1XXX0", "XXXX0", "XXXX0", "XXXX0", "00000"}},
      {"xor", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Xor(sd, (a, b), y); },
       {"0XXX1", "XXXXX", "XXXXX", "XXXXX", "1XXX0"}},
      {"xnor", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Xnor(sd, (a, b), y); },
       {"1XXX0", "XXXXX", "XXXXX", "XXXXX", "0XXX1"}},
      {"mlc",
       [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { MultiLevelCompare(sd, (b, a), y); },
       {"10000", "01000", "00100", "00010", "00001"}},
      // Not ignores b: every row is the inversion of a.
      {"not", [](const SD& sd, const Signal& a, const Signal&, const Signal& y) { Not(sd, a, y); },
       {"11111", "XXXXX", "XXXXX", "XXXXX", "00000"}},
  });
}

TEST(GatesEvaluation, MixedPolarityAndTriStateTables) {
  // a is the true input (or the tri-state data), b the complemented input (or the control).
  checkTables({
      {"iand", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Iand(sd, a, b, y); },
       {"00000", "UUUU0", "XXUX0", "ZXUZ0", "1XUZ0"}},
      {"inand", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Inand(sd, a, b, y); },
       {"11111", "XXXX1", "UUXU1", "ZUXZ1", "0UXZ1"}},
      {"cior", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { CiOr(sd, a, b, y); },
       {"1XUZ0", "1XUZU", "1XXZX", "1ZZZZ", "11111"}},
      {"cinor", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { CiNor(sd, a, b, y); },
       {"0UXZ1", "0UXZX", "0UUZU", "0ZZZZ", "00000"}},
      {"tsb", [](const SD& sd, const Signal& a, const Signal& b, const Signal& y) { Tsb(sd, a, b, y); },
       {"ZZZZ0", "ZZZZZ", "ZZZZZ", "ZZZZZ", "ZZZZ1"}},
  });
}

TEST(GatesEvaluation, MissingPinsReadAsUndefinedAndDriveNothing) {
  RunResult r = runCircuit(
      [] {
        Signal y1(1, "y1"), y2(1, "y2"), y3(1, "y3"), y4(1, "y4"), y5(1, "y5"), three(3, "three");
        MultiLevelCompare(SD("aa"), One, y1);     // one input: no pair to compare
        Xor(SD("aa"), Signal(0, "none"), y2);     // parity of nothing
        And(SD("aa"), Signal(0, "none"), y3);     // minimum over nothing
        Iand(SD("aa"), Signal(0, "t"), Signal(0, "c"), y4);
        CiOr(SD("aa"), Signal(0, "t"), Signal(0, "c"), y5);
        Nand(SD("aa"), One, Signal(0, "none"));   // no output: evaluated, drives nothing
        Xnor(SD("aa"), (One, One), three);         // only the first output bit is driven
        Probe(SD("ab"), y1, "mlc");
        Probe(SD("ab"), y2, "xor");
        Probe(SD("ab"), y3, "and");
        Probe(SD("ab"), y4, "iand");
        Probe(SD("ab"), y5, "cior");
        Probe(SD("ab"), three);
        stopAt(40);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::string> last = finalValues(r.err);
  EXPECT_EQ(last["mlc"], "ZERO");
  EXPECT_EQ(last["xor"], "ZERO");
  EXPECT_EQ(last["and"], "ONE");
  EXPECT_EQ(last["iand"], "ONE");
  EXPECT_EQ(last["cior"], "ZERO");
  EXPECT_EQ(last["three[0]"], "ONE");
  EXPECT_EQ(last["three[1]"], "UNINITIALIZED");
  EXPECT_EQ(last["three[2]"], "UNINITIALIZED");
}

// One input and three: every input counts wherever it stands (two-input gates take a path of
// their own, the tables above).
TEST(GatesEvaluation, OneAndThreeInputsTakeEveryInput) {
  RunResult r = runCircuit(
      [] {
        struct Gate {
          const char* label;
          void (*build)(const Signal& y);
        };
        const Gate gates[] = {
            {"and1", [](const Signal& y) { And(SD("aa"), Signal(1, HIZ, 1, "z"), y); }},
            {"and3", [](const Signal& y) { And(SD("aa"), (One, Zero, One), y); }},
            {"or3", [](const Signal& y) { Or(SD("aa"), (Zero, One, Zero), y); }},
            {"nor3", [](const Signal& y) { Nor(SD("aa"), (Zero, Zero, Zero), y); }},
            {"xor3", [](const Signal& y) { Xor(SD("aa"), (One, One, One), y); }},
            {"xor1", [](const Signal& y) { Xor(SD("aa"), One, y); }},
            {"iand21", [](const Signal& y) { Iand(SD("aa"), (One, Zero), Zero, y); }},
            {"iand12", [](const Signal& y) { Iand(SD("aa"), One, (Zero, One), y); }},
            {"cior12", [](const Signal& y) { CiOr(SD("aa"), Zero, (One, Zero), y); }},
        };
        for (const Gate& g : gates) {
          Signal* y = new Signal(1, "y");
          g.build(*y);
          Probe(SD("ab"), *y, g.label);
        }
        stopAt(40);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::string> last = finalValues(r.err);
  const std::pair<const char*, const char*> expected[] = {
      {"and1", "HIZ"}, {"and3", "ZERO"}, {"or3", "ONE"}, {"nor3", "ONE"},     {"xor3", "ONE"},
      {"xor1", "ONE"}, {"iand21", "ZERO"}, {"iand12", "ZERO"}, {"cior12", "ONE"},
  };
  for (const auto& [label, value] : expected) EXPECT_EQ(last[label], value) << label;
}

TEST(GatesCircuit, DelaysPropagateThroughAChain) {
  RunResult r = runCircuit(
      [] {
        Signal a(1, "a"), b(1, "b"), c(1, "c");
        Not(SD("aa"), Zero, a);
        And(SD("ab"), a, One, b);
        Nor(SD("ac"), (b, Zero), c);
        Probe(SD("ba"), a);
        Probe(SD("bb"), b, "bee");
        Probe((SD("bc"), "sea"), c);
        stopAt(50);
      },
      {"-X", "-T", "500"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Time 0 twice: once from the first drawing of the schematic, once from the first pass.
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for a at ba  Value = UNINITIALIZED\n"
            "Time = 0  Probe for bee at bb  Value = UNINITIALIZED\n"
            "Time = 0  Probe for sea at bc  Value = UNINITIALIZED\n"
            "Time = 0  Probe for a at ba  Value = UNINITIALIZED\n"
            "Time = 0  Probe for bee at bb  Value = UNINITIALIZED\n"
            "Time = 0  Probe for sea at bc  Value = UNINITIALIZED\n"
            "Time = 7  Probe for a at ba  Value = XXX\n"
            "Time = 7  Probe for sea at bc  Value = XXX\n"
            "Time = 10  Probe for a at ba  Value = ONE\n"
            "Time = 14  Probe for bee at bb  Value = XXX\n"
            "Time = 20  Probe for bee at bb  Value = ONE\n"
            "Time = 30  Probe for sea at bc  Value = ZERO\n");
}

}  // namespace
