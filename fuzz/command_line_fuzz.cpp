// The command line: arbitrary argument vectors through commandLine and getopt. The input is
// split at zero bytes into the words after the program name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "startup/Sim.h"
#include "startup/cmdLine.h"

namespace {

constexpr size_t maximumWords = 64;

struct Arguments {
  std::vector<std::string> words;
  std::vector<char*> argv;
};

void parse(void* context) {
  Arguments& arguments = *static_cast<Arguments*>(context);
  commandLine(static_cast<int>(arguments.argv.size()) - 1, arguments.argv.data());
}

bool terminatedWithin(const char* text, size_t capacity) { return std::memchr(text, '\0', capacity + 1) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Arguments arguments;
  arguments.words.emplace_back("tavrin");
  std::string word;
  for (size_t i = 0; i < size && arguments.words.size() < maximumWords; ++i) {
    if (data[i] == 0) {
      arguments.words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  if (!word.empty() && arguments.words.size() < maximumWords) arguments.words.push_back(word);
  for (std::string& w : arguments.words) arguments.argv.push_back(w.data());
  arguments.argv.push_back(nullptr);

  resetProcessState();
  int status = runRecoverably(parse, &arguments);

  // Only -h (0), refused values (1) and a test-vector file that cannot be read or parsed (2) end
  // the parse early.
  if (status != -1 && status != 0 && status != 1 && status != 2) std::abort();
  // The texts are cut to their room and stay terminated.
  if (!terminatedWithin(FunctionKeyString, keyStringCapacity) || !terminatedWithin(CursorKeyString, keyStringCapacity) ||
      !terminatedWithin(WindowLabelString, keyStringCapacity) || !terminatedWithin(XW_geometry, geometryCapacity))
    std::abort();
  return 0;
}
