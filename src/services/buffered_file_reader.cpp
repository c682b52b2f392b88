#include "services/buffered_file_reader.h"

#include <cstring>

size_t BufferedFileReader::Read(void* destination, size_t size, size_t count) {
  const size_t wanted = size * count;
  auto* out = static_cast<unsigned char*>(destination);
  if (wanted <= available_) {
    std::memcpy(out, buffer_.data() + position_, wanted);
    position_ += wanted;
    available_ -= wanted;
    return count;
  }
  if (wanted <= buffer_.size()) {
    std::memmove(buffer_.data(), buffer_.data() + position_, available_);
    position_ = 0;
    available_ += std::fread(buffer_.data() + available_, 1, buffer_.size() - available_, file_);
    // A short file must not hand out the stale bytes behind what it delivered.
    if (available_ < wanted) return 0;
    std::memcpy(out, buffer_.data(), wanted);
    position_ = wanted;
    available_ -= wanted;
    return count;
  }
  std::memcpy(out, buffer_.data() + position_, available_);
  const size_t rest = wanted - available_;
  const size_t got = std::fread(out + available_, 1, rest, file_);
  position_ = 0;
  available_ = 0;
  return got == rest ? count : 0;
}
