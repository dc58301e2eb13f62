#include "construction/TextCopy.h"

#include <cstring>

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  return copyText(text, std::strlen(text));
}

char* copyText(const char* text, std::size_t length) {
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}
