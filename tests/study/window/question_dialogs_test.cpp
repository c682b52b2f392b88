// The question edit dialog on a record of a real database file, and the study-mode dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "database/engine/busy_wait.h"
#include "database/records/question.h"
#include "database/engine/sql_helpers.h"
#include "platform/windows/modal_dialog.h"
#include "study/study_modes.h"
#include "study/window/trans_edit_dialog.h"
#include "study/window/trans_mode_dialog.h"
#include "study_app_fixture.h"
#include "patience.h"

using namespace study;
using studytest::StudyApp;

namespace {

QLineEdit* box(QWidget& dialog, int id) { return dialog.findChild<QLineEdit*>(QString("id%1").arg(id)); }
QPlainTextEdit* textBox(QWidget& dialog, int id) { return dialog.findChild<QPlainTextEdit*>(QString("id%1").arg(id)); }

pdb3::Question questionWith(StudyApp& s, const std::wstring& answers, const std::wstring& pronunciations) {
  pdb3::execSqlf(s.accessor(), L"UPDATE question SET answer='%ls', pronounce='%ls', hint='h1\r\nh2' WHERE qid=1",
                 answers.c_str(), pronunciations.c_str());
  return pdb3::getQuestion(s.accessor(), 1);
}

// Enabled state of the context menu's items, in menu order (the separator left out).
std::vector<bool> menuState(CTransEditDlg& dialog, int id) {
  QMenu menu;
  dialog.fillContextMenu(menu, id);
  std::vector<bool> enabled;
  for (QAction* action : menu.actions()) {
    if (!action->isSeparator()) enabled.push_back(action->isEnabled());
  }
  return enabled;
}

}  // namespace

TEST(QuestionEditDialog, AnswersCloseUpWithTheirOwnPronunciationsNothingIsCutAndEmptyTextsAreRefused) {
  StudyApp s;
  pdb3::Question q = questionWith(s, L"a1\r\na2\r\na3\r\na4\r\na5\r\na6\r\na7", L"p1\r\np2\r\np3");
  CTransEditDlg dialog(q);
  EXPECT_EQ(box(dialog, 1027)->text(), "a5");  // five of seven shown
  EXPECT_EQ(textBox(dialog, 1101)->toPlainText(), "h1\nh2");
  box(dialog, 1023)->clear();
  dialog.accept();  // no first answer: refused, the record untouched
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(s.notifier.boxes.size(), 1u);
  EXPECT_EQ(s.notifier.boxes[0], L"Kelvara: 問題文として正しくありません。\n少なくとも問題文と解答１は入力してください。");
  EXPECT_EQ(q.answerTexts().size(), 7u);

  box(dialog, 1023)->setText("a1");
  box(dialog, 1024)->clear();
  box(dialog, 1026)->clear();  // its pronunciation beside an empty box goes with it
  box(dialog, 1031)->setText("p4");
  box(dialog, 1028)->clear();  // cleared, and it stays cleared
  const QString longQuestion(2000, QChar(u'問'));
  textBox(dialog, 1208)->setPlainText(longQuestion + "\r\nline 2");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(q.answerTexts(), (pdb3::TextList{L"a1", L"a3", L"a5"}));
  EXPECT_EQ(q.pronounceTexts(), (pdb3::TextList{L"", L"p3", L""}));
  EXPECT_EQ(q.questionTexts(), (pdb3::TextList{longQuestion.toStdWString(), L"line 2"}));
  EXPECT_EQ(q.hintTexts(), (pdb3::TextList{L"h1", L"h2"}));
}

// The dialog is a form: Tab in the question and hint boxes moves on and types nothing.
TEST(QuestionEditDialog, TabMovesOnFromTheManyLineBoxes) {
  StudyApp s;
  pdb3::Question q = questionWith(s, L"apple", L"");
  CTransEditDlg dialog(q);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
  for (const auto& [from, to] : {std::pair{1208, "id1023"}, std::pair{1101, "id1"}}) {
    const QString text = textBox(dialog, from)->toPlainText();
    textBox(dialog, from)->setFocus();
    QTest::keyClick(textBox(dialog, from), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), to);
    EXPECT_EQ(textBox(dialog, from)->toPlainText(), text);
  }
}

