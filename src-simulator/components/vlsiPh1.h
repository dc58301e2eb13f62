// Construction of the memories: register files, RAMs and ROMs.
#pragma once

#include "construction/Schmtc.h"
#include "construction/Signal.h"

void RegisterFile(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out,
                  int numberOfWords, int bitWordWidth, int portAddressSize, int numberOfReadPorts,
                  int numberOfWritePorts);

// initialImage, when given, is loaded at every reset instead of leaving the words
// UNINITIALIZED; it is laid out like a Rom's contents (most significant byte of a word first).
void Ram(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
         int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts,
         const unsigned char* initialImage = nullptr);

void Rom(const SD& sd, const Signal& in, const Signal& out, int words, int bitsPerWord,
         const unsigned char* contents);
