// Construction of the medium-scale combinational, sequential and output components.
#pragma once

#include "construction/Schmtc.h"
#include "construction/Signal.h"

void Adder(const SD& sd, const Signal& dataIn, const Signal& out);
void Increment(const SD& sd, const Signal& in, const Signal& out);
void Mux(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out);
void Decoder(const SD& sd, const Signal& controlIn, const Signal& dataIn, const Signal& out);
void Encoder(const SD& sd, const Signal& dataIn, const Signal& out, const Signal& valid);

void Gate(const SD& sd, const Signal& in, const Signal& out);
void Counter(const SD& sd, const Signal& in, const Signal& out);
void Dff(const SD& sd, const Signal& in, const Signal& out);
void Jkff(const SD& sd, const Signal& in, const Signal& out);
void Register(const SD& sd, const Signal& enable, const Signal& write, const Signal& dataIn, const Signal& out);
void BitAddressibleRegister(const SD& sd, const Signal& clear, const Signal& set, const Signal& enable,
                            const Signal& write, const Signal& bitIn, const Signal& writeAddress,
                            const Signal& readAddress, const Signal& bitOut, const Signal& registerOut);
void Stderr(const SD& sd, const Signal& in);
void IntOut(const SD& sd, const Signal& control, const Signal& data);
void HexOut(const SD& sd, const Signal& control, const Signal& data);
