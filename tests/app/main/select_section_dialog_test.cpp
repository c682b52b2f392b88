#include <gtest/gtest.h>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTimer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <memory>

#include "app/main/folder_tree.h"
#include "app/main/note_browser.h"
#include "app/main/select_section_dialog.h"
#include "database/logs/element_log.h"
#include "database/folders/folders.h"
#include "app_test_support.h"
#include "element_tree_fixture.h"
#include "held_database.h"
#include "platform/files/folders.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "recording_notifier.h"
#include "scoped_env.h"
#include "test_env.h"

using namespace apptest;

namespace {

struct Chooser {
  Chooser(TreeApp& s, int kind, int eid) : dialog(s.accessor(), s.app) {
    dialog.m_nKind = kind;
    dialog.m_nEid = eid;
    dialog.OnInitDialog();
    dialog.show();
  }
  QPushButton* button(int id) { return dialog.findChild<QPushButton*>(QString("id%1").arg(id)); }
  // Whether the item was expanded afterwards.
  bool doubleClick(int eid) {
    CMyFolderTreeCtrl& tree = dialog.tree();
    tree.SelectEidFromRoot(eid);
    QCoreApplication::processEvents();  // lays the items out
    QTreeWidgetItem* item = tree.currentItem();
    const QPoint at = tree.visualItemRect(item).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    return item->isExpanded();
  }
  // Right-clicks the item of eid as the window system does; while the menu is open, `inMenu` runs.
  void rightClick(int eid, std::function<void(QMenu&)> inMenu) {
    CMyFolderTreeCtrl& tree = dialog.tree();
    QTreeWidgetItem* item = tree.FindItemByEid(eid, tree.topLevelItem(0));
    tree.scrollToItem(item);
    QCoreApplication::processEvents();
    const QPoint at = tree.visualItemRect(item).center();
    QTimer::singleShot(0, [inMenu] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_TRUE(menu);
      inMenu(*menu);
      if (menu->isVisible()) menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree.viewport(), &event);
  }
  CSelectSectionDlg dialog;
};

}  // namespace

