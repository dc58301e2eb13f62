// A file the simulator writes its results to (a waveform, a table, a report), written from a
// buffer of its own with write.
//
// A file that cannot be created, or not written completely, ends the process at once with status
// 1 after one message on standard error:
//   <program>: <option>: cannot write '<path>': <reason>     (when it cannot be created)
//   <program>: <option>: error writing '<path>': <reason>    (when a write or the close fails)
// and the incomplete file is removed (a regular file only: a device or a pipe stays), so that no
// partial file is left looking complete.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

class OutputFile {
public:
  OutputFile() = default;
  // Releases the buffer; a file still open is closed with what is pending left unwritten.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates (or truncates) path, or writes to standard output for "-" (file descriptor 1, or the
  // current thread's captured standard output: process/StandardStreams.h); program and option
  // (such as "-V") name it in messages.
  // With endOnFailure false, a file that cannot be created gives its message and false instead.
  bool open(const std::string& program, const std::string& option, const std::string& path,
            bool endOnFailure = true);
  bool isOpen() const { return fd >= 0 || stream != nullptr; }
  const std::string& path() const { return name; }

  // Appends text; whole when the buffer is written out, never split between two writes unless
  // it is larger than the buffer.
  void write(std::string_view text);

  // Writes out what is pending.
  void flush();

  // Writes out what is pending and closes the file. Does nothing when not open. From an exit
  // handler, pass atExit: a failure then gives its message but cannot end the process again.
  void close(bool atExit = false);

  // For a signal handler: writes out what is pending and then tail, and closes the file, with
  // nothing but write and close.
  void closeFromSignal(const char* tail, size_t tailLength);

private:
  bool writeOut();
  void fail(int error, bool atExit = false);

  static constexpr size_t capacity = 1 << 16;
  std::string program, option, name;
  int fd = -1;
  std::ostream* stream = nullptr;  // "-" while standard output is captured
  bool regular = false;  // a regular file, removed when incomplete
  char* buffer = nullptr;  // capacity bytes while open
  volatile size_t pending = 0;
  volatile size_t start = 0;  // of the pending bytes, those already written
};
