// The table of component kinds: every construction function registers a kind of its own row,
// with pins its row can name; a kind of a circuit's own (Majority, as the docs build it) runs.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "MajorityKind.h"
#include "construction/Ph1.h"
#include "msi_bench.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

using K = ComponentKind;

struct Case {
  const char* function;  // the construction function
  K kind;                // what each component it registers is
  std::function<void()> build;
};

const unsigned char word[2] = {0x12, 0x34};

// One valid construction per public construction function.
const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"And", K::And, [] { And(SD("aa"), Signal(4, "in"), Signal(2, "out")); }},
      {"Or", K::Or, [] { Or(SD("aa"), Signal(2, "a"), Signal(2, "b"), Signal(2, "out")); }},
      {"Not", K::Not, [] { Not(SD("aa"), Signal(3, "in"), Signal(3, "out")); }},
      {"Nand", K::Nand, [] { Nand(SD("aa"), Signal(3, "in"), Signal(1, "out")); }},
      {"Nor", K::Nor, [] { Nor(SD("aa"), Signal(3, "in"), Signal(1, "out")); }},
      {"Xor", K::Xor, [] { Xor(SD("aa"), Signal(3, "in"), Signal(1, "out")); }},
      {"Xnor", K::Xnor, [] { Xnor(SD("aa"), Signal(3, "in"), Signal(1, "out")); }},
      {"MultiLevelCompare", K::MultiLevelCompare,
       [] { MultiLevelCompare(SD("aa"), Signal(2, "in"), Signal(1, "out")); }},
      {"Iand", K::Iand, [] { Iand(SD("aa"), Signal(2, "t"), Signal(1, "c"), Signal(1, "out")); }},
      {"Inand", K::Inand, [] { Inand(SD("aa"), Signal(2, "t"), Signal(1, "c"), Signal(1, "out")); }},
      {"CiOr", K::CiOr, [] { CiOr(SD("aa"), Signal(2, "t"), Signal(1, "c"), Signal(1, "out")); }},
      {"CiNor", K::CiNor, [] { CiNor(SD("aa"), Signal(2, "t"), Signal(1, "c"), Signal(1, "out")); }},
      {"Tsb", K::Tsb, [] { Tsb(SD("aa"), Signal(1, "in"), Signal(1, "en"), Signal(1, "out")); }},
      {"Probe", K::Probe, [] { Probe(SD("aa"), Signal(3, "in")); }},
      {"ProbeH", K::Probe, [] { ProbeH(SD("aa"), Signal(3, "in"), "row"); }},
      {"ProbeByte", K::ProbeByte, [] { ProbeByte(SD("aa"), Signal(8, "in")); }},
      {"ProbeByteH", K::ProbeByteH, [] { ProbeByteH(SD("aa"), Signal(8, "in")); }},
      {"Switch", K::Switch, [] { Switch(SD("aa"), Signal(2, "out"), 'a', One); }},
      {"PowerOn", K::PowerOn, [] { PowerOn(SD("aa"), Signal(1, "out"), 10, Zero); }},
      {"Pulser", K::Pulser, [] { Pulser(SD("aa"), Signal(1, "out"), 'p', 10, Zero); }},
      {"Clock", K::Clock, [] { Clock(SD("aa"), Signal(1, "out"), 10, 0, 20, Zero); }},
      {"Stop", K::Stop, [] { Stop(SD("aa"), Signal(1, "in")); }},
      {"Module", K::Module, [] { Module(SD("aa"), "M", Signal(2, "in"), Signal(2, "out")); }},
      {"Space", K::Space, [] { Space(SD("aa")); }},
      {"Adder", K::Adder, [] { Adder(SD("aa"), Signal(8, "in"), Signal(4, "sum")); }},
      {"Increment", K::Increment, [] { Increment(SD("aa"), Signal(4, "in"), Signal(4, "out")); }},
      {"Mux", K::Mux, [] { Mux(SD("aa"), Signal(1, "s"), Signal(4, "in"), Signal(2, "out")); }},
      {"Decoder", K::Decoder, [] { Decoder(SD("aa"), Signal(1, "en"), Signal(2, "s"), Signal(4, "out")); }},
      {"Encoder", K::Encoder, [] { Encoder(SD("aa"), Signal(4, "in"), Signal(2, "out"), Signal(1, "v")); }},
      {"Gate", K::Gate, [] { Gate(SD("aa"), Signal(2, "in"), Signal(1, "out")); }},
      {"Counter", K::Counter, [] { Counter(SD("aa"), Signal(2, "in"), Signal(4, "out")); }},
      {"Dff", K::Dff, [] { Dff(SD("aa"), Signal(4, "in"), Signal(1, "q")); }},
      {"Jkff", K::Jkff, [] { Jkff(SD("aa"), Signal(5, "in"), Signal(2, "q")); }},
      {"Register", K::Register,
       [] { Register(SD("aa"), Signal(1, "en"), Signal(1, "w"), Signal(4, "in"), Signal(4, "out")); }},
      {"BitAddressibleRegister", K::BitAddressibleRegister,
       [] {
         Signal one(1, "c"), address(2, "a");
         BitAddressibleRegister(SD("aa"), one, one, one, one, one, address, address, one, Signal(4, "r"));
       }},
      {"Stderr", K::Stderr, [] { Stderr(SD("aa"), Signal(10, "in")); }},
      {"IntOut", K::IntOut, [] { IntOut(SD("aa"), Signal(2, "c"), Signal(4, "d")); }},
      {"HexOut", K::HexOut, [] { HexOut(SD("aa"), Signal(2, "c"), Signal(4, "d")); }},
      {"RegisterFile", K::RegisterFile,
       [] { RegisterFile(SD("aa"), Signal(6, "c"), Signal(4, "d"), Signal(4, "q"), 4, 4, 2, 1, 1); }},
      {"Ram", K::Ram, [] { Ram(SD("aa"), Signal(6, "c"), Signal(4, "d"), Signal(4, "q"), 4, 4, 2, 1, 1); }},
      {"Rom", K::Rom, [] { Rom(SD("aa"), Signal(1, "a"), Signal(8, "q"), 2, 8, word); }},
  };
  return all;
}

