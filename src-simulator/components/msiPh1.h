// Construction of the medium-scale combinational, sequential and output components.
//
// Common to all of them: pins are given as one Signal per argument, bit 0 first, and a bus
// built with operator, puts its right operand in the low bits, so (a, b) has b in bit 0. Outputs
// change through the transition table with the delay pair (quick 13, lazy 17): a definite
// change goes through XXX after 13 and reaches its value after 17. A width error prints the
// message shown and counts as a fatal diagnostic: the run ends with status 1 after construction.
#pragma once

#include "construction/Schmtc.h"
#include "construction/Signal.h"

// Adder: out = a + b without carry in or out. dataIn is (b, a): a in bits 0..w-1, b in bits
// w..2w-1, w = out.length. A bit that is not ZERO or ONE makes its sum bit XXX, and the carry
// out of it XXX unless the other two agree. Initial output UNINITIALIZED; no state.
// Error: "I/O length error--Adder <label> at <pos> dataIn.length = .. out.length = .." when
// dataIn.length != 2 * out.length.
void Adder(const SD& sd, const Signal& dataIn, const Signal& out);

// Increment: out = in + 1 modulo 2^out.length (in and out of the same width). A bit that is
// not ZERO or ONE while the carry reaches it gives XXX for that bit. No state.
void Increment(const SD& sd, const Signal& in, const Signal& out);

// Mux: out = word s of dataIn, s = controlIn read as a number (bit 0 least significant); word s
// is dataIn bits s*w .. s*w+w-1, w = out.length, so Mux(sd, sel, (in1, in0), out) passes in0
// when sel is 0. A select bit that is not ZERO or ONE makes every output XXX; data pass as they
// are (HIZ and UNINITIALIZED included). No state.
// Error: "I/O length error--Mux ..." unless dataIn.length == out.length << controlIn.length.
void Mux(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out);

// Decoder: controlIn is the 1-bit enable (active high, a level), dataIn the select. Enable ZERO:
// every output ZERO; enable ONE: out[n] = ONE for n = dataIn, the others ZERO; enable ONE with a
// select bit not definite, or any other enable: every output XXX. No state.
// Error: "I/O length error--Decoder ..." unless out.length == 2^dataIn.length and
// controlIn.length == 1.
void Decoder(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out);

// Encoder: priority encoder. out = the number of the highest dataIn bit that is ONE and
// valid = ONE; no bit ONE: out and valid all ZERO; any bit neither ZERO nor ONE: out and valid
// all XXX. No state.
// Error: "I/O length error--Encoder ..." unless dataIn.length == 2^out.length and
// valid.length == 1.
void Encoder(const SD& sd, const Signal& dataIn, const Signal& out, const Signal& valid);

// Gate: a clock gate. in is (enable, clock): bit 0 clock, bit 1 enable. out is 1 bit: it starts
// UNINITIALIZED, goes ZERO once enable is ZERO or ONE, then follows the clock's high phase when
// enable is ONE at the clock's rising edge (out ONE from that edge to the clock's falling
// edge). Enable is sampled at the rising edge only. State: the clock phase and whether the
// pulse passes.
// Error: "I/O length error--Gate() at <pos> in.length = .. out.length = .. should be 2 & 1."
void Gate(const SD& sd, const Signal& in, const Signal& out);

// Counter: in is (clear, clock): bit 0 clock, bit 1 clear (active LOW, asynchronous). While
// clear is ZERO every output goes ZERO; with clear ONE the count (out, any width, bit 0 least
// significant) goes up by one on each FALLING edge of the clock that follows a rising edge.
// Output stays UNINITIALIZED until the first clear. Counting while an output bit is not
// definite prints "Counter clocked when the count is in transition" and waits for a new clear.
void Counter(const SD& sd, const Signal& in, const Signal& out);

