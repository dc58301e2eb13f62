// Copies of texts that the circuit's lists keep: each in memory of its own (new[]), owned by
// whoever keeps the pointer.
#pragma once

#include <cstddef>

// A copy of text; nullptr for nullptr.
char* copyText(const char* text);

// The first length characters of text, terminated.
char* copyText(const char* text, std::size_t length);
