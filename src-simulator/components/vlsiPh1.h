// Construction of the memories: register files, RAMs and ROMs.
#pragma once

#include "construction/Schmtc.h"
#include "construction/Signal.h"

// RegisterFile and Ram: a memory of numberOfWords words of bitWordWidth bits with
// numberOfReadPorts read ports and numberOfWritePorts write ports, each with an address of
// portAddressSize bits (bit 0 least significant).
//   controlIn, bit 0 first: the read ports' addresses (port r in bits r*a .. r*a+a-1), then per
//     write port w: its address (a bits), its strobe, its enable, so for one port of each:
//     (enable, strobe, writeAddress, readAddress). Length r*a + p*(a+2).
//   dataIn: write port w's word in bits w*width ..; length p * width.
//   out: read port r's word in bits r*width ..; length r * width.
// A write port stores its data on the rising edge of its strobe while its enable (a level,
// active high) is ONE, once the enable has been ZERO or ONE; a stored bit keeps ZERO, ONE or XXX,
// HIZ and UNINITIALIZED are stored as UNINITIALIZED. A read port follows its address: every out bit changes 10 after the address or the
// word changes, without passing through XXX. An address not definite or beyond the last word
// reads XXX; writing there prints "ERROR-- <label> at <pos> ..." and stores nothing.
// RegisterFile: address 0 always reads ZERO (like a processor's register 0); words start
// UNINITIALIZED. State: the words and each write port's strobe phase.
// Errors: "Error--RegisterFile <label> at <pos>: I/O length error" with the expected lengths,
// and "...: cannot be simulated: ..." for negative counts or more than 256 MiB of storage.
void RegisterFile(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out,
                  int numberOfWords, int bitWordWidth, int portAddressSize, int numberOfReadPorts,
                  int numberOfWritePorts);

// Ram: as RegisterFile, but address 0 is an ordinary word. initialImage, when given, is loaded at
// every reset instead of leaving the words UNINITIALIZED; it is laid out like a Rom's contents
// (most significant byte of a word first).
void Ram(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
         int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts,
         const unsigned char* initialImage = nullptr);

// Rom: out = word `in` of contents; in has log2(words) bits, out bitsPerWord bits. Each word
// takes (bitsPerWord + 7) / 8 bytes, most significant byte first. An address not definite gives
// XXX. Null contents read as zeros. Delay pair (17, 23). No state.
// Error: "I/O length error--Rom <label> at <pos> ..." unless 2^in.length == words and
// out.length == bitsPerWord.
void Rom(const SD& sd, const Signal& in, const Signal& out, int words, int bitsPerWord,
         const unsigned char* contents);
