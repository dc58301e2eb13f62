#include "kernel/TestVectors.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "display/Ph5.h"
#include "display/Window.h"
#include "elaboration/Ph3.h"
#include "kernel/KeyScript.h"
#include "kernel/OutputFile.h"
#include "kernel/SignalGroups.h"
#include "kernel/StepTable.h"
#include "startup/EndProcess.h"
#include "startup/Settings.h"

namespace {

enum class Notation { hex, binary, decimal, letter };

struct Expectation {
  size_t file;  // in fileNames
  int line;
  std::string name;
  std::string valueText;  // as written: for error messages and the report
  Notation notation;
  std::string digits;     // hex digits, bit characters or decimal digits, or the letter
  size_t point;  // the key script's settle point: steps of -k and earlier -v files come first
  int group = -1;
  int bit = -1;            // -1: the whole group
  std::vector<SignalValue> expected;  // bit 0 first
  enum { pending, passed, failed, unreached } outcome = pending;
  std::string actualText;
};

std::string fileName;  // the file being read, and the first one for the report
std::vector<std::string> fileNames;
std::string reportName;
std::vector<Expectation> expectations;
size_t nextToCheck = 0;
int passedCount = 0, failedCount = 0;
std::vector<SignalGroup> groups;
std::vector<int> groupOfWire;

[[noreturn]] void parseError(const std::string& file, int line, const std::string& reason) {
  std::fprintf(stderr, "%s: -v: %s:%d: %s\n", commandName, file.c_str(), line, reason.c_str());
  endProcess(2);
}

SignalValue valueOfChar(char c) {
  switch (c) {
    case '0': return ZERO;
    case '1': return ONE;
    case 'x': case 'X': return XXX;
    case 'z': case 'Z': return HIZ;
    default: return UNINITIALIZED;
  }
}

// Reads VALUE; the bits are formed once the width is known.
bool readValue(const std::string& text, Expectation& e) {
  auto only = [](const std::string& s, const char* set) { return !s.empty() && s.find_first_not_of(set) == std::string::npos; };
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    e.notation = Notation::hex;
    e.digits = text.substr(2);
    return only(e.digits, "0123456789abcdefABCDEF");
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    e.notation = Notation::binary;
    e.digits = text.substr(2);
    return only(e.digits, "01xzuXZU");
  }
  if (text.size() == 1 && only(text, "xzuXZU")) {
    e.notation = Notation::letter;
    e.digits = text;
    return true;
  }
  e.notation = Notation::decimal;
  e.digits = text;
  return only(text, "0123456789") && text.size() <= 20;
}

// The expected bits at width; false when the value does not fit.
bool formBits(Expectation& e, int width) {
  e.expected.assign(static_cast<size_t>(width), ZERO);
  std::vector<SignalValue> bits;  // bit 0 first, as written
  switch (e.notation) {
    case Notation::letter:
      e.expected.assign(static_cast<size_t>(width), valueOfChar(e.digits[0]));
      return true;
    case Notation::binary:
      for (size_t k = e.digits.size(); k-- > 0;) bits.push_back(valueOfChar(e.digits[k]));
      break;
    case Notation::hex:
      for (size_t k = e.digits.size(); k-- > 0;) {
        const char c = e.digits[k];
        const int v = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        for (int b = 0; b < 4; ++b) bits.push_back((v >> b) & 1 ? ONE : ZERO);
      }
      break;
    case Notation::decimal: {
      uint64_t v = 0;
      for (char c : e.digits) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
      }
      for (; v != 0; v >>= 1) bits.push_back(v & 1 ? ONE : ZERO);
      break;
    }
  }
  for (size_t k = 0; k < bits.size(); ++k) {
    if (k < static_cast<size_t>(width))
      e.expected[k] = bits[k];
    else if (bits[k] != ZERO)
      return false;
  }
  return true;
}

