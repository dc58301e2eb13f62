#include "process/EndProcess.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>

#include "process/ErrorOutput.h"
#include "process/StandardStreams.h"
#include "simulation/Simulation.h"

#ifdef TAVRIN_FUZZ_BUILD
std::jmp_buf* endProcessJump = nullptr;
int endProcessStatus = 0;
#endif

void raiseExitStatus(int status) { Simulation::current().raiseStatus(status); }

int finalExitStatus() { return Simulation::current().status(); }

namespace {

void writeAll(int fd, const std::string& text) {
  const char* data = text.data();
  size_t n = text.size();
  while (n > 0) {
    const ssize_t written = write(fd, data, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    n -= static_cast<size_t>(written);
  }
}

// A simulation whose standard streams are captured: its output goes to the process's own, after
// what the process has pending, and the process ends at once, by quick_exit, since other threads
// may still be running simulations (their captures are not written).
[[noreturn]] void endFromCapture(int status) {
  unbufferStandardError();
  if (status == 0) status = finalExitStatus();
  static std::mutex ending;
  ending.lock();  // never released: the first to end the process ends it
  const StandardStreams& captured = *standardStreams::captured;
  std::cout.flush();
  std::fflush(nullptr);
  writeAll(1, *captured.outText);
  writeAll(2, *captured.errText);
  std::quick_exit(status);
}

}  // namespace

void endProcess(int status) {
  if (!onProcessStreams()) endFromCapture(status);
  std::cout.flush();
  // A run may have std::cerr writing through a buffer object that exit destroys before the
  // library's last flush of std::cerr: hand the stream back first.
  unbufferStandardError();
  std::cerr.flush();
  std::fflush(nullptr);
  // Output that was lost, or a check that failed, is not undone by an ending that would be a
  // success otherwise (-h, F10).
  if (status == 0 && !checkStandardStreams()) status = 1;
  if (status == 0) status = finalExitStatus();
#ifdef TAVRIN_FUZZ_BUILD
  if (endProcessJump != nullptr) {
    endProcessStatus = status;
    std::longjmp(*endProcessJump, 1);
  }
#endif
  std::exit(status);
}