// The construction functions the public headers declare, as docs/components.md lists them.
std::set<std::string> declaredFunctions() {
  std::set<std::string> names;
  const std::regex declaration("^void ([A-Za-z]+)\\(.*");
  for (const char* header : {"ssiPh1.h", "msiPh1.h", "vlsiPh1.h"}) {
    std::ifstream in(std::string(TAVRIN_SOURCE_DIR) + "/src-simulator/components/" + header);
    EXPECT_TRUE(in.good()) << header;
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
      if (std::regex_match(line, m, declaration)) names.insert(m[1]);
  }
  return names;
}

}  // namespace

TEST(ComponentKinds, TheTableNamesEachKindOnce) {
  std::set<std::string> names;
  for (int k = 0; k < static_cast<int>(K::numberOfLibraryKinds); ++k) {
    const ComponentKindRow& row = componentKind(static_cast<K>(k));
    ASSERT_NE(row.name, nullptr) << k;
    EXPECT_TRUE(names.insert(row.name).second) << "two kinds named " << row.name;
    EXPECT_NE(defaultLabel(row.kind), nullptr) << row.name;
  }
}

// Each construction function registers components of its kind (and nothing else), whose pin
// lists fit the names of the kind's row; every library kind is registered by one of them.
TEST(ComponentKinds, EveryConstructionRegistersItsKindWithPinsItsRowNames) {
  std::set<std::string> tested;
  for (const Case& c : cases()) tested.insert(c.function);
  EXPECT_EQ(tested, declaredFunctions()) << "a construction function without its case here, or the reverse";

  RunResult r = runInChild([] {
    std::set<int> registered;
    ComponentList& list = PhaseOne::instance().componentList;
    for (const Case& c : cases()) {
      ComponentNode* last = list.end;
      c.build();
      ComponentNode* node = last != nullptr ? last->ptr : list.start;
      if (node == nullptr) std::printf("%s registered nothing\n", c.function);
      for (; node != nullptr; node = node->ptr) {
        const ComponentKindRow& row = componentKind(node->kind);
        registered.insert(static_cast<int>(node->kind));
        if (node->kind != c.kind) std::printf("%s registered a %s\n", c.function, row.name);
        if (!pinNamesFit(row.pins.data, static_cast<int>(node->dataInputs.size())) ||
            !pinNamesFit(row.pins.control, static_cast<int>(node->controlInputs.size())) ||
            !pinNamesFit(row.pins.outputs, static_cast<int>(node->outputs.size())))
          std::printf("%s: pins %zu/%zu/%zu do not fit '%s' / '%s' / '%s'\n", c.function, node->dataInputs.size(),
                      node->controlInputs.size(), node->outputs.size(), row.pins.data ? row.pins.data : "",
                      row.pins.control ? row.pins.control : "", row.pins.outputs ? row.pins.outputs : "");
        if (node->iconArray != row.icon) std::printf("%s: not the row's icon\n", c.function);
      }
    }
    for (int k = 0; k < static_cast<int>(K::numberOfLibraryKinds); ++k)
      if (registered.count(k) == 0)
        std::printf("no construction registers %s\n", componentKind(static_cast<K>(k)).name);
  });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
}