// Dff: D flip-flop. in, bit 3 down to bit 0: (preset, D, clock, clear), so
// Dff(sd, (preset, d, clk, clear), q). Preset and clear are asynchronous and active high: clear
// ONE (preset ZERO) forces q ZERO, preset ONE (clear ZERO) forces ONE, both ONE or either not
// definite holds q. With both ZERO, q takes D on the clock's rising edge (a ZERO then a ONE).
// out is 1 bit; it starts XXX.
// Error: "I/O length error--Dff() at <pos> in.length = .. out.length = .. should be 4 & 1."
void Dff(const SD& sd, const Signal& in, const Signal& out);

// Jkff: master-slave JK flip-flop. in, bit 4 down to bit 0: (preset, J, clock, K, clear); out is
// (Q, Q'): bit 0 Q', bit 1 Q. Preset and clear are asynchronous and active high, like Dff's.
// J and K are sampled on the clock's rising edge and the outputs change on the following
// falling edge: J1 K0 set, J0 K1 reset, J1 K1 toggle, J0 K0 hold; J or K not definite gives XXX
// on both outputs. Both outputs start XXX.
// Error: "I/O length error--Jkff() at <pos> in.length = .. out.length = .. should be 5 & 2."
void Jkff(const SD& sd, const Signal& in, const Signal& out);

// Register: out takes dataIn on the rising edge of write (1 bit, an edge) while enable (1 bit, a
// level, active high) is ONE. Before enable has once been ZERO or ONE the register ignores
// write. Outputs start UNINITIALIZED; no reset (feed dataIn through a Mux for one).
// Error: "I/O lengths mismatch for Register <label> at <pos> ..." unless dataIn and out are of
// one width and write and enable are 1 bit.
void Register(const SD& sd, const Signal& enable, const Signal& write, const Signal& dataIn, const Signal& out);

// BitAddressibleRegister: a register of 2^k bits (registerOut), written one bit at a time.
// clear, set, enable, write, bitIn and bitOut are 1 bit; writeAddress and readAddress k bits.
// clear ONE (set ZERO) makes every bit ZERO, set ONE (clear ZERO) every bit ONE, at once; with
// both ZERO, bitIn is stored at writeAddress on the rising edge of write while enable is ONE.
// bitOut is the bit at readAddress (XXX for an address not definite). Outputs start XXX.
// Errors: "Signal length error for AddressibleRegister ..." for a control wider than 1 bit, or
// for addresses of different widths or registerOut.length != 2^readAddress.length.
void BitAddressibleRegister(const SD& sd, const Signal& clear, const Signal& set, const Signal& enable,
                            const Signal& write, const Signal& bitIn, const Signal& writeAddress,
                            const Signal& readAddress, const Signal& bitOut, const Signal& registerOut);

// Stderr: writes a character on standard error. in is 10 bits: bits 0-7 the character, bit 8
// the strobe (rising edge), bit 9 the enable (level, active high); acts like Register's write
// and enable. Character 10 is a newline, below 32 ^ and a letter, 128 and up | then the rest.
// A character bit not definite prints "ERROR -- Stderr component trying to output
// uninitialized bits ...".
// Error: "I/O length error--Stderr() at <pos> in.length = .. should be 10."
void Stderr(const SD& sd, const Signal& in);

// IntOut: prints data (any width up to 31 bits) in decimal and a newline on standard error.
// control is (enable, strobe): bit 0 strobe (rising edge), bit 1 enable (level, active high).
// A data bit not definite prints "ERROR -- IntOut component trying to output uninitialized
// bits ..." instead.
// Error: "I/O length error--IntOut() at <pos> control.length = .. should be 2."
void IntOut(const SD& sd, const Signal& control, const Signal& data);

// HexOut: prints data in hexadecimal digits, most significant first, without a newline; the
// top data.length mod 4 bits form the first digit. control as for IntOut.
// Error: "I/O length error--HexOut() at <pos> control.length = .. should be 2."
void HexOut(const SD& sd, const Signal& control, const Signal& data);
