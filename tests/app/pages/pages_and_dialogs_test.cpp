#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <ctime>

#include "app/pages/delete_smartlearning_dialog.h"
#include "app/main/note_browser.h"
#include "app/pages/page_dates.h"
#include "app/pages/tabpage_selsection.h"
#include "element_tree_fixture.h"
#include "held_database.h"
#include "list_view_input.h"
#include "platform/trace.h"
#include "platform/windows/notifier.h"
#include "scoped_env.h"

using namespace apptest;

namespace {

QString rowsText(QTableWidget& list) {
  QStringList out;
  for (int r = 0; r < list.rowCount(); ++r) out << list.item(r, 0)->text() + "=" + list.item(r, 1)->text();
  return out.join(", ");
}

struct ProbeBrowser : CExplorer1 {
  using CExplorer1::loadResource;
};

}  // namespace

TEST(SetPage, ShowsTheSetsRecordWithDatesAndAFolderCountsNoQuestions) {
  testenv::ScopedEnv tokyo("TZ", "JST-9");
  tzset();
  TreeApp s;
  CTabpageSelsection page(s.app);
  s.app.currentSetId = kApple;
  page.FillInfo(false, 2);
  EXPECT_EQ(rowsText(page.infoList()).toStdWString(),
            L"著作権者=著者, 問題入力者=入力者, 問題数=2, 最終更新日=2024-01-01(月) 09:00:00, 作成日=<未設定>");
  s.app.currentSetId = kAlpha;
  page.FillInfo(true, 0);
  EXPECT_EQ(page.infoList().item(2, 1)->text(), "0");

  s.app.currentSetId = kApple;
  HeldDatabase held(s.databasePath());
  EXPECT_FALSE(page.FillInfo(false, -1));
  EXPECT_EQ(rowsText(page.infoList()).toStdWString(), L"著作権者=-, 問題入力者=-, 問題数=-, 最終更新日=-, 作成日=-");
}

// A page too low for its five rows scrolls them: Home and End bring the first and last back.
TEST(SetPage, HomeAndEndBringTheFirstAndLastRowBackAfterTheWheel) {
  TreeApp s;
  CTabpageSelsection page(s.app);
  s.app.currentSetId = kApple;
  page.FillInfo(false, 2);
  page.resize(400, 150);
  page.show();
  listinput::expectHomeAndEndBringTheirRowBack(page.infoList());
}

TEST(NoteBrowser, LoadsLocalPagesOnly) {
  TreeApp s;
  ProbeBrowser browser;
  EXPECT_TRUE(ShowTextInBrowser(browser, L"<img src=\"http://127.0.0.1:9/x.png\">", s.app.notePagePath));
  EXPECT_TRUE(browser.loadResource(QTextDocument::HtmlResource, browser.source()).isValid());
  EXPECT_FALSE(browser.loadResource(QTextDocument::ImageResource, QUrl("http://127.0.0.1:9/x.png")).isValid());
  EXPECT_FALSE(ShowTextInBrowser(browser, L"nowhere", L"/nonexistent-folder/___note.html"));
}

TEST(SmartLearningRemoval, OffersEverySetSharingAQuestionAndRemovesAllOfTheChosenSetsQuestions) {
  TreeApp s;
  const std::wstring binder = std::to_wstring(s.app.smartLearningSetId);
  const auto inBinder = [&] { return s.intValue(L"SELECT group_concat(qid) FROM section WHERE sid=" + binder); };
  EXPECT_EQ(CDeleteSmartlearningQuestionDlg(s.app).DoModal(), platform::IdCancel);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題リストが空です\n");

  s.run(L"INSERT INTO section VALUES (" + binder + L", 1), (" + binder + L", 30)");
  CDeleteSmartlearningQuestionDlg dialog(s.app);
  ASSERT_TRUE(dialog.OnInitDialog());
  dialog.show();
  QListWidget& list = dialog.list();
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.item(1)->data(Qt::UserRole).toInt(), kZeta);
  // Ctrl+click takes the selection off the row and leaves it current: no set is chosen to go.
  const QPoint third = list.visualItemRect(list.item(2)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, third);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, third);
  ASSERT_EQ(list.currentRow(), 2);
  ASSERT_TRUE(list.selectedItems().isEmpty());
  QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_TRUE(dialog.isVisible());
  list.setCurrentRow(2);
  s.notifier.answer = platform::IdNo;
  dialog.accept();
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 以下の問題を削除してもよろしいですか？\n\n問題集：Alpha/deep/Apple\n問題数：1\n");

  s.notifier.answer = platform::IdYes;
  {
    // A removal that cannot read what it removes is said though the action has said a failure.
    HeldDatabase held(s.databasePath());
    EXPECT_FALSE(dialog.OnInitDialog());
    dialog.accept();
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集リストの取得に失敗しました\n" + kBusyCause +
                                 L"\nKelvara: 削除する問題を読み込めませんでした。\n" + kBusyCause + L"\n");
    EXPECT_TRUE(dialog.isVisible());
  }
  s.run(L"CREATE TRIGGER keep BEFORE DELETE ON section BEGIN SELECT RAISE(ABORT, 'kept'); END");
  dialog.accept();
  EXPECT_NE(s.takeBoxes().find(L"削除に失敗しました"), std::wstring::npos);
  EXPECT_TRUE(dialog.isVisible());
  s.run(L"DROP TRIGGER keep");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  // Question 1 is in the sample set too: it goes all the same; question 30 stays.
  EXPECT_EQ(inBinder(), 30);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=14"), 3);
}

TEST(SmartLearningRemoval, HomeAndEndBringTheFirstAndLastSetBackAfterTheWheel) {
  TreeApp s;
  const std::wstring binder = std::to_wstring(s.app.smartLearningSetId);
  s.run(L"INSERT INTO section VALUES (" + binder + L", 30)");
  for (int eid = 100; eid < 140; ++eid) {
    s.run(platform::format(L"INSERT INTO element_info VALUES(%d,1,'set%d','','','',0,0,'','')", eid, eid));
    s.run(platform::format(L"INSERT INTO folder VALUES(%d,0)", eid));
    s.run(platform::format(L"INSERT INTO section VALUES(%d,30)", eid));
  }
  CDeleteSmartlearningQuestionDlg dialog(s.app);
  ASSERT_TRUE(dialog.OnInitDialog());
  dialog.show();
  listinput::expectHomeAndEndBringTheirRowBack(dialog.list());
}
