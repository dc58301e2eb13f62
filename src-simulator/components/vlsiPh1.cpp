#include "components/vlsiPh1.h"

#include <cstdint>
#include <iostream>
#include <vector>

#include "construction/addStCmp.h"
#include "process/StandardStreams.h"

namespace {

int64_t bytesPerWord(int64_t bits) { return (bits - 1) / 8 + 1; }

// Storage beyond this (in 32-bit words, 256 MiB) is refused rather than attempted: only a
// mistyped parameter asks for it, and the counts it needs would not fit the simulator's ints.
constexpr int64_t largestStorage = int64_t{1} << 26;

void multiPortMemory(ComponentKind memory, int zeroIsZERO, const SD& sd, const Signal& controlIn, const Signal& dataIn,
                     const Signal& out, int numberOfWords, int bitWordWidth, int portAddressSize, int numberOfReadPorts,
                     int numberOfWritePorts, const unsigned char* initialImage) {
  const char* kind = componentKind(memory).name;
  const char* ownLabel = defaultLabel(memory);
  const int64_t w = bitWordWidth, a = portAddressSize, r = numberOfReadPorts, p = numberOfWritePorts;
  const bool lengthsFit = out.length == r * w && dataIn.length == p * w && controlIn.length == p * (a + 2) + a * r;
  if (!lengthsFit) {
    standardError() << "Error--" << kind << " " << decalOf(sd, ownLabel) << " at " << sd.graphicPosition
                    << ": I/O length error\n"
                    << " dataIn.length = " << dataIn.length << " should match: " << p * w << "\n"
                    << " controlIn.length = " << controlIn.length << " should match: " << p * (a + 2) + a * r << "\n"
                    << " out.length = " << out.length << " should match: " << r * w << "\n";
    countFatalDiagnostic();
  }
  const int64_t storeWordsPerSimWord = (w - 1) / 16 + 1;
  const int64_t storage = numberOfWords > 0 && storeWordsPerSimWord > 0 ? numberOfWords * storeWordsPerSimWord : 0;
  // Negative counts would make the evaluator index outside the component's pins; without a
  // data bit the port counts are bound by no signal, and each evaluation walks every port.
  const bool simulatable = w >= 1 && a >= 0 && r >= 0 && p >= 0 && storage <= largestStorage;
  if (lengthsFit && !simulatable) {
    standardError() << "Error--" << kind << " " << decalOf(sd, ownLabel) << " at " << sd.graphicPosition
                    << ": cannot be simulated: numberOfWords = " << numberOfWords << " bitWordWidth = " << bitWordWidth
                    << " portAddressSize = " << portAddressSize << " numberOfReadPorts = " << numberOfReadPorts
                    << " numberOfWritePorts = " << numberOfWritePorts << "\n";
    countFatalDiagnostic();
  }
  // A refused memory never runs, so it gets no storage.
  const bool refused = !lengthsFit || !simulatable;
  const int numberOf32BitWords = refused ? 0 : static_cast<int>(storage);
  const int portStates = refused ? 0 : numberOfWritePorts;
  int parameters[8] = {numberOfWords,      bitWordWidth,         portAddressSize,
                       numberOfReadPorts,  numberOfWritePorts,   static_cast<int>(storeWordsPerSimWord),
                       numberOf32BitWords, zeroIsZERO};
  int imageBytes = initialImage != nullptr && !refused ? static_cast<int>(numberOfWords * bytesPerWord(w)) : 0;
  addComponent(memory, sd, {.data = dataIn, .control = controlIn, .outputs = out},
               {.integers = parameters,
                .bytes = {initialImage, static_cast<size_t>(imageBytes)},
                .internal32BitVariables = numberOf32BitWords,
                .internal8BitVariables = portStates});
}

}  // namespace

void RegisterFile(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
                  int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts) {
  multiPortMemory(ComponentKind::RegisterFile, 1, sd, controlIn, dataIn, out, numberOfWords, bitWordWidth,
                  portAddressSize, numberOfReadPorts, numberOfWritePorts, nullptr);
}

void Ram(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
         int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts,
         const unsigned char* initialImage) {
  multiPortMemory(ComponentKind::Ram, 0, sd, controlIn, dataIn, out, numberOfWords, bitWordWidth, portAddressSize,
                  numberOfReadPorts, numberOfWritePorts, initialImage);
}

void Rom(const SD& sd, const Signal& in, const Signal& out, int words, int bitsPerWord,
         const unsigned char* contents) {
  const int64_t allocatedBytesPerWord = bytesPerWord(bitsPerWord);
  bool addressFits = in.length >= 0 && in.length < 62 && (int64_t{1} << in.length) == words;
  const bool lengthsFit = addressFits && out.length == bitsPerWord;
  if (!lengthsFit) {
    standardError() << "I/O length error--Rom " << decalOf(sd, ComponentKind::Rom) << " at " << sd.graphicPosition
                    << " in.length = " << in.length << " words = " << words << " out.length = " << out.length
                    << " bitsPerWord = " << bitsPerWord << " allocatedBytesPerWord = " << allocatedBytesPerWord << "\n";
    countFatalDiagnostic();
  }
  const int64_t bytes = words > 0 && allocatedBytesPerWord > 0 ? words * allocatedBytesPerWord : 0;
  if (lengthsFit && bytes > 4 * largestStorage) {
    standardError() << "Error--Rom " << decalOf(sd, ComponentKind::Rom) << " at " << sd.graphicPosition
                    << ": cannot be simulated: words = " << words << " bitsPerWord = " << bitsPerWord << "\n";
    countFatalDiagnostic();
  }
  // A refused ROM never runs, so its contents are not copied.
  const int numberOfBytes = lengthsFit && bytes <= 4 * largestStorage ? static_cast<int>(bytes) : 0;
  int parameters[3] = {words, bitsPerWord, static_cast<int>(allocatedBytesPerWord)};
  // Without contents the words read as zeros rather than from nowhere.
  std::vector<unsigned char> blank;
  if (contents == nullptr) {
    blank.assign(static_cast<size_t>(numberOfBytes), 0);
    contents = blank.data();
  }
  addComponent(ComponentKind::Rom, sd, {.data = in, .outputs = out},
               {.integers = parameters, .bytes = {contents, static_cast<size_t>(numberOfBytes)}});
}
