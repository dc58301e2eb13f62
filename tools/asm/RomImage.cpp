#include "RomImage.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

bool readRomImage(const std::string& path, unsigned char bytes[128], std::string& error) {
  std::memset(bytes, 0, 128);
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  int words = 0;
  int lineNumber = 0;
  std::string line;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::string::size_type hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::string::size_type begin = 0, end = line.size();
    while (begin < end && isBlank(line[begin])) ++begin;
    while (end > begin && isBlank(line[end - 1])) --end;
    if (begin == end) continue;
    std::string text = line.substr(begin, end - begin);
    unsigned value = 0;
    bool good = text.size() <= 4;
    for (char c : text) {
      int digit = hexDigit(c);
      if (digit < 0) good = false;
      value = value * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
    }
    std::string where = path + ":" + std::to_string(lineNumber) + ": ";
    if (!good) {
      error = where + "bad word '" + text + "' (expected 1 to 4 hexadecimal digits)";
      return false;
    }
    if (words == 64) {
      error = where + "more than 64 words";
      return false;
    }
    bytes[2 * words] = static_cast<unsigned char>(value >> 8);
    bytes[2 * words + 1] = static_cast<unsigned char>(value & 0xFF);
    ++words;
  }
  if (in.bad()) {
    // A directory opens but cannot be read.
    error = "cannot read '" + path + "'";
    return false;
  }
  return true;
}
