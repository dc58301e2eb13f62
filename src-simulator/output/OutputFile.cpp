#include "output/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "process/EndProcess.h"
#include "process/StandardStreams.h"

bool OutputFile::open(const std::string& programName, const std::string& optionName, const std::string& path,
                      bool endOnFailure) {
  program = programName;
  option = optionName;
  name = path;
  if (path == "-" && !onProcessStreams()) {
    // Standard output captured (process/StandardStreams.h): written into the capture.
    stream = &standardOutput();
    regular = false;
    if (buffer == nullptr) buffer = new char[capacity];
    pending = 0;
    start = 0;
    return true;
  }
  fd = path == "-" ? fcntl(1, F_DUPFD_CLOEXEC, 3) : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    std::fprintf(standardErrorFile(), "%s: %s: cannot write '%s': %s\n", program.c_str(), option.c_str(), name.c_str(),
                 std::strerror(errno));
    if (!endOnFailure) return false;
    endProcess(1);
  }
  struct stat status {};
  regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (buffer == nullptr) buffer = new char[capacity];
  pending = 0;
  start = 0;
  return true;
}

OutputFile::~OutputFile() {
  if (fd >= 0) ::close(fd);
  delete[] buffer;
}

bool OutputFile::writeOut() {
  if (stream != nullptr) {
    stream->write(buffer + start, static_cast<std::streamsize>(pending - start));
    pending = 0;
    start = 0;
    return true;
  }
  while (start < pending) {
    const ssize_t written = ::write(fd, buffer + start, pending - start);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = ENOSPC;
      return false;
    }
    start = start + static_cast<size_t>(written);
  }
  pending = 0;
  start = 0;
  return true;
}

void OutputFile::fail(int error, bool atExit) {
  if (fd >= 0) ::close(fd);
  fd = -1;
  stream = nullptr;
  pending = 0;
  start = 0;
  if (regular) unlink(name.c_str());
  std::fprintf(standardErrorFile(), "%s: %s: error writing '%s': %s\n", program.c_str(), option.c_str(), name.c_str(),
               std::strerror(error));
  if (!atExit) endProcess(1);
}

void OutputFile::flush() {
  if (isOpen() && !writeOut()) fail(errno);
}

void OutputFile::write(std::string_view text) {
  if (!isOpen()) return;
  if (text.size() > capacity - pending && !writeOut()) return fail(errno);
  if (text.size() >= capacity && stream != nullptr) {
    stream->write(text.data(), static_cast<std::streamsize>(text.size()));
    return;
  }
  if (text.size() >= capacity) {
    size_t done = 0;
    while (done < text.size()) {
      const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return fail(written == 0 ? ENOSPC : errno);
      done += static_cast<size_t>(written);
    }
    return;
  }
  std::memcpy(buffer + pending, text.data(), text.size());
  pending = pending + text.size();
}

void OutputFile::close(bool atExit) {
  if (!isOpen()) return;
  if (!writeOut()) return fail(errno, atExit);
  if (stream != nullptr) {
    stream = nullptr;
    return;
  }
  const int descriptor = fd;
  fd = -1;
  if (::close(descriptor) != 0 && errno != EINTR) fail(errno, atExit);
}

void OutputFile::closeFromSignal(const char* tail, size_t tailLength) {
  stream = nullptr;  // a capture is not written from a signal handler
  if (fd < 0) return;
  const int descriptor = fd;
  fd = -1;
  auto writeAll = [descriptor](const char* data, size_t n) {
    while (n > 0) {
      const ssize_t written = ::write(descriptor, data, n);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      n -= static_cast<size_t>(written);
    }
    return true;
  };
  if (writeAll(buffer + start, pending - start)) writeAll(tail, tailLength);
  ::close(descriptor);
}
