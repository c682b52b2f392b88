#include <gtest/gtest.h>

#include <QFile>
#include <cerrno>

#include "app/printing/card_template.h"
#include "app/printing/print_template.h"
#include "app/printing/template_files.h"
#include "platform/files/file_system.h"
#include "platform/settings/ini_profile.h"
#include "test_env.h"
#include "print_fixture.h"

namespace {

std::string bytesOf(const std::wstring& path) { return platform::readFileBytes(path).value_or("<missing>"); }
std::wstring shipped(const char* folder) {
  return QString::fromStdString(testenv::sourceDir() + "/resources/" + folder + "/default.ini").toStdWString();
}

}  // namespace

TEST(SheetTemplateFile, BuiltInTemplateIsTheShippedFileAndReadsBackEqual) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/default.ini";
  ASSERT_TRUE(PrintTemplate().LoadOrSave(path, true));
  EXPECT_EQ(bytesOf(path), bytesOf(shipped("print-config")));
  PrintTemplate read;
  read.texts[0].text = L"other";
  read.regionY = 3;
  read.regions[4].show = true;
  read.LoadOrSave(path, false);
  EXPECT_EQ(read, PrintTemplate());
  EXPECT_EQ(read.regionY, 20);  // the first row clears the title at (10, 10)
}

TEST(SheetTemplateFile, QuotedTextsKeepTheirBlanksAndMissingValuesReadEmpty) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/t.ini";
  PrintTemplate written;
  written.texts[3].text = L"  two blanks each side  ";
  written.marginTexts[1] = L" %p ";
  written.regions[2].lineHeightScale = 1.5;
  ASSERT_TRUE(written.LoadOrSave(path, true));
  PrintTemplate read;
  read.LoadOrSave(path, false);
  EXPECT_EQ(read.texts[3].text, L"  two blanks each side  ");
  EXPECT_EQ(read.marginTexts[1], L" %p ");
  EXPECT_DOUBLE_EQ(read.regions[2].lineHeightScale, 1.5);

  // A file without the keys: empty texts, zeros, a black colour; a position that does not parse stays.
  QFile file(dir.path() + "/sparse.ini");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Templete]\r\nstr00_point=(oops)\r\nregion00_font_color=255\r\n");
  file.close();
  PrintTemplate sparse;
  sparse.LoadOrSave(file.fileName().toStdWString(), false);
  EXPECT_EQ(sparse.name, L"");
  EXPECT_EQ(sparse.texts[0].x, 10);
  EXPECT_FALSE(sparse.texts[0].show);
  EXPECT_EQ(sparse.regions[0].font.colour, 255u);
  EXPECT_EQ(sparse.regions[1].font.colour, 0u);
  EXPECT_EQ(sparse.regions[1].font.size, 0);
}

TEST(SheetTemplateFile, AFailedWriteLeavesTheFileAsItWas) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/default.ini";
  ASSERT_TRUE(PrintTemplate().LoadOrSave(path, true));
  const std::string before = bytesOf(path);
  PrintTemplate changed;
  changed.texts[0].text = std::wstring(4000, L'x');
  {
    testenv::FileSizeLimit full(6000);
    EXPECT_FALSE(changed.LoadOrSave(path, true));
  }
  EXPECT_EQ(bytesOf(path), before);
  // A text the file cannot hold is refused with a cause of its own.
  changed.texts[0].text = L"two\nlines";
  EXPECT_FALSE(changed.LoadOrSave(path, true));
  EXPECT_EQ(errno, EILSEQ);
  EXPECT_EQ(bytesOf(path), before);
  // So is one a code page 932 file whose own bytes do not decode could only take in UTF-8.
  const std::string undecodable = "[Templete]\r\nbad=\xFF\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(path, undecodable));
  changed.texts[0].text = L"\U0001F600";
  EXPECT_FALSE(changed.LoadOrSave(path, true));
  EXPECT_EQ(errno, platform::kUndecodableProfile);
  EXPECT_EQ(bytesOf(path), undecodable);
}

// A NUL inside a value ends it, as a string of the registry ends there: the template read so can
// be saved again.
TEST(SheetTemplateFile, AValueHoldingANulEndsThereAndTheTemplateSavesAgain) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/nul.ini";
  ASSERT_TRUE(PrintTemplate().LoadOrSave(path, true));
  std::string bytes = bytesOf(path);
  const std::string name = "TempleteName=\"default\"";
  ASSERT_NE(bytes.find(name), std::string::npos);
  // The closing quote stands before the NUL: the value is cut there before the quotes go.
  bytes.replace(bytes.find(name), name.size(), std::string("TempleteName=\"sheet\"\0tail", 25));
  ASSERT_TRUE(platform::writeFileAtomically(path, bytes));

  PrintTemplate read;
  read.LoadOrSave(path, false);
  EXPECT_EQ(read.name, L"sheet");
  ASSERT_TRUE(read.LoadOrSave(path, true));
  PrintTemplate again;
  again.LoadOrSave(path, false);
  EXPECT_EQ(again, read);
  EXPECT_EQ(bytesOf(path).find('\0'), std::string::npos);
}

