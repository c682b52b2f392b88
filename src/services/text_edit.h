// Replacing and joining text, for wide and narrow strings alike.
#pragma once

#include <string>
#include <vector>

// Replaces every occurrence, left to right; the scan goes on after each inserted replacement,
// so a replacement is never searched again. Returns the count (0 for an empty search text).
template <typename Char>
int replaceAll(std::basic_string<Char>& text, const std::basic_string<Char>& find,
               const std::basic_string<Char>& replacement) {
  if (find.empty()) return 0;
  int count = 0;
  for (size_t at = text.find(find); at != std::basic_string<Char>::npos;
       at = text.find(find, at + replacement.size())) {
    text.replace(at, find.size(), replacement);
    ++count;
  }
  return count;
}

template <typename Char>
int replaceAll(std::basic_string<Char>& text, const Char* find, const Char* replacement) {
  return replaceAll(text, std::basic_string<Char>(find), std::basic_string<Char>(replacement));
}

// Clears the output and puts the separator between the elements.
template <typename Char>
void joinStringsInto(std::basic_string<Char>& out, const std::vector<std::basic_string<Char>>& list,
                     const std::basic_string<Char>& separator) {
  out.clear();
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out += separator;
    out += list[i];
  }
}

template <typename Char>
std::basic_string<Char> joinStrings(const std::vector<std::basic_string<Char>>& list,
                                    const std::basic_string<Char>& separator) {
  std::basic_string<Char> out;
  joinStringsInto(out, list, separator);
  return out;
}
