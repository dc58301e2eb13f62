// Circuit construction: the input is read as a program of Signal operations and component
// calls with widths taken from its bytes; the circuit it builds is elaborated and run without
// a display up to a small stop time, as `tavrin -X -T <time>` would run it.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "construction/Ph1.h"
#include "tavrin.h"

namespace {

constexpr int maximumOperations = 48;
constexpr int maximumWires = 3000;

// Everything construction holds lives here, outside the frames endProcess may jump over, so
// that an input which ends early still releases it.
struct Workshop {
  ByteReader* in = nullptr;
  std::deque<Signal> signals;
  std::deque<SD> designations;
  std::vector<std::vector<unsigned char>> images;
  std::vector<int> partitionSizes;
  std::string label;
  std::string positionText;
};
Workshop* shop = nullptr;

const char* const names[] = {"a", "bus", "clk", "q", nullptr, "a-rather-long-signal-name-for-a-probe"};
const char* const positions[] = {"aa", "ab", "ba", "aa.ab", "da-ea", "da-ea.ac", "zz", "a", "",
                                 ".", "aa..ab", "abcdefgh.ab", "ab-", "-", "aa.ab.ac.ad.ae.af", "Az"};
const char* const decals[] = {nullptr, "U1", "Flags", ""};
const int interesting[] = {-1, 0, 1, 2, 3, 4, 7, 8, 15, 16, 17, 31, 32, 33, 64, 255, 1024, -1000, INT_MAX, INT_MIN};

int byteWidth() {
  int b = shop->in->next();
  if (b < 200) return b % 9;
  if (b < 250) return b % 40;
  return 64 + b % 8;
}

int number() {
  int b = shop->in->next();
  if (b < 128) return b % 24;
  return interesting[b % (sizeof interesting / sizeof interesting[0])];
}

bool roomFor(int width) { return PhaseOne::instance().signalList.numberOfSignals + width <= maximumWires; }

const Signal& keep(const Signal& s) {
  shop->signals.emplace_back(s);
  return shop->signals.back();
}

const Signal& fresh(int width) {
  if (width < 0) width = 0;
  if (!roomFor(width)) width = 0;
  const char* name = names[shop->in->next() % (sizeof names / sizeof names[0])];
  switch (shop->in->next() % 8) {
    case 0: shop->signals.emplace_back(static_cast<unsigned>(width), static_cast<unsigned>(number()), name); break;
    case 1:
      shop->signals.emplace_back(static_cast<unsigned>(width), static_cast<SignalValue>(shop->in->range(0, 4)),
                                 shop->in->range(0, 1), name);
      break;
    default: shop->signals.emplace_back(static_cast<unsigned>(width), name); break;
  }
  return shop->signals.back();
}

const Signal& existing() {
  std::deque<Signal>& s = shop->signals;
  return s[shop->in->next() % s.size()];
}

// An argument that should be `width` bits wide: mostly a new signal of that width, sometimes
// one built earlier (connecting components), sometimes a near miss.
const Signal& argument(int width) {
  int b = shop->in->next();
  if (b < 150) return fresh(width);
  if (b < 230) return existing();
  return fresh(width + (b % 5) - 2);
}

const SD& designation() {
  int b = shop->in->next();
  std::deque<SD>& d = shop->designations;
  const char* position = positions[b % (sizeof positions / sizeof positions[0])];
  if (b >= 0xF0) {  // any bytes at all
    std::string& text = shop->positionText;
    text.clear();
    for (int n = shop->in->range(0, 12); n > 0; --n) text += static_cast<char>(shop->in->range(1, 255));
    position = text.c_str();
  }
  const char* decal = decals[(b >> 4) % (sizeof decals / sizeof decals[0])];
  switch (shop->in->next() % 8) {
    case 0:
      if (!d.empty()) d.emplace_back(d[shop->in->next() % d.size()], position, decal);
      else d.emplace_back(position, decal);
      break;
    case 1:
      if (!d.empty()) d.emplace_back((d[shop->in->next() % d.size()], decal));
      else d.emplace_back(position);
      break;
    default: d.emplace_back(position, decal); break;
  }
  return d.back();
}

const std::string& label() {
  static const char* const labels[] = {"", "y", "a label longer than the small string room"};
  shop->label = labels[shop->in->next() % 3];
  return shop->label;
}

const unsigned char* image(int bytes) {
  if (shop->in->next() % 2 == 0 || bytes <= 0 || bytes > 1 << 16) return nullptr;
  std::vector<unsigned char> contents(static_cast<size_t>(bytes));
  for (unsigned char& c : contents) c = shop->in->next();
  shop->images.push_back(std::move(contents));
  return shop->images.back().data();
}

int bytesFor(int words, int bits) {
  if (words <= 0 || bits <= 0 || words > 1 << 12 || bits > 256) return 0;
  return words * ((bits - 1) / 8 + 1);
}

// Small shapes that fit together, or raw numbers from the input.
void memory(bool ram) {
  const SD& sd = designation();
  int words, width, addressBits, readPorts, writePorts;
  if (shop->in->next() % 4 != 0) {
    addressBits = shop->in->range(0, 6);
    words = 1 << addressBits;
    width = shop->in->range(1, 40);
    readPorts = shop->in->range(0, 2);
    writePorts = shop->in->range(0, 2);
  } else {
    words = number();
    width = number();
    addressBits = number();
    readPorts = number();
    writePorts = number();
  }
  auto fits = [](long long n) { return n >= 0 && n <= 400 ? static_cast<int>(n) : 0; };
  const long long a = addressBits;
  const Signal& control = argument(fits(writePorts * (a + 2) + a * readPorts));
  const Signal& data = argument(fits(static_cast<long long>(writePorts) * width));
  const Signal& out = argument(fits(static_cast<long long>(readPorts) * width));
  // Large but simulatable memories would only spend the fuzzer's time; INT_MAX is refused.
  if ((words > 1 << 16 || width > 1024) && words != INT_MAX && width != INT_MAX) return;
  if (ram)
    Ram(sd, control, data, out, words, width, addressBits, readPorts, writePorts, image(bytesFor(words, width)));
  else
    RegisterFile(sd, control, data, out, words, width, addressBits, readPorts, writePorts);
}

void rom() {
  const SD& sd = designation();
  int addressBits = shop->in->range(0, 7);
  int words = shop->in->next() % 4 != 0 ? 1 << addressBits : number();
  int bits = shop->in->next() % 4 != 0 ? shop->in->range(1, 24) : number();
  const Signal& address = argument(addressBits);
  const Signal& out = argument(bits > 0 && bits <= 64 ? bits : 1);
  if ((words > 1 << 16 || bits > 1024) && words != INT_MAX && bits != INT_MAX) return;
  Rom(sd, address, out, words, bits, image(bytesFor(words, bits)));
}

void operation() {
  ByteReader& in = *shop->in;
  switch (in.next() % 48) {
    // Signals: new handles and every operator.
    case 0: case 1: case 2: fresh(byteWidth()); break;
    case 3: keep(existing()[in.range(-1, 8)]); break;
    case 4: keep(existing().sub(in.range(-1, 8), in.range(-1, 8))); break;
    case 5: { const Signal& a = existing(); const Signal& b = existing(); keep(a - b); break; }
    case 6: { const Signal& a = existing(); const Signal& b = existing(); keep((a, b)); break; }
    case 7: {
      const Signal& a = existing();
      int reps = in.range(-2, 6);
      if (static_cast<long long>(reps) * a.length <= 400) keep(reps * a);
      break;
    }
    case 8: { Signal& a = shop->signals[in.next() % shop->signals.size()]; a = existing(); break; }
    // Gates and tri-state buffers.
    case 9: { int w = byteWidth(); int k = in.range(1, 3); const SD& sd = designation(); const Signal& i = argument(w * k);
      And(sd, i, argument(w)); break; }
    case 10: { int w = byteWidth(); const SD& sd = designation(); const Signal& a = argument(w); const Signal& b = argument(in.next() % 2 ? 1 : w);
      And(sd, a, b, argument(w)); break; }
    case 11: { int w = byteWidth(); int k = in.range(1, 3); const SD& sd = designation(); const Signal& i = argument(w * k);
      Or(sd, i, argument(w)); break; }
    case 12: { int w = byteWidth(); const SD& sd = designation(); const Signal& a = argument(in.next() % 2 ? 1 : w); const Signal& b = argument(w);
      Or(sd, a, b, argument(w)); break; }
    case 13: { int w = byteWidth(); const SD& sd = designation(); const Signal& i = argument(w); Not(sd, i, argument(w)); break; }
    case 14: { const SD& sd = designation(); const Signal& i = argument(in.range(0, 4)); Nand(sd, i, argument(1)); break; }
    case 15: { const SD& sd = designation(); const Signal& i = argument(in.range(0, 4)); Nor(sd, i, argument(1)); break; }
    case 16: { const SD& sd = designation(); const Signal& i = argument(in.range(0, 4)); Xor(sd, i, argument(1)); break; }
    case 17: { const SD& sd = designation(); const Signal& i = argument(in.range(0, 4)); Xnor(sd, i, argument(1)); break; }
    case 18: { const SD& sd = designation(); const Signal& i = argument(in.range(0, 3)); MultiLevelCompare(sd, i, argument(1)); break; }
    case 19: {
      const SD& sd = designation();
      const Signal& t = argument(in.range(0, 3));
      const Signal& c = argument(in.range(0, 3));
      const Signal& o = argument(1);
      switch (in.next() % 4) {
        case 0: Iand(sd, t, c, o); break;
        case 1: Inand(sd, t, c, o); break;
        case 2: CiOr(sd, t, c, o); break;
        default: CiNor(sd, t, c, o); break;
      }
      break;
    }
    case 20: { const SD& sd = designation(); const Signal& i = argument(1); const Signal& c = argument(1); Tsb(sd, i, c, argument(1)); break; }
    // Observation, interaction and timing.
    case 21: {
      const SD& sd = designation();
      const Signal& i = argument(byteWidth());
      int partitions = in.next() % 3 == 0 ? in.range(0, 3) : 0;
      shop->partitionSizes.assign(4, 0);
      for (int& size : shop->partitionSizes) size = in.range(-1, 5);
      Probe(sd, i, label(), partitions, in.next() % 8 == 0 ? nullptr : shop->partitionSizes.data());
      break;
    }
    case 22: { const SD& sd = designation(); const Signal& i = argument(byteWidth()); ProbeH(sd, i, label()); break; }
    case 23: { const SD& sd = designation(); const Signal& i = argument(in.next() % 4 ? 8 : byteWidth()); ProbeByte(sd, i, label()); break; }
    case 24: { const SD& sd = designation(); const Signal& i = argument(in.next() % 4 ? 8 : byteWidth()); ProbeByteH(sd, i, label()); break; }
    case 25: { const SD& sd = designation(); const Signal& o = argument(in.range(0, 3)); char key = static_cast<char>(in.next());
      Switch(sd, o, key, argument(in.next() % 4 ? 1 : 0), label()); break; }
    case 26: { const SD& sd = designation(); const Signal& o = argument(1); PowerOn(sd, o, number(), argument(1)); break; }
    case 27: { const SD& sd = designation(); const Signal& o = argument(1); char key = static_cast<char>(in.next());
      Pulser(sd, o, key, number(), argument(1)); break; }
    case 28: { const SD& sd = designation(); const Signal& o = argument(1); int duration = number(); int offset = number();
      Clock(sd, o, duration, offset, number(), argument(in.next() % 4 ? 1 : 0)); break; }
    case 29: { const SD& sd = designation(); Stop(sd, argument(in.range(0, 2))); break; }
    case 30: { const SD& sd = designation(); const Signal& i = argument(byteWidth()); Module(sd, i, argument(byteWidth())); break; }
    case 31: { const SD& sd = designation(); const Signal& i = argument(byteWidth()); Module(sd, in.next() % 2 ? "Box" : nullptr, i, argument(byteWidth())); break; }
    case 32: Space(designation()); break;
    // Medium-scale components.
    case 33: { int w = byteWidth(); const SD& sd = designation(); const Signal& i = argument(2 * w); Adder(sd, i, argument(w)); break; }
    case 34: { int w = byteWidth(); const SD& sd = designation(); const Signal& i = argument(w); Increment(sd, i, argument(w)); break; }
    case 35: { int c = in.range(0, 3); int w = in.range(0, 4); const SD& sd = designation(); const Signal& s = argument(c);
      const Signal& d = argument(w << c); Mux(sd, s, d, argument(w)); break; }
    case 36: { int a = in.range(0, 4); const SD& sd = designation(); const Signal& e = argument(1); const Signal& d = argument(a);
      Decoder(sd, e, d, argument(1 << a)); break; }
    case 37: { int a = in.range(0, 4); const SD& sd = designation(); const Signal& d = argument(1 << a); const Signal& o = argument(a);
      Encoder(sd, d, o, argument(1)); break; }
    case 38: { const SD& sd = designation(); const Signal& i = argument(2); Gate(sd, i, argument(1)); break; }
    case 39: { int w = byteWidth(); const SD& sd = designation(); const Signal& i = argument(in.range(0, 3)); Counter(sd, i, argument(w)); break; }
    case 40: { const SD& sd = designation(); const Signal& i = argument(4); Dff(sd, i, argument(1)); break; }
    case 41: { const SD& sd = designation(); const Signal& i = argument(5); Jkff(sd, i, argument(2)); break; }
    case 42: { int w = byteWidth(); const SD& sd = designation(); const Signal& e = argument(1); const Signal& wr = argument(1);
      const Signal& d = argument(w); Register(sd, e, wr, d, argument(w)); break; }
    case 43: {
      int a = in.range(0, 4);
      const SD& sd = designation();
      const Signal& clear = argument(1);
      const Signal& set = argument(1);
      const Signal& enable = argument(1);
      const Signal& write = argument(1);
      const Signal& bitIn = argument(1);
      const Signal& writeAddress = argument(a);
      const Signal& readAddress = argument(a);
      const Signal& bitOut = argument(1);
      BitAddressibleRegister(sd, clear, set, enable, write, bitIn, writeAddress, readAddress, bitOut, argument(1 << a));
      break;
    }
    case 44: {
      const SD& sd = designation();
      switch (in.next() % 3) {
        case 0: Stderr(sd, argument(10)); break;
        case 1: { const Signal& c = argument(2); IntOut(sd, c, argument(byteWidth())); break; }
        default: { const Signal& c = argument(2); HexOut(sd, c, argument(byteWidth())); break; }
      }
      break;
    }
    // Memories.
    case 45: memory(false); break;
    case 46: memory(true); break;
    default: rom(); break;
  }
}

void build() {
  PhaseOne::instance();  // as Zero and One do before a process's first circuit
  keep(Zero);
  keep(One);
  for (int i = 0; i < maximumOperations && !shop->in->empty(); ++i) {
    visibleFlag = shop->in->next() % 16 != 0;
    operation();
  }
  visibleFlag = 1;
}

struct Run {
  std::vector<std::string> words;
  std::vector<char*> argv;
};

void simulate(void* context) {
  Run& run = *static_cast<Run*>(context);
  Sim(static_cast<int>(run.argv.size()) - 1, run.argv.data(), build);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  Run run;
  run.words = {"tavrin", "-X", "-T", std::to_string((in.next() + 1) * 16)};
  if (in.next() % 8 == 0) run.words.push_back("-E");
  for (std::string& w : run.words) run.argv.push_back(w.data());
  run.argv.push_back(nullptr);

  {
    Workshop workshop;
    workshop.in = &in;
    shop = &workshop;
    resetProcessState();
    // Construction and run errors end with status 1; nothing else may end a run without a window.
    int status = runRecoverably(simulate, &run);
    if (status != -1 && status != 1) std::abort();
    teardown();
    shop = nullptr;
  }
  releaseHandleNames();
  return 0;
}