TEST(SelectSection, ProblemSetsOnlyRefusesFoldersAndShowsTheChosenSet) {
  TreeApp s;
  s.run(L"UPDATE element_info SET description='<b>太字</b>\r\n次の行' WHERE eid=14");
  Chooser c(s, CSelectSectionDlg::kProblemSets, 999);  // gone since: nothing selected
  EXPECT_EQ(c.dialog.tree().GetSelectedEid(), -1);

  c.dialog.tree().SelectEidFromRoot(kAlpha);
  EXPECT_FALSE(c.button(1)->isEnabled());
  c.dialog.accept();
  EXPECT_NE(s.takeBoxes().find(L"選択した項目は問題集ではありません。"), std::wstring::npos);
  EXPECT_TRUE(c.doubleClick(kAlpha));  // a folder opens
  EXPECT_TRUE(c.dialog.isVisible());

  c.dialog.tree().SelectEidFromRoot(kApple);
  EXPECT_TRUE(c.button(1)->isEnabled());
  EXPECT_EQ(c.dialog.findChild<QLineEdit*>("id1190")->text(), "2");  // question 31 has no answer
  const std::string page = *platform::readFileBytes(s.app.notePagePath);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<b>太字</b><br>次の行"), std::string::npos);
  EXPECT_NE(c.dialog.browser().toPlainText().indexOf(QString::fromStdWString(L"次の行")), -1);
  c.dialog.tree().SelectEidFromRoot(kZeta);  // the page is written again under the same name
  EXPECT_EQ(c.dialog.browser().toPlainText().trimmed(), "");
  EXPECT_FALSE(c.dialog.browser().openLinks());
  c.dialog.tree().SelectEidFromRoot(kApple);

  c.doubleClick(kApple);
  EXPECT_EQ(c.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(c.dialog.m_nEid, kApple);
  EXPECT_EQ(c.dialog.m_strPath, L"Alpha/deep/Apple");
}

TEST(SelectSection, AnythingGoesByTheButtonButNotByADoubleClickOnAFolderAndUnattendedRunsAnswerAsItStands) {
  TreeApp s;
  Chooser c(s, CSelectSectionDlg::kAnything, kDeep);
  EXPECT_FALSE(c.doubleClick(0));  // the root closes
  EXPECT_TRUE(c.doubleClick(kDeep));
  EXPECT_TRUE(c.dialog.isVisible());
  QTest::mouseClick(c.button(1), Qt::LeftButton);
  EXPECT_EQ(c.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(c.dialog.m_strPath, L"Alpha/deep");

  testenv::ScopedEnv answer("KELVARA_AUTOANSWER", "ok");
  CSelectSectionDlg folder(s.accessor(), s.app);
  folder.m_nEid = kDeep;
  EXPECT_EQ(folder.DoModal(), platform::IdCancel);  // problem sets only: refused, with its message
  EXPECT_NE(s.takeBoxes().find(L"選択した項目は問題集ではありません。"), std::wstring::npos);
  CSelectSectionDlg set(s.accessor(), s.app);
  set.m_nEid = kApple;
  EXPECT_EQ(set.DoModal(), platform::IdOk);
  EXPECT_EQ(set.m_strPath, L"Alpha/deep/Apple");
}

TEST(SelectSection, EnterInTheTreeOpensAFolderAndChoosesASet) {
  TreeApp s;
  Chooser c(s, CSelectSectionDlg::kAnything, kDeep);
  CMyFolderTreeCtrl& tree = c.dialog.tree();
  tree.setFocus();
  QTreeWidgetItem* deep = tree.selectedItems().value(0);
  ASSERT_NE(deep, nullptr);
  EXPECT_FALSE(deep->isExpanded());
  QTest::keyClick(&tree, Qt::Key_Return);
  EXPECT_TRUE(deep->isExpanded());
  EXPECT_TRUE(c.dialog.isVisible());

  tree.SelectEidFromRoot(kApple);
  QTest::keyClick(&tree, Qt::Key_Enter);
  EXPECT_EQ(c.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(c.dialog.m_strPath, L"Alpha/deep/Apple");
}

TEST(SelectSection, DeleteTakesTheWholeSubtreeOrNothing) {
  TreeApp s;
  Chooser c(s, CSelectSectionDlg::kAnything, kAlpha);
  const auto elements = [&] { return s.intValue(L"SELECT count(*) FROM element_info"); };
  const int before = elements();
  s.notifier.answer = platform::IdNo;
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_NE(s.takeBoxes().find(L"！！注意！！\nAlpha を削除してもよろしいですか？"), std::wstring::npos);
  EXPECT_EQ(elements(), before);

  // One deletion deep inside the subtree fails: the ones before it are undone.
  s.run(L"CREATE TRIGGER keep_apple BEFORE DELETE ON element_info WHEN old.eid=14 BEGIN SELECT RAISE(ABORT, 'kept'); END");
  s.notifier.answer = platform::IdYes;
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_NE(s.takeBoxes().find(L"Kelvara: 削除に失敗しました\nkept\n"), std::wstring::npos) << "the trigger's reason";
  EXPECT_EQ(elements(), before);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid=12"), 2);

  s.run(L"DROP TRIGGER keep_apple");
  c.dialog.tree().SelectEidFromRoot(kAlpha);
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(elements(), before - 4);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE sid IN (12, 14)"), 0);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM question WHERE qid=30"), 1);  // questions stay
  EXPECT_EQ(c.dialog.tree().GetSelectedEid(), -1);

  c.dialog.tree().SelectEidFromRoot(0);
  s.takeBoxes();
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(s.takeBoxes(), L"");  // the root is never offered for deletion

  // Deleting the smart-learning folder makes a new set at once.
  const int oldSet = s.app.smartLearningSetId;
  c.dialog.tree().SelectEidFromRoot(pdb3::FindFolderByPath(s.accessor(), L"SmartLearning"));
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(pdb3::lookUpElement(s.accessor(), oldSet), pdb3::FirstRow::missing);
  EXPECT_EQ(pdb3::FindProblemSetByPath(s.accessor(), L"SmartLearning/1"), s.app.smartLearningSetId);
}

TEST(SelectSection, AfterADeletionThePaneShowsThatNothingIsChosen) {
  TreeApp s;
  s.run(L"UPDATE element_info SET description='りんごの単語' WHERE eid=14");
  Chooser c(s, CSelectSectionDlg::kProblemSets, kApple);
  auto* count = c.dialog.findChild<QLineEdit*>("id1190");
  ASSERT_EQ(count->text(), "2");
  ASSERT_NE(c.dialog.browser().toPlainText().indexOf(QString::fromStdWString(L"りんごの単語")), -1);
  s.notifier.answer = platform::IdYes;
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  ASSERT_EQ(pdb3::lookUpElement(s.accessor(), kApple), pdb3::FirstRow::missing);
  EXPECT_EQ(c.dialog.tree().GetSelectedEid(), -1);
  EXPECT_EQ(count->text(), "");
  EXPECT_EQ(c.dialog.browser().toPlainText().trimmed(), "");
  EXPECT_FALSE(c.button(1)->isEnabled());

  Chooser gone(s, CSelectSectionDlg::kProblemSets, kApple);  // nothing to choose from the start
  EXPECT_FALSE(gone.button(1)->isEnabled());
}

// Under another program's lock nothing unread passes for a result: not the tree, a type, a name to
// delete nor a description.
TEST(SelectSection, UnderAHeldFileTheChooserSaysWhatItCouldNotReadAndChoosesNothingUnread) {
  TreeApp s;
  s.run(L"UPDATE element_info SET description='りんご' WHERE eid=14");
  const auto busy = [](const std::wstring& what) { return L"Kelvara: " + what + L"\n" + kBusyCause + L"\n"; };
  auto held = std::make_unique<HeldDatabase>(s.databasePath());
  Chooser c(s, CSelectSectionDlg::kProblemSets, kApple);
  EXPECT_EQ(s.takeBoxes(), busy(L"問題集とフォルダの一覧を読み込めませんでした。"));
  held.reset();
  c.dialog.OnInitDialog();
  EXPECT_EQ(c.dialog.browser().toPlainText().trimmed().toStdWString(), L"りんご");

  held = std::make_unique<HeldDatabase>(s.databasePath());
  c.dialog.tree().SelectEidFromRoot(kDeep);  // a folder, were it read
  EXPECT_FALSE(c.button(1)->isEnabled());
  EXPECT_TRUE(c.dialog.browser().toPlainText().startsWith(QString::fromWCharArray(L"説明を読み込めませんでした。")));
  QTest::keyClick(&c.dialog.tree(), Qt::Key_Return);
  EXPECT_EQ(s.takeBoxes(), busy(L"選択した項目を読み込めませんでした。"));
  EXPECT_TRUE(c.dialog.isVisible());
  EXPECT_EQ(c.dialog.m_strPath, L"");
  // In the same action: a deletion not made is said though the action has said a failure.
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(s.takeBoxes(), busy(L"削除する項目を読み込めませんでした。"));  // no question without a name
  held.reset();

  c.dialog.tree().SelectEidFromRoot(kApple);
  s.app.notePagePath = L"/nonexistent-folder/___note.html";
  c.dialog.tree().SelectEidFromRoot(kZeta);  // Apple's description does not stay as Zeta's
  EXPECT_EQ(c.dialog.browser().toPlainText().toStdWString(), L"説明を表示できませんでした。");
}

// Another program takes the file while the learner reads a box of the chooser's: a refused delete
// changed nothing, so the tree stays as the learner saw it; a tree that cannot be read again keeps
// what it showed, less what is known to be gone, and says so. It never reads as "all deleted".
TEST(SelectSection, ATreeThatCannotBeReadAgainKeepsWhatItShowedAndSaysSo) {
  TreeApp s;
  struct TakenWhileAsking : RecordingNotifier {
    int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
      if (text.find(asking) != std::wstring::npos) held = std::make_unique<HeldDatabase>(path);
      return RecordingNotifier::messageBox(owner, text, caption, flags);
    }
    std::wstring path, asking;
    std::unique_ptr<HeldDatabase> held;
  } boxes;
  boxes.path = s.databasePath();
  boxes.asking = L"zeta を削除してもよろしいですか？";
  boxes.answer = platform::IdYes;
  platform::NotifierOverride use(boxes);
  Chooser c(s, CSelectSectionDlg::kAnything, kZeta);
  const auto shown = [&] {
    QStringList names;
    for (QTreeWidgetItemIterator item(&c.dialog.tree()); *item; ++item) names << (*item)->text(0);
    return names;
  };
  const QStringList before = shown();
  ASSERT_GE(before.size(), 10);
  const auto busy = [](const std::wstring& what) { return L"Kelvara: " + what + L"\n" + kBusyCause; };

  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(boxes.boxes, (std::vector<std::wstring>{
                             L"Kelvara: ！！注意！！\nzeta を削除してもよろしいですか？\n（一度削除してしまうと元に戻すことはできません）",
                             busy(L"削除に失敗しました")}));
  EXPECT_EQ(shown(), before);
  EXPECT_EQ(c.dialog.tree().GetSelectedEid(), kZeta);
  boxes.held.reset();
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE eid=12"), 1);

  // The editor deleted Apple and holds the file while the learner reads that it is gone.
  s.run(L"DELETE FROM element_info WHERE eid=14");
  boxes.boxes.clear();
  boxes.asking = kNoSuchSet;
  c.dialog.tree().SelectEidFromRoot(kApple);
  HeldDatabase::nextAction();
  QTest::mouseClick(c.button(3), Qt::LeftButton);
  EXPECT_EQ(boxes.boxes, (std::vector<std::wstring>{L"Kelvara: " + std::wstring(kNoSuchSet),
                                                     busy(L"問題集とフォルダの一覧を読み込めませんでした。")}));
  QStringList left = before;
  left.removeOne("Apple");
  EXPECT_EQ(shown(), left);
  boxes.held.reset();
}

