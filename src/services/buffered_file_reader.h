// Reads a file in small pieces through one large buffer (the pronouncing dictionary's index is
// read a byte or a word at a time).
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

class BufferedFileReader {
 public:
  // The file stays the caller's: it is neither closed nor repositioned except by reading.
  BufferedFileReader(FILE* file, size_t capacity) : file_(file), buffer_(capacity) {}

  // Copies size * count bytes to the destination and returns count; 0 when the file cannot
  // deliver them all (its end or an error), the destination then holding nothing meaningful.
  size_t Read(void* destination, size_t size, size_t count);

 private:
  FILE* file_;
  std::vector<unsigned char> buffer_;
  size_t position_ = 0;
  size_t available_ = 0;
};
