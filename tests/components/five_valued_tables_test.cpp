// The five-valued tables of docs/components.md, rendered from runs of the real gates and the
// real pane drawing. Each block of the document between "<!-- table: NAME -->" and
// "<!-- end table -->" is produced here; a block that differs from what the code does fails the
// test, which prints the block as it should read. After a deliberate change of behaviour,
// rewrite the blocks with
//   TAVRIN_WRITE_TABLES=1 build/tests/test_components --gtest_filter='FiveValuedTables.*'
// and read the diff of docs/components.md before committing it.
//
// A gate table gives the level the output settles to while the inputs hold the levels of the
// entry. Each entry is observed from every level the output can show beforehand: once from
// power-up (constant inputs, the output UNINITIALIZED) and once after every other input
// combination, the inputs jumping from one to the other at time 100. An entry reached from every
// such level is printed as that level; one that depends on the level before is printed with a
// star, and the "asked for u" block says what it settles to from each level before.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "components/msi_bench.h"
#include "display/Pane.h"
#include "display/display_support.h"
#include "tavrin.h"

// The value colours of probe panes (display/Window.cpp).
extern char bar_color_ONE[8];
extern char bar_color_ZERO[8];
extern char bar_color_UNINITIALIZED[8];
extern char bar_color_XXX[8];
extern char bar_color_HIZ[8];