TEST(SelectSection, ARightClickedSetGetsADesktopShortcutThroughTheShortcutDialog) {
  TreeApp s;
  const platform::ProgramFolderOverride beside(QString::fromStdString(testenv::programDir()).toStdWString());
  Chooser c(s, CSelectSectionDlg::kAnything, kZeta);  // another set is the selected one
  QStringList texts;
  bool enabled = true;
  c.rightClick(kDeep, [&](QMenu& menu) {
    EXPECT_EQ(menu.objectName(), "id145");
    for (QAction* action : menu.actions()) texts << action->text();
    enabled = menu.actions().value(0)->isEnabled();
    QTest::keyClick(&menu, Qt::Key_A);  // greyed: nothing happens
  });
  EXPECT_EQ(texts, QStringList{QString::fromWCharArray(L"この問題集のショートカットを作成する(&A)...")});
  EXPECT_FALSE(enabled);  // a folder, as the root
  EXPECT_EQ(c.dialog.tree().clickedEid(), kDeep);
  c.rightClick(0, [&](QMenu& menu) { enabled = menu.actions().value(0)->isEnabled(); });
  EXPECT_FALSE(enabled);
  EXPECT_EQ(s.takeBoxes(), L"");

  int offered = 0;
  apptest::whenDialogShows([&](QDialog& dialog) {
    offered = dialog.findChild<QSlider*>("id1074")->maximum();
    dialog.findChild<QComboBox*>("id1196")->setCurrentIndex(1);
    dialog.findChild<QPushButton*>("id1")->click();
  });
  c.rightClick(kApple, [](QMenu& menu) {
    EXPECT_TRUE(menu.actions().value(0)->isEnabled());
    QTest::keyClick(&menu, Qt::Key_A);
  });
  EXPECT_EQ(offered, 2);  // Apple's usable questions
  const QString entry = QDir::homePath() + QString::fromWCharArray(L"/Desktop/KLV (Alpha／deep／Apple 【４択モード】).desktop");
  ASSERT_TRUE(QFile::exists(entry));
  EXPECT_NE(apptest::readText(entry).indexOf("Alpha/deep/Apple"), -1);
  EXPECT_NE(s.takeBoxes().find(L"Alpha/deep/Apple へのショートカットをデスクトップに作成しました。"), std::wstring::npos);
  EXPECT_TRUE(c.dialog.isVisible());  // the choice itself goes on
  EXPECT_EQ(c.dialog.tree().GetSelectedEid(), kZeta);
}
