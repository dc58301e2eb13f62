#include "process/ErrorOutput.h"

#include <signal.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <iostream>
#include <iterator>
#include <mutex>
#include <streambuf>
#include <string>
#if defined(__GLIBCXX__)
#include <ext/stdio_sync_filebuf.h>
#endif

#include "process/EndProcess.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

namespace {

// The buffering of the process's own standard error: used only by the thread whose simulation
// writes to the process's streams (StandardStreams.h). A thread whose streams are captured writes
// into its capture at once and touches none of this.
//
// Static, so that it outlives everything that may still write to standard error, exit included.
char buffer[1 << 16];
volatile size_t pending = 0;  // bytes of buffer not yet written
volatile size_t start = 0;    // of those, the ones already written by an interrupted write-out
bool writeFailed = false;     // file descriptor 2 refused a write: the rest is dropped
bool holdOverPasses = false;  // written out only when full, not at the end of each pass
unsigned runs = 0;            // this buffering's run, while buffering

// Runs are numbered across the threads, so that a number is never one of another run.
std::atomic<unsigned> runsStarted{0};
unsigned nextRun() {
  unsigned run = ++runsStarted;
  if (run == 0) run = ++runsStarted;
  return run;
}

// The run of a thread whose streams are captured, from bufferStandardError to
// unbufferStandardError; 0 outside.
TAVRIN_THREAD_LOCAL unsigned capturedRun = 0;

bool writeAll(const char* data, size_t n) {
  while (n > 0) {
    const ssize_t written = write(2, data, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

void writeOut() {
  while (start < pending && !writeFailed) {
    const ssize_t written = write(2, buffer + start, pending - start);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) writeFailed = true;
    else start = start + static_cast<size_t>(written);
  }
  pending = 0;
  start = 0;
}

void append(const char* data, size_t n) {
  if (writeFailed) return;
  if (n > sizeof buffer - pending) writeOut();
  if (n >= sizeof buffer) {
    if (!writeAll(data, n)) writeFailed = true;
    return;
  }
  std::memcpy(buffer + pending, data, n);
  pending = pending + n;
}

// std::cerr's output while buffered. Its sync does nothing: std::endl then no longer forces a
// write of its own.
class ErrorBuffer : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    append(&ch, 1);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    append(s, static_cast<size_t>(n));
    return n;
  }
  int sync() override { return 0; }
};

// The C stream's output while buffered: an unbuffered stream whose every write lands in buffer
// at once, so that it keeps its order with std::cerr.
ssize_t cookieWrite(void*, const char* data, size_t n) {
  append(data, n);
  return static_cast<ssize_t>(n);
}

// Never destroyed: std::cerr and stderr may still refer to them while exit runs.
ErrorBuffer& errorBuffer = *new ErrorBuffer();
std::FILE* cookieStream = nullptr;
std::FILE* savedStream = nullptr;
std::streambuf* savedErrorBuffer = nullptr;
std::streambuf* syncedOutput = nullptr;  // std::cout's buffer when it writes straight into stdout
bool buffering = false;
bool exitHookRegistered = false;

// The first three always; the crash signals only while the buffer is held over passes, where a
// crash would otherwise lose more than the pass it happened in.
constexpr int terminatingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t alwaysHandled = 3;
struct sigaction savedActions[std::size(terminatingSignals)];
bool handlerInstalled[std::size(terminatingSignals)];

std::atomic<void (*)()> signalHooks[4] = {};
std::mutex signalHooksChanging;

extern "C" void writePendingAndTerminate(int signalNumber) {
  for (const std::atomic<void (*)()>& slot : signalHooks) {
    void (*const hook)() = slot.load();
    if (hook != nullptr) hook();
  }
  if (!writeFailed && start < pending) writeAll(buffer + start, pending - start);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

// Hands both streams back, the pending bytes written out first.
void restore() {
  if (!buffering) return;
  writeOut();
  stderr = savedStream;
  std::cerr.rdbuf(savedErrorBuffer);
  std::cerr.setf(std::ios::unitbuf);
  buffering = false;
  for (size_t k = 0; k < std::size(terminatingSignals); ++k)
    if (handlerInstalled[k]) sigaction(terminatingSignals[k], &savedActions[k], nullptr);
}

// exit inside a pass: what is pending goes out after the exit handlers registered later (the
// waveform's closing message among them), and the streams are the C library's again.
void restoreAtExit() { restore(); }

// Where no one can see the order in which standard error and standard output arrive, or when a
// line arrives: standard error is not a terminal, and standard output is another file or pipe,
// or standard error is a device such as /dev/null.
bool nothingSeesThePasses() {
  if (isatty(2) != 0) return false;
  struct stat error {}, output {};
  if (fstat(2, &error) != 0 || S_ISCHR(error.st_mode)) return true;
  if (fstat(1, &output) != 0) return true;
  return error.st_dev != output.st_dev || error.st_ino != output.st_ino;
}

// What std::cerr's sentry does before a write: the tied stream flushed. std::cout writing
// straight into stdout (the usual) has nothing to flush when stdout holds no pending bytes.
void flushTie() {
  std::ostream* const tie = std::cerr.tie();
  if (tie == nullptr) return;
  if (tie == &std::cout && syncedOutput != nullptr && std::cout.rdbuf() == syncedOutput &&
      __fpending(stdout) == 0)
    return;
  tie->flush();
}

}  // namespace

void bufferStandardError() {
  if (!onProcessStreams()) {
    if (capturedRun == 0) capturedRun = nextRun();
    return;
  }
  if (buffering) return;
  if (cookieStream == nullptr) {
    cookie_io_functions_t functions{};
    functions.write = cookieWrite;
    cookieStream = fopencookie(nullptr, "w", functions);
    if (cookieStream == nullptr) return;  // then standard error stays as it is
    std::setvbuf(cookieStream, nullptr, _IONBF, 0);
  }
  std::cerr.flush();
  std::fflush(stderr);
  savedStream = stderr;
  stderr = cookieStream;
  savedErrorBuffer = std::cerr.rdbuf(&errorBuffer);
  std::cerr.unsetf(std::ios::unitbuf);
  buffering = true;
  runs = nextRun();
  holdOverPasses = nothingSeesThePasses();
  syncedOutput = nullptr;
#if defined(__GLIBCXX__)
  auto* synced = dynamic_cast<__gnu_cxx::stdio_sync_filebuf<char>*>(std::cout.rdbuf());
  if (synced != nullptr && synced->file() == stdout) syncedOutput = synced;
#endif
  if (!exitHookRegistered) exitHookRegistered = std::atexit(restoreAtExit) == 0;
  // Only where the signal would end the process: an ignored or handled one stays as it is.
  for (size_t k = 0; k < std::size(terminatingSignals); ++k) {
    handlerInstalled[k] = (k < alwaysHandled || holdOverPasses) &&
                          sigaction(terminatingSignals[k], nullptr, &savedActions[k]) == 0 &&
                          savedActions[k].sa_handler == SIG_DFL;
    if (!handlerInstalled[k]) continue;
    struct sigaction action {};
    action.sa_handler = writePendingAndTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(terminatingSignals[k], &action, nullptr);
  }
}

void flushStandardError() {
  if (pending != 0 && onProcessStreams()) writeOut();
}

void endOfPassStandardError() {
  if (!holdOverPasses) flushStandardError();
}

void writeStandardError(std::initializer_list<std::string_view> parts) {
  if (!onProcessStreams()) {
    std::ostream& error = standardError();
    for (std::string_view part : parts) error.write(part.data(), static_cast<std::streamsize>(part.size()));
    return;
  }
  if (!buffering || std::cerr.rdbuf() != &errorBuffer) {
    std::string line;
    for (std::string_view part : parts) line += part;
    std::cerr.write(line.data(), static_cast<std::streamsize>(line.size()));
    return;
  }
  if (!std::cerr.good()) return;
  flushTie();
  for (std::string_view part : parts) append(part.data(), part.size());
}

unsigned bufferedRun() {
  if (!onProcessStreams()) return capturedRun;
  return buffering ? runs : 0;
}

void unbufferStandardError() {
  if (!onProcessStreams()) {
    if (capturedRun == 0) return;
    capturedRun = 0;
    checkStandardStreams();
    return;
  }
  if (!buffering) return;
  restore();
  checkStandardStreams();
}

bool checkStandardStreams() {
  if (!onProcessStreams()) {
    standardOutput().flush();
    const bool failed = std::ferror(standardOutputFile()) != 0 || std::ferror(standardErrorFile()) != 0 ||
                        standardOutput().bad() || standardError().bad();
    if (failed) raiseExitStatus(1);
    return !failed;
  }
  std::cout.flush();
  std::fflush(stdout);
  std::FILE* const errorStream = buffering ? savedStream : stderr;
  std::fflush(errorStream);
  const bool failed = writeFailed || std::ferror(stdout) != 0 || std::ferror(errorStream) != 0 ||
                      std::cout.bad() || std::cerr.bad();
  if (failed) raiseExitStatus(1);
  return !failed;
}

void atTerminatingSignal(void (*hook)()) {
  const std::lock_guard<std::mutex> changing(signalHooksChanging);
  for (std::atomic<void (*)()>& slot : signalHooks) {
    if (slot.load() == hook) return;
    if (slot.load() == nullptr) {
      slot.store(hook);
      return;
    }
  }
}
