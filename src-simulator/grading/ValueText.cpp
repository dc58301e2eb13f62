#include "grading/ValueText.h"

#include <cstdint>

#include "grading/KeyScript.h"
#include "output/SignalGroups.h"

namespace {

SignalValue valueOfChar(char c) {
  switch (c) {
    case '0': return ZERO;
    case '1': return ONE;
    case 'x': case 'X': return XXX;
    case 'z': case 'Z': return HIZ;
    default: return UNINITIALIZED;
  }
}

// The first character of digits outside set, quoted, with what it is not.
bool badDigit(const std::string& digits, const char* set, const char* what, std::string& reason) {
  const size_t bad = digits.find_first_not_of(set);
  if (bad == std::string::npos) return false;
  reason = "'" + printableText(digits.substr(bad, 1)) + "' is not " + what;
  return true;
}

}  // namespace

bool valueTextRead(std::string_view text, ValueText& value, std::string& reason) {
  value.text = text;
  if (text.empty()) {
    reason = "no value after '='";
    return false;
  }
  const bool prefixed = text.size() >= 2 && text[0] == '0';
  if (prefixed && (text[1] == 'x' || text[1] == 'X')) {
    value.notation = ValueNotation::hex;
    value.digits = text.substr(2);
    if (value.digits.empty()) {
      reason = "no digits after '0x'";
      return false;
    }
    return !badDigit(value.digits, "0123456789abcdefABCDEF", "a hexadecimal digit", reason);
  }
  if (prefixed && (text[1] == 'b' || text[1] == 'B')) {
    value.notation = ValueNotation::binary;
    value.digits = text.substr(2);
    if (value.digits.empty()) {
      reason = "no digits after '0b'";
      return false;
    }
    return !badDigit(value.digits, "01xzuXZU", "a bit (0 1 x z u)", reason);
  }
  if (text.size() == 1 && std::string_view("xzuXZU").find(text[0]) != std::string_view::npos) {
    value.notation = ValueNotation::letter;
    value.digits = text;
    return true;
  }
  value.notation = ValueNotation::decimal;
  value.digits = text;
  if (badDigit(value.digits, "0123456789", "a decimal digit (a value is 0x..., 0b..., decimal, or x, z or u)", reason))
    return false;
  uint64_t v = 0;
  for (char c : text) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (v > (UINT64_MAX - digit) / 10) {
      reason = "a decimal value beyond 64 bits (write it in hexadecimal)";
      return false;
    }
    v = v * 10 + digit;
  }
  return true;
}

bool valueTextBits(const ValueText& value, int width, std::vector<SignalValue>& out) {
  const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
  out.assign(w, ZERO);
  // Bit k of the value, bit 0 first: stored below the width, else it must be 0.
  bool fits = true;
  auto put = [&](size_t k, SignalValue bit) {
    if (k < w)
      out[k] = bit;
    else if (bit != ZERO)
      fits = false;
  };
  const std::string& digits = value.digits;
  switch (value.notation) {
    case ValueNotation::letter:
      out.assign(w, valueOfChar(digits[0]));
      return true;
    case ValueNotation::binary:
      for (size_t k = 0; k < digits.size(); ++k) put(k, valueOfChar(digits[digits.size() - 1 - k]));
      break;
    case ValueNotation::hex:
      for (size_t k = 0; k < digits.size(); ++k) {
        const char c = digits[digits.size() - 1 - k];
        const int v = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        for (size_t b = 0; b < 4; ++b) put(4 * k + b, (v >> b) & 1 ? ONE : ZERO);
      }
      break;
    case ValueNotation::decimal: {
      uint64_t v = 0;
      for (char c : digits) v = v * 10 + static_cast<uint64_t>(c - '0');  // read checked it fits
      for (size_t k = 0; v != 0; v >>= 1, ++k) put(k, v & 1 ? ONE : ZERO);
      break;
    }
  }
  return fits;
}

bool valueTextDefinite(const ValueText& value) {
  if (value.notation == ValueNotation::letter) return false;
  return value.notation != ValueNotation::binary || value.digits.find_first_not_of("01") == std::string::npos;
}

std::string valueTextShow(ValueNotation notation, const SignalValue* bits, int width) {
  if (!signalGroupDefinite(bits, width)) {
    bool same = true;
    for (int k = 1; k < width; ++k) same = same && bits[k] == bits[0];
    if (same) return std::string(1, signalGroupBitChar(bits[0]));
    return "0b" + signalGroupBits(bits, width);
  }
  switch (notation) {
    case ValueNotation::binary: return "0b" + signalGroupBits(bits, width);
    case ValueNotation::decimal:
      if (width <= 64) {
        uint64_t v = 0;
        for (int k = width - 1; k >= 0; --k) v = v * 2 + (bits[k] == ONE ? 1 : 0);
        return std::to_string(v);
      }
      return signalGroupHex(bits, width);
    case ValueNotation::letter:
      if (width == 1) return bits[0] == ONE ? "1" : "0";
      return signalGroupHex(bits, width);
    default: return signalGroupHex(bits, width);
  }
}
