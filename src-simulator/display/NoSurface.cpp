// A build without X11: no window system, so a window asked for cannot be opened, and the run
// goes on without one.
#include <iostream>

#include "display/Surface.h"
#include "process/StandardStreams.h"

Surface* openSurface(const char*, const char*, int&, int&) {
  standardError() << "Unable to open X Window" << std::endl;
  return nullptr;
}
