#include <gtest/gtest.h>

#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cmath>
#include <cstdio>
#include <memory>

#include "../platform/scoped_env.h"
#include "platform/files/folders.h"
#include "platform/random.h"
#include "services/buffered_file_reader.h"
#include "services/named_mutex.h"
#include "services/notice_box.h"
#include "services/rich_text.h"
#include "services/shell_files.h"
#include "services/shell_values.h"
#include "services/text_helpers.h"

using Fields = std::vector<std::wstring>;

TEST(ShellText, SplitBracketedKeepsBracketedCommasAndEveryField) {
  Fields fields;
  ASSERT_TRUE(SplitBracketed(L"12,1,0,0,0, MS Gothic ,SHIFTJIS", fields, L"()''"));
  EXPECT_EQ(fields, (Fields{L"12", L"1", L"0", L"0", L"0", L" MS Gothic ", L"SHIFTJIS"}));
  ASSERT_TRUE(SplitBracketed(L"9,(a,b),'c,d'x,e", fields, L"()''"));
  EXPECT_EQ(fields, (Fields{L"9", L"(a,b)", L"'c,d'x", L"e"}));
  // The character right after a comma is examined like any other.
  ASSERT_TRUE(SplitBracketed(L"a,,b,'x,y'", fields, L"()''"));
  EXPECT_EQ(fields, (Fields{L"a", L"", L"b", L"'x,y'"}));
  EXPECT_FALSE(SplitBracketed(L"12,(open", fields, L"()''"));
  EXPECT_FALSE(SplitBracketed(L"a,b", fields, L"()'"));
}

TEST(ShellValues, RateColoursAtTheBandEdges) {
  EXPECT_EQ(RateToColor(0.3), 0x0000FFu);
  EXPECT_EQ(RateToColor(0.29), 0x0000FFu);
  EXPECT_EQ(RateToColor(0.81), 0xFF0000u);
  EXPECT_EQ(RateToColor(0.8), 0xFF0000u);
  EXPECT_EQ(RateToColor(0.5), 0x667899u);  // t = 0.4: red 153, green 120, blue 102
  EXPECT_EQ(RateToColor(std::nan("")), 0x0000FFu);
}

TEST(ShellValues, RandomRangeStaysInsideBoundsGivenEitherWay) {
  platform::seedRandom(1);
  EXPECT_EQ(RandomRange(3, 3), 3);
  bool seen[5] = {};
  for (int i = 0; i < 200; ++i) {
    const int value = RandomRange(5, 1);
    ASSERT_GE(value, 1);
    ASSERT_LE(value, 5);
    seen[value - 1] = true;
  }
  for (bool s : seen) EXPECT_TRUE(s);
  EXPECT_GE(RandomRange(INT_MIN, INT_MAX), INT_MIN);  // a span wider than int does not overflow
}

TEST(NamedMutexTest, TheNameStaysTakenFromCreateUntilClose) {
  NamedMutex never;
  EXPECT_FALSE(never.Release());
  EXPECT_FALSE(never.Close());

  NamedMutex instance, second;
  ASSERT_TRUE(instance.Create(L"Kelvara"));
  EXPECT_TRUE(instance.owned());
  EXPECT_FALSE(second.Create(L"Kelvara"));
  EXPECT_FALSE(second.Close());  // a refused Create leaves nothing held
  EXPECT_TRUE(instance.Release());
  EXPECT_FALSE(instance.Release());
  EXPECT_FALSE(second.Create(L"Kelvara"));  // released but not closed: it still exists
  EXPECT_TRUE(instance.Close());
  EXPECT_TRUE(second.Create(L"Kelvara"));
}

TEST(NoticeBoxes, CaptionsFlagsAndUncutText) {
  testenv::BoxRecorder boxes;
  CNoticeBox notice;
  notice.ShowText(L"起動オプションが正しくありません。");
  const std::wstring longText(3000, L'x');
  ErrorBox(nullptr, L"%ls!", longText.c_str());
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.captions[0], L"Error!");
  EXPECT_EQ(boxes.flags[0], platform::MbSystemModal);
  EXPECT_EQ(notice.text(), L"起動オプションが正しくありません。");
  EXPECT_EQ(boxes.captions[1], L"ErrorDlg");
  EXPECT_EQ(boxes.flags[1], platform::MbIconInformation);
  EXPECT_EQ(boxes.texts[1].size(), 3001u);
}

