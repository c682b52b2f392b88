#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <ctime>

#include "app/delete_smartlearning_dialog.h"
#include "app/note_browser.h"
#include "app/page_dates.h"
#include "app/rename_dialog.h"
#include "app/tabpage_selsection.h"
#include "element_tree_fixture.h"
#include "platform/notifier.h"
#include "scoped_env.h"

using namespace apptest;

namespace {

class TimeZone {
 public:
  explicit TimeZone(const char* zone) : zone_("TZ", zone) { tzset(); }
  ~TimeZone() { tzset(); }

 private:
  testenv::ScopedEnv zone_;
};

QStringList rows(QTableWidget& list) {
  QStringList out;
  for (int r = 0; r < list.rowCount(); ++r) out << list.item(r, 0)->text() + "=" + list.item(r, 1)->text();
  return out;
}

struct ProbeBrowser : CExplorer1 {
  using CExplorer1::loadResource;
};

}  // namespace

TEST(SetPage, ShowsTheSetsRecordWithDatesAndAFolderCountsNoQuestions) {
  TimeZone tokyo("JST-9");
  EXPECT_EQ(pageDateText(1704067200), L"2024-01-01(月) 09:00:00");
  EXPECT_EQ(pageDateText(0), L"<未設定>");

  TreeApp s;
  CTabpageSelsection page(s.app);
  s.app.currentSetId = kApple;
  page.FillInfo(false, 2);
  EXPECT_EQ(rows(page.infoList()),
            QStringList({QString::fromStdWString(L"著作権者=著者"), QString::fromStdWString(L"問題入力者=入力者"),
                         QString::fromStdWString(L"問題数=2"), QString::fromStdWString(L"最終更新日=2024-01-01(月) 09:00:00"),
                         QString::fromStdWString(L"作成日=<未設定>")}));
  s.app.currentSetId = kAlpha;
  page.FillInfo(true, 0);
  EXPECT_EQ(page.infoList().rowCount(), 5);
  EXPECT_EQ(page.infoList().item(2, 1)->text(), "0");
}

TEST(NoteBrowser, LoadsLocalPagesOnlyAndFollowsNoLink) {
  TreeApp s;
  ProbeBrowser browser;
  EXPECT_FALSE(browser.openLinks());
  EXPECT_TRUE(ShowTextInBrowser(browser, L"<a href=\"http://127.0.0.1:9/\">link</a>", s.app.notePagePath));
  EXPECT_TRUE(browser.loadResource(QTextDocument::HtmlResource, browser.source()).isValid());
  EXPECT_FALSE(browser.loadResource(QTextDocument::ImageResource, QUrl("http://127.0.0.1:9/x.png")).isValid());
  // Written again under the same name, the page is read afresh.
  ShowTextInBrowser(browser, L"second", s.app.notePagePath);
  EXPECT_EQ(browser.toPlainText().trimmed(), "second");
  EXPECT_FALSE(ShowTextInBrowser(browser, L"nowhere", L"/nonexistent-folder/___note.html"));
  EXPECT_EQ(browser.toPlainText().trimmed(), "second");
}

TEST(RenameDialog, AnEmptyNewNameIsRefusedAndTheDialogStays) {
  TreeApp s;
  RenameDlg dialog;
  dialog.m_strOldName = L"太郎";
  dialog.OnInitDialog();
  dialog.show();
  EXPECT_EQ(dialog.findChild<QLineEdit*>("id1141")->text(), QString::fromStdWString(L"太郎"));
  QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 新しい利用者名を入力してください。\n");
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClicks(dialog.findChild<QLineEdit*>("id1023"), "Hanako");
  QTest::mouseClick(dialog.findChild<QPushButton*>("id1"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.m_strNewName, L"Hanako");
}

TEST(SmartLearningRemoval, OffersEverySetSharingAQuestionAndRemovesAllOfTheChosenSetsQuestions) {
  TreeApp s;
  const int binder = s.app.smartLearningSetId;
  const auto inBinder = [&] { return s.intValue(L"SELECT count(*) FROM section WHERE sid=" + std::to_wstring(binder)); };
  {
    CDeleteSmartlearningQuestionDlg empty(s.app);
    EXPECT_EQ(empty.DoModal(), platform::IdCancel);
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題リストが空です\n");
  }
  s.run(L"INSERT INTO section VALUES (" + std::to_wstring(binder) + L", 1), (" + std::to_wstring(binder) + L", 30)");
  CDeleteSmartlearningQuestionDlg dialog(s.app);
  ASSERT_TRUE(dialog.OnInitDialog());
  dialog.show();
  QListWidget& list = dialog.list();
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.item(0)->text(), QString::fromStdWString(L"中学生向け問題/中学校 学校・教室などの単語"));
  EXPECT_EQ(list.item(1)->data(Qt::UserRole).toInt(), kZeta);
  EXPECT_EQ(list.item(2)->text(), "Alpha/deep/Apple");

  dialog.accept();  // nothing chosen
  EXPECT_EQ(s.takeBoxes(), L"");
  list.setCurrentRow(2);
  s.notifier.answer = platform::IdNo;
  dialog.accept();
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 以下の問題を削除してもよろしいですか？\n\n問題集：Alpha/deep/Apple\n問題数：1\n");
  EXPECT_EQ(inBinder(), 2);

  s.notifier.answer = platform::IdYes;
  s.run(L"CREATE TRIGGER keep BEFORE DELETE ON section BEGIN SELECT RAISE(ABORT, 'kept'); END");
  dialog.accept();
  EXPECT_NE(s.takeBoxes().find(L"削除に失敗しました"), std::wstring::npos);
  EXPECT_TRUE(dialog.isVisible());
  s.run(L"DROP TRIGGER keep");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  // Question 1 is also in the sample set: it goes all the same; question 30 stays.
  EXPECT_EQ(inBinder(), 1);
  EXPECT_EQ(s.intValue(L"SELECT qid FROM section WHERE sid=" + std::to_wstring(binder)), 30);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=14"), 3);
}
