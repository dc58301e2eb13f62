// Values as users write them in test vectors and input settings: hexadecimal "0x3E", binary
// "0b01xz" (a character per bit, most significant first, x z u allowed), decimal "62", or one
// letter for every bit, x (XXX), z (HIZ) or u (UNINITIALIZED). Leading zeros beyond a signal's
// width are allowed, ones are not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "construction/Signal.h"

enum class ValueNotation { hex, binary, decimal, letter };

struct ValueText {
  std::string text;  // as written
  ValueNotation notation = ValueNotation::decimal;
  std::string digits;  // the hexadecimal digits, bit characters or decimal digits, or the letter
};

// Reads a value; false with what is wrong with it in reason ("'G' is not a hexadecimal digit").
bool valueTextRead(std::string_view text, ValueText& value, std::string& reason);

// The value's bits at width, bit 0 first; false when it does not fit.
bool valueTextBits(const ValueText& value, int width, std::vector<SignalValue>& bits);

// True when every bit the value gives is 0 or 1 (not x, z or u).
bool valueTextDefinite(const ValueText& value);

// Bits (bit 0 first) in a notation: hexadecimal as 0x and a digit per four bits, binary as 0b
// and a character per bit, decimal as a number, a letter's as hexadecimal (0 or 1 for one bit);
// bits that are not all 0 or 1 as 0b per bit, or as one letter when all are the same x, z or u.
std::string valueTextShow(ValueNotation notation, const SignalValue* bits, int width);
