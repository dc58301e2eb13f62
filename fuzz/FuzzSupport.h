// What the fuzz targets share: one input run with the process-ending paths turned into a
// result, and the process put back into its start state between inputs.
#pragma once

#include <cstddef>
#include <cstdint>

// Calls body(context). Returns -1 when it returned, else the status endProcess was given.
int runRecoverably(void (*body)(void*), void* context);

// The command-line settings, the parser's position and the run-control globals back to the
// values a fresh process starts with.
void resetProcessState();

// Releases the names of the Signal handles made since the last call (a normal process keeps
// them); no handle of those may be left.
void releaseHandleNames();

// Reads an input a byte at a time; past its end every byte reads as 0.
class ByteReader {
public:
  ByteReader(const uint8_t* data, size_t size) : data(data), size(size) {}
  bool empty() const { return position >= size; }
  uint8_t next() { return position < size ? data[position++] : 0; }
  // A value in lo .. hi.
  int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<unsigned>(hi - lo + 1)); }

private:
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};
