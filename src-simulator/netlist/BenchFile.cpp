#include "netlist/BenchFile.h"

#include <cctype>
#include <string>
#include <unordered_map>

namespace netlist {
namespace {

bool nameCharacter(char c) {
  return !std::isspace(static_cast<unsigned char>(c)) && c != '(' && c != ')' && c != ',' && c != '=' && c != '#' &&
         c != '\0';
}

std::string upper(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A cursor over one line.
struct Line {
  std::string_view text;
  size_t at = 0;
  void blanks() {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  }
  std::string_view name() {
    blanks();
    const size_t begin = at;
    while (at < text.size() && nameCharacter(text[at])) ++at;
    return text.substr(begin, at - begin);
  }
  bool take(char c) {
    blanks();
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  bool atEnd() {
    blanks();
    return at == text.size();
  }
};

struct GateType {
  const char* word;
  CellKind kind;
  int inputs;  // 0: one or more
};
constexpr GateType gateTypes[] = {
    {"AND", CellKind::And, 0},   {"NAND", CellKind::Nand, 0}, {"OR", CellKind::Or, 0},
    {"NOR", CellKind::Nor, 0},   {"XOR", CellKind::Xor, 0},   {"XNOR", CellKind::Xnor, 0},
    {"NOT", CellKind::Not, 1},   {"BUFF", CellKind::Buf, 1},  {"BUF", CellKind::Buf, 1},
    {"DFF", CellKind::Dff, 1},
};

class Reader {
public:
  Reader(Netlist& n, Diagnostics& d) : netlist(n), diagnostics(d) {}

  bool read(std::string_view text) {
    size_t lineNumber = 0;
    size_t begin = 0;
    while (begin < text.size() && !stopped()) {
      size_t end = text.find('\n', begin);
      if (end == std::string_view::npos) end = text.size();
      ++lineNumber;
      std::string_view line = text.substr(begin, end - begin);
      if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
      readLine(Line{line}, lineNumber);
      begin = end + 1;
    }
    if (diagnostics.failed()) return false;
    if (netlist.ports.empty()) {
      diagnostics.error(std::to_string(lineNumber > 0 ? lineNumber : 1), "no INPUT or OUTPUT in the file");
      return false;
    }
    addClock();
    return true;
  }

private:
  Netlist& netlist;
  Diagnostics& diagnostics;
  std::unordered_map<std::string, NetId> nets;
  std::unordered_map<std::string, size_t> inputs;  // name -> port
  std::vector<int> dffs;
  uint32_t linePlace = 0;

  bool stopped() const { return diagnostics.errors.size() >= 20; }

  NetId net(std::string_view name) {
    auto [it, added] = nets.try_emplace(std::string(name), 0);
    if (added) {
      it->second = netlist.newNet();
      NetName n;
      n.name = it->first;
      n.bits = {it->second};
      n.where = linePlace;
      netlist.names.push_back(std::move(n));
    }
    return it->second;
  }

  void fail(size_t lineNumber, const std::string& message) { diagnostics.error(std::to_string(lineNumber), message); }

  void readLine(Line line, size_t lineNumber) {
    if (line.atEnd()) return;
    const size_t start = line.at;
    linePlace = netlist.place(std::to_string(lineNumber));
    const std::string_view first = line.name();
    const std::string keyword = upper(first);
    if ((keyword == "INPUT" || keyword == "OUTPUT") && line.take('(')) {
      const std::string_view name = line.name();
      if (name.empty() || !line.take(')') || !line.atEnd()) {
        fail(lineNumber, "expected " + keyword + "(name)");
        return;
      }
      const bool input = keyword == "INPUT";
      if (input && !inputs.try_emplace(std::string(name), netlist.ports.size()).second) {
        fail(lineNumber, "input '" + std::string(name) + "' is declared twice");
        return;
      }
      netlist.ports.push_back(Port{std::string(name), input, {net(name)}, linePlace});
      return;
    }
    line.at = start;
    const std::string_view target = line.name();
    if (target.empty() || !line.take('=')) {
      fail(lineNumber, "expected INPUT(name), OUTPUT(name) or 'name = GATE(inputs)'");
      return;
    }
    const std::string_view gateWord = line.name();
    const std::string gate = upper(gateWord);
    if (gateWord.empty() || !line.take('(')) {
      fail(lineNumber, "expected 'name = GATE(inputs)'");
      return;
    }
    std::vector<std::string_view> operands;
    if (!line.take(')')) {
      do {
        const std::string_view operand = line.name();
        if (operand.empty()) {
          fail(lineNumber, "expected an input name in " + gate + "(...)");
          return;
        }
        operands.push_back(operand);
      } while (line.take(','));
      if (!line.take(')')) {
        fail(lineNumber, "expected ',' or ')' in " + gate + "(...)");
        return;
      }
    }
    if (!line.atEnd()) {
      fail(lineNumber, "unexpected text after " + gate + "(...)");
      return;
    }
    const GateType* type = nullptr;
    for (const GateType& t : gateTypes)
      if (gate == t.word) type = &t;
    if (type == nullptr) {
      fail(lineNumber, "unknown gate type '" + std::string(gateWord) + "'");
      return;
    }
    const size_t count = operands.size();
    if (type->inputs == 1 && count != 1) {
      fail(lineNumber, gate + " takes 1 input, not " + std::to_string(count));
      return;
    }
    if (count == 0) {
      fail(lineNumber, gate + " takes at least 1 input");
      return;
    }
    const NetId output = net(target);
    std::vector<NetId> in;
    for (std::string_view operand : operands) in.push_back(net(operand));
    if (type->kind == CellKind::Dff) {
      netlist.storages.push_back(Storage{});
      const int storage = static_cast<int>(netlist.storages.size() - 1);
      dffs.push_back(netlist.addCell(CellKind::Dff, {noNet, in[0], noNet, noNet, noNet}, output, 0, linePlace, storage));
      return;
    }
    netlist.addCell(type->kind, in, output, 0, linePlace);
  }

  // The flip-flops' clock: the input CLK, declared or added.
  void addClock() {
    if (dffs.empty()) return;
    NetId clock;
    if (auto it = inputs.find("CLK"); it != inputs.end()) {
      clock = netlist.ports[it->second].bits[0];
    } else {
      linePlace = netlist.place("0");
      clock = net("CLK");
      // The last port, so that the declared inputs keep their keys.
      netlist.ports.push_back(Port{"CLK", true, {clock}, linePlace});
    }
    for (int c : dffs) netlist.pins[netlist.cells[static_cast<size_t>(c)].firstInput] = clock;
  }
};

}  // namespace

bool readBench(std::string_view text, Netlist& netlist, Diagnostics& diagnostics) {
  return Reader(netlist, diagnostics).read(text);
}

}  // namespace netlist
