// Where the current thread's standard output and standard error go: the one place every write of
// the simulator to either asks.
//
// By default they are the process's own: stdout and std::cout, stderr and std::cerr (whatever
// those stand for at the moment of the write, so that the buffering of process/ErrorOutput.h
// applies). A thread that captures its streams (CapturedStreams, as each simulation run by
// simulateEach does) writes both into strings of its own instead; the process's streams and file
// descriptors 1 and 2 are then not touched by that thread's simulation.
#pragma once

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "process/ThreadLocal.h"

struct StandardStreams {
  std::FILE* outFile;
  std::ostream* out;
  std::FILE* errFile;
  std::ostream* err;
  const std::string* outText;  // what has been written so far
  const std::string* errText;
};

namespace standardStreams {
// The current thread's captured streams, or null for the process's own.
extern TAVRIN_THREAD_LOCAL const StandardStreams* captured;
}  // namespace standardStreams

// True while the current thread writes to the process's own standard streams.
inline bool onProcessStreams() { return standardStreams::captured == nullptr; }

// The current thread's standard output and standard error, as a C stream and as a C++ stream.
// Writes to the C stream and to the C++ stream of one of them keep their order.
inline std::FILE* standardOutputFile() {
  return standardStreams::captured == nullptr ? stdout : standardStreams::captured->outFile;
}
inline std::ostream& standardOutput() {
  return standardStreams::captured == nullptr ? std::cout : *standardStreams::captured->out;
}
inline std::FILE* standardErrorFile() {
  return standardStreams::captured == nullptr ? stderr : standardStreams::captured->errFile;
}
inline std::ostream& standardError() {
  return standardStreams::captured == nullptr ? std::cerr : *standardStreams::captured->err;
}

// The current thread's standard output and standard error captured into two strings from
// construction to destruction (captures do not nest: at most one per thread at a time). Every
// byte written through the functions above lands in order, unbuffered, in output() or error().
// If the C streams cannot be made (fopencookie fails, out of memory), good() is false and the
// thread keeps the process's streams.
class CapturedStreams {
public:
  CapturedStreams();
  ~CapturedStreams();
  CapturedStreams(const CapturedStreams&) = delete;
  CapturedStreams& operator=(const CapturedStreams&) = delete;

  bool good() const { return installed; }
  const std::string& output() const { return outText; }
  const std::string& error() const { return errText; }

private:
  struct Sink;
  std::string outText, errText;
  std::unique_ptr<Sink> outSink, errSink;
  StandardStreams streams{};
  bool installed = false;
};
