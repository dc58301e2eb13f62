#include "kernel/RunTime.h"

#include <signal.h>
#include <stdio_ext.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <streambuf>

int done = 0;
int reStart = 0;
int haltFlag = 0;
int stallLevel = 0;

void msWait() {
  struct timespec oneMillisecond = {0, 1000000};
  nanosleep(&oneMillisecond, nullptr);
}

namespace {

// Hands std::cerr's output to the C stream, so that both share its buffer and order. Its
// sync does nothing: std::endl then no longer forces a write of its own.
class StandardErrorForward : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, stderr) == EOF ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return static_cast<std::streamsize>(std::fwrite(s, 1, static_cast<size_t>(n), stderr));
  }
  int sync() override { return 0; }
};

// Never destroyed: std::cerr may still point at it while exit runs the static destructors.
StandardErrorForward& forward = *new StandardErrorForward();
std::streambuf* savedErrorBuffer = nullptr;
// Static, so it outlives everything that may still write to standard error, exit included.
char errorBuffer[1 << 16];

// A terminating signal (an interrupt from the terminal above all) ends the process without the
// C library's exit: the handler writes out what is pending itself, with write, which a signal
// handler may call, and then lets the signal take its default course.
constexpr int terminatingSignals[] = {SIGHUP, SIGINT, SIGTERM};
struct sigaction savedActions[std::size(terminatingSignals)];
bool handlerInstalled[std::size(terminatingSignals)];

extern "C" void writePendingAndTerminate(int signalNumber) {
  const char* pending = stderr->_IO_write_base;
  const char* const end = stderr->_IO_write_ptr;
  while (pending < end) {
    const ssize_t written = write(2, pending, static_cast<size_t>(end - pending));
    if (written <= 0) break;
    pending += written;
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

void bufferStandardError() {
  if (savedErrorBuffer != nullptr) return;
  std::cerr.flush();
  std::fflush(stderr);
  std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof errorBuffer);
  savedErrorBuffer = std::cerr.rdbuf(&forward);
  std::cerr.unsetf(std::ios::unitbuf);
  // Only where the signal would end the process: an ignored or handled one stays as it is.
  for (size_t k = 0; k < std::size(terminatingSignals); ++k) {
    handlerInstalled[k] = sigaction(terminatingSignals[k], nullptr, &savedActions[k]) == 0 &&
                          savedActions[k].sa_handler == SIG_DFL;
    if (!handlerInstalled[k]) continue;
    struct sigaction action {};
    action.sa_handler = writePendingAndTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(terminatingSignals[k], &action, nullptr);
  }
}

void flushStandardError() {
  if (__fpending(stderr) != 0) std::fflush(stderr);
}

void unbufferStandardError() {
  if (savedErrorBuffer == nullptr) return;
  std::fflush(stderr);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::cerr.rdbuf(savedErrorBuffer);
  std::cerr.setf(std::ios::unitbuf);
  savedErrorBuffer = nullptr;
  for (size_t k = 0; k < std::size(terminatingSignals); ++k)
    if (handlerInstalled[k]) sigaction(terminatingSignals[k], &savedActions[k], nullptr);
}
