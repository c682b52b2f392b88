#include <gtest/gtest.h>

#include <cerrno>

#include "platform/settings/ini_profile.h"
#include "services/file_failure.h"

// A settings file refused for its own bytes says so; a code the file system gave (a checksum error)
// is not taken for that refusal, and says only what failed.
TEST(FileFailure, OnlyOurOwnRefusalSaysTheFileHoldsCharactersThatCannotBeRead) {
  const std::wstring what = L"スキンの設定を保存できませんでした。";
  EXPECT_EQ(fileFailureText(what, platform::kUndecodableProfile),
            what + L"\nファイルの中に読み取れない文字があるため、書き込めません。");
  EXPECT_EQ(fileFailureText(what, EBADMSG), what);
  EXPECT_EQ(fileFailureText(what, EILSEQ), what + L"\nファイルに保存できない文字が含まれています。");
}
