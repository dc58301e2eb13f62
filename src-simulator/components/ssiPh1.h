// Construction of gates, tri-state buffers, and the interactive, timing and observation components.
//
// Gates and tri-state buffers drive with the delay pair (quick 7, lazy 10): a definite change
// goes through XXX after 7 and reaches its value after 10 (see docs/components.md). Every
// output starts UNINITIALIZED. Length errors of the gates below end the process with status 1
// at once, with the message shown.
#pragma once

#include <string>

#include "construction/Schmtc.h"
#include "construction/Signal.h"

// Gates and tri-state buffers. Vector forms register one gate per output bit, highest bit first.

// And / Or, one-bus form: out.length == 1: one gate over every bit of in (any width);
// out.length == n > 1: n gates, out[i] over in bits i*m .. i*m+m-1, m = in.length / n.
// Minimum (And) or maximum (Or) over the levels ZERO < UNINITIALIZED < XXX < HIZ < ONE: a ZERO
// input makes And ZERO whatever the others are, a ONE input makes Or ONE.
// Errors: "ERROR -- And with out.length == 0 at <pos> ..." and "ERROR -- And (vector) with
// inputs not divisible over outputs at <pos> ...".
void And(const SD& sd, const Signal& in, const Signal& out);
// Two-operand form: out[i] = in1[i] AND in2[i]; a 1-bit operand is used for every bit.
// Error: "ERROR -- And (vector) component at <pos> length error: ..." for other widths.
void And(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out);
void Or(const SD& sd, const Signal& in, const Signal& out);
void Or(const SD& sd, const Signal& in1, const Signal& in2, const Signal& out);
// Not: out[i] = complement of in[i]; ZERO and ONE swap, anything else gives XXX.
// Error: "ERROR -- Not (vector) at <pos> length error: ..." unless in and out are of one width.
void Not(const SD& sd, const Signal& in, const Signal& out);
// Nand, Nor: one gate over every bit of in (any width) into the 1-bit out; the complement of
// And's and Or's value (XXX where that is not definite).
void Nand(const SD& sd, const Signal& in, const Signal& out);
void Nor(const SD& sd, const Signal& in, const Signal& out);
// Xor, Xnor: one gate over every bit of in into the 1-bit out: parity of the ONE inputs; any
// input neither ZERO nor ONE gives XXX.
void Xor(const SD& sd, const Signal& in, const Signal& out);
void Xnor(const SD& sd, const Signal& in, const Signal& out);
// MultiLevelCompare: out is ONE when in[0] and in[1] are the same level (any of the five),
// else ZERO; ZERO for an in narrower than 2.
void MultiLevelCompare(const SD& sd, const Signal& in, const Signal& out);
// Iand, Inand, CiOr, CiNor: And, Nand, Or, Nor over the bits of inTrue together with the
// complements of the bits of inComplement (inputs with a bubble), into the 1-bit out.
void Iand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void Inand(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void CiOr(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
void CiNor(const SD& sd, const Signal& inTrue, const Signal& inComplement, const Signal& out);
// Tsb: tri-state buffer, all 1 bit. control ONE (active high, a level) passes a ZERO or ONE
// in to out; otherwise out is HIZ. Several Tsbs may drive one wire: the first to drive it from
// HIZ owns it until it lets go, and another Tsb that tries to drive the owned wire to ZERO or
// ONE prints "Another Tsb at <pos> is trying to drive it to ZERO" (or ONE) on standard output
// and is ignored.
// Error: "ERROR -- Tsb (Tri-state-buffer) at <pos> length error: ..." for other widths.
void Tsb(const SD& sd, const Signal& in, const Signal& control, const Signal& out);

// Observation, interaction and timing.

// Probe: one value pane per bit of in, highest bit first. Without a window (-X) each pane
// prints "Time = <t>  Probe for <label> at <pos>  Value = <LEVEL>" on standard error whenever
// its wire changes. An empty label gives each bit its wire's indexed name (x[3]); a label is
// printed for every bit of a bus alike. numberOfPartitions > 0 with partitionSize (one entry
// per partition, the last repeated) leaves a space after each group of bits.
// Error: "ERROR--Partitioned Probe at <pos> with no partitionSize list, ..." (status 1).
void Probe(const SD& sd, const Signals& in, const std::string& label = "", int numberOfPartitions = 0,
           const int* partitionSize = nullptr);
// ProbeH: one probe per bit in a row of inner cells, bit 0 in the rightmost; a label gets
// "[i]" appended per bit.
void ProbeH(const SD& sd, const Signals& in, const std::string& label = "");
// ProbeByte, ProbeByteH: one pane of eight bits, drawn in a column or a row; in must be 8 bits
// ("ERROR -- Probe8 at <pos> length error: ..." and status 1 when it is drawn otherwise).
// Window only: nothing is printed with -X.
void ProbeByte(const SD& sd, const Signals& in, const std::string& label = "");
void ProbeByteH(const SD& sd, const Signals& in, const std::string& label = "");
// Switch: a toggle switch per bit of out, starting at init's level (Zero or One) at time 0.
// Key keyChar toggles the highest bit, keyChar+1 the next one down, and so on; the pane's
// title is "<key>:<label>" (label defaults to out's name). Output delay (7, 10).
void Switch(const SD& sd, const Signal& out, char keyChar, const Signal& init, const std::string& label = "");
// PowerOn: out (1 bit) is init's level from time 0 and its complement from about time `time`
// on (after time + 4 .. time + 9), once per run.
void PowerOn(const SD& sd, const Signal& out, int time, const Signal& init);
// Pulser: out (1 bit) rests at init's level; each press of keyChar sends a pulse of the
// complement lasting about `duration`.
void Pulser(const SD& sd, const Signal& out, char keyChar, int duration, const Signal& init);
// Clock: out (1 bit) starts at init's level (off) and then alternates. Each phase is counted
// from the moment the previous change settled, and each change takes the transit (XXX after 4,
// settled after 9): on at offset + 9 after out first settles off, on for duration + 9, off for
// period - duration + 9, so one cycle takes period + 18. Clock(sd, clk, 10, 20, 40, Zero) is
// first ONE at 39, ZERO at 58, ONE at 97. A clock keeps the event queue busy: a run with one
// ends only at the stop time (-T), by key or by a Stop.
void Clock(const SD& sd, const Signal& out, int duration, int offset, int period, const Signal& init);
// Stop: ends the simulation when in (1 bit) becomes ONE.
void Stop(const SD& sd, const Signal& in);
// Module: draws a box with a label (tag, default "Module") at sd and the lines of in and out;
// it evaluates nothing: the parts inside drive out.
void Module(const SD& sd, const Signals& in, const Signal& out);
void Module(const SD& sd, const char* tag, const Signals& in, const Signal& out);
// Space: an empty cell that keeps its place in the layout.
void Space(const SD& sd);
