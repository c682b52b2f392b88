#include <QApplication>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include "app/shell/app_resources.h"
#include "app/main/folder_tree.h"
#include "platform/windows/mouse_capture.h"

namespace {

bool isSwallowedKey(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F2;
}

// A label may be edited, but the edit is never taken: the old text stays. Enter does not end
// the edit either, as it does not in the tree itself.
class RevertingLabelDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 protected:
  bool eventFilter(QObject* editor, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && isSwallowedKey(static_cast<QKeyEvent*>(event))) return true;
    return QStyledItemDelegate::eventFilter(editor, event);
  }
};

}  // namespace

CMyFolderTreeCtrl::CMyFolderTreeCtrl(QWidget* parent) : CFolderTreeCtrl(parent) {
  setItemDelegate(new RevertingLabelDelegate(this));
  setEditTriggers(QAbstractItemView::SelectedClicked);
  setDragEnabled(false);
  InitImages();
}

CMyFolderTreeCtrl::~CMyFolderTreeCtrl() {
  if (mouseHook_ >= 0) platform::removeMouseHook(mouseHook_);
}

void CMyFolderTreeCtrl::InitImages() {
  for (int i = 0; i < 3; ++i) images_[i] = LoadIconResource(285 + i);
}

void CMyFolderTreeCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) m_nClickedEid = itemEid(item);
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    pressPos_ = event->position().toPoint();
  }
  CFolderTreeCtrl::mousePressEvent(event);
}

void CMyFolderTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
  const bool farEnough =
      (event->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance();
  if (pressed_ && (event->buttons() & Qt::LeftButton) && farEnough) {
    pressed_ = false;
    if (QTreeWidgetItem* item = itemAt(pressPos_)) {
      BeginDrag(item, event->globalPosition().toPoint());
      return;
    }
  }
  CFolderTreeCtrl::mouseMoveEvent(event);
}

void CMyFolderTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
  pressed_ = false;
  CFolderTreeCtrl::mouseReleaseEvent(event);
}

void CMyFolderTreeCtrl::keyPressEvent(QKeyEvent* event) {
  if (isSwallowedKey(event)) {
    event->accept();
    if (event->key() != Qt::Key_F2) emit enterPressed();
    return;
  }
  CFolderTreeCtrl::keyPressEvent(event);
}

std::unique_ptr<QMenu> CMyFolderTreeCtrl::contextMenuFor(const QTreeWidgetItem& item) {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("id145");
  QAction* shortcut = menu->addAction(QString::fromWCharArray(L"この問題集のショートカットを作成する(&A)..."));
  shortcut->setData(kMakeShortcutCommand);
  // Only a problem set (or binder) can be studied from the desktop; the root is a folder too.
  shortcut->setEnabled(item.parent() && itemType(&item) != 0);
  return menu;
}

void CMyFolderTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* item = event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
  if (!item) return;
  m_nClickedEid = itemEid(item);
  const QPoint at = event->reason() == QContextMenuEvent::Mouse
                        ? event->globalPos()
                        : viewport()->mapToGlobal(visualItemRect(item).center());
  const std::unique_ptr<QMenu> menu = contextMenuFor(*item);
  if (QAction* chosen = menu->exec(at)) emit contextCommand(chosen->data().toInt());
}

QPixmap CMyFolderTreeCtrl::dragPixmap(QTreeWidgetItem* item) const {
  const QString text = item->text(0);
  const QFontMetrics metrics(font());
  QPixmap pixmap(iconSize().width() + 4 + metrics.horizontalAdvance(text) + 2,
                 std::max(iconSize().height(), metrics.height()));
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setOpacity(0.6);
  item->icon(0).paint(&painter, QRect(QPoint(0, 0), iconSize()));
  painter.setFont(font());
  painter.drawText(QRect(iconSize().width() + 4, 0, pixmap.width(), pixmap.height()), Qt::AlignVCenter, text);
  return pixmap;
}

// The mouse belongs to the drag until the button goes up, wherever it is.
void CMyFolderTreeCtrl::BeginDrag(QTreeWidgetItem* item, const QPoint& globalPos) {
  const QPixmap image = dragPixmap(item);
  if (image.isNull()) return;
  dragIndex_ = indexFromItem(item);
  m_pDragImage = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
  m_pDragImage->setAttribute(Qt::WA_ShowWithoutActivating);
  m_pDragImage->setAttribute(Qt::WA_TranslucentBackground);
  m_pDragImage->setPixmap(image);
  m_pDragImage->resize(image.size());
  m_bDragging = true;
  mouseHook_ = platform::installMouseHook([this](QWidget*, QMouseEvent* event) { return OnDragMouse(event); });
  DragTo(globalPos);
  m_pDragImage->show();
}

bool CMyFolderTreeCtrl::OnDragMouse(QMouseEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    DragTo(event->globalPosition().toPoint());
  } else if (event->type() == QEvent::MouseButtonRelease && event->button() == Qt::LeftButton) {
    EndDrag();
  }
  return true;
}

void CMyFolderTreeCtrl::DragTo(const QPoint& globalPos) {
  m_pDragImage->move(globalPos);
  const QPoint local = viewport()->mapFromGlobal(globalPos);
  QTreeWidgetItem* item = viewport()->rect().contains(local) ? itemAt(local) : nullptr;
  if (!item) return;
  // Only folders (and the root) are drop targets: a problem set lights up its folder.
  if (itemType(item) != 0 && item->parent()) item = item->parent();
  SetDropHighlight(item);
}

void CMyFolderTreeCtrl::EndDrag() {
  platform::removeMouseHook(mouseHook_);
  mouseHook_ = -1;
  m_pDragImage.reset();
  SetDropHighlight(nullptr);
  dragIndex_ = QPersistentModelIndex();
  m_bDragging = false;
}

void CMyFolderTreeCtrl::SetDropHighlight(QTreeWidgetItem* item) {
  if (QTreeWidgetItem* old = dropHighlightItem()) {
    old->setData(0, Qt::BackgroundRole, QVariant());
    old->setData(0, Qt::ForegroundRole, QVariant());
  }
  dropHighlight_ = item ? QPersistentModelIndex(indexFromItem(item)) : QPersistentModelIndex();
  if (item) {
    item->setBackground(0, palette().highlight());
    item->setForeground(0, palette().highlightedText());
  }
}
