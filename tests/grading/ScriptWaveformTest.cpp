// Scripted key presses (-k) and waveforms (-V) end to end: small circuits run through Sim, and
// the processor's waveform read back and compared with the probe lines of the same run.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "construction/addStCmp.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

void switchAndProbe() {
  Signal a(1, "a");
  Switch(SD("aa"), a, 'a', Zero);
  Probe(SD("ab"), a, "a");
}

// The last events of a press land on a wire nothing reads: they activate nothing, and the
// queue is empty before the next step comes up.
void danglingOutput() {
  Signal a(1, "a"), y(1, "y");
  Switch(SD("aa"), a, 'a', Zero);
  Probe(SD("ab"), a, "a");
  Not(SD("ac"), a, y);
}

// A component error that ends the process as soon as its input is ONE.
void exitOnOne(int cind) {
  if (phaseThree->currentSignals[phaseTwo->core[cind].dataInputs()[0]] == ONE) std::exit(1);
}
void fatalCircuit() {
  Signal a(1, "a");
  Switch(SD("aa"), a, 'a', Zero);
  addComponent(defineComponentKind({.name = "Fatal", .logicEvaluate = exitOnOne}), SD("ab"), {.data = a});
}

std::string probeLines(const std::string& err) {
  std::string lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Time = ", 0) == 0) lines += line + "\n";
  return lines;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Variable {
  std::string scope, reference;
  size_t width = 0;
};

// A dump read back: its declarations, and every value line with its time; anything malformed
// fails the test.
struct Dump {
  std::map<std::string, Variable> variables;                          // by identifier code
  std::vector<std::tuple<uint64_t, std::string, std::string>> changes;  // time, code, levels (MSB first)

  explicit Dump(const std::string& text) {
    std::istringstream in(text.substr(text.find("$scope")));
    std::string word, scope, code, levels;
    uint64_t time = 0;
    bool timed = false;
    while (in >> word && word != "$enddefinitions") {
      Variable v;
      if (word == "$scope") in >> word >> scope;
      if (word == "$var" && in >> word >> v.width >> code >> v.reference) {
        EXPECT_TRUE(variables.emplace(code, Variable{scope, v.reference, v.width}).second) << code;
      }
    }
    EXPECT_TRUE(in >> word && word == "$end") << "no $enddefinitions";
    while (in >> word) {
      if (word == "$dumpvars" || word == "$end") continue;
      if (word == "$comment") {
        while (in >> word && word != "$end") {
        }
      } else if (word[0] == '#') {
        EXPECT_TRUE(!timed || std::stoull(word.substr(1)) > time) << word;
        time = std::stoull(word.substr(1));
        timed = true;
      } else {
        if (word[0] == 'b') {
          levels = word.substr(1);
          in >> code;
        } else {
          levels = word.substr(0, 1);
          code = word.substr(1);
        }
        EXPECT_TRUE(timed && variables.count(code) && levels.size() == variables[code].width &&
                    levels.find_first_not_of("01xz") == std::string::npos)
            << word << " " << code;
        changes.emplace_back(time, code, levels);
      }
    }
  }
};

}  // namespace

