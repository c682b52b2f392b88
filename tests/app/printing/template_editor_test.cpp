#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/printing/print_option_dialog.h"
#include "app/printing/print_preview_dialog.h"
#include "app/printing/template_editor_host.h"
#include "platform/files/file_system.h"
#include "list_view_input.h"
#include "print_fixture.h"

using printtest::PrintApp;
using printtest::control;

namespace {

const std::wstring kFolderCause = L"ファイルと同じ名前のフォルダがあります。";

struct Host : TemplateEditorHost {
  explicit Host(std::wstring folder) : folder(std::move(folder)) {}
  PrintTemplate& printTemplate() override { return sheet; }
  void templateApplied() override { ++applied; }
  std::wstring templateFolder() const override { return folder; }
  PrintTemplate sheet;
  std::wstring folder;
  int applied = 0;
};

void click(QWidget& dialog, int id) { QTest::mouseClick(control<QPushButton>(dialog, id), Qt::LeftButton); }

PrintTemplate readTemplate(const std::wstring& path) {
  PrintTemplate read;
  read.LoadOrSave(path, false);
  return read;
}

}  // namespace

TEST(TemplateEditor, ASecondDefaultIsRenamedInItsFileAndTheFirstEntryIsProtected) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/default.ini", true));
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/another.ini", true));
  CPrintoptionDlg editor(host);
  auto* list = control<QComboBox>(editor, 1287);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "default");
  EXPECT_EQ(list->itemText(1), "default(1)");
  EXPECT_EQ(readTemplate(host.folder + L"/another.ini").name, L"default(1)");
  EXPECT_EQ(list->currentIndex(), 0);
  click(editor, 1290);
  click(editor, 1289);
  ASSERT_EQ(p.boxes.texts.size(), 2u);
  EXPECT_EQ(p.boxes.texts[0], L"default の名称は変更できません");
  EXPECT_EQ(p.boxes.texts[1], L"default は削除できません");
  EXPECT_TRUE(platform::fileExists(host.folder + L"/default.ini"));

  // Deleting the other entry asks, removes its file and goes back to the one before.
  list->setCurrentIndex(1);
  click(editor, 1289);
  EXPECT_EQ(p.boxes.texts.back(), L"削除してもよろしいですか？");
  EXPECT_FALSE(platform::fileExists(host.folder + L"/another.ini"));
  EXPECT_EQ(list->count(), 1);
}

TEST(TemplateEditor, ANewTemplateGetsTheNextFreeFileWhenItIsNextSaved) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/default.ini", true));
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/templete001.ini", true));
  CPrintoptionDlg editor(host);
  click(editor, 1288);
  auto* list = control<QComboBox>(editor, 1287);
  EXPECT_EQ(list->currentText(), QString::fromStdWString(L"新規テンプレート"));
  const std::wstring file = host.folder + L"/templete002.ini";
  EXPECT_FALSE(platform::fileExists(file));
  control<QLineEdit>(editor, 1271)->setText("title two");
  click(editor, 1026);
  EXPECT_EQ(host.applied, 1);
  const PrintTemplate written = readTemplate(file);
  EXPECT_EQ(written.name, L"新規テンプレート");
  EXPECT_EQ(written.texts[0].text, L"title two");
  EXPECT_EQ(host.sheet.texts[0].text, L"title two");
  // Going back to default keeps what was typed in the new one.
  list->setCurrentIndex(0);
  EXPECT_EQ(control<QLineEdit>(editor, 1271)->text(), QString::fromStdWString(L"暗記シート"));

  // A file that became unreadable since the list was made is said, and the editor keeps its template.
  ASSERT_TRUE(platform::deleteFile(file));
  ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(file)));
  list->setCurrentIndex(2);
  EXPECT_EQ(p.boxes.texts, std::vector<std::wstring>{L"テンプレートを読み込めませんでした: " + file + L"\n" + kFolderCause});
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(control<QLineEdit>(editor, 1271)->text(), QString::fromStdWString(L"暗記シート"));
}

TEST(TemplateEditor, LineSpacingModesAndPositionsGoIntoTheTemplate) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/default.ini", true));
  CPrintoptionDlg editor(host);
  control<QListWidget>(editor, 1002)->setCurrentRow(1);
  auto* spacing = control<QLineEdit>(editor, 1049);
  EXPECT_EQ(spacing->text(), "100%");
  QTest::mouseClick(control<QWidget>(editor, 1050)->findChild<QToolButton*>("up"), Qt::LeftButton);
  EXPECT_EQ(spacing->text(), "110%");
  spacing->setText("150%");
  auto* mode = control<QComboBox>(editor, 1257);
  EXPECT_FALSE(control<QLineEdit>(editor, 1260)->isEnabled());
  mode->setCurrentIndex(mode->count() - 1);  // "指定した文字列"
  EXPECT_TRUE(control<QLineEdit>(editor, 1260)->isEnabled());
  control<QLineEdit>(editor, 1260)->setText("%q1 / %a1");
  TemplateFont bold = host.sheet.regions[1].font;
  bold.weight = 700;
  bold.size = 145;
  bold.colour = 0x0000FF;
  p.prompts.font = bold;
  click(editor, 1261);
  click(editor, 1026);
  EXPECT_EQ(host.sheet.regions[1].font.weight, 700);
  EXPECT_EQ(host.sheet.regions[1].font.height, -19);  // 14 whole points at 96 dpi
  EXPECT_EQ(readTemplate(host.folder + L"/default.ini").regions[1].font.colour, 0x0000FFu);
  EXPECT_DOUBLE_EQ(host.sheet.regions[1].lineHeightScale, 1.5);
  EXPECT_EQ(host.sheet.regions[1].mode, 2);
  EXPECT_EQ(host.sheet.regions[1].text, L"%q1 / %a1");

  // A position beyond 1000 is refused and nothing is stored or written.
  control<QLineEdit>(editor, 1258)->setText("1001");
  click(editor, 1026);
  EXPECT_EQ(host.applied, 1);
  EXPECT_EQ(p.boxes.texts.size(), 1u);
  EXPECT_EQ(readTemplate(host.folder + L"/default.ini").regions[1].x, 105);
}

