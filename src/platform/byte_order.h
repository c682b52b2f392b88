// Little-endian fields of the program's binary formats and messages.
#pragma once

#include <QtEndian>

namespace platform {

// Appends value in little-endian order to a QByteArray or a std::string.
template <typename T, typename Bytes>
void appendLittleEndian(Bytes& bytes, T value) {
  char buffer[sizeof(T)];
  qToLittleEndian(value, buffer);
  bytes.append(buffer, sizeof buffer);
}

}  // namespace platform
