// The -k script parser: arbitrary text (up to the first zero byte) as the option's argument.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grading/KeyScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const bool ok = keyScriptParse(text.c_str(), error);
  // A refused script says why, in one line of printable characters; an accepted one says nothing.
  if (ok != error.empty()) std::abort();
  for (const char c : error)
    if (c < ' ' || c > '~') std::abort();
  return 0;
}
