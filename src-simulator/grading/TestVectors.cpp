#include "grading/TestVectors.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "elaboration/Ph3.h"
#include "grading/KeyScript.h"
#include "grading/ValueText.h"
#include "output/OutputFile.h"
#include "output/SignalGroups.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"

namespace {

struct Expectation {
  size_t file;  // in fileNames
  int line;
  std::string name;
  ValueText value;
  size_t point;    // the key script's settle point: steps of -k and earlier -v files come first
  int until = -1;  // the step pressed until this holds, in untilSteps; -1 for none
  int group = -1;
  int bit = -1;                       // -1: the whole group
  std::vector<SignalValue> expected;  // bit 0 first
  enum { pending, passed, failed, unreached } outcome = pending;
  std::string actualText;
};

// A step pressed until its conditions hold: expectations first .. last - 1.
struct UntilStep {
  size_t file;
  int line;
  char key;
  size_t first, last;
  bool done = false;
  uint64_t presses = 0;
};

// A step after which the circuit did not settle: a failed case of its own in the report.
struct NotSettled {
  std::string where;  // "<file>:<line>" or empty
  std::string message;
};

void resolve();
void settlePoint(const SettlePoint& point);
void runEnd();

struct VectorsState {
  // Checks each settle point after the table has written its row, and ends before the table.
  RunHooks observer{resolve, settlePoint, runEnd, 1};
  std::vector<std::string> fileNames;
  std::string reportName;
  std::vector<Expectation> expectations;
  std::vector<UntilStep> untilSteps;
  std::vector<NotSettled> notSettled;
  size_t nextToCheck = 0;
  int passedCount = 0, failedCount = 0;
  std::vector<SignalGroup> groups;
  std::vector<int> groupOfWire;
};

VectorsState& vectors() { return Simulation::current().part<VectorsState>(); }

std::string xml(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string reportHead(const std::string& suite, size_t tests, int failures, int errors) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n<testsuite name=\"" + xml(suite) + "\" tests=\"" +
         std::to_string(tests) + "\" failures=\"" + std::to_string(failures) +
         (errors > 0 ? "\" errors=\"" + std::to_string(errors) : std::string()) + "\">\n";
}
const char* const reportTail = "</testsuite>\n</testsuites>\n";

// mayEnd false: a report that cannot be written gives its message but does not end the process
// (a file that cannot be used has its own status, 2).
void writeReportText(const std::string& text, bool mayEnd = true) {
  OutputFile out;
  if (!out.open(commandName, "-o", vectors().reportName, mayEnd)) return;
  out.write(text);
  out.close(!mayEnd);
}

// A file that cannot be used: its message, the report's one error case, status 2.
// A file that cannot be used: its message and the report's one error case.
void reportUnusable(const std::string& file, const std::string& where, const std::string& reason) {
  VectorsState& v = vectors();
  std::fprintf(standardErrorFile(), "%s: -v: %s%s\n", commandName, where.empty() ? "" : (where + ": ").c_str(),
               reason.c_str());
  if (!v.reportName.empty()) {
    const std::string name = where.empty() ? file : where;
    writeReportText(reportHead(file, 1, 0, 1) + "  <testcase classname=\"" + xml(file) + "\" name=\"" + xml(name) +
                        "\">\n    <error message=\"" + xml(reason) + "\"/>\n  </testcase>\n" + reportTail,
                    false);
  }
}

// The same, ending the process with status 2 (found when the run starts).
[[noreturn]] void unusable(const std::string& file, const std::string& where, const std::string& reason) {
  reportUnusable(file, where, reason);
  endProcess(2);
}

std::string at(size_t file, int line) {
  VectorsState& v = vectors();
  return v.fileNames[file] + ":" + std::to_string(line);
}
std::string where(const Expectation& e) { return at(e.file, e.line) + ": " + e.name; }

std::string widthText(int width) { return std::to_string(width) + (width == 1 ? " bit" : " bits"); }

// The wires of an expectation hold its value now.
bool holds(const Expectation& e) {
  VectorsState& v = vectors();
  const SignalValue* actual =
      phaseThree->currentSignals + v.groups[static_cast<size_t>(e.group)].first + (e.bit < 0 ? 0 : e.bit);
  for (size_t k = 0; k < e.expected.size(); ++k)
    if (actual[k] != e.expected[k]) return false;
  return true;
}

void resolve() {
  VectorsState& v = vectors();
  signalGroupsForm(v.groups, v.groupOfWire);
  const SignalGroupNames names(v.groups);
  // The group and bit of each name found: a vector file names the same outputs on every line.
  std::unordered_map<std::string, std::pair<int, int>> found;
  for (Expectation& e : v.expectations) {
    if (const auto known = found.find(e.name); known != found.end()) {
      e.group = known->second.first;
      e.bit = known->second.second;
    } else if (names.find(e.name, e.group, e.bit)) {
      found.emplace(e.name, std::pair{e.group, e.bit});
    } else {
      unusable(v.fileNames[e.file], at(e.file, e.line), "unknown signal '" + printableText(e.name) + "'");
    }
    const int width = e.bit < 0 ? v.groups[static_cast<size_t>(e.group)].width : 1;
    if (!valueTextBits(e.value, width, e.expected))
      unusable(v.fileNames[e.file], at(e.file, e.line),
               "value '" + printableText(e.value.text) + "' is wider than " + printableText(e.name) + " (" +
                   widthText(width) + ")");
  }
}

std::string pressesText(const UntilStep& u) {
  return " after " + std::to_string(u.presses) + (u.presses == 1 ? " press" : " presses") + " of '" +
         std::string(1, u.key) + "'";
}

void check(size_t point) {
  VectorsState& v = vectors();
  std::string text;
  for (; v.nextToCheck < v.expectations.size() && v.expectations[v.nextToCheck].point <= point; ++v.nextToCheck) {
    Expectation& e = v.expectations[v.nextToCheck];
    const int width = static_cast<int>(e.expected.size());
    if (holds(e)) {
      e.outcome = Expectation::passed;
      ++v.passedCount;
      continue;
    }
    e.outcome = Expectation::failed;
    ++v.failedCount;
    const SignalValue* actual =
        phaseThree->currentSignals + v.groups[static_cast<size_t>(e.group)].first + (e.bit < 0 ? 0 : e.bit);
    e.actualText = valueTextShow(e.value.notation, actual, width);
    text +=
        where(e) + " expected " + valueTextShow(e.value.notation, e.expected.data(), width) + " got " + e.actualText;
    if (e.until >= 0) {
      const UntilStep& u = v.untilSteps[static_cast<size_t>(e.until)];
      e.actualText += pressesText(u) + " (the limit)";
      text += pressesText(u) + " (the limit)";
    }
    text += "\n";
  }
  if (text.empty()) return;
  std::fputs(text.c_str(), standardOutputFile());
  std::fflush(standardOutputFile());  // seen as it happens, also while a window stays open
}

// A step pressed until its conditions hold has ended: how many presses it took.
void untilEnded(UntilStep& u, uint64_t presses) {
  VectorsState& v = vectors();
  u.done = true;
  u.presses = presses;
  bool held = true;
  std::string conditions;
  for (size_t k = u.first; k < u.last; ++k) {
    held = held && holds(v.expectations[k]);
    conditions += (conditions.empty() ? "" : " ") + v.expectations[k].name + "=" + v.expectations[k].value.text;
  }
  if (!held) return;  // its failed conditions say it
  const std::string text = at(u.file, u.line) + ": " + conditions + pressesText(u) + "\n";
  std::fputs(text.c_str(), standardOutputFile());
  std::fflush(standardOutputFile());
}

void writeReport() {
  VectorsState& v = vectors();
  if (v.reportName.empty()) return;
  std::string text = reportHead(v.fileNames[0], v.expectations.size() + v.notSettled.size(), v.failedCount, 0);
  for (const NotSettled& n : v.notSettled)
    text += "  <testcase classname=\"" + xml(v.fileNames[0]) + "\" name=\"" +
            xml(n.where.empty() ? "settling" : n.where) + "\">\n    <failure message=\"" + xml(n.message) +
            "\"/>\n  </testcase>\n";
  for (const Expectation& e : v.expectations) {
    text += "  <testcase classname=\"" + xml(v.fileNames[e.file]) + "\" name=\"line " + std::to_string(e.line) + ": " +
            xml(e.name + "=" + e.value.text) + "\"";
    const UntilStep* u = e.until >= 0 ? &v.untilSteps[static_cast<size_t>(e.until)] : nullptr;
    const std::string presses =
        u != nullptr && u->done ? "    <system-out>" + std::to_string(u->presses) + " presses</system-out>\n" : "";
    if (e.outcome == Expectation::passed) {
      text += presses.empty() ? "/>\n" : ">\n" + presses + "  </testcase>\n";
      continue;
    }
    const std::string message = e.outcome == Expectation::failed ? "got " + e.actualText : "not reached";
    text += ">\n    <failure message=\"" + xml(message) + "\"/>\n" + presses + "  </testcase>\n";
  }
  writeReportText(text + reportTail);
}

void runEnd() {
  VectorsState& v = vectors();
  std::string text;
  for (; v.nextToCheck < v.expectations.size(); ++v.nextToCheck) {
    Expectation& e = v.expectations[v.nextToCheck];
    const int width = static_cast<int>(e.expected.size());
    e.outcome = Expectation::unreached;
    ++v.failedCount;
    text += where(e) + " expected " + valueTextShow(e.value.notation, e.expected.data(), width) + " not reached\n";
  }
  text += std::to_string(v.passedCount) + " passed, " + std::to_string(v.failedCount) + " failed\n";
  std::fputs(text.c_str(), standardOutputFile());
  std::fflush(standardOutputFile());
  if (v.failedCount > 0) raiseExitStatus(1);
  writeReport();
}

// The settle guard: the step's line (or the first expectation after the reset) and the wires.
void notSettledAfter(size_t step, const std::string& stepOrigin, uint64_t bound, const std::string& changing) {
  VectorsState& v = vectors();
  std::string origin = stepOrigin;
  std::string after = "this step";
  if (step == 0) {
    after = "the reset";
    if (!v.expectations.empty() && v.expectations[0].point == 0)
      origin = at(v.expectations[0].file, v.expectations[0].line);
  } else if (origin.empty()) {
    after = "step " + std::to_string(step) + " of -k";
  }
  const std::string message = "the circuit has not settled " + std::to_string(bound) + " time steps after " + after +
                              "; still changing: " + changing;
  ++v.failedCount;
  v.notSettled.push_back({origin, message});
  std::fflush(standardOutputFile());
  const std::string line =
      (origin.empty() ? std::string(commandName) + (step == 0 ? ": -v" : ": -k") : origin) + ": " + message + "\n";
  std::fputs(line.c_str(), standardOutputFile());
  std::fflush(standardOutputFile());
}

void inputError(const std::string& origin, const std::string& reason) {
  unusable(origin.substr(0, origin.rfind(':')), origin, reason);
}

void settlePoint(const SettlePoint& point) {
  VectorsState& v = vectors();
  if (!point.complete) return;
  for (UntilStep& u : v.untilSteps)
    if (!u.done && v.expectations[u.first].point == point.step) untilEnded(u, point.presses);
  check(point.step);
}

// A line's words: runs of characters other than blanks (space, tab, CR, vertical tab, form feed).
struct Words {
  std::string_view line;
  size_t at = 0;
  static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n'; }
  // The next word, or false at the line's end.
  bool next(std::string_view& word) {
    while (at < line.size() && blank(line[at])) ++at;
    if (at == line.size()) return false;
    const size_t begin = at;
    while (at < line.size() && !blank(line[at])) ++at;
    word = line.substr(begin, at - begin);
    return true;
  }
};

// The rest of a line after "KEY until": conditions NAME=VALUE, then "within N".
bool readUntil(Words& words, ScriptStep& step, std::string& reason, std::vector<std::string_view>& conditions) {
  std::string_view word;
  bool any = false;
  while ((any = words.next(word)) && word != "within") conditions.push_back(word);
  if (!any || conditions.empty()) {
    reason = "malformed step: 'KEY until NAME=VALUE ... within N' presses KEY at most N times";
    return false;
  }
  std::string_view limit;
  if (!words.next(limit) || !keyScriptReadStep("?*" + std::string(limit), step)) {
    reason = "malformed limit '" + printableText(std::string(limit)) + "' after within (a number of presses from 1)";
    return false;
  }
  return true;
}

// One NAME=VALUE word; false with the reason.
bool readExpectation(std::string_view word, Expectation& e, std::string& reason) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos || equals == 0) {
    reason = "malformed expectation '" + printableText(std::string(word)) + "' (an expectation is NAME=VALUE)";
    return false;
  }
  e.name = word.substr(0, equals);
  std::string why;
  if (!valueTextRead(word.substr(equals + 1), e.value, why)) {
    reason = "malformed expectation '" + printableText(std::string(word)) + "': " + why;
    return false;
  }
  return true;
}

