// What the learner is told when the database refuses: each command's box names the cause, and a
// page that could not read a figure shows it as unknown.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/main/note_browser.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_selsection.h"
#include "app/pages/tabpage_smartlearning.h"
#include "app/shell/defrag_dialog.h"
#include "app/shell/user_manage_dialog.h"
#include "app_test_support.h"
#include "database/logs/question_selection.h"
#include "database/logs/users.h"
#include "card_study_driver.h"
#include "held_database.h"
#include "main_dialog_fixture.h"
#include "patience.h"

using namespace apptest;

namespace {

void select(QListWidget* list, const QString& name) {
  list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
}

std::wstring busy(const std::wstring& caption, const std::wstring& what) {
  return caption + L": " + what + L"\n" + kBusyCause + L"\n";
}

}  // namespace

TEST(FailureCauses, CommandsRefusedUnderAHeldFileNameTheCause) {
  MainApp s;
  ASSERT_TRUE(s.open());
  pdb3::insertUser(s.accessor(), L"hanako");
  CUserManageDlg users(s.app);
  users.OnInitDialog();
  auto* list = users.findChild<QListWidget*>("id1138");
  s.takeBoxes();

  HeldDatabase held(s.databasePath());
  typeAndConfirm(1023, "jiro");
  users.OnAddUser();
  EXPECT_EQ(s.takeBoxes(), busy(L"Kelvara", L"失敗しました。"));

  HeldDatabase::nextAction();
  select(list, "hanako");
  typeAndConfirm(1023, "hanako2");
  users.OnRenameUser();
  EXPECT_EQ(s.takeBoxes(), busy(L"Kelvara", L"変更に失敗しました"));

  HeldDatabase::nextAction();
  s.notifier.answer = platform::IdYes;
  select(list, "hanako");
  users.OnDeleteUser();
  EXPECT_TRUE(s.takeBoxes().ends_with(busy(L"Kelvara", L"削除に失敗しました")));
  EXPECT_EQ(list->count(), 2);

  HeldDatabase::nextAction();
  EXPECT_EQ(s.dialog.smartLearningPage().AddToSmartLearning(kZeta), -1);
  EXPECT_EQ(s.takeBoxes(), busy(L"Kelvara", L"スマート学習リストへの追加に失敗しました"));

  // The study's question choice goes through the application's notice box.
  HeldDatabase::nextAction();
  pdb3::IdQueue ids;
  EXPECT_FALSE(pdb3::SelectNextQuestions(s.app.studyContext(), ids, false, 5));
  EXPECT_EQ(s.takeBoxes(), busy(L"Error!", L"次に学習すべき問題を取得できませんでした"));

  // The defragmentation log says why a step failed.
  HeldDatabase::nextAction();
  CDefragDlg defrag(s.app, &s.dialog);
  defrag.OnInitDialog();
  defrag.accept();
  ASSERT_TRUE(QTest::qWaitFor([&] { return defrag.finished(); }, testwait::kPatienceMs));
  const std::wstring log = defrag.logText().toStdWString();
  EXPECT_NE(log.find(L"問題の削除に失敗しました\n" + kBusyCause + L"\n"), std::wstring::npos) << log;
  EXPECT_NE(log.find(L"データベースファイルの圧縮に失敗しました\n" + kBusyCause + L"\n"), std::wstring::npos) << log;
}

// Counts a refresh could not read are unknown ("-"), not 0.
TEST(FailureCauses, FiguresThatCouldNotBeReadShowAsUnknown) {
  MainApp s;
  s.run(L"UPDATE element_info SET description='りんご' WHERE eid=14");
  ASSERT_TRUE(s.open());
  const auto description = [&] { return s.dialog.setPage().browser().toPlainText().trimmed().toStdWString(); };
  EXPECT_EQ(description(), L"りんご");
  EXPECT_EQ(s.dialog.setPage().infoList().item(2, 1)->text(), "2");
  auto* count = s.dialog.learningPage().findChild<QComboBox*>("id1198");
  ASSERT_NE(count, nullptr);
  EXPECT_NE(count->currentText(), "-");
  {
    HeldDatabase held(s.databasePath());
    s.dialog.RefreshPages();
  }
  EXPECT_EQ(s.takeBoxes(), busy(L"Kelvara", L"問題集の学習履歴を読み込めませんでした。"));
  EXPECT_EQ(s.dialog.questionCount(), -1);
  EXPECT_EQ(s.dialog.remainCount(), -1);
  EXPECT_EQ(s.dialog.setPage().infoList().item(2, 1)->text(), "-");
  EXPECT_EQ(count->currentText(), "-");
  EXPECT_EQ(description(), L"説明を読み込めませんでした。\n" + kBusyCause);  // not "no description"

  s.dialog.RefreshPages();
  EXPECT_EQ(s.takeBoxes(), L"");
  EXPECT_EQ(s.dialog.questionCount(), 2);
  EXPECT_EQ(s.dialog.setPage().infoList().item(2, 1)->text(), "2");
  EXPECT_NE(count->currentText(), "-");
  EXPECT_EQ(description(), L"りんご");
}

// At start-up a set that could not be looked up closes the window with the reason, not silently;
// a chosen set that could not be looked up is not said to be missing. The chooser that opens again
// on the held file says that its tree could not be read, though the look-up said its failure; the
// window that closes after it does not say the look-up's failure again.
TEST(FailureCauses, AStartUpThatCannotLookUpTheSetSaysWhy) {
  MainApp s(L"Alpha/gone");
  std::unique_ptr<HeldDatabase> held;
  ModalAnswers answers({{"id236", [&](QDialog& dialog) {
                           // The lock comes between the choice and its look-up, then again at the cancel.
                           if (held) reject(dialog);
                           else chooseInTree(kApple)(dialog);
                           held.reset();
                           held = std::make_unique<HeldDatabase>(s.databasePath());
                         }}});
  EXPECT_FALSE(s.open());
  EXPECT_EQ(s.dialog.result(), -1);
  EXPECT_EQ(s.takeBoxes(), busy(L"Kelvara", L"問題集を読み込めませんでした。") +
                              busy(L"Kelvara", L"問題集とフォルダの一覧を読み込めませんでした。"));
  EXPECT_EQ(s.app.exitCode, ExitDataUnusable);  // the run stopped: no normal end
}

// A study that ends with the file held says so once: the save that failed, and not again for the
// pages that could not be read after it in the same action, also when the window system hid the
// main window under the study and shows it again as it ends.
TEST(FailureCauses, AfterAStudyThePagesThatCannotBeReadAreToldOnce) {
  MainApp s;
  ASSERT_TRUE(s.open());
  s.dialog.SetStudyMode(5);
  QTest::keyClick(&s.dialog, Qt::Key_F3);
  s.takeBoxes();
  std::unique_ptr<HeldDatabase> held;
  s.resultCloser.stop();
  ModalAnswers answers({{"id135", [&](QDialog& dialog) {
                           held = std::make_unique<HeldDatabase>(s.databasePath());
                           // As a window system that hides the window before it reports it minimised.
                           s.dialog.setWindowState(Qt::WindowNoState);
                           s.dialog.hide();
                           dialog.accept();
                         }}});
  CardStudyDriver driver;
  QTest::keyClick(&s.dialog.modeCombo(), Qt::Key_Return);
  ASSERT_TRUE(held);
  EXPECT_EQ(s.takeBoxes(), busy(L"Error!", L"学習履歴を保存できませんでした"));
  EXPECT_TRUE(s.dialog.isVisible());
}
