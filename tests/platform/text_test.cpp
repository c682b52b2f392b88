#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/trace.h"
#include "scoped_env.h"

using namespace platform;

TEST(Text, Utf8RoundTripKeepsJapaneseAndAstralCharacters) {
  const std::wstring text = L"単語 ｶﾀｶﾅ abc \U0001F600";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(L"語"), "\xE8\xAA\x9E");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(fromUtf8("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xE8\xAA"), L"\uFFFD\uFFFD");       // cut in the middle of a character
  EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");       // overlong form
  EXPECT_FALSE(isValidUtf8("\x82\xA0"));                  // CP932 "あ" is not UTF-8
  EXPECT_TRUE(isValidUtf8("\xE3\x81\x82"));
}

TEST(Text, Utf16UsesSurrogatePairsAndRepairsLoneSurrogates) {
  const std::u16string pair = toUtf16(L"\U0001F600");
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(pair[0], 0xD83D);
  EXPECT_EQ(fromUtf16(pair), L"\U0001F600");
  EXPECT_EQ(fromUtf16(u"a\xD800" "b"), L"a\uFFFDb");
}

TEST(Text, Cp932RoundTripAndUnmappableCharacters) {
  EXPECT_EQ(toCp932(L"あ"), "\x82\xA0");
  EXPECT_EQ(fromCp932("\x82\xA0\x83\x5C"), L"あソ");  // 0x5C as a trail byte is not a backslash
  EXPECT_EQ(toCp932(L"a\U0001F600b"), "a?b");
  EXPECT_EQ(fromCp932("a\x82"), L"a\uFFFD");          // lead byte without its trail
}

TEST(Format, GrowsPastAnyFixedBuffer) {
  const std::wstring longText(50000, L'語');
  EXPECT_EQ(format(L"[%ls]", longText.c_str()).size(), longText.size() + 2);
  EXPECT_EQ(format("%d-%s", 7, "x"), "7-x");
}

TEST(Format, EncodingErrorGivesAnEmptyTextAtOnce) {
  // A narrow argument that is not valid in the C locale cannot be widened.
  EXPECT_EQ(format(L"%s", "\xFF\xFE"), L"");
  EXPECT_EQ(format(L"%d/%ls", 3, L"語"), L"3/語");
}

// A user who starts the program from a shell sees failures only; developers turn the rest on.
TEST(Trace, LinesOnlyWhenAskedForAndFailuresAlways) {
  for (const char* value : {static_cast<const char*>(nullptr), "0", "1"}) {
    const testenv::ScopedEnv trace("KELVARA_TRACE", value);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    platform::trace("rate : %d\n", 42);
    platform::trace(L"語 %ls\n", L"x");
    platform::traceError("failed : %d\n", 1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, value && std::string(value) == "1" ? "rate : 42\n語 x\n" : "") << (value ? value : "unset");
    EXPECT_EQ(err, "failed : 1\n");
  }
}
