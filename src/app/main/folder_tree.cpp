#include "app/main/folder_tree.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_exceptions.h"
#include "platform/trace.h"
#include "platform/windows/list_view_keys.h"

namespace {

constexpr int kTypeRole = Qt::UserRole + 1;

struct ElementRow {
  int eid;
  int type;
  QString name;
};

// Folder rows that loop back on themselves would make the filling recurse for ever.
bool isAncestorOrSelf(const QTreeWidgetItem* item, int eid) {
  for (; item; item = item->parent())
    if (CFolderTreeCtrl::itemEid(item) == eid) return true;
  return false;
}

}  // namespace

CFolderTreeCtrl::CFolderTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 15));
  platform::bringHomeAndEndRowsIntoView(*this);
}

int CFolderTreeCtrl::itemEid(const QTreeWidgetItem* item) {
  return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

int CFolderTreeCtrl::itemType(const QTreeWidgetItem* item) {
  return item ? item->data(0, kTypeRole).toInt() : -1;
}

int CFolderTreeCtrl::imageIndexOfType(int type) { return type >= 0 && type <= 2 ? type : 2; }

bool CFolderTreeCtrl::BuildTree(const pdb3::DbObject& accessor) {
  // Filled aside and put in whole: a tree read in part would pass for one whose elements are gone.
  auto root = std::make_unique<QTreeWidgetItem>(QStringList(QString::fromStdWString(L"ルートフォルダ")));
  root->setIcon(0, images_[0]);
  root->setData(0, Qt::UserRole, 0);
  root->setData(0, kTypeRole, 0);
  if (!FillChildren(accessor, 0, root.get())) return false;
  clear();
  addTopLevelItem(root.get());
  root.release()->setExpanded(true);
  return true;
}

bool CFolderTreeCtrl::FillChildren(const pdb3::DbObject& accessor, int fid, QTreeWidgetItem* parent) {
  std::vector<ElementRow> rows;
  try {
    const std::wstring sql = platform::format(
        L"SELECT e.eid, type, name FROM element_info as e, folder as f WHERE e.eid = f.eid AND f.fid = %d ORDER BY name",
        fid);
    auto cursor = accessor.query().query(sql.c_str());
    while (cursor->next()) {
      if (cursor->columnCount() != 3) continue;
      rows.push_back({cursor->getInt(0), cursor->isNull(1) ? -1 : cursor->getInt(1),
                      QString::fromStdWString(cursor->getString(2))});
    }
  } catch (const sqliteplus::SqliteException& e) {
    platform::traceError("%s : %s\n", e.what(), e.message().c_str());
    return false;
  }
  std::stable_sort(rows.begin(), rows.end(), [](const ElementRow& a, const ElementRow& b) {
    return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
  });
  for (const ElementRow& row : rows) {
    auto* item = new QTreeWidgetItem(parent, QStringList(row.name));
    item->setIcon(0, images_[imageIndexOfType(row.type)]);
    item->setData(0, Qt::UserRole, row.eid);
    item->setData(0, kTypeRole, row.type);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (row.type != 0) continue;
    if (isAncestorOrSelf(parent, row.eid)) {
      platform::traceError("folder rows loop back at element %d\n", row.eid);
      return false;
    }
    if (!FillChildren(accessor, row.eid, item)) return false;
  }
  return true;
}

int CFolderTreeCtrl::GetSelectedEid() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : itemEid(selected.first());
}

QTreeWidgetItem* CFolderTreeCtrl::FindItemByEid(int eid, QTreeWidgetItem* first) const {
  if (!first) return nullptr;
  QTreeWidgetItem* parent = first->parent();
  const int count = parent ? parent->childCount() : topLevelItemCount();
  const int start = parent ? parent->indexOfChild(first) : indexOfTopLevelItem(first);
  for (int i = start; i >= 0 && i < count; ++i) {
    QTreeWidgetItem* item = parent ? parent->child(i) : topLevelItem(i);
    if (itemEid(item) == eid) return item;
    if (item->childCount() > 0)
      if (QTreeWidgetItem* found = FindItemByEid(eid, item->child(0))) return found;
  }
  return nullptr;
}

bool CFolderTreeCtrl::SelectEid(int eid, QTreeWidgetItem* first) {
  QTreeWidgetItem* item = FindItemByEid(eid, first);
  if (!item) return false;
  setCurrentItem(item);
  scrollToItem(item);
  return true;
}

bool CFolderTreeCtrl::SelectEidFromRoot(int eid) { return SelectEid(eid, topLevelItem(0)); }
