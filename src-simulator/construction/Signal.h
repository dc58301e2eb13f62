// Signal handles: construction-time names for groups of one-bit wires.
#pragma once

#include <cstdint>

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

  Signal(unsigned nr, const char* name);
  Signal(unsigned nr, SignalValue initValue, int constValue, const char* name);
  Signal(unsigned nr, unsigned setMask, const char* name);
  Signal(const Signal& siga);
  ~Signal();

  Signal operator[](int sub) const;
  Signal sub(int start, int end) const;
  Signal operator-(const Signal& sig) const;
  Signal operator,(const Signal& siga) const;
  Signal operator=(const Signal& sig);  // refused: handles are never reassigned
  void print() const;

  // An empty handle named "UnNamed": the "no signal" argument of registrations.
  Signal();

  // Binds to one of the two reserved constant wires (Zero and One) without creating a wire.
  struct ReservedWire { int serial; };
  Signal(ReservedWire wire, const char* name);

private:
  void createWires(unsigned nr, const char* name, int constValue, SignalValue (*valueOf)(unsigned, const void*),
                   const void* context);
  friend Signal operator*(int reps, const Signal& siga);
};

typedef Signal Signals;

// One node per wire, in serial-number order: what elaboration turns into the wire arrays.
class SignalNode {
public:
  SignalNode* ptr;
  int signalSerialNumber;
  char* name;  // owned copy
  int constSignal;
  SignalValue value;  // the initial value
};

class SignalList {
public:
  int numberOfSignals = 0;  // also the next serial number to hand out
  SignalNode* start = nullptr;
  SignalNode* end = nullptr;

  void add(int number, SignalValue sv, const char* name, int constSpec);  // count unchanged
  void print() const;
  ~SignalList();  // reports the count
};

Signal operator*(int reps, const Signal& siga);

// Wires 0 and 1, whatever order the circuit's own globals are built in.
extern Signal Zero;
extern Signal One;
