// A table that serves as a list of rows, as the desktop's list views in their report form.
#pragma once

#include <QTableView>
#include <QTableWidget>
#include <utility>

#include "platform/windows/list_view_keys.h"

namespace platform {

// Home and End go to the table's first and last row, as in a list, and not to the ends of the
// current row as in a grid; with or without Ctrl they bring that row into view.
template <class Table>
class RowList : public Table {
 public:
  // Made as the table is (its parent last).
  template <class... Args>
  explicit RowList(Args&&... args) : Table(std::forward<Args>(args)...) {
    bringHomeAndEndRowsIntoView(*this);
  }

 protected:
  QModelIndex moveCursor(QAbstractItemView::CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (action != QAbstractItemView::MoveHome && action != QAbstractItemView::MoveEnd)
      return Table::moveCursor(action, modifiers);
    // The selection still follows the key as pressed: only the cell it reaches changes. Both ends
    // are in the first column shown, so that End leaves the view's sideways scroll alone too.
    const QModelIndex first = Table::moveCursor(QAbstractItemView::MoveHome, modifiers | Qt::ControlModifier);
    if (action == QAbstractItemView::MoveHome) return first;
    const QModelIndex last = Table::moveCursor(QAbstractItemView::MoveEnd, modifiers | Qt::ControlModifier);
    return last.sibling(last.row(), first.column());
  }
};

using RowListView = RowList<QTableView>;
using RowListWidget = RowList<QTableWidget>;

}  // namespace platform
