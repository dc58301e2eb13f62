#include "peer/PeerWriter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <string_view>

namespace peer {

using netlist::Active;
using netlist::Cell;
using netlist::CellKind;
using netlist::NetId;
using netlist::Netlist;
using netlist::Port;
using netlist::Storage;

namespace {

bool isKeyword(const std::string& name) {
  static const std::set<std::string, std::less<>> keywords = {
      "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case", "casex", "casez", "cell",
      "cmos", "config", "deassign", "default", "defparam", "design", "disable", "edge", "else", "end", "endcase",
      "endconfig", "endfunction", "endgenerate", "endmodule", "endprimitive", "endspecify", "endtable", "endtask",
      "event", "for", "force", "forever", "fork", "function", "generate", "genvar", "highz0", "highz1", "if",
      "ifnone", "incdir", "include", "initial", "inout", "input", "instance", "integer", "join", "large",
      "liblist", "library", "localparam", "macromodule", "medium", "module", "nand", "negedge", "nmos", "nor",
      "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter", "pmos", "posedge", "primitive",
      "pull0", "pull1", "pulldown", "pullup", "pulsestyle_ondetect", "pulsestyle_onevent", "rcmos", "real",
      "realtime", "reg", "release", "repeat", "rnmos", "rpmos", "rtran", "rtranif0", "rtranif1", "scalared",
      "showcancelled", "signed", "small", "specify", "specparam", "strong0", "strong1", "supply0", "supply1",
      "table", "task", "time", "tran", "tranif0", "tranif1", "tri", "tri0", "tri1", "triand", "trior", "trireg",
      "unsigned", "use", "uwire", "vectored", "wait", "wand", "weak0", "weak1", "while", "wire", "wor", "xnor",
      "xor"};
  return keywords.count(name) != 0;
}

bool isSimpleIdentifier(const std::string& name) {
  if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
  });
}

// The text of name inside a Verilog string literal of a format ($display).
std::string formatText(const std::string& name) {
  std::string text;
  for (const char c : name) {
    if (c == '\\' || c == '"') text += '\\';
    if (c == '%') text += '%';
    text += c;
  }
  return text;
}

std::string range(size_t width) { return width > 1 ? "[" + std::to_string(width - 1) + ":0] " : ""; }

// One bit of a port: the port itself when it is 1 bit wide.
std::string portBit(const Port& port, size_t bit) {
  const std::string name = verilogName(port.name);
  return port.bits.size() > 1 ? name + "[" + std::to_string(bit) + "]" : name;
}

