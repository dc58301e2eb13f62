#include "process/StandardStreams.h"

#include <streambuf>

#include "process/ThreadLocal.h"

namespace standardStreams {
TAVRIN_THREAD_LOCAL const StandardStreams* captured = nullptr;
}  // namespace standardStreams

// One captured stream: a C stream and a C++ stream that both append to one string at once.
struct CapturedStreams::Sink : std::streambuf {
  explicit Sink(std::string& into) : text(into), stream(this) {
    cookie_io_functions_t functions{};
    functions.write = [](void* cookie, const char* data, size_t n) -> ssize_t {
      static_cast<std::string*>(cookie)->append(data, n);
      return static_cast<ssize_t>(n);
    };
    file = fopencookie(&text, "w", functions);
    if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  }
  ~Sink() override {
    if (file != nullptr) std::fclose(file);
  }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) text.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text.append(s, static_cast<size_t>(n));
    return n;
  }

  std::string& text;
  std::ostream stream;
  std::FILE* file = nullptr;
};

CapturedStreams::CapturedStreams()
    : outSink(std::make_unique<Sink>(outText)), errSink(std::make_unique<Sink>(errText)) {
  if (outSink->file == nullptr || errSink->file == nullptr || standardStreams::captured != nullptr) return;
  streams = {outSink->file, &outSink->stream, errSink->file, &errSink->stream, &outText, &errText};
  standardStreams::captured = &streams;
  installed = true;
}

CapturedStreams::~CapturedStreams() {
  if (installed) standardStreams::captured = nullptr;
}