// A value in the expectation's notation (see the header).
std::string show(const Expectation& e, const SignalValue* bits, int width) {
  if (!signalGroupDefinite(bits, width)) {
    bool same = true;
    for (int k = 1; k < width; ++k) same = same && bits[k] == bits[0];
    if (same) return std::string(1, signalGroupBitChar(bits[0]));
    return "0b" + signalGroupBits(bits, width);
  }
  switch (e.notation) {
    case Notation::binary: return "0b" + signalGroupBits(bits, width);
    case Notation::decimal:
      if (width <= 64) {
        uint64_t v = 0;
        for (int k = width - 1; k >= 0; --k) v = v * 2 + (bits[k] == ONE ? 1 : 0);
        return std::to_string(v);
      }
      return signalGroupHex(bits, width);
    case Notation::letter:
      if (width == 1) return bits[0] == ONE ? "1" : "0";
      return signalGroupHex(bits, width);
    default: return signalGroupHex(bits, width);
  }
}

std::string where(const Expectation& e) { return fileNames[e.file] + ":" + std::to_string(e.line) + ": " + e.name; }

void resolve() {
  // Without a window the run ends after the last step; with one it stays open.
  if (phaseFive == nullptr || phaseFive->windexPointer == nullptr || phaseFive->windexPointer->display == nullptr)
    keyScriptEndAfterLastPoint();
  signalGroupsForm(groups, groupOfWire);
  for (Expectation& e : expectations) {
    if (!signalGroupsFind(groups, e.name, e.group, e.bit)) parseError(fileNames[e.file], e.line, "unknown signal '" + printableText(e.name) + "'");
    const int width = e.bit < 0 ? groups[static_cast<size_t>(e.group)].width : 1;
    if (!formBits(e, width))
      parseError(fileNames[e.file], e.line, "value '" + printableText(e.valueText) + "' is wider than " + printableText(e.name) + " (" + std::to_string(width) +
                             (width == 1 ? " bit)" : " bits)"));
  }
}

void check(size_t point) {
  const SignalValue* wires = phaseThree->currentSignals;
  std::string text;
  for (; nextToCheck < expectations.size() && expectations[nextToCheck].point <= point; ++nextToCheck) {
    Expectation& e = expectations[nextToCheck];
    const SignalGroup& g = groups[static_cast<size_t>(e.group)];
    const SignalValue* actual = wires + g.first + (e.bit < 0 ? 0 : e.bit);
    const int width = static_cast<int>(e.expected.size());
    bool equal = true;
    for (int k = 0; k < width; ++k) equal = equal && actual[k] == e.expected[static_cast<size_t>(k)];
    if (equal) {
      e.outcome = Expectation::passed;
      ++passedCount;
      continue;
    }
    e.outcome = Expectation::failed;
    ++failedCount;
    e.actualText = show(e, actual, width);
    text += where(e) + " expected " + show(e, e.expected.data(), width) + " got " + e.actualText + "\n";
  }
  if (text.empty()) return;
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);  // seen as it happens, also while a window stays open
}

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

void writeReport() {
  if (reportName.empty()) return;
  OutputFile out;
  out.open(commandName, "-o", reportName);
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n<testsuite name=\"" + xml(fileNames[0]) +
                     "\" tests=\"" + std::to_string(expectations.size()) + "\" failures=\"" +
                     std::to_string(failedCount) + "\">\n";
  for (const Expectation& e : expectations) {
    text += "  <testcase classname=\"" + xml(fileNames[e.file]) + "\" name=\"line " + std::to_string(e.line) + ": " +
            xml(e.name + "=" + e.valueText) + "\"";
    if (e.outcome == Expectation::passed) {
      text += "/>\n";
      continue;
    }
    const std::string message = e.outcome == Expectation::failed ? "got " + e.actualText : "not reached";
    text += ">\n    <failure message=\"" + xml(message) + "\"/>\n  </testcase>\n";
  }
  text += "</testsuite>\n</testsuites>\n";
  out.write(text);
  out.close();
}

