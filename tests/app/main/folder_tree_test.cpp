#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "app/main/folder_tree.h"
#include "element_tree_fixture.h"
#include "list_view_input.h"
#include "platform/trace.h"

using namespace apptest;

namespace {

QStringList childNames(QTreeWidgetItem* item) {
  QStringList names;
  for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
  return names;
}

QTreeWidgetItem* child(QTreeWidgetItem* item, const QString& name) { return item->child(childNames(item).indexOf(name)); }

// Through the application, as the window system delivers them: the drag sees them there.
void sendMouse(CMyFolderTreeCtrl& tree, QEvent::Type type, QTreeWidgetItem* at, Qt::MouseButton button,
               Qt::MouseButtons buttons, QPoint offset = {}) {
  const QPoint pos = tree.visualItemRect(at).center() + offset;
  QMouseEvent event(type, pos, tree.viewport()->mapToGlobal(pos), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(tree.viewport(), &event);
}

}  // namespace

TEST(FolderTree, FillsNestedFoldersSortedByNameWithIconsAndFindsElements) {
  TreeApp s;
  CMyFolderTreeCtrl tree;
  tree.BuildTree(s.accessor());
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(CFolderTreeCtrl::itemEid(root), 0);
  // Without regard to case: a case-sensitive order would put "SmartLearning" before "beta".
  EXPECT_EQ(childNames(root), QStringList({"Alpha", "beta", "SmartLearning", QString::fromStdWString(L"中学生向け問題")}));
  QTreeWidgetItem* alpha = child(root, "Alpha");
  EXPECT_EQ(childNames(alpha), QStringList({"deep", "zeta"}));
  EXPECT_EQ(CFolderTreeCtrl::itemEid(child(child(alpha, "deep"), "Apple")), kApple);
  EXPECT_EQ(child(child(root, "beta"), "empty")->childCount(), 0);

  const auto icon = [](QTreeWidgetItem* item) { return item->icon(0).pixmap(16, 15).toImage(); };
  EXPECT_EQ(icon(alpha), QPixmap(":/app/icon/285.xpm").toImage());
  EXPECT_EQ(icon(child(child(root, "beta"), "old")), QPixmap(":/app/icon/286.xpm").toImage());
  EXPECT_EQ(icon(child(alpha, "zeta")), QPixmap(":/app/icon/287.xpm").toImage());

  EXPECT_TRUE(tree.SelectEidFromRoot(kApple));
  EXPECT_EQ(tree.GetSelectedEid(), kApple);
  EXPECT_TRUE(child(alpha, "deep")->isExpanded());
  EXPECT_FALSE(tree.SelectEidFromRoot(999));
  EXPECT_EQ(tree.GetSelectedEid(), kApple);

  s.run(L"INSERT INTO folder VALUES (11, 13)");  // Alpha also inside its own subfolder
  EXPECT_FALSE(tree.FillChildren(s.accessor(), kAlpha, new QTreeWidgetItem(&tree)));
}

TEST(FolderTree, ADragLightsUpTheFolderUnderTheMouseAndItsReleaseEndsItMovingNothing) {
  TreeApp s;
  CMyFolderTreeCtrl tree;
  tree.resize(300, 400);
  tree.BuildTree(s.accessor());
  tree.expandAll();
  tree.show();
  QTreeWidgetItem* root = tree.topLevelItem(0);
  QTreeWidgetItem* alpha = child(root, "Alpha");
  QTreeWidgetItem* apple = child(child(alpha, "deep"), "Apple");

  sendMouse(tree, QEvent::MouseButtonPress, apple, Qt::LeftButton, Qt::LeftButton);
  sendMouse(tree, QEvent::MouseMove, apple, Qt::NoButton, Qt::LeftButton, QPoint(0, 30));
  ASSERT_TRUE(tree.isDragging());
  EXPECT_EQ(tree.dragItem(), apple);
  const auto dragImages = [] {
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) shown += qobject_cast<QLabel*>(w) && w->isVisible();
    return shown;
  };
  EXPECT_EQ(dragImages(), 1);
  sendMouse(tree, QEvent::MouseMove, child(alpha, "zeta"), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(tree.dropHighlightItem(), alpha);  // a problem set lights up its folder
  EXPECT_EQ(alpha->background(0), tree.palette().highlight());
  sendMouse(tree, QEvent::MouseMove, root, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(tree.dropHighlightItem(), root);
  EXPECT_EQ(alpha->background(0), QBrush());

  sendMouse(tree, QEvent::MouseButtonRelease, root, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(tree.isDragging());
  EXPECT_EQ(root->background(0), QBrush());
  EXPECT_EQ(dragImages(), 0);
  EXPECT_EQ(s.intValue(L"SELECT fid FROM folder WHERE eid=14"), kDeep);
  sendMouse(tree, QEvent::MouseButtonPress, alpha, Qt::RightButton, Qt::RightButton);  // the mouse is the tree's again
  EXPECT_EQ(tree.clickedEid(), kAlpha);
}

TEST(FolderTree, HomeAndEndBringTheRootAndTheLastElementBackAfterTheWheel) {
  TreeApp s;
  for (int eid = 100; eid < 140; ++eid) {
    s.run(platform::format(L"INSERT INTO element_info VALUES(%d,1,'set%d','','','',0,0,'','')", eid, eid));
    s.run(platform::format(L"INSERT INTO folder VALUES(%d,0)", eid));
  }
  CMyFolderTreeCtrl tree;
  tree.resize(300, 200);
  ASSERT_TRUE(tree.BuildTree(s.accessor()));
  tree.show();
  listinput::expectHomeAndEndBringTheirRowBack(tree);
}

TEST(FolderTree, EditedLabelsRevertAndEnterOrF2NeverReachTheDialog) {
  TreeApp s;
  QDialog dialog;
  QObject::connect(new QPushButton("OK", &dialog), &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* tree = new CMyFolderTreeCtrl(&dialog);
  tree->resize(300, 300);
  tree->BuildTree(s.accessor());
  dialog.show();
  tree->SelectEidFromRoot(kAlpha);
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Return);
  QTest::keyClick(tree, Qt::Key_F2);
  EXPECT_TRUE(dialog.isVisible());

  QTreeWidgetItem* alpha = tree->currentItem();
  tree->editItem(alpha);
  auto* editor = tree->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("renamed");
  QTest::keyClick(editor, Qt::Key_Return);  // does not end the edit
  EXPECT_TRUE(editor->isVisible());
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(alpha->text(0), "Alpha");
}
