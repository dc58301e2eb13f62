#include "components/msiPh1.h"

#include <cstdint>
#include <iostream>

#include "components/msiRT.h"
#include "construction/addStCmp.h"
#include "display/iconData.h"

namespace {


// 2 to the power n without overflow: wide enough to compare with any signal length.
int64_t powerOfTwo(int n) {
  if (n < 0) return 0;
  return n > 62 ? INT64_MAX : (int64_t{1} << n);
}

// The data width a multiplexer needs: out's width shifted left by the select width, or -1
// when that is wider than any signal can be.
int64_t muxDataLength(int outLength, int selectLength) {
  if (outLength == 0) return 0;
  if (selectLength < 0 || selectLength > 31) return -1;
  return int64_t{outLength} << selectLength;
}

}  // namespace

void Adder(const SD& sd, const Signal& dataIn, const Signal& out) {
  if (dataIn.length != 2 * out.length) {
    std::cerr << "I/O length error--Adder " << decalOf(sd, "Adder") << " at " << sd.graphicPosition
              << " dataIn.length = " << dataIn.length << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  int bitWidth = out.length;
  Signal none;
  addStandardComponent(adder, SecondaryEvaluatePointer{}, rectIcon, nullptr, nullptr, nullptr, 0, 0, "Adder", sd,
                       dataIn, none, out, 1, &bitWidth, 0, nullptr, 0, 0, 0);
}

void Increment(const SD& sd, const Signal& in, const Signal& out) {
  addStandardComponent(increment, rectIcon, "Increment", sd, in, Signal(), out);
}

void Mux(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out) {
  if (dataIn.length != muxDataLength(out.length, controlIn.length)) {
    std::cerr << "I/O length error--Mux " << decalOf(sd, "Mux") << " at " << sd.graphicPosition
              << " dataIn.length = " << dataIn.length << " controlIn.length = " << controlIn.length
              << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addStandardComponent(mux, rectIcon, "Mux", sd, dataIn, controlIn, out);
}

void Decoder(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out) {
  if (out.length != powerOfTwo(dataIn.length) || controlIn.length != 1) {
    std::cerr << "I/O length error--Decoder " << decalOf(sd, "Decoder") << " at " << sd.graphicPosition
              << " dataIn.length = " << dataIn.length << " controlIn.length = " << controlIn.length
              << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addStandardComponent(decoder, rectIcon, "Decoder", sd, dataIn, controlIn, out);
}

void Encoder(const SD& sd, const Signal& dataIn, const Signal& out, const Signal& valid) {
  if (dataIn.length != powerOfTwo(out.length) || valid.length != 1) {
    std::cerr << "I/O length error--Encoder " << decalOf(sd, "Encoder") << " at " << sd.graphicPosition
              << " dataIn.length = " << dataIn.length << " out.length = " << out.length
              << " valid.length = " << valid.length << "\n";
    countFatalDiagnostic();
  }
  addStandardComponent(encoder, rectIcon, "Encoder", sd, dataIn, Signal(), (valid, out));
}

void Gate(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 2 || out.length != 1) {
    std::cerr << "I/O length error--Gate() at " << sd.graphicPosition << " in.length = " << in.length
              << " out.length = " << out.length << " should be 2 & 1.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(gate, rectIcon, "Gate", sd, in, Signal(), out);
}

void Counter(const SD& sd, const Signal& in, const Signal& out) {
  addStandardComponent(counter, rectIcon, "Counter", sd, in, Signal(), out);
}

void Dff(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 4 || out.length != 1) {
    std::cerr << "I/O length error--Dff() at " << sd.graphicPosition << " in.length = " << in.length
              << " out.length = " << out.length << " should be 4 & 1.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(dff, rectIcon, "Dff", sd, in, Signal(), out);
}

void Jkff(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 5 || out.length != 2) {
    std::cerr << "I/O length error--Jkff() at " << sd.graphicPosition << " in.length = " << in.length
              << " out.length = " << out.length << " should be 5 & 2.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(jkff, rectIcon, "Jkff", sd, in, Signal(), out);
}

void Register(const SD& sd, const Signal& enable, const Signal& write, const Signal& dataIn, const Signal& out) {
  if (dataIn.length != out.length || write.length != 1 || enable.length != 1) {
    std::cerr << "I/O lengths mismatch for Register " << decalOf(sd, "Register") << " at " << sd.graphicPosition
              << " dataIn.length = " << dataIn.length << " write.length = " << write.length
              << " enable.length = " << enable.length << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addStandardComponent(enabledRegister, rectIcon, "Register", sd, dataIn, (enable, write), out);
}

void BitAddressibleRegister(const SD& sd, const Signal& clear, const Signal& set, const Signal& enable,
                            const Signal& write, const Signal& bitIn, const Signal& writeAddress,
                            const Signal& readAddress, const Signal& bitOut, const Signal& registerOut) {
  if (clear.length != 1 || set.length != 1 || enable.length != 1 || write.length != 1 || bitIn.length != 1 ||
      bitOut.length != 1) {
    std::cerr << "Signal length error for AddressibleRegister " << decalOf(sd, "BitAddrReg") << " at "
              << sd.graphicPosition << " clear, set, enable, write, bitIn or bitOut more than a single bit.\n";
    countFatalDiagnostic();
  }
  if (readAddress.length != writeAddress.length || registerOut.length != powerOfTwo(readAddress.length)) {
    std::cerr << "Signal length error for AddressibleRegister " << decalOf(sd, "BitAddrReg") << " at "
              << sd.graphicPosition << " Read/Write Address or Output lengths do not agree.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(bitAddressibleRegister, rectIcon, "BitAddrReg", sd, ((bitIn, writeAddress), readAddress),
                       (((clear, set), enable), write), (bitOut, registerOut));
}

void Stderr(const SD& sd, const Signal& in) {
  if (in.length != 10) {
    std::cerr << "I/O length error--Stderr() at " << sd.graphicPosition << " in.length = " << in.length
              << " should be 10.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(_stderr, rectIcon, "Stderr", sd, in, Signal(), Signal());
}

void IntOut(const SD& sd, const Signal& control, const Signal& data) {
  if (control.length != 2) {
    std::cerr << "I/O length error--IntOut() at " << sd.graphicPosition << " control.length = " << control.length
              << " should be 2.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(intOut, rectIcon, "IntOut", sd, data, control, Signal());
}

void HexOut(const SD& sd, const Signal& control, const Signal& data) {
  if (control.length != 2) {
    std::cerr << "I/O length error--HexOut() at " << sd.graphicPosition << " control.length = " << control.length
              << " should be 2.\n";
    countFatalDiagnostic();
  }
  addStandardComponent(hexOut, rectIcon, "HexOut", sd, data, control, Signal());
}