TEST(CardTemplateFile, BuiltInTemplateIsTheShippedFileAndReadsBackEqual) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/default.ini";
  CardTemplate written;
  written.SetDefaultItems();
  ASSERT_TRUE(written.LoadOrSave(path, true));
  EXPECT_EQ(bytesOf(path), bytesOf(shipped("print-card-config")));
  CardTemplate read;
  read.LoadOrSave(path, false);
  EXPECT_EQ(read, written);
}

TEST(CardTemplateFile, ASideWritesExactlyItsItemsAndReadsBackIntoALargerTemplate) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/card.ini";
  CardTemplate written;
  for (int i = 0; i < 3; ++i) {
    CardItem item;
    item.mode = 3 + i;
    item.x = 1.25 * i;
    item.text = L"t" + std::to_wstring(i);
    written.front.push_back(item);
  }
  written.cardWidth = 100;
  ASSERT_TRUE(written.LoadOrSave(path, true));
  const std::string text = bytesOf(path);
  EXPECT_NE(text.find("front02_width=100"), std::string::npos);
  EXPECT_NE(text.find("front03_exist=0"), std::string::npos);
  EXPECT_NE(text.find("front99_exist=0"), std::string::npos);
  EXPECT_EQ(text.find("front03_x"), std::string::npos);
  EXPECT_NE(text.find("back00_exist=0"), std::string::npos);

  CardTemplate read;
  read.SetDefaultItems();
  read.front.resize(7);
  read.LoadOrSave(path, false);
  ASSERT_EQ(read.front.size(), 3u);
  EXPECT_TRUE(read.back.empty());
  EXPECT_EQ(read.front[2].text, L"t2");
  EXPECT_DOUBLE_EQ(read.front[1].x, 1.25);
  EXPECT_DOUBLE_EQ(read.cardWidth, 100.0);
  EXPECT_DOUBLE_EQ(read.cardHeight, 30.0);
}

// A side's items end at the first item whose mark is 0 or missing: whatever follows is left over
// from a larger template and is not the learner's card.
TEST(CardTemplateFile, ASideEndsAtTheFirstItemNotMarkedAsThere) {
  QTemporaryDir dir;
  const std::wstring path = dir.path().toStdWString() + L"/card.ini";
  QFile file(QString::fromStdWString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Templete]\r\n"
             "front00_exist=1\r\nfront00_str=kept\r\n"
             "front01_exist=0\r\nfront01_str=after a zero\r\n"
             "front02_exist=1\r\nfront02_str=left over\r\n"
             "back00_exist=1\r\nback00_str=kept\r\n"
             "back02_exist=1\r\nback02_str=after a gap\r\n");
  file.close();
  CardTemplate read;
  read.LoadOrSave(path, false);
  ASSERT_EQ(read.front.size(), 1u);
  EXPECT_EQ(read.front[0].text, L"kept");
  ASSERT_EQ(read.back.size(), 1u);
  EXPECT_EQ(read.back[0].text, L"kept");
}

// Two templates whose names differ only in case could not be told apart in the editors' lists:
// the later one is listed, and written back, under a numbered name.
TEST(TemplateList, NamesThatDifferOnlyInCaseAreMadeUnique) {
  QTemporaryDir dir;
  const std::wstring folder = dir.path().toStdWString();
  for (const auto& [file, name] : {std::pair(L"/a.ini", L"Cards"), std::pair(L"/b.ini", L"CARDS")}) {
    CardTemplate card;
    card.name = name;
    ASSERT_TRUE(card.LoadOrSave(folder + file, true));
  }
  const TemplateList list = listTemplates<CardTemplate>(folder);
  ASSERT_EQ(list.listed.size(), 3u);  // the built-in default first
  EXPECT_EQ(list.listed[1].name, L"Cards");
  EXPECT_EQ(list.listed[2].name, L"CARDS(1)");
  CardTemplate written;
  written.LoadOrSave(folder + L"/b.ini", false);
  EXPECT_EQ(written.name, L"CARDS(1)");
  EXPECT_EQ(uniqueTemplateName(L"cards", {L"Cards", L"CARDS(1)"}), L"cards(2)");
}
