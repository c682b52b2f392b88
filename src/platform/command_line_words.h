// The words of a command line written the original platform's way, in either direction. Header
// only and plain C++, so that the sibling library that writes desktop shortcuts reads arguments
// exactly as the program does. Works on wide text and on UTF-8 alike (the characters that matter
// are ASCII, which never occur inside a UTF-8 sequence).
#pragma once

#include <string>
#include <vector>

namespace platform {

// The first word (the program) ends at a blank outside double quotes, where quotes only group;
// the arguments follow the rules for quotes and for backslashes before quotes.
template <class Char>
std::vector<std::basic_string<Char>> splitCommandLineWords(const std::basic_string<Char>& commandLine) {
  using String = std::basic_string<Char>;
  const auto isBlank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
  const Char quote = Char('"'), backslash = Char('\\');
  std::vector<String> words;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (i < n && isBlank(commandLine[i])) ++i;
  if (i == n) return words;
  String program;
  bool quoted = false;
  for (; i < n && (quoted || !isBlank(commandLine[i])); ++i) {
    if (commandLine[i] == quote) quoted = !quoted;
    else program += commandLine[i];
  }
  words.push_back(program);
  for (;;) {
    while (i < n && isBlank(commandLine[i])) ++i;
    if (i == n) return words;
    String word;
    quoted = false;
    while (i < n && (quoted || !isBlank(commandLine[i]))) {
      size_t backslashes = 0;
      while (i < n && commandLine[i] == backslash) ++backslashes, ++i;
      if (i < n && commandLine[i] == quote) {
        // 2k backslashes and a quote: k backslashes and a quote that groups; 2k+1: k and a literal quote.
        word.append(backslashes / 2, backslash);
        if (backslashes % 2) word += quote;
        else if (quoted && i + 1 < n && commandLine[i + 1] == quote) word += quote, ++i;  // "" inside quotes
        else quoted = !quoted;
        ++i;
      } else {
        word.append(backslashes, backslash);
        if (i < n && (quoted || !isBlank(commandLine[i]))) word += commandLine[i++];
      }
    }
    words.push_back(word);
  }
}

// The argument in double quotes, written so that the rules above give it back unchanged:
// backslashes before a quote (or before the closing quote) are doubled and the quote escaped.
template <class Char>
std::basic_string<Char> quoteCommandLineWord(const std::basic_string<Char>& word) {
  const Char quote = Char('"'), backslash = Char('\\');
  std::basic_string<Char> out(1, quote);
  size_t backslashes = 0;
  for (Char c : word) {
    if (c == backslash) {
      ++backslashes;
      continue;
    }
    if (c == quote) {
      out.append(backslashes * 2 + 1, backslash);
    } else {
      out.append(backslashes, backslash);
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, backslash);
  out += quote;
  return out;
}

}  // namespace platform
