#include "process/Settings.h"

#include <cstring>

#include "process/ThreadLocal.h"

#define TAVRIN_DEFINE_VALUE(type, name, initial) TAVRIN_THREAD_LOCAL type name = initial;
#define TAVRIN_DEFINE_TEXT(name, capacity) TAVRIN_THREAD_LOCAL char name[(capacity) + 1] = "";
#define TAVRIN_DEFINE_FLAGS(name, count)                                                          \
  TAVRIN_THREAD_LOCAL int name[numberOfRunTimeFlagEntries] = {-1, -1, -1, -1, -1, -1, -1, -1,  \
                                                                 -1, -1, -1, -1, -1, -1, -1, -1}; \
  TAVRIN_THREAD_LOCAL int count = 0;
TAVRIN_SETTINGS(TAVRIN_DEFINE_VALUE, TAVRIN_DEFINE_TEXT, TAVRIN_DEFINE_FLAGS)
#undef TAVRIN_DEFINE_VALUE
#undef TAVRIN_DEFINE_TEXT
#undef TAVRIN_DEFINE_FLAGS

namespace {

std::string text(int value) { return std::to_string(value); }
std::string text(uint64_t value) { return std::to_string(value); }
std::string text(int64_t value) { return std::to_string(value); }
std::string text(const char* value) { return value != nullptr ? value : "(none)"; }

std::string flagsText(const int* flags, int count) {
  std::string t;
  for (int i = 0; i < numberOfRunTimeFlagEntries; ++i) t += std::to_string(flags[i]) + " ";
  return t + "#" + std::to_string(count);
}

}  // namespace

void resetSettings() {
#define TAVRIN_RESET_VALUE(type, name, initial) name = initial;
#define TAVRIN_RESET_TEXT(name, capacity) name[0] = '\0';
#define TAVRIN_RESET_FLAGS(name, count)                                    \
  for (int& flag : name) flag = -1;                                        \
  count = 0;
  TAVRIN_SETTINGS(TAVRIN_RESET_VALUE, TAVRIN_RESET_TEXT, TAVRIN_RESET_FLAGS)
#undef TAVRIN_RESET_VALUE
#undef TAVRIN_RESET_TEXT
#undef TAVRIN_RESET_FLAGS
}

std::map<std::string, std::string> dumpSettings() {
  std::map<std::string, std::string> settings;
#define TAVRIN_DUMP_VALUE(type, name, initial) settings[#name] = text(name);
#define TAVRIN_DUMP_TEXT(name, capacity) settings[#name] = name;
#define TAVRIN_DUMP_FLAGS(name, count) settings[#name] = flagsText(name, count);
  TAVRIN_SETTINGS(TAVRIN_DUMP_VALUE, TAVRIN_DUMP_TEXT, TAVRIN_DUMP_FLAGS)
#undef TAVRIN_DUMP_VALUE
#undef TAVRIN_DUMP_TEXT
#undef TAVRIN_DUMP_FLAGS
  return settings;
}
