// The -k script parser: arbitrary text (up to the first zero byte) as the option's argument.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kernel/KeyScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const bool ok = keyScriptParse("tavrin", text.c_str(), error);
  // A refused script says why; an accepted one says nothing. (The reason quotes the step as it
  // was given, line breaks included.)
  if (ok != error.empty()) std::abort();
  return 0;
}
