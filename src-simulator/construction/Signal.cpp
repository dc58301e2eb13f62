#include "construction/Signal.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <iostream>
#include <string>
#include <vector>

#include "construction/Ph1.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

namespace {

// The names of copied and derived handles: kept when the handle dies, since circuit code may
// still hold the pointer. They are packed into blocks, and a name made again (a module built
// many times derives the same ones in each copy) is shared: the recent names are remembered by
// a hash of their text.
struct HandleNames {
  std::mutex guard;  // simulations built at once on threads share the names
  TextBlocks texts;
  static constexpr size_t remembered = 4096;
  const char* recent[remembered] = {};
};

HandleNames& handleNames() {
  static HandleNames* names = new HandleNames();  // for the process: handles outlive everything
  return *names;
}

const char* copyHandleName(const char* text) {
  HandleNames& names = handleNames();
  const std::lock_guard<std::mutex> lock(names.guard);
  const size_t length = std::strlen(text);
  uint32_t hash = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
  const char*& slot = names.recent[hash % HandleNames::remembered];
  if (slot == nullptr || std::strcmp(slot, text) != 0) slot = names.texts.copy(text, length);
  return slot;
}

// The list entry of one wire: "name[i]", or just "Annon" for a wire without a name.
std::string indexedName(const char* name, unsigned i) {
  if (name == nullptr) return "Annon";
  return std::string(name) + "[" + std::to_string(i) + "]";
}

SignalValue uninitializedValue(unsigned, const void*) { return UNINITIALIZED; }
SignalValue givenValue(unsigned, const void* context) { return *static_cast<const SignalValue*>(context); }
SignalValue maskValue(unsigned i, const void* context) {
  unsigned mask = *static_cast<const unsigned*>(context);
  return ((mask >> (i % 32)) & 1u) ? ONE : ZERO;
}

}  // namespace

#ifdef TAVRIN_FUZZ_BUILD
// Once no handle of the last circuit is left.
void releaseHandleNames() {
  HandleNames& names = handleNames();
  const std::lock_guard<std::mutex> lock(names.guard);
  names.texts.release();
  for (const char*& slot : names.recent) slot = nullptr;
}
#endif

void saySignalValue(SignalValue sv) {
  switch (sv) {
    case ZERO: standardError() << "ZERO"; break;
    case UNINITIALIZED: standardError() << "UNINITIALIZED"; break;
    case XXX: standardError() << "XXX"; break;
    case HIZ: standardError() << "HIZ"; break;
    case ONE: standardError() << "ONE"; break;
    default: standardError() << "NOT A SIGNAL"; break;
  }
}

void SignalList::add(int number, SignalValue sv, const char* name, int constSpec) {
  SignalNode* node = nodes.make();
  *node = SignalNode{nullptr, number, names.copy(name), constSpec, sv};
  if (end == nullptr)
    start = node;
  else
    end->ptr = node;
  end = node;
}

void SignalList::print() const {
  for (SignalNode* node = start; node != nullptr; node = node->ptr)
    standardError() << "   Signal number " << node->signalSerialNumber << "   constSignal = " << node->constSignal
                    << "  Name: " << node->name << "  Value: " << static_cast<int>(node->value) << std::endl;
}

SignalList::~SignalList() {
  if (!quietFlag) standardError() << "There are " << numberOfSignals << " signals." << std::endl;
  // Nothing reads the list once the arrays are built; the nodes go with their blocks.
  start = end = nullptr;
}

Signal::Signal() : length(0), serialNumber(nullptr), constSignal(0), nameTag("UnNamed") {}

void Signal::createWires(unsigned nr, const char* name, int constValue,
                         SignalValue (*valueOf)(unsigned, const void*), const void* context) {
  PhaseOne& one = PhaseOne::instance();
  length = static_cast<int>(nr);
  serialNumber = nr == 0 ? nullptr : new int[nr];
  for (unsigned i = 0; i < nr; ++i) {
    SignalList& list = one.signalList;
    serialNumber[i] = list.numberOfSignals;
    list.add(list.numberOfSignals, valueOf(i, context), indexedName(name, i).c_str(), constValue);
    ++list.numberOfSignals;
  }
}

Signal::Signal(unsigned nr, const char* name)
    : length(0), serialNumber(nullptr), constSignal(0), nameTag(name ? name : "Annon") {
  createWires(nr, name, 0, uninitializedValue, nullptr);
}

Signal::Signal(unsigned nr, SignalValue initValue, int constValue, const char* name)
    : length(0), serialNumber(nullptr), constSignal(constValue), nameTag(name ? name : "Annon") {
  createWires(nr, name, constValue, givenValue, &initValue);
}

