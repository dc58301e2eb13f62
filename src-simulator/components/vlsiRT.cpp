#include "components/vlsiRT.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "process/StandardStreams.h"

namespace {

constexpr int quickTime = 17;
constexpr int lazyTime = 23;
constexpr int readPortDelay = 10;

// Two-bit storage codes (see packSignals).
constexpr uint32_t codeZERO = 1;
constexpr uint32_t codeONE = 2;

// Bit b of word a of a Rom's contents (and of a Ram's initial image): each word takes
// bytesPerWord bytes, its lowest byte last.
bool imageBit(const unsigned char* image, int bytesPerWord, int a, int b) {
  unsigned char byte = image[(a + 1) * bytesPerWord - 1 - b / 8];
  return ((byte >> (b % 8)) & 1) != 0;
}

// Loads the initial image (laid out like a Rom's contents) into the packed storage.
void loadImage(int cind, int numberOfWords, int width, int storeWordsPerSimWord, uint32_t* storage) {
  const unsigned char* image = phaseTwo->record[cind].byteParameters;
  int bytesPerWord = (width - 1) / 8 + 1;
  for (int a = 0; a < numberOfWords; ++a) {
    uint32_t* word = storage + a * storeWordsPerSimWord;
    std::fill(word, word + storeWordsPerSimWord, 0u);
    for (int b = 0; b < width; ++b) {
      uint32_t code = imageBit(image, bytesPerWord, a, b) ? codeONE : codeZERO;
      word[b / 16] |= code << (2 * (b % 16));
    }
  }
}

}  // namespace

void multiPortRam(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  const ComponentRecord& cold = phaseTwo->record[cind];
  const int* parameter = c.integerParameters();
  const int numberOfWords = parameter[0];
  const int width = parameter[1];
  const int addressSize = parameter[2];
  const int readPorts = parameter[3];
  const int writePorts = parameter[4];
  const int storeWordsPerSimWord = parameter[5];
  const int numberOf32BitWords = parameter[6];
  const int zeroIsZERO = parameter[7];
  uint32_t* storage = cold.internal32BitVariables;
  uint8_t* portState = cold.internal8BitVariables;
  const int* control = c.controlInputs();
  const int* data = c.dataInputs();
  const int* out = c.outputs();

  int& state = phaseTwo->core[cind].state;
  if (state == 0) {
    state = 1;
    if (cold.numberOfByteParameters > 0)
      loadImage(cind, numberOfWords, width, storeWordsPerSimWord, storage);
    else if (numberOf32BitWords > 0)
      std::fill(storage, storage + numberOf32BitWords, 0u);
    for (int w = 0; w < writePorts; ++w) portState[w] = 0;
  }

  for (int w = 0; w < writePorts; ++w) {
    int base = readPorts * addressSize + w * (addressSize + 2);
    SignalValue strobe = phaseThree->currentSignals[control[base + addressSize]];
    SignalValue enable = phaseThree->currentSignals[control[base + addressSize + 1]];
    switch (portState[w]) {
      case 0:
        portState[w] = 1;
        [[fallthrough]];
      case 1:
        if (enable == ZERO || enable == ONE) portState[w] = 2;
        break;
      case 2:
        if (strobe == ONE && enable == ONE) {
          int address = addressSize > 0 ? integerFromSignals(addressSize, control + base) : 0;
          if (address < 0) {
            standardError() << "ERROR-- " << cold.decal << " at " << cold.rcpos << " componentNumber = " << cind << "\n"
                            << "     Attempt to write with indeterminate write-port address.\n"
                            << "     The component is probably enabled when it shouldn't be.\n";
          } else if (address >= numberOfWords) {
            // Storage ends at numberOfWords even where the address bus reaches further.
            standardError() << "ERROR-- " << cold.decal << " at " << cold.rcpos << " componentNumber = " << cind
                            << "  Attempt to write to address " << address << " beyond the last word "
                            << numberOfWords - 1 << "; nothing stored.\n";
          } else {
            packSignals(width, data + w * width, storage + address * storeWordsPerSimWord);
          }
          portState[w] = 3;
        } else if (strobe == ONE) {
          portState[w] = 3;
        }
        break;
      default:
        if (strobe == ZERO) portState[w] = 2;
        break;
    }
  }

  // Each read port's word is queued readPortDelay from now, 16 bits at a time.
  PhaseFour& four = *phaseFour;
  const uint64_t readAt = four.now() + readPortDelay;
  SignalValue chunk[16];
  for (int r = 0; r < readPorts; ++r) {
    int address = addressSize > 0 ? integerFromSignals(addressSize, control + r * addressSize) : 0;
    const int* port = out + r * width;
    if ((zeroIsZERO && address == 0) || address < 0 || address >= numberOfWords) {
      std::fill(chunk, chunk + 16, (zeroIsZERO && address == 0) ? ZERO : XXX);
      for (int first = 0; first < width; first += 16)
        four.recordEventsQueueInput(std::min(16, width - first), port + first, chunk, readAt);
      continue;
    }
    const uint32_t* word = storage + address * storeWordsPerSimWord;
    for (int first = 0; first < width; first += 16) {
      int count = std::min(16, width - first);
      unpackSignals(count, word + first / 16, chunk);
      four.recordEventsQueueInput(count, port + first, chunk, readAt);
    }
  }
}

void rom(int cind) {
  const ComponentCore& c = phaseTwo->core[cind];
  const int* parameter = c.integerParameters();
  const int words = parameter[0];
  const int allocatedBytesPerWord = parameter[2];
  const unsigned char* contents = phaseTwo->record[cind].byteParameters;
  const int numberOfOutputs = c.numberOfOutputs;
  const int* out = c.outputs();
  int address = c.numberOfDataInputs > 0 ? integerFromSignals(c.numberOfDataInputs, c.dataInputs()) : 0;
  bool readable = address >= 0 && address < words && contents != nullptr;
  for (int b = 0; b < numberOfOutputs; ++b) {
    SignalValue v = XXX;
    if (readable && b / 8 < allocatedBytesPerWord) {
      v = imageBit(contents, allocatedBytesPerWord, address, b) ? ONE : ZERO;
    }
    phaseFour->signalTransition(out[b], v, quickTime, lazyTime);
  }
}
