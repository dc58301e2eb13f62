#include "construction/Blocks.h"

#include <algorithm>
#include <cstring>

namespace {

// Blocks grow from a few pages to a megabyte: a small circuit takes little, a large one few blocks.
constexpr std::size_t firstBlock = 4096;
constexpr std::size_t largestBlock = std::size_t{1} << 20;

}  // namespace

TextBlocks& TextBlocks::operator=(TextBlocks&& other) noexcept {
  if (this == &other) return *this;
  release();
  blocks = std::move(other.blocks);
  next = other.next;
  left = other.left;
  other.blocks.clear();
  other.next = nullptr;
  other.left = 0;
  return *this;
}

char* TextBlocks::copy(const char* text, std::size_t length) {
  if (length + 1 > left) {
    const std::size_t grown = std::min(largestBlock, firstBlock << std::min<std::size_t>(blocks.size(), 8));
    const std::size_t size = std::max(grown, length + 1);
    blocks.push_back(new char[size]);
    next = blocks.back();
    left = size;
  }
  char* copied = next;
  std::memcpy(copied, text, length);
  copied[length] = '\0';
  next += length + 1;
  left -= length + 1;
  return copied;
}

char* TextBlocks::copy(const char* text) { return text != nullptr ? copy(text, std::strlen(text)) : nullptr; }

void TextBlocks::release() {
  for (char* block : blocks) delete[] block;
  blocks.clear();
  next = nullptr;
  left = 0;
}
