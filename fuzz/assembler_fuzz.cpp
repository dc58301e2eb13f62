// tavrin-asm's source parser: arbitrary text as a source file.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Assembler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  const tavrin::assembler::Result result = tavrin::assembler::assemble(source, "f.s");
  // The counts agree with the diagnostics, each diagnostic is one line, the image has 64 lines.
  int errors = 0, warnings = 0;
  for (const tavrin::assembler::Diagnostic& d : result.diagnostics) {
    (d.warning ? warnings : errors) += 1;
    if (d.text.empty() || d.text.find('\n') != std::string::npos) std::abort();
  }
  if (errors != result.errors || warnings != result.warnings) std::abort();
  if (result.ok() && tavrin::assembler::formatImage(result.words, "").size() < 64 * 5) std::abort();
  return 0;
}
