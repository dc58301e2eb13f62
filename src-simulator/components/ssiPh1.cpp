#include "components/ssiPh1.h"

#include <iostream>

#include "construction/Ph1.h"
#include "construction/addStCmp.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

namespace {

// Interactive components read their resting level from this wire at run time; a handle
// without wires gives a serial number the evaluators read as XXX.
int initSerial(const Signal& init) { return init.length > 0 ? init.serialNumber[0] : -1; }

[[noreturn]] void fatal() { endProcess(1); }

// And and Or share their splitting rules and differ only in kind.
void oneBus(ComponentKind kind, const SD& sd, const Signal& in, const Signal& out) {
  const char* name = componentKind(kind).name;
  if (out.length == 0) {
    standardError() << "ERROR -- " << name << " with out.length == 0 at " << sd.graphicPosition << "  length error: "
                    << " in.length = " << in.length << " out.length = " << out.length << std::endl;
    fatal();
  }
  if (out.length == 1) {
    addComponent(kind, sd, {.data = in, .outputs = out});
    return;
  }
  if (in.length % out.length != 0) {
    standardError() << "ERROR -- " << name << " (vector) with inputs not divisible over outputs at "
                    << sd.graphicPosition << " length error: "
                    << " in.length = " << in.length << " out.length = " << out.length << std::endl;
    fatal();
  }
  int n = in.length / out.length;
  for (int i = out.length - 1; i >= 0; --i) oneBus(kind, sd, in.sub(i * n, (i + 1) * n - 1), out[i]);
}

void twoOperand(ComponentKind kind, const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  bool fits = false;
  if (in1.length == in2.length)
    fits = in1.length == out.length;
  else if (in1.length == 1)
    fits = in2.length == out.length;
  else if (in2.length == 1)
    fits = in1.length == out.length;
  if (!fits) {
    standardError() << "ERROR -- " << componentKind(kind).name << " (vector) component at " << sd.graphicPosition
                    << " length error: "
                    << " in1.length = " << in1.length << " in2.length = " << in2.length
                    << " out.length = " << out.length << std::endl;
    fatal();
  }
  for (int i = out.length - 1; i >= 0; --i) {
    Signal a = in1.length == 1 ? in1[0] : in1[i];
    Signal b = in2.length == 1 ? in2[0] : in2[i];
    oneBus(kind, sd, (a, b), out[i]);
  }
}

}  // namespace

void And(const SD& sd, const Signal& in, const Signal& out) { oneBus(ComponentKind::And, sd, in, out); }
void And(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  twoOperand(ComponentKind::And, sd, in1, in2, out);
}
void Or(const SD& sd, const Signal& in, const Signal& out) { oneBus(ComponentKind::Or, sd, in, out); }
void Or(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out) {
  twoOperand(ComponentKind::Or, sd, in1, in2, out);
}

void Not(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length == 1 && out.length == 1) {
    addComponent(ComponentKind::Not, sd, {.data = in, .outputs = out});
    return;
  }
  if (in.length != out.length || in.length < 2) {
    standardError() << "ERROR -- Not (vector) at " << sd.graphicPosition << " length error: "
                    << " in.length = " << in.length << " out.length = " << out.length << std::endl;
    fatal();
  }
  for (int i = out.length - 1; i >= 0; --i) Not(sd, in[i], out[i]);
}

void Nand(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Nand, sd, {.data = in, .outputs = out});
}
void Nor(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Nor, sd, {.data = in, .outputs = out});
}
void Xor(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Xor, sd, {.data = in, .outputs = out});
}
void Xnor(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Xnor, sd, {.data = in, .outputs = out});
}
void MultiLevelCompare(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::MultiLevelCompare, sd, {.data = in, .outputs = out});
}

