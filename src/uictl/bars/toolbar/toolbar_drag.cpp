// Drag and drop of buttons between toolbars in customise mode: the drag from a bar, where a
// drop would land, the insertion marker, and what a drop does to both bars.
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

using namespace platform;

namespace {

constexpr int kMarkerHalf = 3;
constexpr int kGroupDistance = 6;

// The real drag: it begins once the pointer leaves the button with the left button down.
class QtDragDriver : public ToolbarDragDriver {
 public:
  ToolbarDragResult DoDragDrop(QWidget* source, std::unique_ptr<QMimeData> data, unsigned allowed,
                               const QRect& startRect, ToolbarDropSource& dropSource) override {
    ToolbarDragResult result;
    if (!waitForDragStart(startRect)) return result;
    dropSource.LoadCursors();
    dropSource.bDragStarted = true;
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    if (dropSource.hcurMove) drag->setDragCursor(dropSource.hcurMove->pixmap(), Qt::MoveAction);
    if (dropSource.hcurCopy) drag->setDragCursor(dropSource.hcurCopy->pixmap(), Qt::CopyAction);
    if (dropSource.hcurDelete) drag->setDragCursor(dropSource.hcurDelete->pixmap(), Qt::IgnoreAction);
    Qt::DropActions actions;
    if (allowed & DropEffectCopy) actions |= Qt::CopyAction;
    if (allowed & DropEffectMove) actions |= Qt::MoveAction;
    const Qt::DropAction action = drag->exec(actions, Qt::MoveAction);
    result.started = true;
    result.effect = action == Qt::CopyAction ? DropEffectCopy : action == Qt::MoveAction ? DropEffectMove : DropEffectNone;
    // A drag that ends while the button is still down was cancelled with Escape.
    result.escapePressed = QGuiApplication::mouseButtons() & Qt::LeftButton;
    dropSource.bEscapePressed = result.escapePressed;
    result.endPoint = QCursor::pos();
    return result;
  }

 private:
  static bool waitForDragStart(const QRect& startRect) {
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return false;
    QEventLoop loop;
    bool started = false;
    const int hook = installMouseHook([&](QWidget*, QMouseEvent* event) {
      if (event->type() == QEvent::MouseButtonRelease) {
        loop.quit();
      } else if (event->type() == QEvent::MouseMove && (event->buttons() & Qt::LeftButton) &&
                 !startRect.contains(event->globalPosition().toPoint())) {
        started = true;
        loop.quit();
      }
      return false;
    });
    loop.exec();
    removeMouseHook(hook);
    return started;
  }
};

ToolbarDragDriver*& installedDriver() {
  static ToolbarDragDriver* driver = nullptr;
  return driver;
}

ToolbarDragDriver& dragDriver() {
  static QtDragDriver real;
  return installedDriver() ? *installedDriver() : real;
}

unsigned keyStateOf(const QDropEvent* e) {
  unsigned flags = 0;
  if (e->buttons() & Qt::LeftButton) flags |= MkLButton;
  if (e->modifiers() & Qt::ShiftModifier) flags |= MkShift;
  if (e->modifiers() & Qt::ControlModifier) flags |= MkControl;
  if (e->modifiers() & Qt::AltModifier) flags |= MkAlt;
  return flags;
}

Qt::DropAction actionOf(unsigned effect) {
  return effect == DropEffectCopy ? Qt::CopyAction : effect == DropEffectMove ? Qt::MoveAction : Qt::IgnoreAction;
}

// Only button data in customise mode may land on a bar.
bool offersButton(const QMimeData* data) {
  return CUxToolBar::IsCustomizeMode() && data && data->hasFormat(CUxToolbarButton::GetClipboardFormat());
}

bool isSeparator(const CUxToolbarButton& button) { return button.m_nStyle & kStyleSeparator; }

}  // namespace

void setToolbarDragDriver(ToolbarDragDriver* driver) { installedDriver() = driver; }

void ToolbarDropSource::LoadCursors() {
  const auto load = [](std::optional<QCursor>& cursor, int id) {
    if (cursor) return;
    const QPixmap pixmap(QStringLiteral(":/uictl/cursor/%1.xpm").arg(id));
    if (!pixmap.isNull()) cursor = QCursor(pixmap, 0, 0);
  };
  load(hcurDelete, 16133);
  load(hcurMove, 16146);
  load(hcurCopy, 16004);
}