Signal::Signal(unsigned nr, unsigned setMask, const char* name)
    : length(0), serialNumber(nullptr), constSignal(1), nameTag(name ? name : "Annon") {
  createWires(nr, name, 1, maskValue, &setMask);
}

Signal::Signal(ReservedWire wire, const char* name)
    : length(1), serialNumber(new int[1]{wire.serial}), constSignal(1), nameTag(name) {
  PhaseOne::instance();
}

Signal::Signal(const Signal& siga)
    : length(siga.length),
      serialNumber(siga.length > 0 ? new int[siga.length] : nullptr),
      constSignal(siga.constSignal),
      nameTag(copyHandleName(siga.nameTag)) {
  if (length > 0) std::memcpy(serialNumber, siga.serialNumber, sizeof(int) * length);
}

Signal::~Signal() {
  delete[] serialNumber;
  serialNumber = nullptr;
  nameTag = "DELETED";
}

Signal Signal::operator[](int sub) const {
  if (sub < 0 || sub >= length) {
    standardError() << "Signal :: operator[] subscript out of range--" << std::endl;
    standardError() << "  -- Signal = " << nameTag << " sub = " << sub << std::endl;
    endProcess(1);
  }
  Signal result;
  result.length = 1;
  result.serialNumber = new int[1]{serialNumber[sub]};
  result.constSignal = constSignal;
  result.nameTag = length > 1 ? copyHandleName((std::string(nameTag) + "[" + std::to_string(sub) + "]").c_str())
                              : copyHandleName(nameTag);
  return result;
}

Signal Signal::sub(int start, int end) const {
  if (start < 0 || start >= length || end < 0 || end >= length) {
    standardError() << "Signal member sub(int,int)--bad range: " << start << "," << end << std::endl;
    standardError() << "Source length = " << length << std::endl;
    endProcess(1);  // the indexes would reach outside this handle's wires
  }
  Signal result;
  result.length = std::abs(start - end) + 1;
  result.serialNumber = new int[result.length];
  // The first argument becomes the most significant end, the second bit 0.
  int step = start > end ? 1 : -1;
  for (int i = 0; i < result.length; ++i) result.serialNumber[i] = serialNumber[end + i * step];
  result.constSignal = constSignal;
  result.nameTag = copyHandleName(nameTag);
  return result;
}

Signal Signal::operator-(const Signal& sig) const {
  if (length != 1 || sig.length != 1) {
    standardError() << "Error--operator - arguments are not length = 1." << std::endl;
    endProcess(1);
  }
  int s = serialNumber[0];
  int e = sig.serialNumber[0];
  Signal result;
  result.length = std::abs(s - e) + 1;
  result.serialNumber = new int[result.length];
  int step = e < s ? 1 : -1;
  for (int i = 0; i < result.length; ++i) result.serialNumber[i] = e + i * step;
  result.constSignal = constSignal;
  result.nameTag = copyHandleName(nameTag);
  return result;
}

Signal Signal::operator,(const Signal& siga) const {
  Signal result;
  result.length = length + siga.length;
  result.serialNumber = result.length > 0 ? new int[result.length] : nullptr;
  for (int i = 0; i < siga.length; ++i) result.serialNumber[i] = siga.serialNumber[i];
  for (int i = 0; i < length; ++i) result.serialNumber[siga.length + i] = serialNumber[i];
  result.constSignal = constSignal;
  result.nameTag = copyHandleName((std::string(nameTag) + "," + siga.nameTag).c_str());
  return result;
}

Signal operator*(int reps, const Signal& siga) {
  Signal result;
  result.length = reps > 0 ? reps * siga.length : 0;
  result.serialNumber = result.length > 0 ? new int[result.length] : nullptr;
  for (int p = 0; p < result.length; ++p) result.serialNumber[p] = siga.serialNumber[p % siga.length];
  result.constSignal = siga.constSignal;
  result.nameTag = copyHandleName(siga.nameTag);
  return result;
}

Signal Signal::operator=(const Signal& sig) {
  standardError() << "Assignment from SignalName = " << sig.nameTag << " to Signal Name = " << nameTag
                  << " not implemented." << std::endl;
  standardError() << "  Try to use initialization instead -- or talk to the Prof." << std::endl;
  return Signal();
}

void Signal::print() const {
  standardError() << "Signal.print() this=" << static_cast<const void*>(this) << " nameTag=" << nameTag
                  << " constSignal=" << constSignal << " length=" << length << ", numbered:" << std::endl
                  << "     ";
  for (int i = length - 1; i >= 0; --i) standardError() << serialNumber[i] << " ";
  standardError() << std::endl;
}

// Built before any other global of the program, so the circuit's first wire is 2.
Signal Zero __attribute__((init_priority(101))) (Signal::ReservedWire{0}, "Zero");
Signal One __attribute__((init_priority(101))) (Signal::ReservedWire{1}, "One");