TEST(QuestionEditDialog, TheContextMenuGreysWhatCannotActAndActsOnItsBox) {
  StudyApp s;
  pdb3::Question q = questionWith(s, L"apple", L"");
  CTransEditDlg dialog(q);
  QApplication::clipboard()->clear();
  // undo, cut, copy, paste, delete
  EXPECT_EQ(menuState(dialog, 1023), (std::vector<bool>{false, false, false, false, false}));
  box(dialog, 1023)->selectAll();
  EXPECT_EQ(menuState(dialog, 1023), (std::vector<bool>{false, true, true, false, true}));
  QTimer::singleShot(50, [] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    for (QAction* action : popup->actions()) {
      if (action->data().toInt() == CTransEditDlg::Cut) popup->setActiveAction(action);
    }
    QTest::keyClick(popup, Qt::Key_Return);
  });
  emit box(dialog, 1023)->customContextMenuRequested(QPoint(1, 1));
  EXPECT_EQ(box(dialog, 1023)->text(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "apple");
  EXPECT_EQ(menuState(dialog, 1023), (std::vector<bool>{true, false, false, true, false}));
}

// Another program holds the file (the problem-set editor saving) as a question is opened for
// editing, then as it is saved.
TEST(QuestionEditDialog, AQuestionThatCannotBeReadIsNotOfferedAndAFailedSaveKeepsTheStoredTexts) {
  StudyApp s;
  questionWith(s, L"a1\r\na2", L"p1\r\np2");
  std::wstring row;
  const auto stored = [&] {
    pdb3::querySqlfString(s.accessor(), row, L"SELECT question||'|'||answer||'|'||pronounce||'|'||hint FROM question WHERE qid=1");
    return row;
  };
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(200));
  sqliteplus::SqliteConnection holder;
  holder.open(s.databasePath().c_str());
  int opened = 0;
  QTimer editor;  // the dialog, whenever it opens: the first answer changed, the file taken, OK
  QObject::connect(&editor, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<CTransEditDlg*>(QApplication::activeModalWidget());
    if (!dialog) return;
    box(*dialog, 1023)->setText(++opened == 1 ? "held" : "changed");
    if (opened == 1) holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
    dialog->accept();
    if (dialog->isVisible()) dialog->reject();  // refused: blank boxes
  });
  editor.start(20);

  holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
  testing::internal::CaptureStderr();
  EXPECT_EQ(EditQuestionRecord(s.accessor(), 1, nullptr), EditOutcome::Cancelled);
  EXPECT_EQ(opened, 0) << "no blank dialog";
  holder.createQuery()->execute(L"COMMIT");
  EXPECT_EQ(s.notifier.boxes, std::vector<std::wstring>{L"Kelvara: 問題を読み込めませんでした。\nデータベースは他のプログラムが"
                                                        L"使用中です。しばらくしてから、もう一度実行してください。"});
  EXPECT_EQ(EditQuestionRecord(s.accessor(), 1, nullptr), EditOutcome::SaveFailed);
  holder.createQuery()->execute(L"COMMIT");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(stored(), L"教室|a1\r\na2|p1\r\np2|h1\r\nh2");
  EXPECT_EQ(EditQuestionRecord(s.accessor(), 1, nullptr), EditOutcome::Saved);
  EXPECT_EQ(stored(), L"教室|changed\r\na2|p1\r\np2|h1\r\nh2") << "the hint and pronunciations stay";
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  sqliteplus::endBusyWaitAction();
}

TEST(StudyModeDialog, EnterChoosesCardsEachButtonItsModeAndCancelNothing) {
  {
    CTransModeDlg dialog;
    QTimer::singleShot(50, [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.mode(), ModeCard);
  }
  const std::pair<int, int> buttons[] = {{1175, ModeCard}, {1174, ModeJe4}, {1173, ModeEj4}, {1012, ModeJe},
                                         {1013, ModeEj},   {1172, ModeSpeedReply}, {1176, ModeDictation}};
  for (const auto& [id, mode] : buttons) {
    CTransModeDlg dialog;
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString("id%1").arg(id)), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << id;
    EXPECT_EQ(dialog.mode(), mode) << id;
  }
  CTransModeDlg dialog;
  EXPECT_FALSE(dialog.findChild<QPushButton*>("id1")->isVisibleTo(&dialog));
  dialog.show();
  QTest::mouseClick(dialog.findChild<QPushButton*>("id2"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.mode(), 3);
  // Nobody there to choose: the automatic answer decides without showing the dialog.
  qputenv("KELVARA_AUTOANSWER", "cancel");
  EXPECT_EQ(platform::execDialog(dialog), QDialog::Rejected);
  qunsetenv("KELVARA_AUTOANSWER");
}
