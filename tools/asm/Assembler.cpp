#include "Assembler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

namespace tavrin::assembler {
namespace {

enum class Kind { Alu, SetLo, SetHi, Load, Store, Branch, Nop, Word, Org };

struct Mnemonic {
  const char* name;
  Kind kind;
  int code;    // ALU operation or branch condition
  bool flags;  // sets N and Z
};

constexpr Mnemonic mnemonics[] = {
    {"add", Kind::Alu, 0, false},      {"adds", Kind::Alu, 0, true},
    {"sub", Kind::Alu, 1, false},      {"subs", Kind::Alu, 1, true},
    {"and", Kind::Alu, 2, false},      {"ands", Kind::Alu, 2, true},
    {"or", Kind::Alu, 3, false},       {"ors", Kind::Alu, 3, true},
    {"setlo", Kind::SetLo, 0, false},  {"setlos", Kind::SetLo, 0, true},
    {"sethi", Kind::SetHi, 0, false},  {"sethis", Kind::SetHi, 0, true},
    {"load", Kind::Load, 0, false},    {"store", Kind::Store, 0, false},
    {"bra", Kind::Branch, 0, false},   {"beq", Kind::Branch, 1, false},
    {"bne", Kind::Branch, 2, false},   {"blt", Kind::Branch, 3, false},
    {"ble", Kind::Branch, 4, false},   {"bgt", Kind::Branch, 5, false},
    {"bge", Kind::Branch, 6, false},   {"brn", Kind::Branch, 7, false},
    {"nop", Kind::Nop, 0, false},      {".word", Kind::Word, 0, false},
    {".org", Kind::Org, 0, false},
};

const char* operandHelp(Kind kind) {
  switch (kind) {
    case Kind::Alu: return "rd, rs1, rs2 or immediate";
    case Kind::SetLo:
    case Kind::SetHi: return "rd, constant";
    case Kind::Load:
    case Kind::Store: return "rd, rs1, rs2 or immediate";
    case Kind::Branch: return "target";
    case Kind::Nop: return "nothing";
    case Kind::Word: return "one or more values";
    case Kind::Org: return "address";
  }
  return "";
}

struct Statement {
  int line = 0;
  int address = 0;
  const Mnemonic* mnemonic = nullptr;
  std::vector<std::string> operands;
};

struct Label {
  int address = 0;
  int line = 0;
};

bool isIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }
bool isIdentifierChar(char c) { return isIdentifierStart(c) || std::isdigit(static_cast<unsigned char>(c)); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

bool isIdentifier(const std::string& text) {
  if (text.empty() || !isIdentifierStart(text[0])) return false;
  return std::all_of(text.begin(), text.end(), isIdentifierChar);
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "r" or "R" followed by digits: register syntax, valid or not.
bool looksLikeRegister(const std::string& text) {
  return text.size() >= 2 && (text[0] == 'r' || text[0] == 'R') &&
         std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool looksLikeNumber(const std::string& text) {
  if (text.empty()) return false;
  char c = text[0];
  return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+';
}

// Decimal or 0x hexadecimal with an optional sign; values beyond the 32-bit range count as bad.
bool parseNumber(const std::string& text, long long& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFLL) return false;
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

std::string hex4(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04x", value & 0xFFFFu);
  return buffer;
}

class Assembly {
 public:
  Assembly(const std::string& text, const std::string& name) : source(text), fileName(name) {}

  Result run() {
    firstPass();
    for (const Statement& statement : statements) encode(statement);
    if (result.errors == 0) {
      std::set<State> states = reachableStates();
      checkFlagClockHazards(states);
      checkRegisterHazards(states);
    }
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return result;
  }

 private:
  const std::string& source;
  const std::string& fileName;
  Result result;
  std::vector<Statement> statements;
  std::map<std::string, Label> labels;
  bool tooLongReported = false;

  void report(int line, bool warning, const std::string& text) {
    result.diagnostics.push_back(
        {line, warning, fileName + ":" + std::to_string(line) + (warning ? ": warning: " : ": error: ") + text});
    (warning ? result.warnings : result.errors) += 1;
  }
  void error(int line, const std::string& text) { report(line, false, text); }

  // Pass one: labels, mnemonics, operand syntax and addresses.
  void firstPass() {
    std::istringstream in(source);
    std::string text;
    int line = 0;
    int address = 0;
    while (std::getline(in, text)) {
      ++line;
      std::size_t comment = text.find_first_of(";#");
      if (comment != std::string::npos) text.erase(comment);
      parseLine(line, text, address);
    }
  }

  void parseLine(int line, const std::string& text, int& address) {
    std::size_t pos = 0;
    auto skipBlanks = [&] {
      while (pos < text.size() && isBlank(text[pos])) ++pos;
    };
    auto word = [&] {
      std::size_t start = pos;
      while (pos < text.size() && !isBlank(text[pos]) && text[pos] != ',' && text[pos] != ':') ++pos;
      return text.substr(start, pos - start);
    };
    std::string head;
    for (;;) {
      skipBlanks();
      if (pos == text.size()) return;
      head = word();
      skipBlanks();
      if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!defineLabel(line, head, address)) return;
        continue;
      }
      break;
    }
    if (head.empty()) {
      error(line, std::string("unexpected '") + text[pos] + "'");
      return;
    }
    const Mnemonic* mnemonic = nullptr;
    std::string name = lower(head);
    for (const Mnemonic& m : mnemonics)
      if (name == m.name) mnemonic = &m;
    if (mnemonic == nullptr) {
      error(line, (head[0] == '.' ? "unknown directive '" : "unknown mnemonic '") + head + "'");
      if (head[0] != '.') ++address;  // keeps later labels where they belong
      return;
    }
    Statement statement{line, address, mnemonic, {}};
    if (!splitOperands(line, text, pos, statement) || !checkOperandCount(statement)) {
      if (mnemonic->kind != Kind::Word && mnemonic->kind != Kind::Org) ++address;
      return;
    }

    int size = 1;
    if (mnemonic->kind == Kind::Word) size = static_cast<int>(statement.operands.size());
    if (mnemonic->kind == Kind::Org) {
      long long target = 0;
      const std::string& operand = statement.operands[0];
      if (!parseNumber(operand, target)) {
        error(line, "bad number '" + operand + "'");
        return;
      }
      if (target < address) {
        error(line, "'.org " + operand + "' moves backwards (the next address is " + std::to_string(address) + ")");
        return;
      }
      if (target > romWords) {
        error(line, "'.org " + operand + "' lies beyond the 64-word ROM");
        return;
      }
      address = static_cast<int>(target);
      return;
    }
    if (address + size > romWords && !tooLongReported) {
      tooLongReported = true;
      error(line, "program longer than 64 words");
    }
    statements.push_back(statement);
    address += size;
  }

  bool defineLabel(int line, const std::string& name, int address) {
    if (!isIdentifier(name)) {
      error(line, "bad label name '" + name + "'");
      return false;
    }
    if (looksLikeRegister(name)) {
      error(line, "bad label name '" + name + "' (register names are reserved)");
      return false;
    }
    auto found = labels.find(name);
    if (found != labels.end()) {
      error(line, "duplicate label '" + name + "' (first defined on line " + std::to_string(found->second.line) + ")");
      return false;
    }
    labels[name] = {address, line};
    return true;
  }

  // Operands are words separated by commas; anything else is reported.
  bool splitOperands(int line, const std::string& text, std::size_t pos, Statement& statement) {
    auto skipBlanks = [&] {
      while (pos < text.size() && isBlank(text[pos])) ++pos;
    };
    auto word = [&] {
      std::size_t start = pos;
      while (pos < text.size() && !isBlank(text[pos]) && text[pos] != ',') ++pos;
      return text.substr(start, pos - start);
    };
    skipBlanks();
    if (pos == text.size()) return true;
    for (;;) {
      skipBlanks();
      std::string operand = word();
      if (operand.empty()) {
        error(line, "missing operand");
        return false;
      }
      statement.operands.push_back(operand);
      skipBlanks();
      if (pos == text.size()) return true;
      if (text[pos] != ',') {
        error(line, "unexpected '" + word() + "' after '" + operand + "'");
        return false;
      }
      ++pos;
    }
  }

  bool checkOperandCount(const Statement& statement) {
    const Mnemonic& m = *statement.mnemonic;
    std::size_t count = statement.operands.size();
    std::size_t least = 0, most = 0;
    switch (m.kind) {
      case Kind::Alu:
      case Kind::Load:
      case Kind::Store: least = most = 3; break;
      case Kind::SetLo:
      case Kind::SetHi: least = most = 2; break;
      case Kind::Branch: least = m.code == 7 ? 0 : 1, most = 1; break;
      case Kind::Nop: break;
      case Kind::Word: least = 1, most = romWords; break;
      case Kind::Org: least = most = 1; break;
    }
    if (count < least) {
      error(statement.line, std::string("missing operand: '") + m.name + "' takes " + operandHelp(m.kind));
      return false;
    }
    if (count > most) {
      error(statement.line, "unexpected '" + statement.operands[most] + "' after the operands of '" + m.name + "'");
      return false;
    }
    return true;
  }

  bool registerOperand(int line, const std::string& text, int& reg) {
    long long number = 0;
    if (looksLikeRegister(text) && parseNumber(text.substr(1), number) && number <= 7) {
      reg = static_cast<int>(number);
      return true;
    }
    error(line, "bad register '" + text + "' (registers are r0 to r7)");
    return false;
  }

  // A number or a label, checked against [low, high].
  bool valueOperand(int line, const std::string& text, const char* what, long long low, long long high,
                    long long& value) {
    if (looksLikeNumber(text)) {
      if (!parseNumber(text, value)) {
        error(line, "bad number '" + text + "'");
        return false;
      }
    } else if (isIdentifier(text) && !looksLikeRegister(text)) {
      auto found = labels.find(text);
      if (found == labels.end()) {
        error(line, "undefined label '" + text + "'");
        return false;
      }
      value = found->second.address;
    } else {
      error(line, std::string("bad ") + what + " '" + text + "'");
      return false;
    }
    if (value < low || value > high) {
      error(line, std::string(what) + " '" + text + "' out of range (" + std::to_string(low) + " to " +
                      std::to_string(high) + ")");
      return false;
    }
    return true;
  }

  // The second source: a register, or a 3-bit signed immediate.
  bool sourceOperand(int line, const std::string& text, int& field, bool& immediate) {
    immediate = !looksLikeRegister(text);
    if (!immediate) return registerOperand(line, text, field);
    if (!looksLikeNumber(text)) {
      error(line, "expected a register or an immediate, got '" + text + "'");
      return false;
    }
    long long value = 0;
    if (!parseNumber(text, value)) {
      error(line, "bad number '" + text + "'");
      return false;
    }
    if (value < -4 || value > 3) {
      error(line, "immediate '" + text + "' out of range (-4 to 3)");
      return false;
    }
    field = static_cast<int>(value & 7);
    return true;
  }

  void store(int address, int line, long long word) {
    if (address >= romWords) return;
    result.words[address] = static_cast<std::uint16_t>(word & 0xFFFF);
    result.lineOfWord[address] = line;
  }

  // Pass two: encoding.
  void encode(const Statement& s) {
    const Mnemonic& m = *s.mnemonic;
    const std::vector<std::string>& op = s.operands;
    int rd = 0, rs1 = 0, field = 0;
    bool immediate = false;
    long long value = 0;
    int flagBit = m.flags ? 1 << 10 : 0;
    switch (m.kind) {
      case Kind::Alu:
      case Kind::Load:
      case Kind::Store: {
        if (!registerOperand(s.line, op[0], rd) || !registerOperand(s.line, op[1], rs1) ||
            !sourceOperand(s.line, op[2], field, immediate))
          return;
        int cls = m.kind == Kind::Alu ? 0 : m.kind == Kind::Load ? 1 : 2;
        store(s.address, s.line,
              cls << 14 | rd << 11 | flagBit | m.code << 7 | (immediate ? 1 << 6 : 0) | rs1 << 3 | field);
        return;
      }
      case Kind::SetLo:
      case Kind::SetHi:
        if (!registerOperand(s.line, op[0], rd) || !valueOperand(s.line, op[1], "constant", -128, 255, value)) return;
        store(s.address, s.line, rd << 11 | flagBit | (m.kind == Kind::SetLo ? 0x200 : 0x300) | (value & 0xFF));
        return;
      case Kind::Branch: {
        long long displacement = 0;
        if (!op.empty()) {
          if (!valueOperand(s.line, op[0], "branch target", -32768, 65535, value)) return;
          displacement = value - s.address;
          if (displacement < -1024 || displacement > 1023) {
            error(s.line, "branch out of range: target " + op[0] + " is " + std::to_string(displacement) +
                              " words away (limit -1024 to 1023)");
            return;
          }
        }
        store(s.address, s.line, 3 << 14 | m.code << 11 | (displacement & 0x7FF));
        return;
      }
      case Kind::Nop:
        store(s.address, s.line, 0);
        return;
      case Kind::Word:
        for (std::size_t i = 0; i < op.size(); ++i) {
          if (!valueOperand(s.line, op[i], "value", -32768, 65535, value)) return;
          store(s.address + static_cast<int>(i), s.line, value);
        }
        return;
      case Kind::Org:
        return;
    }
  }

  // The pipeline as fetching goes on from reset, one state per cycle: the next fetch address and the
  // words fetched one, two and three cycles before, now in the decode, execute and memory stage.
  // Every fetch sequence reachable from reset is followed: three delay slots per branch, both ways for
  // conditional ones, a bubble three fetches after each load or store. Words fetched from RAM
  // (addresses 64-127) count as no-operations.
  enum : int { bubbleBase = 128, resetNop = 192, codeCount = 193 };
  using State = std::tuple<int, int, int, int>;  // PC, decode, execute, memory stage

  std::uint16_t wordAt(int code) const { return code < romWords ? result.words[code] : 0; }
  bool isBubble(int code) const { return code >= bubbleBase && code < resetNop; }

  std::string describe(int code) const {
    if (code < romWords && result.lineOfWord[code] == 0) return "the no-operation at unused address " + std::to_string(code);
    if (code < romWords) return "line " + std::to_string(result.lineOfWord[code]);
    if (code < bubbleBase) return "a no-operation fetched from RAM";
    if (isBubble(code))
      return "the bubble of the load or store on line " + std::to_string(result.lineOfWord[code - bubbleBase]);
    return "the no-operation in the pipeline after reset";
  }

  std::set<State> reachableStates() const {
    std::set<State> seen;
    std::vector<State> pending{{0, resetNop, resetNop, resetNop}};
    seen.insert(pending.front());
    while (!pending.empty()) {
      auto [pc, decode, execute, memory] = pending.back();
      pending.pop_back();
      std::uint16_t memoryWord = wordAt(memory);
      int cls = memoryWord >> 14;
      bool stall = cls == 1 || cls == 2;
      bool mayFallThrough = true, mayBranch = false;
      if (cls == 3) {
        int condition = memoryWord >> 11 & 7;
        mayBranch = condition != 7;
        mayFallThrough = condition != 0;
      }
      auto next = [&, decode = decode, execute = execute](int nextPc, int nextDecode) {
        State state{nextPc & 127, nextDecode, decode, execute};
        if (seen.insert(state).second) pending.push_back(state);
      };
      if (stall) {
        next(pc, bubbleBase + memory);
        continue;
      }
      if (mayFallThrough) next(pc + 1, pc);
      if (mayBranch) {
        int displacement = memoryWord & 0x7FF;
        if (displacement & 0x400) displacement -= 0x800;
        next(memory + displacement + 128, pc);
      }
    }
    return seen;
  }

  // The gated flag clock of the execute stage latches XXX into N and Z when
  // (1) a flag-setting word is followed in execute by one that sets no flags and has another bit 9, or
  // (2) an ALU-class word is followed in execute by a load, store or branch with bit 10 set.
  void checkFlagClockHazards(const std::set<State>& states) {
    std::set<std::pair<int, int>> successions;  // (word in execute, word that follows it)
    for (const State& state : states) successions.insert({std::get<2>(state), std::get<1>(state)});
    std::set<int> warned;
    for (auto [before, after] : successions) {
      std::uint16_t first = wordAt(before), second = wordAt(after);
      bool firstAlu = first >> 14 == 0, secondAlu = second >> 14 == 0;
      bool firstSets = firstAlu && (first & 0x400), secondSets = secondAlu && (second & 0x400);
      if (firstAlu && !secondAlu && (second & 0x400)) {
        int line = result.lineOfWord[after];
        if (warned.insert(line).second)
          report(line, true,
                 "bit 10 set right after an ALU-class word in execute (" + describe(before) +
                     "): N and Z may latch XXX; put a load, store, forward branch or 'brn' in front");
      } else if (firstSets && !secondSets && ((first ^ second) & 0x200)) {
        int line = result.lineOfWord[before];
        if (warned.insert(line).second)
          report(line, true,
                 "flag-setting word followed in execute by one with another bit 9 that sets no flags (" +
                     describe(after) + "): N and Z may latch XXX; follow it with a flag-setting word or one that keeps bit 9");
      }
    }
  }

  // The registers a word reads as it enters execute, one bit each: setlo reads rd (it keeps rd's high
  // byte), a store reads rd as the value it stores, sethi and branches read none.
  static unsigned registersRead(std::uint16_t word) {
    int cls = word >> 14, op = word >> 7 & 7;
    unsigned rd = 1u << (word >> 11 & 7), rs1 = 1u << (word >> 3 & 7), rs2 = (word & 0x40) ? 0 : 1u << (word & 7);
    if (cls == 3) return 0;
    if (cls == 0 && op >= 4) return op < 6 ? rd : 0;
    return rs1 | rs2 | (cls == 2 ? rd : 0);
  }

  // The register a word writes in write-back (ALU class and loads), 0 for none: writes to r0 are lost,
  // and r0 always reads 0.
  static int registerWritten(std::uint16_t word) { return word >> 14 <= 1 ? word >> 11 & 7 : 0; }

  // No forwarding: a word writes its register four cycles after its fetch, and a word reads its
  // registers one cycle after its fetch, so a word fetched one or two cycles after the writer reads
  // the old value. A bubble between them counts as a cycle.
  void checkRegisterHazards(const std::set<State>& states) {
    constexpr int distance = 3;
    // (reader line, register, writer's address) -> (cycles between the fetches, address of the load or store whose
    // bubble lies between them, or -1); the closest path counts.
    std::map<std::tuple<int, int, int>, std::pair<int, int>> hazards;
    for (const State& state : states) {
      int reader = std::get<1>(state);
      unsigned read = registersRead(wordAt(reader));
      const int writers[] = {std::get<2>(state), std::get<3>(state)};
      for (int cycles = 1; cycles < distance; ++cycles) {
        int writer = writers[cycles - 1];
        int reg = registerWritten(wordAt(writer));
        if (reg == 0 || !(read >> reg & 1)) continue;
        int between = cycles == 2 && isBubble(writers[0]) ? writers[0] - bubbleBase : -1;
        std::pair<int, int> found{cycles, between};
        auto [entry, added] = hazards.insert({{result.lineOfWord[reader], reg, writer}, found});
        if (!added) entry->second = std::min(entry->second, found);
      }
    }
    for (const auto& [where, how] : hazards) {
      auto [line, reg, writer] = where;
      auto [cycles, between] = how;
      bool load = wordAt(writer) >> 14 == 1;
      int nops = distance - cycles;
      report(line, true,
             "r" + std::to_string(reg) + " is read " + std::to_string(cycles) + (cycles == 1 ? " word" : " words") +
                 " after line " + std::to_string(result.lineOfWord[writer]) + (load ? " loads it" : " writes it") +
                 (between >= 0 ? ", counting the bubble of the load or store on line " +
                                     std::to_string(result.lineOfWord[between])
                               : "") +
                 (load ? "; the load's result" : "; it") + " is read correctly " + std::to_string(distance) +
                 " words after the " + (load ? "load" : "write") + " (put " + std::to_string(nops) +
                 (nops == 1 ? " nop" : " nops") + " between them)");
    }
  }
};

}  // namespace

Result assemble(const std::string& source, const std::string& fileName) {
  return Assembly(source, fileName).run();
}

std::string formatImage(const std::array<std::uint16_t, romWords>& words, const std::string& comment) {
  std::string text;
  if (!comment.empty()) text += "# " + comment + "\n";
  for (std::uint16_t word : words) text += hex4(word) + "\n";
  return text;
}

}  // namespace tavrin::assembler