TEST(ComponentKinds, PinNamesFit) {
  const struct {
    const char* names;
    int count;
    bool fits;
  } table[] = {
      {nullptr, 0, true},
      {nullptr, 1, false},
      {"clear clock D preset", 4, true},
      {"clear clock D preset", 3, false},
      {"in[]", 0, true},
      {"in[]", 70, true},
      {"character[8] strobe enable", 10, true},
      {"character[8] strobe enable", 9, false},
      {"out[] valid", 0, false},
      {"out[] valid", 1, true},
  };
  for (const auto& t : table)
    EXPECT_EQ(pinNamesFit(t.names, t.count), t.fits) << (t.names ? t.names : "") << " " << t.count;
}

// The kind the docs add: one source file, one row, and it behaves as promised.
TEST(ComponentKinds, MajorityOfTheDocsRuns) {
  RunResult r = bench::run(
      [] {
        Signal in(3, "in"), out(1, "out");
        bench::drive(in, {{0, "000"}, {100, "011"}, {200, "X11"}, {300, "0X1"}, {400, "100"}, {500, "111"}});
        Majority(SD("aa"), in, out);
        bench::trace(out, "out");
      },
      600);
  EXPECT_EQ(bench::valuesAt(r.err, "out", {50, 150, 250, 350, 450, 550}), "0 1 1 X 0 1");
  EXPECT_EQ(bench::traceOf(r.err, "out")[1], "7:X");  // through XXX after 7, settled after 10
  EXPECT_EQ(bench::traceOf(r.err, "out")[2], "10:0");

  RunResult wrong = runSimulation([] { Majority(SD("ab"), Signal(2, "in"), Signal(1, "out")); }, {"-X"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("I/O length error--Majority() at ab in.length = 2 out.length = 1 should be 3 & 1.\n"),
            std::string::npos)
      << wrong.err;

  // The docs show the kind's source as it is.
  std::ifstream doc(std::string(TAVRIN_SOURCE_DIR) + "/docs/adding-a-component.md");
  std::ifstream source(std::string(TAVRIN_SOURCE_DIR) + "/tests/components/MajorityKind.cpp");
  std::stringstream docText, sourceText;
  docText << doc.rdbuf();
  sourceText << source.rdbuf();
  ASSERT_FALSE(sourceText.str().empty());
  EXPECT_NE(docText.str().find(sourceText.str()), std::string::npos)
      << "docs/adding-a-component.md does not show tests/components/MajorityKind.cpp as it is";
}