class VerilogWriter {
 public:
  VerilogWriter(const Netlist& netlist, std::ostream& out) : n_(netlist), out_(out) {
    // The nets are prefix + number; the prefix grows until no port has a name of that form.
    auto taken = [&] {
      return std::any_of(n_.ports.begin(), n_.ports.end(), [&](const Port& p) {
        return p.name.size() > prefix_.size() && p.name.compare(0, prefix_.size(), prefix_) == 0 &&
               std::all_of(p.name.begin() + static_cast<std::ptrdiff_t>(prefix_.size()), p.name.end(),
                           [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
      });
    };
    while (taken()) prefix_ += '_';
  }

  void write(const std::string& moduleName) {
    out_ << "// " << moduleName << ": " << n_.cells.size() << " cells over " << n_.netCount - netlist::firstNet
         << " nets, written by tavrin-peer; every cell has the delay 7.\n";
    out_ << "module " << verilogName(moduleName) << "(";
    for (size_t p = 0; p < n_.ports.size(); ++p) out_ << (p ? ", " : "") << verilogName(n_.ports[p].name);
    out_ << ");\n";
    for (const Port& p : n_.ports)
      out_ << "  " << (p.input ? "input " : "output ") << range(p.bits.size()) << verilogName(p.name) << ";\n";
    declareNets();
    for (const Port& p : n_.ports)
      if (p.input)
        for (size_t b = 0; b < p.bits.size(); ++b)
          if (!netlist::isConstant(p.bits[b])) out_ << "  assign " << net(p.bits[b]) << " = " << portBit(p, b) << ";\n";
    for (const Cell& c : n_.cells) cell(c);
    for (const Port& p : n_.ports)
      if (!p.input)
        for (size_t b = 0; b < p.bits.size(); ++b) out_ << "  assign " << portBit(p, b) << " = " << net(p.bits[b]) << ";\n";
    out_ << "endmodule\n";
  }

 private:
  std::string net(NetId id) const {
    switch (id) {
      case netlist::constZero: return "1'b0";
      case netlist::constOne: return "1'b1";
      case netlist::constUnknown: return "1'bx";
      case netlist::constFloat:
      case netlist::noNet: return "1'bz";
      default: return prefix_ + std::to_string(id);
    }
  }

  // One wire per net, a reg for the output of a flip-flop or latch, a dozen names a line.
  void declareNets() {
    std::vector<bool> stored(static_cast<size_t>(n_.netCount), false);
    for (const Cell& c : n_.cells)
      if (c.storage >= 0 && c.output >= netlist::firstNet) stored[static_cast<size_t>(c.output)] = true;
    for (const bool regs : {false, true}) {
      int onLine = 0;
      for (NetId id = netlist::firstNet; id < n_.netCount; ++id) {
        if (stored[static_cast<size_t>(id)] != regs) continue;
        out_ << (onLine == 0 ? (regs ? "  reg " : "  wire ") : ", ") << net(id);
        if (++onLine == 12) {
          out_ << ";\n";
          onLine = 0;
        }
      }
      if (onLine) out_ << ";\n";
    }
  }

  static std::string activeLevel(const std::string& pin, Active a) { return a == Active::Low ? "~" + pin : pin; }

  void cell(const Cell& c) {
    const NetId* in = n_.inputsOf(c);
    auto pin = [&](size_t k) { return net(in[k]); };
    const std::string y = net(c.output);
    switch (c.kind) {
      case CellKind::Buf:
      case CellKind::Not:
      case CellKind::And:
      case CellKind::Nand:
      case CellKind::Or:
      case CellKind::Nor:
      case CellKind::Xor:
      case CellKind::Xnor: {
        static const char* const gate[] = {"buf", "not", "and", "nand", "or", "nor", "xor", "xnor"};
        out_ << "  " << gate[static_cast<int>(c.kind)] << " #7 (" << y;
        for (uint32_t k = 0; k < c.inputCount; ++k) out_ << ", " << pin(k);
        out_ << ");\n";
        return;
      }
      case CellKind::AndNot: assign(y, pin(0) + " & ~" + pin(1)); return;
      case CellKind::OrNot: assign(y, pin(0) + " | ~" + pin(1)); return;
      case CellKind::Mux: assign(y, pin(2) + " ? " + pin(1) + " : " + pin(0)); return;
      case CellKind::NMux: assign(y, "~(" + pin(2) + " ? " + pin(1) + " : " + pin(0) + ")"); return;
      case CellKind::Aoi3: assign(y, "~((" + pin(0) + " & " + pin(1) + ") | " + pin(2) + ")"); return;
      case CellKind::Oai3: assign(y, "~((" + pin(0) + " | " + pin(1) + ") & " + pin(2) + ")"); return;
      case CellKind::Aoi4:
        assign(y, "~((" + pin(0) + " & " + pin(1) + ") | (" + pin(2) + " & " + pin(3) + "))");
        return;
      case CellKind::Oai4:
        assign(y, "~((" + pin(0) + " | " + pin(1) + ") & (" + pin(2) + " | " + pin(3) + "))");
        return;
      case CellKind::Tbuf: out_ << "  bufif1 #7 (" << y << ", " << pin(0) << ", " << pin(1) << ");\n"; return;
      case CellKind::Dff: dff(n_.storages[static_cast<size_t>(c.storage)], in, y); return;
      case CellKind::Latch: latch(n_.storages[static_cast<size_t>(c.storage)], in, y); return;
    }
  }

  void assign(const std::string& y, const std::string& expression) {
    out_ << "  assign #7 " << y << " = " << expression << ";\n";
  }

  // The asynchronous pins as the builder makes them: clear and preset, stored while both are 0,
  // forcing while one alone is 1, held otherwise (also when one is not definite). Always on the
  // pins the expressions read, so that constant pins make no sensitivity.
  void forcing(const std::string& clear, const std::string& preset, const std::string& q) {
    out_ << "  always @* if ((" << clear << ") === 1'b1 && (" << preset << ") === 1'b0) " << q
         << " <= #7 1'b0;\n    else if ((" << preset << ") === 1'b1 && (" << clear << ") === 1'b0) " << q
         << " <= #7 1'b1;\n";
  }

  // Pins: C 0, D 1, E 2, R 3, S 4.
  void dff(const Storage& s, const NetId* in, const std::string& q) {
    std::string d = net(in[1]);
    auto syncReset = [&] {
      const std::string r = net(in[3]);
      const bool high = s.syncReset == Active::High;
      d = s.syncValue ? "(" + d + " | " + (high ? r : "~" + r) + ")" : "(" + d + " & " + (high ? "~" + r : r) + ")";
    };
    if (s.syncReset != Active::None && s.enableOverReset) syncReset();
    if (s.enable != Active::None) {
      const std::string e = net(in[2]);
      d = s.enable == Active::High ? "(" + e + " ? " + d + " : " + q + ")" : "(" + e + " ? " + q + " : " + d + ")";
    }
    if (s.syncReset != Active::None && !s.enableOverReset) syncReset();
    std::string clear = "1'b0", preset = "1'b0";
    if (s.set != Active::None) {
      clear = activeLevel(net(in[3]), s.reset);
      preset = activeLevel(net(in[4]), s.set) + " & " + activeLevel(net(in[3]), s.reset == Active::High ? Active::Low : Active::High);
    } else if (s.reset != Active::None) {
      (s.resetValue ? preset : clear) = activeLevel(net(in[3]), s.reset);
    }
    const bool async = s.set != Active::None || s.reset != Active::None;
    if (!netlist::isConstant(in[0])) {
      out_ << "  always @(" << (s.clockRising ? "posedge " : "negedge ") << net(in[0]) << ") ";
      if (async) out_ << "if ((" << clear << ") === 1'b0 && (" << preset << ") === 1'b0) ";
      out_ << q << " <= #7 " << d << ";\n";
    }
    if (async) forcing(clear, preset, q);
  }

  // Pins: E 0, D 1, R 2. Open, the latch is set while D is 1 and cleared while it is 0.
  void latch(const Storage& s, const NetId* in, const std::string& q) {
    const std::string e = activeLevel(net(in[0]), s.clockRising ? Active::High : Active::Low);
    const std::string d = net(in[1]);
    std::string preset = e + " & " + d, clear = e + " & ~" + d;
    if (s.reset != Active::None) {
      const std::string r = activeLevel(net(in[2]), s.reset);
      const std::string notR = activeLevel(net(in[2]), s.reset == Active::High ? Active::Low : Active::High);
      if (s.resetValue) {
        preset = "(" + preset + ") | " + r;
        clear = "(" + clear + ") & " + notR;
      } else {
        preset = "(" + preset + ") & " + notR;
        clear = "(" + clear + ") | " + r;
      }
    }
    forcing(clear, preset, q);
  }

  const Netlist& n_;
  std::ostream& out_;
  std::string prefix_ = "n";
};

// Values of any width, 64 bits a word, bit 0 first.
using Value = std::vector<uint64_t>;

Value zeroValue(size_t width) { return Value((width + 63) / 64, 0); }

void mask(Value& v, size_t width) {
  if (width % 64) v.back() &= (uint64_t{1} << (width % 64)) - 1;
}

// VALUE as hexadecimal (0x...) or decimal; false when it is malformed or wider than width.
bool parseValue(const std::string& text, size_t width, Value& v) {
  v = zeroValue(width);
  if (v.empty()) return false;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    size_t bit = 0;
    for (size_t i = text.size(); i-- > 2; bit += 4) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
      if (digit < 0) return false;
      for (int k = 0; k < 4; ++k)
        if ((digit >> k) & 1) {
          if (bit + k >= width) return false;
          v[(bit + k) / 64] |= uint64_t{1} << ((bit + k) % 64);
        }
    }
    return true;
  }
  uint64_t number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  v[0] = number;
  return width >= 64 || number >> width == 0;
}

