#include <gtest/gtest.h>

#include "../platform/scoped_env.h"
#include "platform/text.h"
#include "services/command_line.h"
#include "services/notice_box.h"

namespace {

struct Case {
  std::vector<std::wstring> arguments;  // after the program name
  bool starts;
  bool autorun;
  int count, mode;
  std::wstring path;
  const wchar_t* message;  // the refusal shown, or null
};

}  // namespace

TEST(CommandLine, TheArgumentTable) {
  const Case cases[] = {
      {{L"/AUTORUN", L"/S", L"x"}, true, true, 20, 0, L"x", nullptr},
      {{L"/autorun=5", L"/card", L"/s", L"a/b"}, true, true, 5, 5, L"a/b", nullptr},
      {{L"/Autorun=20", L"/je4", L"/s", L"英単語/基本"}, true, true, 20, 3, L"英単語/基本", nullptr},
      {{L"/autorun=0", L"/s", L"x"}, true, true, 20, 0, L"x", nullptr},
      {{L"/autorun=abc", L"/s", L"x"}, true, true, 20, 0, L"x", nullptr},
      {{L"/autorun=-3", L"/s", L"x"}, true, true, 20, 0, L"x", nullptr},
      {{L"/autorun=12abc", L"/DICTATION", L"-v", L"/s", L"x", L"y"}, true, true, 12, 6, L"x", nullptr},
      {{L"/autorun", L"/je4x", L"/ej4", L"/je", L"/s", L"x"}, true, true, 20, 1, L"x", nullptr},
      {{L"/autorunX", L"/s", L"x"}, false, false, 0, 0, L"", L"起動オプションが正しくありません。"},
      {{L"/autorunX", L"/autorun", L"/s", L"x"}, false, false, 0, 0, L"", L"起動オプションが正しくありません。"},
      {{L"/autorun", L"/s"}, false, true, 20, 0, L"", L"Autorun オプションがあるのに、セクションの指定がありません"},
      {{L"/autorun", L"x"}, false, true, 20, 0, L"x", L"起動オプションが正しくありません。"},
      {{L"x"}, false, false, 0, 0, L"", L"起動オプションが正しくありません。"},
      {{}, true, false, 0, 0, L"", nullptr},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> arguments{L"kelvara"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const std::wstring shown = arguments.size() > 1 ? arguments[1] : L"(none)";
    SCOPED_TRACE(platform::toUtf8(shown));
    testenv::BoxRecorder boxes;
    CommandLineOptions options;
    CNoticeBox notice;
    EXPECT_EQ(acceptCommandLine(arguments, options, notice), c.starts);
    EXPECT_EQ(options.autorun, c.autorun);
    EXPECT_EQ(options.count, c.count);
    EXPECT_EQ(options.mode, c.mode);
    EXPECT_EQ(options.path, c.path);
    if (c.message) {
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_EQ(boxes.texts[0], c.message);
    } else {
      EXPECT_TRUE(boxes.texts.empty());
    }
  }
}

TEST(CommandLine, CaseInsensitiveComparisonOrdersByTextThenLength) {
  EXPECT_EQ(CompareWStringNoCase(L"/SpeedReply", L"/speedreply"), 0);
  EXPECT_EQ(CompareWStringNoCase(L"/je", L"/je4"), -1);
  EXPECT_EQ(CompareWStringNoCase(L"/ej", L"/AUTORUN"), 1);
}