TEST(ShellFiles, FolderTreesAreMadeInOrderAndStopAtAFileInTheWay) {
  QTemporaryDir dir;
  testenv::BoxRecorder boxes;
  const std::wstring root = dir.path().toStdWString();
  EXPECT_TRUE(createFolderTree(root + L"/a/b/"));
  EXPECT_TRUE(platform::folderExists(root + L"/a/b"));
  EXPECT_TRUE(createFolder(root + L"/a/"));  // an existing folder is fine

  ASSERT_TRUE(platform::writeFileAtomically(root + L"/f", ""));
  EXPECT_FALSE(createFolderTree(root + L"/f/g/"));
  EXPECT_FALSE(fileExists(root + L"/f/g"));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], root + L"/f/ - 同じ名前のファイルが既に存在するのでフォルダが作成できません。");
  EXPECT_EQ(boxes.flags[0], platform::MbIconError);
  EXPECT_TRUE(boxes.texts.size() == 1 && createFolder(L"/"));
}

TEST(ShellFiles, PathPartsAndTheProgramFolder) {
  const PathParts parts(L"/opt/kelvara/data/pronounce.kpdidx");
  EXPECT_EQ(parts.GetFolder(), L"/opt/kelvara/data");
  EXPECT_EQ(parts.fileName, L"pronounce");
  EXPECT_EQ(parts.extension, L".kpdidx");
  EXPECT_EQ(PathParts(L"Readme").GetFolder(), L"");
  EXPECT_EQ(PathParts(L"/x.lua").GetFolder(), L"/");
  platform::ProgramFolderOverride folder(L"/opt/kelvara");
  EXPECT_EQ(programFolder() + L"Readme.txt", L"/opt/kelvara/Readme.txt");
}

TEST(ShellFiles, FileChoiceGoesThroughTheDialogsAndChecksAnOpenedFile) {
  struct Answer : platform::FileDialogs {
    std::optional<std::wstring> file, folder;
    platform::FileDialogRequest asked;
    std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& request) override {
      asked = request;
      return file;
    }
    std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring& title, const std::wstring&) override {
      asked.title = title;
      return folder;
    }
  } answer;
  platform::FileDialogOverride use(answer);
  QTemporaryDir dir;
  const std::wstring existing = dir.filePath("irank.dat").toStdWString();
  ASSERT_TRUE(platform::writeFileAtomically(existing, "x"));

  std::wstring out;
  answer.file = dir.filePath("gone.dat").toStdWString();
  EXPECT_FALSE(chooseFile(nullptr, existing, out, L"*.dat", L"t", {{L"IRank Data File(*.dat)", L"*.dat"}}, true));
  EXPECT_TRUE(chooseFile(nullptr, existing, out, L"*.dat", L"t", {}, false));  // a save may name a new file
  answer.file = existing;
  EXPECT_TRUE(chooseFile(nullptr, L"", out, L"*.dat", L"t", {}, true));
  EXPECT_EQ(out, existing);
  EXPECT_TRUE(answer.asked.open);

  answer.folder = std::nullopt;
  EXPECT_FALSE(browseForFolder(nullptr, L"/", out));
  EXPECT_EQ(answer.asked.title, L"フォルダを選択してください");
}

TEST(BufferedReader, ServesReadsAcrossRefillsAndRefusesShortFiles) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::tmpfile(), std::fclose);
  for (int i = 0; i < 100; ++i) std::fputc(i, file.get());
  std::rewind(file.get());
  BufferedFileReader reader(file.get(), 16);
  unsigned char bytes[64];
  ASSERT_EQ(reader.Read(bytes, 1, 10), 10u);
  ASSERT_EQ(reader.Read(bytes + 10, 4, 3), 3u);   // crosses the end of the first fill
  ASSERT_EQ(reader.Read(bytes + 22, 1, 40), 40u);  // larger than the buffer
  for (int i = 0; i < 62; ++i) ASSERT_EQ(bytes[i], i);
  EXPECT_EQ(reader.Read(bytes, 1, 30), 30u);
  EXPECT_EQ(bytes[0], 62);
  EXPECT_EQ(reader.Read(bytes, 1, 10), 0u);  // 8 bytes left
}

TEST(RichText, KeepsCrLfLineEndsThroughTheControl) {
  QWidget dialog;
  auto* rich = new QTextEdit(&dialog);
  rich->setObjectName("id1030");
  auto* plain = new QPlainTextEdit(&dialog);
  plain->setObjectName("id1031");
  std::wstring text = L"一行目\r\n二行目";
  DDX_RichText(&dialog, false, 1030, text);
  DDX_RichText(&dialog, false, 1031, text);
  EXPECT_EQ(rich->toPlainText(), QString("一行目\n二行目"));
  std::wstring back;
  DDX_RichText(&dialog, true, 1031, back);
  EXPECT_EQ(back, text);
  EXPECT_EQ(GetRichEditText(rich), u"一行目\r\n二行目");
  EXPECT_FALSE(SetRichEditTextString(&dialog, L"x"));
}