// The complemented inputs are the data pins, the true ones the control pins.
void Iand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addComponent(ComponentKind::Iand, sd, {.data = inComplement, .control = inTrue, .outputs = out});
}
void Inand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addComponent(ComponentKind::Inand, sd, {.data = inComplement, .control = inTrue, .outputs = out});
}
void CiOr(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addComponent(ComponentKind::CiOr, sd, {.data = inComplement, .control = inTrue, .outputs = out});
}
void CiNor(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out) {
  addComponent(ComponentKind::CiNor, sd, {.data = inComplement, .control = inTrue, .outputs = out});
}

void Tsb(const SD& sd, const Signal& in, const Signal& control, const Signal& out) {
  if (in.length != 1 || control.length != 1 || out.length != 1) {
    standardError() << "ERROR -- Tsb (Tri-state-buffer) at " << sd.graphicPosition << " length error: "
                    << " control.length = " << control.length << " in.length = " << in.length
                    << " out.length = " << out.length << std::endl;
    fatal();
  }
  addComponent(ComponentKind::Tsb, sd, {.data = in, .control = control, .outputs = out});
}

void Probe(const SD& sd, const Signals& in, const std::string& label, int numberOfPartitions,
           const int* partitionSize) {
  bool partitioned = numberOfPartitions > 0;
  if (partitioned && partitionSize == nullptr) {
    standardError() << "ERROR--Partitioned Probe at " << sd.graphicPosition << " with no partitionSize list,"
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
    addComponent(ComponentKind::Probe, sd, {.data = wire}, {}, label.empty() ? wire.nameTag : label.c_str());
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
  addComponent(ComponentKind::ProbeByte, sd, {.data = in}, {}, label.empty() ? in.nameTag : label.c_str());
}

void ProbeByteH(const SD& sd, const Signals& in, const std::string& label) {
  addComponent(ComponentKind::ProbeByteH, sd, {.data = in}, {}, label.empty() ? in.nameTag : label.c_str());
}

void Switch(const SD& sd, const Signal& out, char keyChar, const Signal& init, const std::string& label) {
  std::string text = std::string(1, keyChar) + ":" + (label.empty() ? std::string(out[0].nameTag) : label);
  int parameters[1] = {initSerial(init)};
  SwitchList& switches = PhaseOne::instance().switchList;
  for (int bit = out.length - 1; bit >= 0; --bit) {
    switches.add(out.serialNumber[bit], static_cast<char>(keyChar + (out.length - 1 - bit)));
    addComponent(ComponentKind::Switch, sd, {.outputs = out[bit]}, {.integers = parameters}, text.c_str());
  }
}

void PowerOn(const SD& sd, const Signal& out, int time, const Signal& init) {
  int parameters[2] = {time, initSerial(init)};
  addComponent(ComponentKind::PowerOn, sd, {.outputs = out}, {.integers = parameters});
}

void Pulser(const SD& sd, const Signal& out, char keyChar, int duration, const Signal& init) {
  int parameters[2] = {duration, initSerial(init)};
  char decal[2] = {keyChar, '\0'};
  PhaseOne::instance().switchList.add(out.length > 0 ? out.serialNumber[0] : -1, keyChar);
  addComponent(ComponentKind::Pulser, sd, {.outputs = out}, {.integers = parameters}, decal);
}

void Clock(const SD& sd, const Signal& out, int duration, int offset, int period, const Signal& init) {
  int parameters[4] = {duration, offset, period, initSerial(init)};
  addComponent(ComponentKind::Clock, sd, {.outputs = out}, {.integers = parameters});
}

void Stop(const SD& sd, const Signal& in) { addComponent(ComponentKind::Stop, sd, {.data = in}); }

void Module(const SD& sd, const Signals& in, const Signal& out) { Module(sd, "Module", in, out); }

void Module(const SD& sd, const char* tag, const Signals& in, const Signal& out) {
  addComponent(ComponentKind::Module, sd, {.data = in, .outputs = out}, {}, tag);
}

void Space(const SD& sd) { addComponent(ComponentKind::Space, sd, {}); }
