// Storage cut from large blocks: many small texts or list nodes without an allocation (and the
// allocator's bookkeeping) each. Nothing handed out ever moves; it all goes at once.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

// Texts one after another, each terminated.
class TextBlocks {
public:
  TextBlocks() = default;
  TextBlocks(const TextBlocks&) = delete;
  TextBlocks& operator=(const TextBlocks&) = delete;
  // The texts change hands; other is left empty.
  TextBlocks(TextBlocks&& other) noexcept { *this = std::move(other); }
  TextBlocks& operator=(TextBlocks&& other) noexcept;
  ~TextBlocks() { release(); }

  // A terminated copy of the first length characters of text (which need not be terminated),
  // valid until release.
  char* copy(const char* text, std::size_t length);
  // A copy of the terminated text; nullptr for nullptr.
  char* copy(const char* text);
  // Frees every text handed out.
  void release();

private:
  std::vector<char*> blocks;
  char* next = nullptr;
  std::size_t left = 0;
};

// Nodes of one type, default-constructed one after another in blocks of perBlock, destroyed
// together.
template <typename T, std::size_t perBlock>
class NodeBlocks {
public:
  NodeBlocks() = default;
  NodeBlocks(const NodeBlocks&) = delete;
  NodeBlocks& operator=(const NodeBlocks&) = delete;
  ~NodeBlocks() { release(); }

  // A new node, valid until release.
  T* make() {
    if (blocks.empty() || used == perBlock) {
      blocks.push_back(static_cast<T*>(::operator new(sizeof(T) * perBlock)));
      used = 0;
    }
    return new (blocks.back() + used++) T();
  }
  // Destroys every node.
  void release() {
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      const std::size_t count = b + 1 == blocks.size() ? used : perBlock;
      for (std::size_t i = 0; i < count; ++i) blocks[b][i].~T();
      ::operator delete(blocks[b]);
    }
    blocks.clear();
    used = 0;
  }

private:
  std::vector<T*> blocks;
  std::size_t used = 0;  // nodes made in the last block
};