void CUxToolBar::dragButton(Point point, int hit) {
  CUxToolbarButton* button = GetButton(hit);
  auto data = std::make_unique<QMimeData>();
  // Drag data carries 1 in the stored flags: the button came from a bar.
  button->m_nStoredFlags = 1;
  const bool prepared = button->PrepareDrag(*data);
  button->m_nStoredFlags = 0;
  if (!prepared) return;
  ShowCommandMessageString(button->m_nCommandId);
  g_DragSource.bDragStarted = false;
  g_DragSource.bEscapePressed = false;
  g_DragSource.bShowDeleteCursor = true;
  m_ptStartDrag = point;
  const bool altDrag = g_bAltCustomizing;
  if (altDrag) toolbarClassData().bCustomizeMode = true;
  const Rect r = button->m_rect;
  const QRect start(mapToGlobal(ClientToWidget(r.topLeft())), QSize(r.width(), r.height()));
  QPointer<CUxToolBar> self(this);
  const ToolbarDragResult result =
      dragDriver().DoDragDrop(this, std::move(data), DropEffectCopy | DropEffectMove, start, g_DragSource);
  g_DragSource.bEscapePressed = result.escapePressed;
  if (!self) {
    if (altDrag) {
      g_bAltCustomizing = false;
      toolbarClassData().bCustomizeMode = false;
    }
    return;
  }
  if (result.started) {
    const Point end = WidgetToClient(mapFromGlobal(result.endPoint));
    // A drop on this bar has taken the button over already (m_pDragButton is cleared then).
    const int index = ButtonToIndex(m_pDragButton);
    if (index >= 0 && !m_pDragButton->m_rect.contains(end)) {
      if (result.effect != DropEffectCopy && !result.escapePressed) {
        // Moved to another bar, or dropped outside every bar: gone from here.
        RemoveButton(index);
        AdjustLayout();
      }
      update();
    }
  } else {
    m_iHighlighted = hit;
    OnSetHotButton(hit);
  }
  m_ptStartDrag = {-1, -1};
  m_pDragButton = nullptr;
}

unsigned CUxToolBar::OnDragEnter(const QMimeData* data, unsigned keyState, Point point) {
  m_iDragIndex = -1;
  g_DragSource.bShowDeleteCursor = false;
  return OnDragOver(data, keyState, point);
}

unsigned CUxToolBar::OnDragOver(const QMimeData* data, unsigned keyState, Point point) {
  if (m_bLocked) return DropEffectNone;
  {
    const std::unique_ptr<CUxToolbarButton> probe = CUxToolbarButton::CreateFromOleData(data);
    if (!probe || !probe->CanBeDroppedOn(this)) return DropEffectNone;
  }
  m_bIsDragCopy = keyState & MkControl;
  if (!m_bStretchButton && m_iSelected != -1) {
    m_iSelected = -1;
    update();
  }
  Rect marker;
  const int index = FindDropIndex(point, marker);
  if (marker != m_rectDrag) {
    m_iDragIndex = index;
    m_rectDrag = marker;
    update();
  }
  const int hit = HitTest(point);
  if (hit != m_iHighlighted) {
    m_iHighlighted = hit;
    OnSetHotButton(hit);
    update();
  }
  if (index == -1) return DropEffectNone;
  return (keyState & MkControl) ? DropEffectCopy : DropEffectMove;
}

void CUxToolBar::OnDragLeave() {
  update();
  m_rectDrag = {};
  m_iDragIndex = -1;
  g_DragSource.bShowDeleteCursor = true;
}

int CUxToolBar::FindDropIndex(Point point, Rect& marker) const {
  marker = {};
  const Rect client = ClientRect();
  if (m_Buttons.empty()) {
    marker = client;
    return 0;
  }
  const auto band = [&](int edge, const Rect& span, bool acrossX) {
    if (acrossX) return Rect{std::max(client.left, edge - kMarkerHalf), span.top, std::min(client.right, edge + kMarkerHalf), span.bottom};
    return Rect{span.left, std::max(client.top, edge - kMarkerHalf), span.right, std::min(client.bottom, edge + kMarkerHalf)};
  };
  if (!IsHorizontal()) {
    for (int i = 0; i < GetCount(); ++i) {
      const Rect r = m_Buttons[static_cast<size_t>(i)]->m_rect;
      if (point.y < r.top) {
        marker = band(r.top, r, false);
        return i;
      }
      if (point.y < r.bottom) {
        const bool nearTop = point.y - r.top < r.bottom - point.y;
        marker = band(nearTop ? r.top : r.bottom, r, false);
        return nearTop ? i : i + 1;
      }
    }
    const Rect last = m_Buttons.back()->m_rect;
    marker = band(last.bottom, last, false);
    return GetCount();
  }
  // Rows of visible buttons: a row begins at each button that is not above the one before.
  std::vector<std::vector<int>> rows;
  int previousBottom = std::numeric_limits<int>::min();
  for (int i = 0; i < GetCount(); ++i) {
    const CUxToolbarButton& button = *m_Buttons[static_cast<size_t>(i)];
    if (button.m_bHidden) continue;
    if (rows.empty() || button.m_rect.top >= previousBottom) rows.emplace_back();
    rows.back().push_back(i);
    previousBottom = button.m_rect.bottom;
  }
  if (rows.empty()) {
    marker = client;
    return 0;
  }
  int gap = 0;
  if (rows.size() > 1)
    gap = GetItemRect(rows[1].front()).top - GetItemRect(rows[0].front()).bottom;
  const int pitch = std::max(1, GetRowHeight() + gap);
  const size_t row = static_cast<size_t>(std::max(0, point.y / pitch));
  const std::vector<int>& buttons = rows[std::min(row, rows.size() - 1)];
  if (row < rows.size()) {
    for (int i : buttons) {
      const Rect r = GetItemRect(i);
      if (r.right < point.x) continue;
      if (point.x < r.left) {
        marker = band(r.left, r, true);
        return i;
      }
      const bool nearLeft = point.x - r.left < r.right - point.x;
      marker = band(nearLeft ? r.left : r.right, r, true);
      return nearLeft ? i : i + 1;
    }
  }
  const Rect last = GetItemRect(buttons.back());
  marker = band(last.right, last, true);
  return buttons.back() + 1;
}