// Reads the lines of a file: its steps, and its expectations at points from firstPoint on, which
// will be expectations and steps pressed until they hold from the bases on. False with the line
// and the reason at the first malformed line.
bool parse(std::istream& in, const std::string& file, size_t fileIndex, size_t firstPoint, size_t expectationBase,
           size_t untilBase, std::vector<ScriptStep>& steps, std::vector<Expectation>& found,
           std::vector<UntilStep>& untils, int& badLine, std::string& reason) {
  auto malformed = [&](int line, const std::string& why) {
    badLine = line;
    reason = why;
    return false;
  };
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    Words words{std::string_view(text).substr(0, text.find('#'))};
    std::string_view word;
    bool first = true;
    ScriptStep settings;  // the step of the line's NAME:=VALUE words so far
    auto endSettings = [&]() {
      if (settings.settings.empty()) return;
      settings.origin = file + ":" + std::to_string(line);
      steps.push_back(std::move(settings));
      settings = ScriptStep{};
    };
    while (words.next(word)) {
      const bool setting = word.find(":=") != std::string_view::npos;
      if (setting && (first || !settings.settings.empty())) {
        if (!settings.text.empty()) settings.text += ' ';
        settings.text += word;
        if (!keyScriptReadSetting(word, settings, reason)) return malformed(line, reason);
        first = false;
        continue;
      }
      endSettings();
      if (setting)
        return malformed(line, "setting '" + printableText(std::string(word)) +
                                   "' after the line's step or expectations (settings are the step)");
      if (first && word.find('=') == std::string_view::npos) {
        ScriptStep step;
        bool ok;
        if (word[0] == '@') {
          ok = keyScriptReadStep("?" + std::string(word), step);  // the time as a timed step's, then no key
          step.key = 0;
        } else {
          ok = keyScriptReadStep(word, step);
        }
        if (!ok)
          return malformed(line, "malformed step '" + printableText(std::string(word)) +
                                     "' (a step is key, key*count, key@time, @time or NAME:=VALUE)");
        step.origin = file + ":" + std::to_string(line);
        const size_t mark = words.at;
        std::string_view keyword;
        if (words.next(keyword) && keyword == "until") {
          if (step.timed || step.count != 1 || step.key == 0)
            return malformed(line, "malformed step '" + printableText(std::string(word)) +
                                       " until' (a key alone is pressed until)");
          std::vector<std::string_view> conditions;
          ScriptStep limit;
          if (!readUntil(words, limit, reason, conditions)) return malformed(line, reason);
          step.count = limit.count;
          UntilStep u{fileIndex, line, static_cast<char>(step.key), expectationBase + found.size(), 0};
          for (const std::string_view condition : conditions) {
            Expectation e;
            if (!readExpectation(condition, e, reason)) return malformed(line, reason);
            e.file = fileIndex;
            e.line = line;
            e.point = firstPoint + steps.size() + 1;
            e.until = static_cast<int>(untilBase + untils.size());
            found.push_back(std::move(e));
          }
          u.last = expectationBase + found.size();
          untils.push_back(u);
          step.until = [first = u.first, last = u.last] {
            for (size_t k = first; k < last; ++k)
              if (!holds(vectors().expectations[k])) return false;
            return true;
          };
        } else {
          words.at = mark;
        }
        steps.push_back(std::move(step));
      } else {
        Expectation& e = found.emplace_back();
        if (!readExpectation(word, e, reason)) return malformed(line, reason);
        e.file = fileIndex;
        e.line = line;
        e.point = firstPoint + steps.size();
      }
      first = false;
    }
    endSettings();
  }
  return true;
}

}  // namespace

