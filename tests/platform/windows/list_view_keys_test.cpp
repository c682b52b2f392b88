#include "platform/windows/list_view_keys.h"
#include "platform/windows/row_list.h"

#include <QApplication>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

#include "list_view_input.h"

using listinput::atBottom;
using listinput::atTop;
using listinput::pressKey;

namespace {

constexpr int kRows = 100;

void expectEachKeyBringsItsRowBack(QAbstractItemView& view) {
  view.resize(300, 200);
  view.show();
  QCoreApplication::processEvents();
  listinput::expectHomeAndEndBringTheirRowBack(view);
}

}  // namespace

TEST(ListViewKeys, HomeAndEndBringTheirRowIntoViewInAListATreeAndATableOfRows) {
  QListWidget list;
  for (int i = 0; i < kRows; ++i) list.addItem(QString::number(i));
  platform::bringHomeAndEndRowsIntoView(list);
  platform::bringHomeAndEndRowsIntoView(list);  // once is enough
  expectEachKeyBringsItsRowBack(list);

  QTreeWidget tree;
  for (int i = 0; i < kRows; ++i) new QTreeWidgetItem(&tree, {QString::number(i)});
  platform::bringHomeAndEndRowsIntoView(tree);
  expectEachKeyBringsItsRowBack(tree);

  QStandardItemModel rows(kRows, 3);
  platform::RowListView table;
  table.setModel(&rows);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  expectEachKeyBringsItsRowBack(table);
}

// In a table of rows Home and End go to its ends, as in a list, and select as they do there.
TEST(ListViewKeys, HomeAndEndInATableOfRowsGoToItsFirstAndLastRow) {
  QStandardItemModel rows(kRows, 3);
  platform::RowListView table;
  table.setModel(&rows);
  table.setSelectionBehavior(QAbstractItemView::SelectRows);
  table.resize(300, 200);
  table.show();
  table.setCurrentIndex(rows.index(40, 1));
  pressKey(table, Qt::Key_Home);
  EXPECT_EQ(table.currentIndex().row(), 0);
  EXPECT_TRUE(atTop(table));
  EXPECT_EQ(table.selectionModel()->selectedRows(), QModelIndexList{rows.index(0, 0)});
  pressKey(table, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(table.currentIndex(), rows.index(kRows - 1, 0));  // down, not sideways
  EXPECT_EQ(table.selectionModel()->selectedRows().size(), kRows);
  pressKey(table, Qt::Key_Home, Qt::ControlModifier);  // the focus moves, the selection stays
  EXPECT_EQ(table.currentIndex().row(), 0);
  EXPECT_EQ(table.selectionModel()->selectedRows().size(), kRows);
}
