#include "components/ssiPh1.h"

#include <iostream>

#include "components/ssiRT.h"
#include "construction/Ph1.h"
#include "construction/addStCmp.h"
#include "display/iconData.h"
#include "startup/Sim.h"

namespace {

// The "no signal" argument of a registration.
const Signal& none() {
  static const Signal empty;
  return empty;
}

// Interactive components read their resting level from this wire at run time; a handle
// without wires gives a serial number the evaluators read as XXX.
int initSerial(const Signal& init) { return init.length > 0 ? init.serialNumber[0] : -1; }

void registerGate(ComponentFunction evaluate, const int* icon, const char* decal, const SD& sd,
                  const Signal& in, const Signal& out) {
  addStandardComponent(evaluate, icon, decal, sd, in, none(), out);
}

void registerWithParameters(ComponentFunction evaluate, ComponentFunction drawDynamic,
                            ComponentFunction xEventTriggered, int outputOverloadable, int selfActivating,
                            const int* icon, const char* decal, const SD& sd, const Signal& dataIn,
                            const Signal& out, int numberOfIntegerParameters, const int* integerParameters) {
  addStandardComponent(evaluate, SecondaryEvaluatePointer{}, icon, drawDynamic, xEventTriggered, nullptr,
                       outputOverloadable, selfActivating, decal, sd, dataIn, none(), out,
                       numberOfIntegerParameters, integerParameters, 0, nullptr, 0, 0, 0);
}

[[noreturn]] void fatal() { endProcess(1); }

// And and Or share their splitting rules and differ only in evaluator, icon and wording.
struct GateKind {
  ComponentFunction evaluate;
  const int* icon;
  const char* name;
};

void oneBus(const GateKind& kind, const SD& sd, const Signal& in, const Signal& out) {
  if (out.length == 0) {
    std::cerr << "ERROR -- " << kind.name << " with out.length == 0 at " << sd.graphicPosition
              << "  length error: " << " in.length = " << in.length << " out.length = " << out.length
              << std::endl;
    fatal();
  }
  if (out.length == 1) {
    registerGate(kind.evaluate, kind.icon, kind.name, sd, in, out);
    return;
  }
  if (in.length % out.length != 0) {
    std::cerr << "ERROR -- " << kind.name << " (vector) with inputs not divisible over outputs at "
              << sd.graphicPosition << " length error: " << " in.length = " << in.length
              << " out.length = " << out.length << std::endl;
    fatal();
  }
  int n = in.length / out.length;
  for (int i = out.length - 1; i >= 0; --i) oneBus(kind, sd, in.sub(i * n, (i + 1) * n - 1), out[i]);
}

void twoOperand(const GateKind& kind, const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  bool fits = false;
  if (in1.length == in2.length)
    fits = in1.length == out.length;
  else if (in1.length == 1)
    fits = in2.length == out.length;
  else if (in2.length == 1)
    fits = in1.length == out.length;
  if (!fits) {
    std::cerr << "ERROR -- " << kind.name << " (vector) component at " << sd.graphicPosition
              << " length error: " << " in1.length = " << in1.length << " in2.length = " << in2.length
              << " out.length = " << out.length << std::endl;
    fatal();
  }
  for (int i = out.length - 1; i >= 0; --i) {
    Signal a = in1.length == 1 ? in1[0] : in1[i];
    Signal b = in2.length == 1 ? in2[0] : in2[i];
    oneBus(kind, sd, (a, b), out[i]);
  }
}

const GateKind andKind{and_, andIcon, "And"};
const GateKind orKind{or_, orIcon, "Or"};

}  // namespace

void And(const SD& sd, const Signal& in, const Signal& out) { oneBus(andKind, sd, in, out); }
void And(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  twoOperand(andKind, sd, in1, in2, out);
}
void Or(const SD& sd, const Signal& in, const Signal& out) { oneBus(orKind, sd, in, out); }
void Or(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  twoOperand(orKind, sd, in1, in2, out);
}

void Not(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length == 1 && out.length == 1) {
    registerGate(not_, notIcon, "Not", sd, in, out);
    return;
  }
  if (in.length != out.length || in.length < 2) {
    std::cerr << "ERROR -- Not (vector) at " << sd.graphicPosition << " length error: "
              << " in.length = " << in.length << " out.length = " << out.length << std::endl;
    fatal();
  }
  for (int i = out.length - 1; i >= 0; --i) Not(sd, in[i], out[i]);
}

void Nand(const SD& sd, const Signal& in, const Signal& out) { registerGate(nand, nandIcon, "Nand", sd, in, out); }
void Nor(const SD& sd, const Signal& in, const Signal& out) { registerGate(nor, norIcon, "Nor", sd, in, out); }
void Xor(const SD& sd, const Signal& in, const Signal& out) { registerGate(xor_, xorIcon, "Xor", sd, in, out); }
void Xnor(const SD& sd, const Signal& in, const Signal& out) { registerGate(xnor, xnorIcon, "Xnor", sd, in, out); }
void MultiLevelCompare(const SD& sd, const Signal& in, const Signal& out) {
  registerGate(multiLevelCompare, rectIcon, "mLevCmp", sd, in, out);
}

void Iand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addStandardComponent(iand, iAndIcon, "Iand", sd, inComplement, inTrue, out);
}
void Inand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addStandardComponent(inand, iNandIcon, "Inand", sd, inComplement, inTrue, out);
}
void CiOr(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addStandardComponent(cior, CiOrIcon, "CiOr", sd, inComplement, inTrue, out);
}
void CiNor(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addStandardComponent(cinor, CiNorIcon, "CiNor", sd, inComplement, inTrue, out);
}