bool testVectorsRead(const char* path) {
  VectorsState& v = vectors();
  const std::string file = path;
  // Reported here, the process ended by the caller: nothing of this frame is left behind then.
  auto fail = [&](const std::string& where, const std::string& reason) {
    reportUnusable(file, where, reason);
    return false;
  };
  std::ifstream in(path);
  if (!in) return fail("", "cannot open '" + file + "': " + std::strerror(errno));
  std::vector<ScriptStep> steps;
  std::vector<Expectation> found;
  std::vector<UntilStep> untils;
  int line = 0;
  std::string reason;
  const size_t fileIndex = v.fileNames.size();
  v.fileNames.push_back(file);
  const bool ok = parse(in, file, fileIndex, keyScriptSteps(), v.expectations.size(), v.untilSteps.size(), steps, found,
                        untils, line, reason);
  const bool unreadable = in.bad();
  const int readError = errno;
  in.close();
  if (unreadable) return fail("", "cannot read '" + file + "': " + std::strerror(readError));
  if (!ok) return fail(at(fileIndex, line), reason);
  if (found.empty()) return fail(file, "no expectations (a line's NAME=VALUE checks a signal)");
  if (v.expectations.empty())
    v.expectations = std::move(found);
  else
    v.expectations.insert(v.expectations.end(), std::make_move_iterator(found.begin()),
                          std::make_move_iterator(found.end()));
  v.untilSteps.insert(v.untilSteps.end(), untils.begin(), untils.end());
  keyScriptAppend(std::move(steps));
  if (fileIndex > 0) return true;  // the first file installs what they all share
  keyScriptOnNotSettled(notSettledAfter);
  keyScriptOnInputError(inputError);
  // Without a window the run ends after the last step; with one it stays open.
  keyScriptEndAfterLastPoint();
  observeRun(vectors().observer);
  return true;
}

bool testVectorsCheck(std::istream& in, const std::string& file, std::string& error) {
  std::vector<ScriptStep> steps;
  std::vector<Expectation> found;
  std::vector<UntilStep> untils;
  int line = 0;
  std::string reason;
  error.clear();
  if (parse(in, file, 0, 0, 0, 0, steps, found, untils, line, reason)) return true;
  error = file + ":" + std::to_string(line) + ": " + reason;
  return false;
}

void testVectorsReport(const char* path) {
  VectorsState& v = vectors();
  v.reportName = path;
}