void writeHex(const Value& v, size_t width, std::ostream& out) {
  static const char digits[] = "0123456789abcdef";
  for (size_t d = (width + 3) / 4; d-- > 0;) out << digits[(v[d * 4 / 64] >> (d * 4 % 64)) & 0xF];
}

// splitmix64: a fixed sequence for each seed.
struct Random {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
};

std::vector<const Port*> inputPorts(const Netlist& n) {
  std::vector<const Port*> ports;
  for (const Port& p : n.ports)
    if (p.input) ports.push_back(&p);
  return ports;
}

}  // namespace

std::string verilogName(const std::string& name) {
  if (isSimpleIdentifier(name) && !isKeyword(name)) return name;
  std::string escaped = "\\";
  for (const char c : name) escaped += c > ' ' && c < 127 ? c : '_';
  return escaped + " ";
}

void writeVerilog(const Netlist& netlist, const std::string& moduleName, std::ostream& out) {
  VerilogWriter(netlist, out).write(moduleName);
}

bool writeVectors(const Netlist& netlist, uint64_t count, uint64_t seed, const Pattern& pattern, std::ostream& out,
                  std::string& error) {
  const std::vector<const Port*> inputs = inputPorts(netlist);
  if (inputs.empty()) {
    error = "the netlist has no input port";
    return false;
  }
  enum class Kind { Random, Hold, Toggle };
  std::vector<Kind> kind(inputs.size(), Kind::Random);
  std::vector<Value> held(inputs.size()), value(inputs.size());
  auto find = [&](const std::string& option, const std::string& name, size_t& index) {
    for (index = 0; index < inputs.size(); ++index)
      if (inputs[index]->name == name) {
        if (kind[index] == Kind::Random) return true;
        error = option + ": input '" + name + "' is given a pattern twice";
        return false;
      }
    error = option + ": no input port '" + name + "'";
    return false;
  };
  for (const auto& [name, text] : pattern.holds) {
    size_t i = 0;
    if (!find("--hold", name, i)) return false;
    if (!parseValue(text, inputs[i]->bits.size(), held[i])) {
      error = "--hold: '" + text + "' is not a value of input '" + name + "' (" +
              std::to_string(inputs[i]->bits.size()) + " bits)";
      return false;
    }
    kind[i] = Kind::Hold;
  }
  for (const std::string& name : pattern.toggles) {
    size_t i = 0;
    if (!find("--toggle", name, i)) return false;
    if (inputs[i]->bits.size() != 1) {
      error = "--toggle: input '" + name + "' is " + std::to_string(inputs[i]->bits.size()) +
              " bits wide; a clock is 1 bit";
      return false;
    }
    kind[i] = Kind::Toggle;
  }
  const bool clocked = !pattern.toggles.empty();
  // With a clock the held inputs change with a falling edge too: at the first even vector from
  // lead on.
  const uint64_t release = clocked ? pattern.lead + pattern.lead % 2 : pattern.lead;
  Random random{seed};
  for (uint64_t k = 0; k < count; ++k) {
    for (size_t i = 0; i < inputs.size(); ++i) {
      const size_t width = inputs[i]->bits.size();
      Value& v = value[i];
      if (kind[i] == Kind::Toggle) {
        v = zeroValue(width);
        v[0] = k % 2;
      } else if (kind[i] == Kind::Hold) {
        v = held[i];
        if (k < release)
          for (uint64_t& word : v) word = ~word;
      } else if (!clocked || k % 2 == 0) {
        v = zeroValue(width);
        for (uint64_t& word : v) word = random.next();
      }
      mask(v, width);
      if (i) out << ' ';
      writeHex(v, width, out);
    }
    out << '\n';
  }
  return true;
}

