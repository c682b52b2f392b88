#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "study/line_reader.h"
#include "test_env.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File fileWith(const std::string& bytes) {
  const std::string path = testenv::processDir() + "/lines.txt";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::fclose(out);
  return File(std::fopen(path.c_str(), "r"));
}

std::vector<std::wstring> readAll(std::FILE* file, size_t capacity) {
  std::vector<std::wstring> lines;
  std::vector<wchar_t> buffer(capacity);
  while (readLineNoNewline(buffer.data(), capacity, file)) lines.emplace_back(buffer.data());
  return lines;
}

}  // namespace

TEST(LineReader, DecodesEachLineAsUtf8OrCodePage932) {
  // A UTF-8 mark, a UTF-8 line, a code page 932 line ("日本語"), an empty line, a last line
  // without its line end.
  File file = fileWith("\xEF\xBB\xBFMicrosoft Mary\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\x93\xFA\x96\x7B\x8C\xEA\n\r\n409");
  EXPECT_EQ(readAll(file.get(), 1024), (std::vector<std::wstring>{L"Microsoft Mary", L"日本", L"日本語", L"", L"409"}));
}

TEST(LineReader, ALongLineContinuesInTheNextReadWithoutAnExtraEmptyLine) {
  File ascii = fileWith("abcdefghij\r\nabcd\nxy\n");
  EXPECT_EQ(readAll(ascii.get(), 5), (std::vector<std::wstring>{L"abcd", L"efgh", L"ij", L"abcd", L"xy"}));
  // Double-byte characters are never split.
  File cp932 = fileWith("\x93\xFA\x96\x7B\x8C\xEA\x93\xFA\n");
  EXPECT_EQ(readAll(cp932.get(), 3), (std::vector<std::wstring>{L"日本", L"語日"}));
}

TEST(LineReader, StripLineEndTakesTheLineFeedAndACarriageReturnBeforeIt) {
  std::wstring crlf = L"a\r\n", cr = L"a\r", empty, lf = L"\n";
  EXPECT_TRUE(StripLineEnd(crlf));
  EXPECT_EQ(crlf, L"a");
  EXPECT_FALSE(StripLineEnd(cr));
  EXPECT_EQ(cr, L"a\r");
  EXPECT_FALSE(StripLineEnd(empty));
  EXPECT_TRUE(StripLineEnd(lf));
  EXPECT_EQ(lf, L"");
  wchar_t buffer[] = L"x\r\n";
  EXPECT_TRUE(StripLineEnd(buffer));
  EXPECT_STREQ(buffer, L"x");
}
