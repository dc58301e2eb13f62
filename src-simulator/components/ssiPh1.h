// Construction of gates, tri-state buffers, and the interactive, timing and observation components.
#pragma once

#include <string>

#include "construction/Schmtc.h"
#include "construction/Signal.h"

// Gates and tri-state buffers. Vector forms register one gate per output bit, highest bit first.
void And(const SD& sd, const Signal& in, const Signal& out);
void And(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out);
void Or(const SD& sd, const Signal& in, const Signal& out);
void Or(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out);
void Not(const SD& sd, const Signal& in, const Signal& out);
void Nand(const SD& sd, const Signal& in, const Signal& out);
void Nor(const SD& sd, const Signal& in, const Signal& out);
void Xor(const SD& sd, const Signal& in, const Signal& out);
void Xnor(const SD& sd, const Signal& in, const Signal& out);
void MultiLevelCompare(const SD& sd, const Signal& in, const Signal& out);
void Iand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void Inand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void CiOr(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void CiNor(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void Tsb(const SD& sd, const Signal& in, const Signal& control, const Signal& out);

// Observation, interaction and timing.
void Probe(const SD& sd, const Signals& in, const std::string& label = "", int numberOfPartitions = 0,
           const int* partitionSize = nullptr);
void ProbeH(const SD& sd, const Signals& in, const std::string& label = "");
void ProbeByte(const SD& sd, const Signals& in, const std::string& label = "");
void ProbeByteH(const SD& sd, const Signals& in, const std::string& label = "");
void Switch(const SD& sd, const Signal& out, char keyChar, const Signal& init, const std::string& label = "");
void PowerOn(const SD& sd, const Signal& out, int time, const Signal& init);
void Pulser(const SD& sd, const Signal& out, char keyChar, int duration, const Signal& init);
void Clock(const SD& sd, const Signal& out, int duration, int offset, int period, const Signal& init);
void Stop(const SD& sd, const Signal& in);
void Module(const SD& sd, const Signals& in, const Signal& out);
void Module(const SD& sd, const char* tag, const Signals& in, const Signal& out);
void Space(const SD& sd);