TEST(KeyScript, SettledAndTimedSteps) {
  // a@100 waits for its time; a is pressed once the circuit has settled again, at 110; a@50 is
  // past by then, so it follows at once, while the second press is still on its way (the kernel
  // puts its events behind those of the second press).
  RunResult r = runSimulation(switchAndProbe, {"-X", "-k", "a@100,a,a@50"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(probeLines(r.err),
            "Time = 0  Probe for a at ab  Value = UNINITIALIZED\n"
            "Time = 0  Probe for a at ab  Value = UNINITIALIZED\n"
            "Time = 7  Probe for a at ab  Value = XXX\n"
            "Time = 10  Probe for a at ab  Value = ZERO\n"
            "Time = 107  Probe for a at ab  Value = XXX\n"
            "Time = 110  Probe for a at ab  Value = ONE\n"
            "Time = 117  Probe for a at ab  Value = XXX\n"
            "Time = 120  Probe for a at ab  Value = ZERO\n"
            "Time = 121  Probe for a at ab  Value = XXX\n"
            "Time = 122  Probe for a at ab  Value = ONE\n");
}

TEST(KeyScript, EveryStepIsPressedWhenTheLastEventsActivateNothing) {
  RunResult r = runSimulation(danglingOutput, {"-X", "-k", "a*4"});
  EXPECT_EQ(r.status, 0);
  const std::string lines = probeLines(r.err);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4 + 4 * 2) << lines;
  EXPECT_NE(lines.find("Value = ZERO\n"), std::string::npos);
  EXPECT_EQ(lines.substr(lines.rfind("Value = ")), "Value = ZERO\n");
}

TEST(KeyScript, BadScriptsStopBeforeTheRun) {
  for (const char* script : {"", "a,", ",a", "a*", "a*0", "a*-1", "a@", "a@1x", "ab"}) {
    RunResult r = runSimulation(switchAndProbe, {"-X", "-k", script});
    std::string word = std::string(script) == "a," || std::string(script) == ",a" ? "" : script;
    EXPECT_EQ(r.status, 1) << script;
    EXPECT_EQ(r.err, "tavrin: -k: malformed step '" + word + "' (a step is a key, key*count or key@time)\n");
  }
  // A quoted step stays on one line.
  RunResult r = runSimulation(switchAndProbe, {"-X", "-k", "a\n*1\xe9"});
  EXPECT_EQ(r.err, "tavrin: -k: malformed step 'a\\x0a*1\\xe9' (a step is a key, key*count or key@time)\n");
  r = runSimulation(switchAndProbe, {"-X", "-k", "a,q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "There are 2 components.\nThere are 3 signals.\n"
                   "tavrin: -k: no switch or pulser is bound to key 'q'\n");
}

// The visible changes of every probed bit are the same in the dump as in the probe lines.
TEST(Waveform, ProcessorDumpAgreesWithProbeLines) {
  char dir[] = "/tmp/tavrin-vcd-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/run.vcd";
  RunResult r = runProcess({TAVRIN_EXE, "-X", "-k", "0,1*8", "-V", path});
  ASSERT_EQ(r.status, 0) << r.err;
  Dump dump(readFile(path));
  std::remove(path.c_str());
  rmdir(dir);

  std::map<std::string, std::string> codeOf;  // name -> code, for names of one 16-bit signal
  std::map<std::string, int> variablesInScope;
  for (const auto& [code, v] : dump.variables) {
    ++variablesInScope[v.scope];
    if (v.reference == v.scope && v.width == 16) codeOf[v.scope] = code;
  }
  for (const char* name : {"PC", "Reg1", "IR_ID", "DataBus"}) ASSERT_TRUE(codeOf.count(name)) << name;

  // Per bit (code, index): (time, level) wherever the level differs from the one before.
  using Changes = std::map<std::pair<std::string, int>, std::vector<std::pair<uint64_t, char>>>;
  auto note = [](Changes& changes, const std::pair<std::string, int>& bit, uint64_t time, char level) {
    auto& list = changes[bit];
    if (level != (list.empty() ? 'x' : list.back().second)) list.emplace_back(time, level);
  };
  Changes fromProbes, fromDump;
  static const std::regex line("Time = (\\d+)  Probe for (\\w+)\\[(\\d+)\\] at \\S+  Value = (\\w+)");
  static const std::map<std::string, char> levelOf = {
      {"ZERO", '0'}, {"ONE", '1'}, {"XXX", 'x'}, {"UNINITIALIZED", 'x'}, {"HIZ", 'z'}};
  std::istringstream lines(r.err);
  for (std::string text; std::getline(lines, text);) {
    std::smatch m;
    if (std::regex_match(text, m, line) && codeOf.count(m[2]) && variablesInScope[m[2]] == 1)
      note(fromProbes, {codeOf[m[2]], std::stoi(m[3])}, std::stoull(m[1]), levelOf.at(m[4]));
  }
  for (const auto& [time, code, levels] : dump.changes)
    for (int bit = 0; bit < 16; ++bit)
      if (fromProbes.count({code, bit})) note(fromDump, {code, bit}, time, levels[static_cast<size_t>(15 - bit)]);
  EXPECT_GT(fromProbes.size(), 100u);
  for (const auto& [bit, list] : fromProbes)
    EXPECT_EQ(list, fromDump[bit]) << dump.variables[bit.first].scope << "[" << bit.second << "]";
}

// The last changes reach the file however the run ends: at the stop time, or by a component
// error that ends the process. A file that cannot be written stops the run before it starts.
TEST(Waveform, CompleteWhateverEndsTheRun) {
  char dir[] = "/tmp/tavrin-vcd-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string path = std::string(dir) + "/run.vcd";
  // Codes: ! is Zero, " is One, # is a.
  RunResult r = runSimulation(switchAndProbe, {"-X", "-T", "60", "-k", "a@50,a@100", "-V", path});
  EXPECT_EQ(r.status, 0);
  std::string text = readFile(path);
  EXPECT_EQ(Dump(text).variables.size(), 3u);
  EXPECT_EQ(text.substr(text.find("#0")),
            "#0\n$dumpvars\n0!\n1\"\nx#\n$end\n#7\nx#\n#10\n0#\n#57\nx#\n#60\n1#\n");

  r = runSimulation(fatalCircuit, {"-X", "-k", "a", "-V", path});
  EXPECT_EQ(r.status, 1);
  text = readFile(path);
  EXPECT_EQ(text.substr(text.find("#10\n")), "#10\n0#\n#17\nx#\n#20\n1#\n");
  std::remove(path.c_str());

  r = runSimulation(switchAndProbe, {"-X", "-k", "a", "-V", std::string(dir) + "/no/run.vcd"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "There are 2 components.\nThere are 3 signals.\n"
                   "tavrin: -V: cannot write '" + std::string(dir) + "/no/run.vcd': No such file or directory\n");
  rmdir(dir);
}