bool CUxToolBar::OnDrop(const QMimeData* data, unsigned dropEffect, Point point) {
  if (m_iDragIndex < 0) return false;
  CUxToolbarButton* dragged = m_pDragButton;
  m_pDragButton = nullptr;
  int index = m_iDragIndex;
  OnDragLeave();
  std::unique_ptr<CUxToolbarButton> button = CreateDroppedButton(data);
  if (!button) return false;
  button->m_nStoredFlags = 0;
  const int own = ButtonToIndex(dragged);
  if (own >= 0 && dropEffect != DropEffectCopy) {
    if (index == own || index == own + 1) {
      // Dropped back in its own place: a move along the bar starts or ends a group instead.
      moveButtonGroup(dragged, m_ptStartDrag, point);
      return true;
    }
    RemoveButton(own);
    if (own < index) --index;
    index = std::min(index, GetCount());
  }
  const int at = InsertButton(std::move(button), index);
  if (at < 0) return false;
  AdjustLayout();
  if (g_bAltCustomizing) GetButton(at)->UpdateOwnerMenus();
  m_iSelected = -1;
  update();
  return true;
}

std::unique_ptr<CUxToolbarButton> CUxToolBar::CreateDroppedButton(const QMimeData* data) {
  std::unique_ptr<CUxToolbarButton> button = CUxToolbarButton::CreateFromOleData(data);
  if (!button) return nullptr;
  if (const size_t tab = button->m_strText.find(L'\t'); tab != std::wstring::npos) button->m_strText.resize(tab);
  // A command that did not come from a bar (the customise dialog's list) shows its image.
  if (button->m_nStoredFlags == 0) {
    button->m_bShowImage = true;
    button->m_bShowText = false;
  }
  // Neither image nor text: the user is asked for one, and a Cancel drops nothing.
  if (button->GetImage() < 0 && button->m_strText.empty() && !askAppearance(*button)) return nullptr;
  if (button->GetImage() < 0) {
    button->m_bShowImage = false;
    button->m_bShowText = true;
  }
  return button;
}

void CUxToolBar::moveButtonGroup(CUxToolbarButton* button, Point start, Point end) {
  const int index = ButtonToIndex(button);
  if (index <= 0) return;
  const int distance = IsHorizontal() ? end.x - start.x : end.y - start.y;
  if (std::abs(distance) < kGroupDistance) return;
  const bool separatorBefore = isSeparator(*GetButton(index - 1));
  if (distance > 0 && !separatorBefore) InsertSeparator(index);
  else if (distance < 0 && separatorBefore) RemoveButton(index - 1);
  AdjustLayout();
  m_iSelected = -1;
  update();
}

void CUxToolBar::dragEnterEvent(QDragEnterEvent* e) {
  if (!offersButton(e->mimeData())) {
    e->ignore();
    return;
  }
  const unsigned effect = OnDragEnter(e->mimeData(), keyStateOf(e), WidgetToClient(e->position().toPoint()));
  // The enter is taken so that moves keep coming; each move says whether a drop may happen.
  e->setDropAction(actionOf(effect));
  e->accept();
}

void CUxToolBar::dragMoveEvent(QDragMoveEvent* e) {
  const unsigned effect = offersButton(e->mimeData())
                              ? OnDragOver(e->mimeData(), keyStateOf(e), WidgetToClient(e->position().toPoint()))
                              : DropEffectNone;
  e->setDropAction(actionOf(effect));
  if (effect == DropEffectNone) e->ignore();
  else e->accept();
}

void CUxToolBar::dragLeaveEvent(QDragLeaveEvent*) { OnDragLeave(); }

void CUxToolBar::dropEvent(QDropEvent* e) {
  const unsigned effect = (keyStateOf(e) & MkControl) ? DropEffectCopy : DropEffectMove;
  if (offersButton(e->mimeData()) && OnDrop(e->mimeData(), effect, WidgetToClient(e->position().toPoint()))) {
    e->setDropAction(actionOf(effect));
    e->accept();
  } else {
    e->ignore();
  }
}
