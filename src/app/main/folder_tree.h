// The tree of folders and problem sets below the root folder, each item carrying its element id
// (eid) in Qt::UserRole; the root item "ルートフォルダ" carries 0.
#pragma once

#include <QIcon>
#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <array>
#include <memory>

#include "database/records/db_object.h"

class QLabel;
class QMenu;

class CFolderTreeCtrl : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CFolderTreeCtrl(QWidget* parent = nullptr);

  // Fills the tree afresh from the database below the root item, which it expands. False when a
  // read failed: the tree then shows what it showed before (nothing, the first time).
  bool BuildTree(const pdb3::DbObject& accessor);
  // Adds the elements of folder fid (and of its folders, recursively) below the parent item,
  // each level sorted by name without regard to case. False when a read failed: the items
  // added so far stay.
  bool FillChildren(const pdb3::DbObject& accessor, int fid, QTreeWidgetItem* parent);

  // -1 when nothing is selected.
  int GetSelectedEid() const;
  // Depth first from `first` along its following siblings; null when not found.
  QTreeWidgetItem* FindItemByEid(int eid, QTreeWidgetItem* first) const;
  // Selects the item and scrolls it into view; false (selection unchanged) when not found.
  bool SelectEid(int eid, QTreeWidgetItem* first);
  bool SelectEidFromRoot(int eid);

  static int itemEid(const QTreeWidgetItem* item);
  // The element type kept with the item (0 for the root).
  static int itemType(const QTreeWidgetItem* item);
  // The image of an element type: 0 folder, 1 and 2 their own, any other that of 2.
  static int imageIndexOfType(int type);

 protected:
  // The icons shown beside the items; none until a subclass sets them.
  std::array<QIcon, 3> images_;
};

// The tree as the user handles it: element icons, a drag image that follows the mouse and lights
// up the folder under it (nothing is moved when it ends), labels that may be edited but always
// revert, and Enter and F2 kept from the dialog: Enter is told to the dialog as the tree's own.
// A right click on an item (or the menu key on the current one) offers pop-up menu 145, whose
// command is told to the dialog; the item is then clickedEid().
class CMyFolderTreeCtrl : public CFolderTreeCtrl {
  Q_OBJECT

 public:
  explicit CMyFolderTreeCtrl(QWidget* parent = nullptr);
  ~CMyFolderTreeCtrl() override;

  // Loads icons 285, 286 and 287 for the element types.
  void InitImages();

  bool isDragging() const { return m_bDragging; }
  QTreeWidgetItem* dragItem() const { return itemFromIndex(dragIndex_); }
  QTreeWidgetItem* dropHighlightItem() const { return itemFromIndex(dropHighlight_); }
  // The eid of the item last right-clicked, -1 before any.
  int clickedEid() const { return m_nClickedEid; }

  // Pop-up menu 145 for the item: a desktop shortcut of a problem set (32785), greyed on folders.
  static constexpr int kMakeShortcutCommand = 32785;
  std::unique_ptr<QMenu> contextMenuFor(const QTreeWidgetItem& item);

 signals:
  // Enter in the tree (not while a label is edited).
  void enterPressed();
  // A command of the pop-up menu, for the item clickedEid() names.
  void contextCommand(int command);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BeginDrag(QTreeWidgetItem* item, const QPoint& globalPos);
  bool OnDragMouse(QMouseEvent* event);
  void DragTo(const QPoint& globalPos);
  void EndDrag();
  void SetDropHighlight(QTreeWidgetItem* item);
  QPixmap dragPixmap(QTreeWidgetItem* item) const;

  std::unique_ptr<QLabel> m_pDragImage;
  bool m_bDragging = false;
  int m_nClickedEid = -1;
  // Persistent, so that a rebuilt tree never leaves it pointing at a deleted item.
  QPersistentModelIndex dropHighlight_;
  QPersistentModelIndex dragIndex_;
  QPoint pressPos_;
  bool pressed_ = false;
  int mouseHook_ = -1;
};
