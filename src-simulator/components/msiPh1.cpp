#include "components/msiPh1.h"

#include <cstdint>
#include <iostream>

#include "construction/addStCmp.h"
#include "process/StandardStreams.h"

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
    standardError() << "I/O length error--Adder " << decalOf(sd, ComponentKind::Adder) << " at " << sd.graphicPosition
                    << " dataIn.length = " << dataIn.length << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  const int bitWidth[1] = {out.length};
  addComponent(ComponentKind::Adder, sd, {.data = dataIn, .outputs = out}, {.integers = bitWidth});
}

void Increment(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Increment, sd, {.data = in, .outputs = out});
}

void Mux(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out) {
  if (dataIn.length != muxDataLength(out.length, controlIn.length)) {
    standardError() << "I/O length error--Mux " << decalOf(sd, ComponentKind::Mux) << " at " << sd.graphicPosition
                    << " dataIn.length = " << dataIn.length << " controlIn.length = " << controlIn.length
                    << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Mux, sd, {.data = dataIn, .control = controlIn, .outputs = out});
}

void Decoder(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out) {
  if (out.length != powerOfTwo(dataIn.length) || controlIn.length != 1) {
    standardError() << "I/O length error--Decoder " << decalOf(sd, ComponentKind::Decoder) << " at "
                    << sd.graphicPosition << " dataIn.length = " << dataIn.length
                    << " controlIn.length = " << controlIn.length << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Decoder, sd, {.data = dataIn, .control = controlIn, .outputs = out});
}

void Encoder(const SD& sd, const Signal& dataIn, const Signal& out, const Signal& valid) {
  if (dataIn.length != powerOfTwo(out.length) || valid.length != 1) {
    standardError() << "I/O length error--Encoder " << decalOf(sd, ComponentKind::Encoder) << " at "
                    << sd.graphicPosition << " dataIn.length = " << dataIn.length << " out.length = " << out.length
                    << " valid.length = " << valid.length << "\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Encoder, sd, {.data = dataIn, .outputs = (valid, out)});
}

void Gate(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 2 || out.length != 1) {
    standardError() << "I/O length error--Gate() at " << sd.graphicPosition << " in.length = " << in.length
                    << " out.length = " << out.length << " should be 2 & 1.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Gate, sd, {.data = in, .outputs = out});
}

void Counter(const SD& sd, const Signal& in, const Signal& out) {
  addComponent(ComponentKind::Counter, sd, {.data = in, .outputs = out});
}

void Dff(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 4 || out.length != 1) {
    standardError() << "I/O length error--Dff() at " << sd.graphicPosition << " in.length = " << in.length
                    << " out.length = " << out.length << " should be 4 & 1.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Dff, sd, {.data = in, .outputs = out});
}

void Jkff(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 5 || out.length != 2) {
    standardError() << "I/O length error--Jkff() at " << sd.graphicPosition << " in.length = " << in.length
                    << " out.length = " << out.length << " should be 5 & 2.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Jkff, sd, {.data = in, .outputs = out});
}

void Register(const SD& sd, const Signal& enable, const Signal& write, const Signal& dataIn, const Signal& out) {
  if (dataIn.length != out.length || write.length != 1 || enable.length != 1) {
    standardError() << "I/O lengths mismatch for Register " << decalOf(sd, ComponentKind::Register) << " at "
                    << sd.graphicPosition << " dataIn.length = " << dataIn.length << " write.length = " << write.length
                    << " enable.length = " << enable.length << " out.length = " << out.length << "\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Register, sd, {.data = dataIn, .control = (enable, write), .outputs = out});
}

void BitAddressibleRegister(const SD& sd, const Signal& clear, const Signal& set, const Signal& enable,
                            const Signal& write, const Signal& bitIn, const Signal& writeAddress,
                            const Signal& readAddress, const Signal& bitOut, const Signal& registerOut) {
  if (clear.length != 1 || set.length != 1 || enable.length != 1 || write.length != 1 || bitIn.length != 1 ||
      bitOut.length != 1) {
    standardError() << "Signal length error for AddressibleRegister "
                    << decalOf(sd, ComponentKind::BitAddressibleRegister) << " at " << sd.graphicPosition
                    << " clear, set, enable, write, bitIn or bitOut more than a single bit.\n";
    countFatalDiagnostic();
  }
  if (readAddress.length != writeAddress.length || registerOut.length != powerOfTwo(readAddress.length)) {
    standardError() << "Signal length error for AddressibleRegister "
                    << decalOf(sd, ComponentKind::BitAddressibleRegister) << " at " << sd.graphicPosition
                    << " Read/Write Address or Output lengths do not agree.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::BitAddressibleRegister, sd,
               {.data = ((bitIn, writeAddress), readAddress),
                .control = (((clear, set), enable), write),
                .outputs = (bitOut, registerOut)});
}

void Stderr(const SD& sd, const Signal& in) {
  if (in.length != 10) {
    standardError() << "I/O length error--Stderr() at " << sd.graphicPosition << " in.length = " << in.length
                    << " should be 10.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::Stderr, sd, {.data = in});
}

void IntOut(const SD& sd, const Signal& control, const Signal& data) {
  if (control.length != 2) {
    standardError() << "I/O length error--IntOut() at " << sd.graphicPosition << " control.length = " << control.length
                    << " should be 2.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::IntOut, sd, {.data = data, .control = control});
}

void HexOut(const SD& sd, const Signal& control, const Signal& data) {
  if (control.length != 2) {
    standardError() << "I/O length error--HexOut() at " << sd.graphicPosition << " control.length = " << control.length
                    << " should be 2.\n";
    countFatalDiagnostic();
  }
  addComponent(ComponentKind::HexOut, sd, {.data = data, .control = control});
}