namespace {

constexpr SignalValue levels[5] = {ZERO, UNINITIALIZED, XXX, HIZ, ONE};
constexpr char docLetters[] = "0uxz1";    // the document's letters, in numeric order
constexpr char traceLetters[] = "0UXZ1";  // the trace's and the drivers' letters
constexpr uint64_t changeTime = 100;

char docLetter(char traceLetter) { return docLetters[std::string(traceLetters).find(traceLetter)]; }

// ---- The document's blocks ----

std::string documentPath() { return std::string(TAVRIN_SOURCE_DIR) + "/docs/components.md"; }

std::string readDocument() {
  std::ifstream in(documentPath());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Compares each block with the document, or with TAVRIN_WRITE_TABLES=1 writes it in.
void checkBlocks(const std::vector<std::pair<std::string, std::string>>& blocks) {
  std::string doc = readDocument();
  ASSERT_FALSE(doc.empty()) << documentPath();
  const char* write = std::getenv("TAVRIN_WRITE_TABLES");
  const bool writing = write != nullptr && std::string(write) == "1";
  for (const auto& [name, text] : blocks) {
    const std::string open = "<!-- table: " + name + " -->\n", close = "<!-- end table -->";
    const size_t start = doc.find(open);
    const size_t end = start == std::string::npos ? start : doc.find(close, start);
    if (end == std::string::npos) {
      ADD_FAILURE() << documentPath() << " has no block \"" << open << "\" ... \"" << close << "\"; it should read:\n"
                    << open << text << close;
      continue;
    }
    const size_t body = start + open.size();
    if (writing) {
      doc.replace(body, end - body, text);
    } else {
      EXPECT_EQ(doc.substr(body, end - body), text)
          << "docs/components.md block \"" << name << "\" disagrees with the simulator; it should read:\n"
          << open << text << close;
    }
  }
  if (writing) std::ofstream(documentPath()) << doc;
}

std::string row(const std::string& head, const std::vector<std::string>& cells) {
  std::string line = "| " + head;
  for (const std::string& c : cells) line += " | " + c;
  return line + " |\n";
}

std::string levelHeader(const std::string& corner) {
  std::vector<std::string> names;
  for (char c : std::string(docLetters)) names.emplace_back(1, c);
  return row(corner, names) + "|---|---|---|---|---|---|\n";
}

// ---- Running the gates ----

using Build = void (*)(const std::vector<Signal>& in, const Signal& out);

struct Family {
  const char* name;    // the block's name and the component's section
  const char* corner;  // rows \ columns
  int inputs;
  Build build;
};

const std::vector<Family> families = {
    {"And", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { And(SD("aa"), (in[0], in[1]), y); }},
    {"Or", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { Or(SD("aa"), (in[0], in[1]), y); }},
    {"Not", "in", 1, [](const std::vector<Signal>& in, const Signal& y) { Not(SD("aa"), in[0], y); }},
    {"Nand", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { Nand(SD("aa"), (in[0], in[1]), y); }},
    {"Nor", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { Nor(SD("aa"), (in[0], in[1]), y); }},
    {"Xor", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { Xor(SD("aa"), (in[0], in[1]), y); }},
    {"Xnor", "a \\ b", 2, [](const std::vector<Signal>& in, const Signal& y) { Xnor(SD("aa"), (in[0], in[1]), y); }},
    {"MultiLevelCompare", "in[0] \\ in[1]", 2,
     [](const std::vector<Signal>& in, const Signal& y) { MultiLevelCompare(SD("aa"), (in[1], in[0]), y); }},
    {"Iand", "inTrue \\ inComplement", 2,
     [](const std::vector<Signal>& in, const Signal& y) { Iand(SD("aa"), in[0], in[1], y); }},
    {"Inand", "inTrue \\ inComplement", 2,
     [](const std::vector<Signal>& in, const Signal& y) { Inand(SD("aa"), in[0], in[1], y); }},
    {"CiOr", "inTrue \\ inComplement", 2,
     [](const std::vector<Signal>& in, const Signal& y) { CiOr(SD("aa"), in[0], in[1], y); }},
    {"CiNor", "inTrue \\ inComplement", 2,
     [](const std::vector<Signal>& in, const Signal& y) { CiNor(SD("aa"), in[0], in[1], y); }},
    {"Tsb", "control \\ in", 2, [](const std::vector<Signal>& in, const Signal& y) { Tsb(SD("aa"), in[1], in[0], y); }},
    // in[1] is word 0 (in0), in[2] word 1 (in1).
    {"Mux", "select \\ chosen word", 3,
     [](const std::vector<Signal>& in, const Signal& y) { Mux(SD("aa"), in[0], (in[2], in[1]), y); }},
};

int combinations(int inputs) { return inputs == 1 ? 5 : inputs == 2 ? 25 : 125; }
int levelOf(int combination, int input) {
  for (int i = 0; i < input; ++i) combination /= 5;
  return combination % 5;
}

// The combinations an output is brought to its level before from: all, for the Mux those with
// both words alike (which still reach every level). An entry is not observed from itself: with
// no input changing, the gate is not evaluated again.
bool isPrior(const Family& f, int c) { return f.inputs < 3 || levelOf(c, 1) == levelOf(c, 2); }

// The table entry of a combination: row and column (-1: the one row of Not).
std::pair<int, int> entryOf(const Family& f, int c) {
  if (f.inputs == 1) return {-1, c};
  if (f.inputs == 2) return {levelOf(c, 0), levelOf(c, 1)};
  const int select = levelOf(c, 0);
  return {select, levelOf(c, select == 4 ? 2 : 1)};  // a select other than 0 or 1: in0's level
}

std::string powerUpName(size_t f, int c) { return "p." + std::to_string(f) + "." + std::to_string(c); }
std::string historyName(size_t f, int prior, int c) {
  return "h." + std::to_string(f) + "." + std::to_string(prior) + "." + std::to_string(c);
}

void buildGates() {
  std::vector<Signal> constant;
  for (SignalValue v : levels) constant.emplace_back(1, v, 1, "k");
  for (size_t f = 0; f < families.size(); ++f)
    for (int c = 0; c < combinations(families[f].inputs); ++c) {
      std::vector<Signal> in;
      for (int i = 0; i < families[f].inputs; ++i) in.push_back(constant[levelOf(c, i)]);
      Signal y(1, "y");
      families[f].build(in, y);
      bench::trace(y, powerUpName(f, c).c_str());
    }
  // Driven inputs, shared by the families of one width: the prior combination from time 0, the
  // entry's from changeTime.
  for (int inputs = 1; inputs <= 3; ++inputs)
    for (int prior = 0; prior < combinations(inputs); ++prior)
      for (int c = 0; c < combinations(inputs); ++c) {
        std::vector<size_t> users;
        for (size_t f = 0; f < families.size(); ++f)
          if (families[f].inputs == inputs && isPrior(families[f], prior)) users.push_back(f);
        if (users.empty()) continue;
        std::vector<Signal> in;
        for (int i = 0; i < inputs; ++i) {
          in.emplace_back(1, "w");
          bench::drive(in.back(), {{0, std::string(1, traceLetters[levelOf(prior, i)])},
                                   {changeTime, std::string(1, traceLetters[levelOf(c, i)])}});
        }
        for (size_t f : users) {
          Signal y(1, "y");
          families[f].build(in, y);
          bench::trace(y, historyName(f, prior, c).c_str());
        }
      }
}

// Every trace of a run: name -> (time, letter) in order.
using Traces = std::map<std::string, std::vector<std::pair<uint64_t, char>>>;

Traces tracesOf(const std::string& err) {
  Traces traces;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    uint64_t time;
    std::string name, value;
    if (fields >> time >> name >> value && value.size() == 1 && name.find('.') != std::string::npos)
      traces[name].emplace_back(time, value[0]);
  }
  return traces;
}

// The last level a trace shows not later than t ('?' when it shows none).
char levelAt(const std::vector<std::pair<uint64_t, char>>& trace, uint64_t t) {
  char level = '?';
  for (const auto& [time, value] : trace)
    if (time <= t) level = value;
  return level;
}

// What one table entry settled to, by the output's level before.
using Outcomes = std::map<char, std::set<char>>;

std::string renderEntry(const Outcomes& outcomes, std::map<char, char>& askedForU, const std::string& where) {
  std::set<char> all;
  for (const auto& [before, settled] : outcomes) all.insert(settled.begin(), settled.end());
  if (all.size() == 1) return std::string(1, docLetter(*all.begin()));
  for (const auto& [before, settled] : outcomes) {
    if (settled.size() != 1) return "?";
    auto [at, fresh] = askedForU.emplace(before, *settled.begin());
    if (!fresh && at->second != *settled.begin())
      ADD_FAILURE() << where << ": from " << before << " it settles to " << *settled.begin() << ", elsewhere to "
                    << at->second;
  }
  const auto fromPowerUp = outcomes.find('U');
  return fromPowerUp == outcomes.end() ? "?*" : std::string(1, docLetter(*fromPowerUp->second.begin())) + "*";
}

TEST(FiveValuedTables, GateTablesAgreeWithTheGates) {
  RunResult r = bench::run(buildGates, 2 * changeTime);
  ASSERT_EQ(r.status, 0);
  const Traces traces = tracesOf(r.err);
  auto traceOf = [&](const std::string& name) -> const std::vector<std::pair<uint64_t, char>>& {
    static const std::vector<std::pair<uint64_t, char>> none;
    const auto at = traces.find(name);
    if (at == traces.end()) ADD_FAILURE() << "no trace " << name;
    return at == traces.end() ? none : at->second;
  };

  std::vector<std::pair<std::string, std::string>> blocks;
  std::map<char, char> askedForU;
  for (size_t f = 0; f < families.size(); ++f) {
    const Family& family = families[f];
    std::map<std::pair<int, int>, Outcomes> entries;
    for (int c = 0; c < combinations(family.inputs); ++c) {
      Outcomes& outcomes = entries[entryOf(family, c)];
      outcomes['U'].insert(levelAt(traceOf(powerUpName(f, c)), 2 * changeTime));
      for (int prior = 0; prior < combinations(family.inputs); ++prior) {
        if (!isPrior(family, prior) || prior == c) continue;
        const auto& trace = traceOf(historyName(f, prior, c));
        outcomes[levelAt(trace, changeTime - 1)].insert(levelAt(trace, 2 * changeTime));
      }
    }
    std::string text = levelHeader(family.corner);
    for (int rowLevel = family.inputs == 1 ? -1 : 0; rowLevel < (family.inputs == 1 ? 0 : 5); ++rowLevel) {
      std::vector<std::string> cells;
      for (int column = 0; column < 5; ++column) {
        const std::string where =
            std::string(family.name) + " " + std::to_string(rowLevel) + "," + std::to_string(column);
        cells.push_back(renderEntry(entries[{rowLevel, column}], askedForU, where));
      }
      text += row(rowLevel < 0 ? "out" : std::string(1, docLetters[rowLevel]), cells);
    }
    blocks.emplace_back(family.name, text);
  }
  std::vector<std::string> settled;
  for (char before : std::string(traceLetters))
    settled.emplace_back(askedForU.count(before) ? std::string(1, docLetter(askedForU[before])) : "?");
  blocks.emplace_back("asked for u", levelHeader("showed before") + row("settles to", settled));
  checkBlocks(blocks);
}

// ---- Moments of HIZ and UNINITIALIZED, traced ----

struct Example {
  const char* gate;
  const char* input;
  void (*build)();  // traces its input as "q" and its output as "y"
};

const std::vector<Example> examples = {
    {"`And(One, q)`", "a `Switch` starting at `One`",
     [] {
       Signal q(1, "q"), y(1, "y");
       Switch(SD("aa"), q, 'a', One);
       And(SD("ab"), (One, q), y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Not(q)`", "a `Dff` never clocked",
     [] {
       Signal q(1, "q"), y(1, "y");
       Dff(SD("aa"), (Zero, Zero, Zero, Zero), q);
       Not(SD("ab"), q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Iand(One, q)`", "a `Dff` never clocked",
     [] {
       Signal q(1, "q"), y(1, "y");
       Dff(SD("aa"), (Zero, Zero, Zero, Zero), q);
       Iand(SD("ab"), One, q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`CiOr(Zero, q)`", "a `Dff` never clocked",
     [] {
       Signal q(1, "q"), y(1, "y");
       Dff(SD("aa"), (Zero, Zero, Zero, Zero), q);
       CiOr(SD("ab"), Zero, q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Iand(q, q)`", "a `Dff` never clocked",
     [] {
       Signal q(1, "q"), y(1, "y");
       Dff(SD("aa"), (Zero, Zero, Zero, Zero), q);
       Iand(SD("ab"), q, q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Iand(One, q)`", "`Clock(sd, q, 10, 20, 40, Zero)`",
     [] {
       Signal q(1, "q"), y(1, "y");
       Clock(SD("aa"), q, 10, 20, 40, Zero);
       Iand(SD("ab"), One, q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Tsb(q, One, y)`", "`Clock(sd, q, 10, 20, 40, Zero)`",
     [] {
       Signal q(1, "q"), y(1, "y");
       Clock(SD("aa"), q, 10, 20, 40, Zero);
       Tsb(SD("ab"), q, One, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`And(r, q)`, r a `Register` never written", "`Clock(sd, q, 10, 20, 40, Zero)`",
     [] {
       Signal r(1, "r"), q(1, "q"), y(1, "y");
       Register(SD("aa"), One, Zero, Zero, r);
       Clock(SD("ab"), q, 10, 20, 40, Zero);
       And(SD("ac"), (r, q), y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
    {"`Iand(One, q)`", "`Not` of that clock",
     [] {
       Signal clk(1, "clk"), q(1, "q"), y(1, "y");
       Clock(SD("aa"), clk, 10, 20, 40, Zero);
       Not(SD("ab"), clk, q);
       Iand(SD("ac"), One, q, y);
       bench::trace(q, "q");
       bench::trace(y, "y");
     }},
};

constexpr uint64_t exampleEnd = 80;

// "u, x at 7, z at 23": the levels a trace shows up to exampleEnd.
std::string story(const std::string& err, const char* name) {
  std::string text;
  char shown = '?';
  for (const std::string& entry : bench::traceOf(err, name)) {
    const size_t colon = entry.find(':');
    const uint64_t time = std::stoull(entry.substr(0, colon));
    const char level = docLetter(entry[colon + 1]);
    if (time > exampleEnd) break;
    if (level == shown) continue;  // left and regained within one time step: never shown
    shown = level;
    text += (text.empty() ? "" : ", ") + std::string(1, level);
    if (time > 0) text += " at " + std::to_string(time);
  }
  return text;
}

TEST(FiveValuedTables, MomentsOfHizAndUninitializedAgreeWithRuns) {
  std::string text = "| gate | q | q shows | the gate's output shows |\n|---|---|---|---|\n";
  for (const Example& e : examples) {
    RunResult r = bench::run(e.build, exampleEnd);
    text += row(e.gate, {e.input, story(r.err, "q"), story(r.err, "y")});
  }
  checkBlocks({{"moments", text}});
}

// ---- The panes' legend ----

// The switch pane of each level, from the primitives the drawing code records.
std::string switchPatterns() {
  RunResult r = runInChild([] {
    displaytest::LineRecorder* recorder = displaytest::makeCircuit({{}});
    const std::map<std::string, std::string> strokes = {
        {"drawFilledRectangle 0 0 1000 1000", "F"}, {"drawRectangle 0 0 1000 1000", "R"},
        {"drawLine 0 0 1000 1000", "\\"},           {"drawLine 0 1000 1000 0", "/"},
        {"drawLine 0 500 1000 500", "-"},           {"clearArea 0 0 1000 1000", ""}};
    for (SignalValue v : levels) {
      recorder->lines.clear();
      drawPane(0, 0, 1000, 1000, v, false, 1.0f);
      std::string pattern;
      for (const std::string& line : recorder->lines) {
        const auto at = strokes.find(line);
        pattern += at == strokes.end() ? "(" + line + ")" : at->second;
      }
      std::printf("%s\n", pattern.c_str());
    }
  });
  return r.out;
}

TEST(FiveValuedTables, PaneLegendAgreesWithTheDrawing) {
  const std::map<std::string, std::string> colourNames = {{"#008000", "dark green"},
                                                          {"#F0FFF0", "pale green"},
                                                          {"#FFFFFF", "white"},
                                                          {"#FF8C00", "orange"},
                                                          {"#FFEBCD", "beige"}};
  const std::map<std::string, std::string> patternNames = {{"F", "a solid box"},
                                                           {"R", "an empty box"},
                                                           {"R\\/", "a box with both diagonals, a cross"},
                                                           {"R/", "a box with one diagonal, `/`"},
                                                           {"R-", "a box with a line across the middle"}};
  const char* colours[5] = {bar_color_ZERO, bar_color_UNINITIALIZED, bar_color_XXX, bar_color_HIZ, bar_color_ONE};
  std::istringstream patterns(switchPatterns());
  std::string text = "| level | probe pane | switch pane |\n|---|---|---|\n";
  for (int v = 0; v < 5; ++v) {
    std::string pattern;
    std::getline(patterns, pattern);
    const auto colour = colourNames.find(colours[v]);
    const auto drawing = patternNames.find(pattern);
    text += row(std::string(1, docLetters[v]),
                {(colour == colourNames.end() ? "unnamed colour" : colour->second) + " `" + colours[v] + "`",
                 drawing == patternNames.end() ? "unnamed pattern " + pattern : drawing->second});
  }
  checkBlocks({{"panes", text}});
}

}  // namespace
