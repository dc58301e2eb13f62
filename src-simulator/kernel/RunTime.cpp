#include "kernel/RunTime.h"

#include <stdio_ext.h>
#include <time.h>

#include <cstdio>
#include <iostream>
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

StandardErrorForward forward;
std::streambuf* savedErrorBuffer = nullptr;
// Static, so it outlives everything that may still write to standard error, exit included.
char errorBuffer[1 << 16];

}  // namespace

void bufferStandardError() {
  if (savedErrorBuffer != nullptr) return;
  std::cerr.flush();
  std::fflush(stderr);
  std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof errorBuffer);
  savedErrorBuffer = std::cerr.rdbuf(&forward);
  std::cerr.unsetf(std::ios::unitbuf);
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
}