void Tsb(const SD& sd, const Signal& in, const Signal& control, const Signal& out) {
  if (in.length != 1 || control.length != 1 || out.length != 1) {
    std::cerr << "ERROR -- Tsb (Tri-state-buffer) at " << sd.graphicPosition << " length error: "
              << " control.length = " << control.length << " in.length = " << in.length
              << " out.length = " << out.length << std::endl;
    fatal();
  }
  addStandardComponent(tsb, SecondaryEvaluatePointer{}, tsbIcon, nullptr, nullptr, nullptr, 1, 0, "Tsb", sd, in,
                       control, out, 0, nullptr, 0, nullptr, 0, 0, 0);
}

void Probe(const SD& sd, const Signals& in, const std::string& label, int numberOfPartitions,
           const int* partitionSize) {
  bool partitioned = numberOfPartitions > 0;
  if (partitioned && partitionSize == nullptr) {
    std::cerr << "ERROR--Partitioned Probe at " << sd.graphicPosition << " with no partitionSize list,"
              << " in.length = " << in.length << " -- can't continue." << std::endl;
    fatal();
  }
  int partition = 0;
  int count = 0;
  for (int bit = in.length - 1; bit >= 0; --bit) {
    if (partitioned) {
      int size = partitionSize[partition < numberOfPartitions ? partition : numberOfPartitions - 1];
      if (count == size) {
        Space(sd);
        ++partition;
        count = 0;
      }
    }
    Signal wire = in[bit];
    registerWithParameters(nullptr, probe, nullptr, 0, 0, circleIcon, label.empty() ? wire.nameTag : label.c_str(),
                           sd, wire, none(), 0, nullptr);
    ++count;
  }
}

void ProbeH(const SD& sd, const Signals& in, const std::string& label) {
  SD row(sd, "1z");
  row.graphicLevel -= 1;  // the row of probes stays at the level of sd
  char* column = row.graphicPosition + std::char_traits<char>::length(row.graphicPosition) - 1;
  for (int i = 0; i < in.length; ++i) {
    if (label.empty() || in.length == 1)
      Probe(row, in[i], label, 0, nullptr);
    else
      Probe(row, in[i], label + "[" + std::to_string(i) + "]", 0, nullptr);
    --*column;
  }
}

void ProbeByte(const SD& sd, const Signals& in, const std::string& label) {
  registerWithParameters(nullptr, probebyte, nullptr, 0, 0, circleIcon, label.empty() ? in.nameTag : label.c_str(),
                         sd, in, none(), 0, nullptr);
}

void ProbeByteH(const SD& sd, const Signals& in, const std::string& label) {
  registerWithParameters(nullptr, probebyteh, nullptr, 0, 0, circleIcon, label.empty() ? in.nameTag : label.c_str(),
                         sd, in, none(), 0, nullptr);
}

void Switch(const SD& sd, const Signal& out, char keyChar, const Signal& init, const std::string& label) {
  std::string text = std::string(1, keyChar) + ":" + (label.empty() ? std::string(out[0].nameTag) : label);
  int parameters[1] = {initSerial(init)};
  SwitchList& switches = PhaseOne::instance().switchList;
  for (int bit = out.length - 1; bit >= 0; --bit) {
    switches.add(out.serialNumber[bit], static_cast<char>(keyChar + (out.length - 1 - bit)));
    registerWithParameters(nullptr, switchPane, toggleSwitch, 0, 1, rectIcon, text.c_str(), sd, none(), out[bit], 1,
                           parameters);
  }
}

void PowerOn(const SD& sd, const Signal& out, int time, const Signal& init) {
  int parameters[2] = {time, initSerial(init)};
  registerWithParameters(powerOn, switchPane, nullptr, 0, 1, rectIcon, "PowerOn", sd, none(), out, 2, parameters);
}

void Pulser(const SD& sd, const Signal& out, char keyChar, int duration, const Signal& init) {
  int parameters[2] = {duration, initSerial(init)};
  char decal[2] = {keyChar, '\0'};
  PhaseOne::instance().switchList.add(out.length > 0 ? out.serialNumber[0] : -1, keyChar);
  registerWithParameters(nullptr, switchPane, togglePulser, 0, 1, rectIcon, decal, sd, none(), out, 2, parameters);
}

void Clock(const SD& sd, const Signal& out, int duration, int offset, int period, const Signal& init) {
  int parameters[4] = {duration, offset, period, initSerial(init)};
  registerWithParameters(tavrin::clock, switchPane, nullptr, 0, 1, rectIcon, "Clock", sd, none(), out, 4,
                         parameters);
}

void Stop(const SD& sd, const Signal& in) { addStandardComponent(stop, rectIcon, "Stop", sd, in, none(), none()); }

void Module(const SD& sd, const Signals& in, const Signal& out) { Module(sd, "Module", in, out); }

void Module(const SD& sd, const char* tag, const Signals& in, const Signal& out) {
  registerWithParameters(nullptr, nullptr, nullptr, 1, 0, rectIcon, tag != nullptr ? tag : "Module", sd, in, out, 0,
                         nullptr);
}

void Space(const SD& sd) { addStandardComponent(nullptr, spaceIcon, "", sd, none(), none(), none()); }