TEST(TemplateEditor, AFailedSaveIsToldAndTheEditorStaysOpen) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  const std::wstring other = host.folder + L"/other.ini";
  ASSERT_TRUE(PrintTemplate().LoadOrSave(host.folder + L"/default.ini", true));
  ASSERT_TRUE(PrintTemplate().LoadOrSave(other, true));
  CPrintoptionDlg editor(host);
  editor.show();
  // The file turns into a folder behind the editor's back: it cannot be replaced.
  ASSERT_TRUE(platform::deleteFile(host.folder + L"/default.ini"));
  ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(host.folder + L"/default.ini")));
  click(editor, 1);
  ASSERT_EQ(p.boxes.texts.size(), 1u);
  EXPECT_EQ(p.boxes.texts[0], L"テンプレートを保存できませんでした: " + host.folder + L"/default.ini\n" + kFolderCause);
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(host.applied, 0);

  // A delete that fails says why as well, and keeps the entry.
  ASSERT_TRUE(QDir(QString::fromStdWString(host.folder + L"/default.ini")).removeRecursively());
  auto* list = control<QComboBox>(editor, 1287);
  list->setCurrentIndex(1);
  ASSERT_TRUE(platform::deleteFile(other));
  ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(other + L"/inside")));
  click(editor, 1289);
  EXPECT_EQ(p.boxes.texts.back(), L"テンプレートを削除できませんでした: " + other + L"\n" + kFolderCause);
  EXPECT_EQ(list->count(), 2);
}

TEST(TemplateEditor, ATemplateThatCannotBeReadIsSaidWithItsCauseAndNeverShownOrWrittenOver) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  const std::wstring unreadable = host.folder + L"/default.ini";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(unreadable)));
  const std::wstring said = L"テンプレートを読み込めませんでした: " + unreadable + L"\n" + kFolderCause;
  // The print window would print blank sheets: it says why and stays shut.
  CPrintPreviewDlg window(p.app, nullptr, L"set", p.sampleIds());
  ASSERT_EQ(p.boxes.texts, std::vector<std::wstring>{said});
  EXPECT_EQ(window.exec(), QDialog::Rejected);

  PrintTemplate mine;
  mine.name = L"mine";
  ASSERT_TRUE(mine.LoadOrSave(host.folder + L"/mine.ini", true));
  CPrintoptionDlg editor(host);
  EXPECT_EQ(p.boxes.texts, (std::vector<std::wstring>{said, said}));
  auto* list = control<QComboBox>(editor, 1287);
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->itemText(0), "mine");
  click(editor, 1289);  // only the default is kept from deletion
  EXPECT_EQ(p.boxes.texts.back(), L"削除してもよろしいですか？");
  ASSERT_EQ(list->count(), 0);
  click(editor, 1026);
  EXPECT_EQ(p.boxes.texts.back(), L"テンプレートを保存できませんでした: " + unreadable + L"\n" + kFolderCause);
}

TEST(TemplateEditor, WithoutADefaultFileApplyWritesItOrSaysWhy) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  host.sheet.texts[0].text = L"window's";
  CPrintoptionDlg editor(host);
  ASSERT_EQ(control<QComboBox>(editor, 1287)->currentText(), "default");
  click(editor, 1026);
  EXPECT_EQ(host.applied, 1);
  EXPECT_EQ(readTemplate(host.folder + L"/default.ini").texts[0].text, L"window's");

  Host nowhere(host.folder + L"/missing");
  CPrintoptionDlg lost(nowhere);
  click(lost, 1026);
  EXPECT_EQ(p.boxes.texts, std::vector<std::wstring>{L"テンプレートを保存できませんでした: " + nowhere.folder +
                                                     L"/default.ini\n書き込み先のフォルダが見つかりません。"});
  EXPECT_EQ(nowhere.applied, 0);
}

// Lists lower than their ten texts and ten regions, as a large desktop font makes them.
TEST(TemplateEditor, HomeAndEndBringTheFirstAndLastEntryBackAfterTheWheel) {
  PrintApp p;
  Host host(p.settings.printTempleteFolder.value);
  CPrintoptionDlg editor(host);
  for (int id : {1001, 1002}) control<QListWidget>(editor, id)->setMaximumHeight(80);
  editor.show();
  QCoreApplication::processEvents();
  for (int id : {1001, 1002}) {
    SCOPED_TRACE(id);
    listinput::expectHomeAndEndBringTheirRowBack(*control<QListWidget>(editor, id));
  }
}
