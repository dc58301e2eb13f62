// The -r ROM image reader: the input is the file's content, read through a memory file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "RomImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("rom-image", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  unsigned char bytes[128];
  std::string error;
  const bool ok = readRomImage(path, bytes, error);
  // A refused image says why in one line; an accepted one says nothing.
  if (ok != error.empty() || error.find('\n') != std::string::npos) std::abort();
  return 0;
}
