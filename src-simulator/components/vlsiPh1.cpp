#include "components/vlsiPh1.h"

#include <cstdint>
#include <iostream>
#include <vector>

#include "components/vlsiRT.h"
#include "construction/addStCmp.h"
#include "display/iconData.h"

namespace {

const char* decalOf(const SD& sd, const char* ownLabel) { return sd.decal != nullptr ? sd.decal : ownLabel; }

int bytesPerWord(int bits) { return (bits - 1) / 8 + 1; }

void multiPortMemory(const char* kind, const char* ownLabel, int zeroIsZERO, const SD& sd, const Signal& controlIn,
                     const Signal& dataIn, const Signal& out, int numberOfWords, int bitWordWidth,
                     int portAddressSize, int numberOfReadPorts, int numberOfWritePorts,
                     const unsigned char* initialImage) {
  const int64_t w = bitWordWidth, a = portAddressSize, r = numberOfReadPorts, p = numberOfWritePorts;
  if (out.length != r * w || dataIn.length != p * w || controlIn.length != p * (a + 2) + a * r) {
    std::cerr << "Error--" << kind << " " << decalOf(sd, ownLabel) << " at " << sd.graphicPosition
              << ": I/O length error\n"
              << " dataIn.length = " << dataIn.length << " should match: " << p * w << "\n"
              << " controlIn.length = " << controlIn.length << " should match: " << p * (a + 2) + a * r << "\n"
              << " out.length = " << out.length << " should match: " << r * w << "\n";
    countFatalDiagnostic();
  }
  int storeWordsPerSimWord = (bitWordWidth - 1) / 16 + 1;
  int numberOf32BitWords = numberOfWords * storeWordsPerSimWord;
  int parameters[8] = {numberOfWords,      bitWordWidth,         portAddressSize, numberOfReadPorts,
                       numberOfWritePorts, storeWordsPerSimWord, numberOf32BitWords, zeroIsZERO};
  int imageBytes = initialImage != nullptr ? numberOfWords * bytesPerWord(bitWordWidth) : 0;
  addStandardComponent(multiPortRam, SecondaryEvaluatePointer{}, rectIcon, nullptr, nullptr, nullptr, 0, 0, ownLabel,
                       sd, dataIn, controlIn, out, 8, parameters, imageBytes, initialImage, numberOf32BitWords, 0,
                       numberOfWritePorts);
}

}  // namespace

void RegisterFile(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
                  int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts) {
  multiPortMemory("RegisterFile", "RegFile", 1, sd, controlIn, dataIn, out, numberOfWords, bitWordWidth,
                  portAddressSize, numberOfReadPorts, numberOfWritePorts, nullptr);
}

void Ram(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out, int numberOfWords,
         int bitWordWidth, int portAddressSize, int numberOfReadPorts, int numberOfWritePorts,
         const unsigned char* initialImage) {
  multiPortMemory("Ram", "Ram", 0, sd, controlIn, dataIn, out, numberOfWords, bitWordWidth, portAddressSize,
                  numberOfReadPorts, numberOfWritePorts, initialImage);
}

void Rom(const SD& sd, const Signal& in, const Signal& out, int words, int bitsPerWord,
         const unsigned char* contents) {
  int allocatedBytesPerWord = bytesPerWord(bitsPerWord);
  bool addressFits = in.length >= 0 && in.length < 62 && (int64_t{1} << in.length) == words;
  if (!addressFits || out.length != bitsPerWord) {
    std::cerr << "I/O length error--Rom " << decalOf(sd, "Rom") << " at " << sd.graphicPosition
              << " in.length = " << in.length << " words = " << words << " out.length = " << out.length
              << " bitsPerWord = " << bitsPerWord << " allocatedBytesPerWord = " << allocatedBytesPerWord << "\n";
    countFatalDiagnostic();
  }
  int parameters[3] = {words, bitsPerWord, allocatedBytesPerWord};
  int numberOfBytes = words > 0 ? words * allocatedBytesPerWord : 0;
  // Without contents the words read as zeros rather than from nowhere.
  std::vector<unsigned char> blank;
  if (contents == nullptr) {
    blank.assign(numberOfBytes, 0);
    contents = blank.data();
  }
  addStandardComponent(rom, SecondaryEvaluatePointer{}, rectIcon, nullptr, nullptr, nullptr, 0, 0, "Rom", sd, in,
                       Signal(), out, 3, parameters, numberOfBytes, contents, 0, 0, 0);
}
