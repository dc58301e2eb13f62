// Two-pass assembler for the bundled processor's instruction set (see docs/tavrin-asm.md).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::assembler {

constexpr int romWords = 64;

struct Diagnostic {
  int line = 0;          // source line, from 1
  bool warning = false;  // false: error
  std::string text;      // complete line: "prog.s:12: error: ..."
};

struct Result {
  std::array<std::uint16_t, romWords> words{};  // the ROM image, unused words 0x0000
  std::array<int, romWords> lineOfWord{};       // source line of each word, 0 when unused
  std::vector<Diagnostic> diagnostics;          // ordered by line
  int errors = 0;
  int warnings = 0;
  bool ok() const { return errors == 0; }
};

// Assembles source; fileName is used only in the messages.
Result assemble(const std::string& source, const std::string& fileName);

// The image as written to the output file: an optional comment line, then 64 lines of four
// lower-case hexadecimal digits.
std::string formatImage(const std::array<std::uint16_t, romWords>& words, const std::string& comment);

}  // namespace tavrin::assembler