bool writeTestbench(const Netlist& netlist, const std::string& moduleName, const std::string& vectors,
                    uint64_t period, std::ostream& out, std::string& error) {
  const std::vector<const Port*> inputs = inputPorts(netlist);
  const size_t outputs = netlist.ports.size() - inputs.size();
  if (inputs.empty() || outputs == 0) {
    error = inputs.empty() ? "the netlist has no input port" : "the netlist has no output port";
    return false;
  }
  if (period < 2) {
    error = "the period must be at least 2";
    return false;
  }
  // The design's ports are the testbench's signals port0, port1, ... in port order.
  const std::vector<Port>& ports = netlist.ports;
  auto signal = [](size_t p) { return "port" + std::to_string(p); };
  const std::string top = moduleName == "peer_tb" ? "peer_tb_" : "peer_tb";
  out << "// Applies the vectors of " << formatText(vectors) << " (or +vectors=FILE) to " << moduleName
      << ", one each " << period << " time steps.\n";
  out << "module " << top << ";\n";
  std::string printed, arguments, outputList;
  for (size_t p = 0; p < ports.size(); ++p) {
    out << "  " << (ports[p].input ? "reg " : "wire ") << range(ports[p].bits.size()) << signal(p) << ";\n";
    if (!ports[p].input) outputList += (outputList.empty() ? "" : " or ") + signal(p);
  }
  out << "  " << verilogName(moduleName) << " dut(";
  for (size_t p = 0; p < ports.size(); ++p) out << (p ? ", " : "") << "." << verilogName(ports[p].name) << "(" << signal(p) << ")";
  out << ");\n";
  // Inputs first (the settings), then the outputs (the expectations), two blanks between.
  bool firstOutput = true;
  for (const bool input : {true, false})
    for (size_t p = 0; p < ports.size(); ++p) {
      if (ports[p].input != input) continue;
      printed += !input && firstOutput ? "  " : " ";
      if (!input) firstOutput = false;
      printed += formatText(ports[p].name) + (input ? ":=0x%h" : "=0b%b");
      arguments += (arguments.empty() ? "" : ", ") + signal(p);
    }
  // $fscanf reads a vector into the input ports.
  std::string scan, scanned;
  for (size_t p = 0; p < ports.size(); ++p)
    if (ports[p].input) {
      scan += scan.empty() ? "%h" : " %h";
      scanned += (scanned.empty() ? "" : ", ") + signal(p);
    }
  out << "  integer fd, got;\n"
         "  reg [8 * 4096 - 1:0] path;\n"
         "  time applied, changed, settled;\n"
         "  initial begin\n"
         "    changed = 0;\n"
         "    settled = 0;\n"
         "  end\n"
         "  always @("
      << outputList
      << ") changed = $time;\n"
         "  initial begin\n"
         "    if (!$value$plusargs(\"vectors=%s\", path)) path = \""
      << formatText(vectors)
      << "\";\n"
         "    fd = $fopen(path, \"r\");\n"
         "    if (fd == 0) begin\n"
         "      $display(\"peer_tb: cannot open the vectors %0s\", path);\n"
         "      $finish(0);\n"
         "    end\n"
         "    got = $fscanf(fd, \""
      << scan << "\\n\", " << scanned << ");\n    while (got == " << inputs.size()
      << ") begin\n"
         "      applied = $time;\n"
         "      #"
      << period - 1
      << ";\n"
         "      if (changed > applied && changed - applied > settled) settled = changed - applied;\n"
         "      $display(\""
      << printed.substr(1) << "\", " << arguments
      << ");\n"
         "      #1;\n"
         "      got = $fscanf(fd, \""
      << scan << "\\n\", " << scanned
      << ");\n"
         "    end\n"
         "    $display(\"# settled %0d\", settled);\n"
         "    $finish(0);\n"
         "  end\n"
         "endmodule\n";
  return true;
}

}  // namespace peer
