#include <gtest/gtest.h>

#include <cstdio>

#include "study/sound/line_reader.h"
#include "test_env.h"

namespace {

std::vector<std::wstring> readAll(const std::string& bytes, size_t capacity) {
  const std::string path = testenv::processDir() + "/lines.txt";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::freopen(path.c_str(), "r", file);
  std::vector<std::wstring> lines;
  std::vector<wchar_t> buffer(capacity);
  while (readLineNoNewline(buffer.data(), capacity, file)) lines.emplace_back(buffer.data());
  std::fclose(file);
  return lines;
}

}  // namespace

TEST(LineReader, DecodesEachLineAsUtf8OrCodePage932) {
  // A UTF-8 mark, a UTF-8 line, a code page 932 line ("日本語"), an empty line, a last line
  // without its line end.
  EXPECT_EQ(readAll("\xEF\xBB\xBFMary\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\x93\xFA\x96\x7B\x8C\xEA\n\r\n409", 1024),
            (std::vector<std::wstring>{L"Mary", L"日本", L"日本語", L"", L"409"}));
}

TEST(LineReader, ALongLineContinuesInTheNextReadWithoutAnExtraEmptyLine) {
  EXPECT_EQ(readAll("abcdefghij\r\nabcd\nxy\n", 5), (std::vector<std::wstring>{L"abcd", L"efgh", L"ij", L"abcd", L"xy"}));
  // Double-byte characters are never split.
  EXPECT_EQ(readAll("\x93\xFA\x96\x7B\x8C\xEA\x93\xFA\n", 3), (std::vector<std::wstring>{L"日本", L"語日"}));
  wchar_t crlf[] = L"a\r\n", cr[] = L"a\r";
  EXPECT_TRUE(StripLineEnd(crlf));
  EXPECT_STREQ(crlf, L"a");
  EXPECT_FALSE(StripLineEnd(cr));
  EXPECT_STREQ(cr, L"a\r");
}
