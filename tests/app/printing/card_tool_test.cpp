#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>

#include "app/printing/card_tool_dialog.h"
#include "held_database.h"
#include "platform/files/file_system.h"
#include "list_view_input.h"
#include "print_fixture.h"

using printtest::PrintApp;
using printtest::control;

namespace {

CardTemplate readCard(const std::wstring& path) {
  CardTemplate read;
  read.LoadOrSave(path, false);
  return read;
}

}  // namespace

TEST(CardTool, ThePreviewFitsTheCardIntoItsBoxAndShowsEmptyItemsByTheirLabel) {
  PrintApp p;
  const int blank = p.addQuestion(L"", L"ans");
  CPrintToolDlg tool(p.app, nullptr, {1, blank});
  // default.ini is written when the folder has none.
  EXPECT_EQ(readCard(p.settings.printCardTempleteFolder.value + L"/default.ini").front.size(), 2u);
  control<QDoubleSpinBox>(tool, 1310)->setValue(100);
  control<QDoubleSpinBox>(tool, 1311)->setValue(50);
  EXPECT_DOUBLE_EQ(tool.page().previewScale(), 2.5);
  EXPECT_EQ(tool.page().previewControl()->size(), QSize(250, 125));
  control<QDoubleSpinBox>(tool, 1310)->setValue(50);
  EXPECT_DOUBLE_EQ(tool.page().previewScale(), 4.0);
  EXPECT_EQ(tool.page().previewControl()->size(), QSize(200, 200));
  EXPECT_DOUBLE_EQ(tool.cardTemplate.cardHeight, 50.0);

  const CardItem& questionItem = tool.cardTemplate.front[0];
  EXPECT_EQ(tool.previewText(questionItem, 1), L"教室");
  EXPECT_EQ(tool.previewText(questionItem, blank), L"<問題（全て）>");
  // The slider runs one past the last question, where the card is empty.
  EXPECT_EQ(control<QSlider>(tool, 1322)->maximum(), 2);
  tool.show();
  control<QSlider>(tool, 1322)->setValue(0);
  const QImage withText = tool.page().previewControl()->grab().toImage();
  control<QSlider>(tool, 1322)->setValue(2);
  const QImage empty = tool.page().previewControl()->grab().toImage();
  EXPECT_NE(withText, empty);
  QImage white(empty.size(), empty.format());
  white.fill(Qt::white);
  EXPECT_EQ(empty, white);
}

TEST(CardTool, ChoosingATemplateSavesTheShownOneAndClosingWritesTheOneLoaded) {
  PrintApp p;
  const std::wstring folder = p.settings.printCardTempleteFolder.value;
  CardTemplate other;
  other.name = L"other";
  other.front = {CardItem()};
  other.back.clear();
  ASSERT_TRUE(other.LoadOrSave(folder + L"/other.ini", true));
  {
    CPrintToolDlg tool(p.app, nullptr, {1});
    auto* list = control<QComboBox>(tool, 1287);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), "default");
    control<QDoubleSpinBox>(tool, 1318)->setValue(12.5);
    list->setCurrentIndex(1);
    EXPECT_DOUBLE_EQ(readCard(folder + L"/default.ini").front[0].x, 12.5);
    EXPECT_EQ(control<QListWidget>(tool, 1001)->count(), 1);
    control<QDoubleSpinBox>(tool, 1319)->setValue(7);
    tool.done(0);
  }
  EXPECT_DOUBLE_EQ(readCard(folder + L"/other.ini").front[0].y, 7.0);
  EXPECT_EQ(readCard(folder + L"/other.ini").name, L"other");
  const CardTemplate defaults = readCard(folder + L"/default.ini");
  EXPECT_EQ(defaults.front.size(), 2u);
  EXPECT_DOUBLE_EQ(defaults.front[0].y, 0.0);
}

TEST(CardTool, ItemsAreAddedUpToWhatTheFileHoldsAndDeletedAfterAsking) {
  PrintApp p;
  CPrintToolDlg tool(p.app, nullptr, {1});
  control<QTabBar>(tool, 1304)->setCurrentIndex(1);  // the back: one item
  auto* items = control<QListWidget>(tool, 1001);
  ASSERT_EQ(items->count(), 1);
  auto* add = control<QPushButton>(tool, 1315);
  QTest::mouseClick(add, Qt::LeftButton);
  ASSERT_EQ(tool.cardTemplate.back.size(), 2u);
  EXPECT_EQ(items->currentRow(), 1);
  EXPECT_EQ(items->item(1)->text(), QString::fromStdWString(L"問題（全て）"));
  EXPECT_EQ(tool.cardTemplate.back[1].font.faceName, tool.cardTemplate.back[0].font.faceName);
  EXPECT_EQ(tool.cardTemplate.back[1].font.size, 120);

  auto* remove = control<QPushButton>(tool, 1316);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(p.boxes.texts.back(), L"問題（全て） を削除してもよろしいですか？");
  EXPECT_EQ(items->currentRow(), 0);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(items->count(), 0);
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_FALSE(control<QDoubleSpinBox>(tool, 1318)->isEnabled());

  tool.cardTemplate.back.resize(kMaxCardItems - 1);
  control<QTabBar>(tool, 1304)->setCurrentIndex(0);
  control<QTabBar>(tool, 1304)->setCurrentIndex(1);
  QTest::mouseClick(add, Qt::LeftButton);
  EXPECT_EQ(tool.cardTemplate.back.size(), static_cast<size_t>(kMaxCardItems));
  EXPECT_FALSE(add->isEnabled());
}

TEST(CardTool, HomeAndEndBringTheFirstAndLastItemBackAfterTheWheel) {
  PrintApp p;
  CPrintToolDlg tool(p.app, nullptr, {1});
  tool.cardTemplate.back.resize(kMaxCardItems);
  control<QTabBar>(tool, 1304)->setCurrentIndex(1);
  tool.show();
  listinput::expectHomeAndEndBringTheirRowBack(*control<QListWidget>(tool, 1001));
}

TEST(CardTool, ThePreviewShowsWhatWasReadUnderAHeldDatabaseAndAToolThatCannotReadStaysShut) {
  PrintApp p;
  CPrintToolDlg tool(p.app, nullptr, {1});
  apptest::HeldDatabase held(p.settings.databasePath.value);
  EXPECT_EQ(tool.previewText(tool.cardTemplate.front[0], 1), L"教室");
  held.nextAction();
  CPrintToolDlg refused(p.app, nullptr, {1});
  EXPECT_EQ(refused.exec(), QDialog::Rejected);
  EXPECT_EQ(p.boxes.texts, std::vector<std::wstring>{L"カードに表示する問題を読み込めませんでした。\n" + apptest::kBusyCause});
}

TEST(CardTool, ATemplateThatCannotBeReadOrWrittenIsSaidWithItsCause) {
  PrintApp p;
  const std::wstring path = p.settings.printCardTempleteFolder.value + L"/default.ini";
  const std::wstring folderCause = L"\nファイルと同じ名前のフォルダがあります。";
  {
    CPrintToolDlg tool(p.app, nullptr, {1});
    ASSERT_TRUE(platform::deleteFile(path));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdWString(path)));
    tool.done(0);
    EXPECT_EQ(p.boxes.texts, std::vector<std::wstring>{L"テンプレートを保存できませんでした: " + path + folderCause});
  }
  CPrintToolDlg refused(p.app, nullptr, {1});
  ASSERT_EQ(p.boxes.texts.back(), L"テンプレートを読み込めませんでした: " + path + folderCause);
  EXPECT_EQ(refused.exec(), QDialog::Rejected);
}
