// The test-vector file parser (-v): arbitrary text as a file's contents.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "grading/TestVectors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string error;
  const bool ok = testVectorsCheck(in, "input.vec", error);
  // A refused file says where and why, in one line of printable characters.
  if (ok != error.empty()) std::abort();
  if (!ok && error.rfind("input.vec:", 0) != 0) std::abort();
  for (const char c : error)
    if (c < ' ' || c > '~') std::abort();
  return 0;
}
