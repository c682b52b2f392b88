#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "app/folder_tree.h"
#include "element_tree_fixture.h"

using apptest::TreeApp;
using namespace apptest;

namespace {

QStringList childNames(QTreeWidgetItem* item) {
  QStringList names;
  for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
  return names;
}

QTreeWidgetItem* child(QTreeWidgetItem* item, const QString& name) {
  for (int i = 0; i < item->childCount(); ++i)
    if (item->child(i)->text(0) == name) return item->child(i);
  return nullptr;
}

// Mouse events through the application, as the window system delivers them.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

QPoint centre(CMyFolderTreeCtrl& tree, QTreeWidgetItem* item) { return tree.visualItemRect(item).center(); }

}  // namespace

TEST(FolderTree, FillsNestedFoldersSortedByNameWithIconsAndFindsElements) {
  TreeApp s;
  CMyFolderTreeCtrl tree;
  tree.BuildTree(s.accessor());
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree.topLevelItem(0);
  EXPECT_EQ(root->text(0), QString::fromStdWString(L"ルートフォルダ"));
  EXPECT_EQ(CFolderTreeCtrl::itemEid(root), 0);
  EXPECT_TRUE(root->isExpanded());
  // Without regard to case: a case-sensitive order would put "SmartLearning" before "beta".
  EXPECT_EQ(childNames(root), QStringList({"Alpha", "beta", "SmartLearning", QString::fromStdWString(L"中学生向け問題")}));
  QTreeWidgetItem* alpha = child(root, "Alpha");
  EXPECT_EQ(childNames(alpha), QStringList({"deep", "zeta"}));
  EXPECT_EQ(CFolderTreeCtrl::itemEid(child(child(alpha, "deep"), "Apple")), kApple);
  EXPECT_EQ(child(child(root, "beta"), "empty")->childCount(), 0);

  const auto image = [](QTreeWidgetItem* item) { return item->icon(0).pixmap(16, 15).toImage(); };
  const auto resource = [](int id) { return QPixmap(QString(":/app/icon/%1.xpm").arg(id)).toImage(); };
  EXPECT_EQ(image(alpha), resource(285));
  EXPECT_EQ(image(child(child(root, "beta"), "old")), resource(286));
  EXPECT_EQ(image(child(alpha, "zeta")), resource(287));
  EXPECT_EQ(CFolderTreeCtrl::imageIndexOfType(7), 2);

  EXPECT_EQ(tree.GetSelectedEid(), -1);
  EXPECT_TRUE(tree.SelectEidFromRoot(kApple));
  EXPECT_EQ(tree.GetSelectedEid(), kApple);
  EXPECT_TRUE(child(alpha, "deep")->isExpanded());
  EXPECT_FALSE(tree.SelectEidFromRoot(999));
  EXPECT_EQ(tree.GetSelectedEid(), kApple);
}

TEST(FolderTree, FolderRowsThatLoopBackStopTheFillingInsteadOfRecursingForEver) {
  TreeApp s;
  s.run(L"INSERT INTO folder VALUES (11, 13)");  // Alpha also inside its own subfolder
  CMyFolderTreeCtrl tree;
  EXPECT_FALSE(tree.FillChildren(s.accessor(), kAlpha, new QTreeWidgetItem(&tree)));
  tree.BuildTree(s.accessor());
  EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
}

TEST(FolderTree, ADragLightsUpTheFolderUnderTheMouseAndItsReleaseEndsItMovingNothing) {
  TreeApp s;
  CMyFolderTreeCtrl tree;
  tree.resize(300, 400);
  tree.BuildTree(s.accessor());
  tree.expandAll();
  tree.show();
  QWidget* view = tree.viewport();
  QTreeWidgetItem* root = tree.topLevelItem(0);
  QTreeWidgetItem* alpha = child(root, "Alpha");
  QTreeWidgetItem* apple = child(child(alpha, "deep"), "Apple");

  const QPoint start = centre(tree, apple);
  sendMouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  sendMouse(view, QEvent::MouseMove, start + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(tree.isDragging());
  EXPECT_EQ(tree.dragItem(), apple);
  sendMouse(view, QEvent::MouseMove, centre(tree, child(alpha, "zeta")), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(tree.dropHighlightItem(), alpha);  // a problem set lights up its folder
  EXPECT_EQ(alpha->background(0), tree.palette().highlight());
  sendMouse(view, QEvent::MouseMove, centre(tree, root), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(tree.dropHighlightItem(), root);
  EXPECT_EQ(alpha->background(0), QBrush());
  const QWidgetList dragImages = [] {
    QWidgetList shown;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QLabel*>(w) && w->isVisible()) shown << w;
    return shown;
  }();
  EXPECT_EQ(dragImages.size(), 1);

  sendMouse(view, QEvent::MouseButtonRelease, centre(tree, root), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(tree.isDragging());
  EXPECT_EQ(tree.dropHighlightItem(), nullptr);
  EXPECT_EQ(root->background(0), QBrush());
  EXPECT_EQ(s.intValue(L"SELECT fid FROM folder WHERE eid=14"), kDeep);
  // The mouse is the tree's own again.
  sendMouse(view, QEvent::MouseButtonPress, centre(tree, alpha), Qt::RightButton, Qt::RightButton);
  EXPECT_EQ(tree.clickedEid(), kAlpha);
}

TEST(FolderTree, EditedLabelsRevertAndEnterOrF2NeverReachTheDialog) {
  TreeApp s;
  QDialog dialog;
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* tree = new CMyFolderTreeCtrl(&dialog);
  tree->resize(300, 300);
  tree->BuildTree(s.accessor());
  dialog.show();
  tree->SelectEidFromRoot(kAlpha);
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Return);
  QTest::keyClick(tree, Qt::Key_F2);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
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
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE name='renamed'"), 0);
}
