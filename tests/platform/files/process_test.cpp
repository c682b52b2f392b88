#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/files/file_system.h"
#include "platform/files/folders.h"
#include "platform/files/process.h"
#include "platform/files/shell_open.h"
#include "scoped_env.h"

using namespace platform;

TEST(Process, CommandLinesSplitByTheOriginalRules) {
  using Words = std::vector<std::wstring>;
  EXPECT_EQ(splitCommandLine(L"KlvEditor7.exe /RUN_BY_KLV"), (Words{L"KlvEditor7.exe", L"/RUN_BY_KLV"}));
  EXPECT_EQ(splitCommandLine(L"  \"C:\\Program Files\\x.exe\"  a\\b  \"c d\""),
            (Words{L"C:\\Program Files\\x.exe", L"a\\b", L"c d"}));
  EXPECT_EQ(splitCommandLine(L"p a\\\"b \"x\\\\\" \"say \"\"hi\"\"\""),
            (Words{L"p", L"a\"b", L"x\\", L"say \"hi\""}));
  EXPECT_TRUE(splitCommandLine(L"   ").empty());
}

TEST(Process, StartsAProgramOfTheProgramFolderInTheWorkingFolder) {
  QTemporaryDir program, work;
  ProgramFolderOverride folder(program.path().toStdWString());
  const QString tool = program.filePath("klvtool");
  ASSERT_TRUE(writeFileAtomically(tool.toStdWString(), "#!/bin/sh\nprintf '%s|' \"$@\" > out.txt\nexit 3\n"));
  QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  // The ".exe" the original names its programs with is found without it.
  std::optional<Process> started = startProcess(L"klvtool.exe /RUN_BY_KLV \"日本 語\"", work.path().toStdWString());
  ASSERT_TRUE(started);
  EXPECT_EQ(started->wait(), 3);
  EXPECT_EQ(readFileBytes(work.filePath("out.txt").toStdWString()), "/RUN_BY_KLV|日本 語|");

  EXPECT_FALSE(startProcess(L"kat.exe", work.path().toStdWString()));
  EXPECT_FALSE(startProcess(L"", L""));
}

TEST(ShellOpen, LogsTheTargetInsteadOfOpeningIt) {
  QTemporaryDir dir;
  const std::wstring log = dir.filePath("shell.log").toStdWString();
  const std::wstring readme = dir.filePath("Readme.txt").toStdWString();
  ASSERT_TRUE(writeFileAtomically(readme, "read me"));
  testenv::ScopedEnv logging("KELVARA_SHELL_LOG", dir.filePath("shell.log").toUtf8().constData());

  EXPECT_TRUE(shellOpen(L"https://example.com/find?q=run"));
  EXPECT_TRUE(shellOpen(readme));
  EXPECT_FALSE(shellOpen(dir.filePath("Klv.chm").toStdWString()));  // a missing file is not opened
  EXPECT_FALSE(shellOpen(L"C:missing"));                            // a drive letter is no scheme
  EXPECT_EQ(readFileBytes(log), "https://example.com/find?q=run\n" + dir.filePath("Readme.txt").toStdString() + "\n");
}