void runEnd() {
  std::string text;
  for (; nextToCheck < expectations.size(); ++nextToCheck) {
    Expectation& e = expectations[nextToCheck];
    const int width = static_cast<int>(e.expected.size());
    e.outcome = Expectation::unreached;
    ++failedCount;
    text += where(e) + " expected " + show(e, e.expected.data(), width) + " not reached\n";
  }
  text += std::to_string(passedCount) + " passed, " + std::to_string(failedCount) + " failed\n";
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
  if (failedCount > 0) raiseExitStatus(1);
  writeReport();
}

}  // namespace

void gradingHooksInstall() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  keyScriptOnSettlePoint([](size_t point) {
    stepTableRow(point);
    testVectorsSettlePoint(point);
  });
  keyScriptOnRunEnd([] {
    testVectorsRunEnd();
    stepTableClose();
  });
}

void testVectorsSettlePoint(size_t point) {
  if (!fileNames.empty()) check(point);
}
void testVectorsRunEnd() {
  if (!fileNames.empty()) runEnd();
}

namespace {

// Reads the lines of a file: its steps, and its expectations at points from firstPoint on.
// False with "<file>:<line>: <reason>" in error at the first malformed line.
bool parse(std::istream& in, const std::string& file, size_t fileIndex, size_t firstPoint,
           std::vector<ScriptStep>& steps, std::vector<Expectation>& found, std::string& error) {
  auto malformed = [&](int line, const std::string& reason) {
    error = file + ":" + std::to_string(line) + ": " + reason;
    return false;
  };
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream words(text);
    std::string word;
    bool first = true;
    while (words >> word) {
      const size_t equals = word.find('=');
      if (first && equals == std::string::npos) {
        ScriptStep step;
        bool ok;
        if (word[0] == '@') {
          ok = keyScriptReadStep("?" + word, step);  // the time as a timed step's, then no key
          step.key = 0;
        } else {
          ok = keyScriptReadStep(word, step);
        }
        if (!ok)
          return malformed(line, "malformed step '" + printableText(word) +
                                     "' (a step is key, key*count, key@time or @time)");
        steps.push_back(step);
      } else {
        Expectation e;
        e.file = fileIndex;
        e.line = line;
        e.name = word.substr(0, equals == std::string::npos ? word.size() : equals);
        e.valueText = equals == std::string::npos ? "" : word.substr(equals + 1);
        e.point = firstPoint + steps.size();
        if (equals == std::string::npos || e.name.empty() || !readValue(e.valueText, e))
          return malformed(line, "malformed expectation '" + printableText(word) + "' (an expectation is NAME=VALUE)");
        found.push_back(std::move(e));
      }
      first = false;
    }
  }
  return true;
}

}  // namespace

void testVectorsRead(const char* path) {
  fileName = path;
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "%s: -v: cannot open '%s': %s\n", commandName, path, std::strerror(errno));
    endProcess(2);
  }
  std::vector<ScriptStep> steps;
  std::vector<Expectation> found;
  std::string error;
  const bool ok = parse(in, fileName, fileNames.size(), keyScriptSteps(), steps, found, error);
  const bool unreadable = in.bad();
  const int readError = errno;
  in.close();
  if (unreadable) {
    std::fprintf(stderr, "%s: -v: cannot read '%s': %s\n", commandName, path, std::strerror(readError));
    endProcess(2);
  }
  if (!ok) {
    std::fprintf(stderr, "%s: -v: %s\n", commandName, error.c_str());
    endProcess(2);
  }
  fileNames.push_back(path);
  for (Expectation& e : found) expectations.push_back(std::move(e));
  keyScriptAppend(steps);
  signalGroupsOnRunStart(resolve);
  gradingHooksInstall();
}

bool testVectorsCheck(std::istream& in, const std::string& file, std::string& error) {
  std::vector<ScriptStep> steps;
  std::vector<Expectation> found;
  error.clear();
  return parse(in, file, 0, 0, steps, found, error);
}

void testVectorsReport(const char* path) {
  reportName = path;
}
