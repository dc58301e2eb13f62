// Signal handles: construction-time names for groups of one-bit wires.
#pragma once

#include <cstdint>

#include "construction/Blocks.h"

// The numeric order matters: gate evaluators take minima and maxima over it.
enum SignalValue : int32_t { ZERO = 0, UNINITIALIZED = 1, XXX = 2, HIZ = 3, ONE = 4 };

// Writes the level's name to standard error, without a newline.
void saySignalValue(SignalValue sv);

class Signal {
public:
  int length;
  int* serialNumber;  // bit 0 (least significant) first; owned by the handle
  int constSignal;
  const char* nameTag;

  // nr new wires named name[0] .. name[nr-1], each the next serial number, bit 0 first. They
  // start UNINITIALIZED at every reset. name is kept, not copied: pass a literal.
  Signal(unsigned nr, const char* name);
  // nr new wires with the initial level initValue; it takes effect only with constValue 1 (a
  // constant wire, driven by nobody), otherwise the wires start UNINITIALIZED like any other.
  Signal(unsigned nr, SignalValue initValue, int constValue, const char* name);
  // nr new constant wires: bit i is ONE when bit (i mod 32) of setMask is set, else ZERO, so
  // Signal(4, 0xAu, "ten") is the constant 1010.
  Signal(unsigned nr, unsigned setMask, const char* name);
  // A second handle on the same wires; no wire is created.
  Signal(const Signal& siga);
  ~Signal();

  // Bit sub as a 1-bit handle (named x[sub], or x for a 1-bit x). Out of range: "Signal ::
  // operator[] subscript out of range--" and status 1.
  Signal operator[](int sub) const;
  // Bits start down to end, start becoming the most significant: x.sub(15, 8) is the upper byte
  // of a 16-bit x in natural order, x.sub(8, 15) the same byte reversed. Out of range: "Signal
  // member sub(int,int)--bad range: ..." and status 1.
  Signal sub(int start, int end) const;
  // A range of wires by serial number, from this 1-bit handle's wire (most significant) to
  // sig's (bit 0), whichever handles they belong to: x[15] - x[0] is all of a 16-bit x.
  // Operands wider than 1 bit: "Error--operator - arguments are not length = 1." and status 1.
  Signal operator-(const Signal& sig) const;
  // Concatenation like a written bus: (hi, lo) has lo in the low bits, hi above it.
  Signal operator,(const Signal& siga) const;
  Signal operator=(const Signal& sig);  // refused with a message: handles are never reassigned
  // Writes the handle's name, width and serial numbers (most significant first) on standard error.
  void print() const;

  // An empty handle named "UnNamed": the "no signal" argument of registrations.
  Signal();

  // Binds to one of the two reserved constant wires (Zero and One) without creating a wire.
  struct ReservedWire { int serial; };
  Signal(ReservedWire wire, const char* name);

private:
  void createWires(unsigned nr, const char* name, int constValue, SignalValue (*valueOf)(unsigned, const void*),
                   const void* context);
  friend // Replication: 3 * x is x three times over (bit p is x's bit p mod x.length); 0 * x is empty.
Signal operator*(int reps, const Signal& siga);
};

typedef Signal Signals;

// One node per wire, in serial-number order: what elaboration turns into the wire arrays.
class SignalNode {
public:
  SignalNode* ptr;
  int signalSerialNumber;
  char* name;  // a copy, kept in the list's text blocks
  int constSignal;
  SignalValue value;  // the initial value
};

class SignalList {
public:
  int numberOfSignals = 0;  // also the next serial number to hand out
  SignalNode* start = nullptr;
  SignalNode* end = nullptr;

  SignalList() = default;
  SignalList(const SignalList&) = delete;
  SignalList& operator=(const SignalList&) = delete;

  // Appends wire number (the count unchanged) with its initial value, a copy of its name (null
  // for none) and whether it is constant.
  void add(int number, SignalValue sv, const char* name, int constSpec);
  void print() const;
  // The texts of the nodes' names, which then outlive the list: elaboration keeps them as the
  // wires' names instead of copying each.
  TextBlocks takeNames() { return std::move(names); }
  ~SignalList();  // reports the count

private:
  NodeBlocks<SignalNode, 4096> nodes;
  TextBlocks names;
};

// Replication: 3 * x is x three times over (bit p is x's bit p mod x.length); 0 * x is empty.
Signal operator*(int reps, const Signal& siga);

// Wires 0 and 1, whatever order the circuit's own globals are built in.
extern Signal Zero;
extern Signal One;
