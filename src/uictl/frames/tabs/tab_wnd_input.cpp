// The tab window's mouse and keys: activating a tab by click or Ctrl+PgUp/PgDn, dragging a tab
// to a new place with auto-scroll at the ends, the shared scroll bar's splitter and scrolling,
// renaming a tab in place, hot tabs and tooltips.
#include "platform/windows/command_target.h"
#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QToolTip>
#include <algorithm>

using namespace platform;

namespace {

constexpr int kAutoScrollPeriod = 250;

// Forwarding a scroll to the active window must not come back through the shared bar.
bool forwardingScroll = false;

Point pointOf(const QMouseEvent* event) { return {event->position().toPoint().x(), event->position().toPoint().y()}; }

bool isMouseEvent(QEvent::Type type) {
  return type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
}

// The scroll code of the original scroll messages for a slider action.
unsigned scrollCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return 0;
    case QAbstractSlider::SliderSingleStepAdd: return 1;
    case QAbstractSlider::SliderPageStepSub: return 2;
    case QAbstractSlider::SliderPageStepAdd: return 3;
    case QAbstractSlider::SliderToMinimum: return 6;
    case QAbstractSlider::SliderToMaximum: return 7;
    default: return 5;  // the thumb tracked
  }
}

}  // namespace

bool CUxTabWnd::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange) OnSysColorChange();
  if (event->type() == QEvent::ApplicationFontChange) OnSettingChange();
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const std::wstring tip = TabTipAt({help->pos().x(), help->pos().y()});
    if (tip.empty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), QString::fromStdWString(tip), this);
    return true;
  }
  return QWidget::event(event);
}

void CUxTabWnd::setToolRect(int id, const Rect& rect) {
  for (TabTool& tool : m_tips)
    if (tool.id == id) tool.rect = rect;
}

void CUxTabWnd::setToolText(int id, const std::wstring& text) {
  for (TabTool& tool : m_tips)
    if (tool.id == id) tool.text = text;
}

std::wstring CUxTabWnd::TabTipAt(Point point) const {
  for (const TabTool& tool : m_tips)
    if (tool.rect.contains(point)) return tool.text;
  return {};
}

// Mouse.

void CUxTabWnd::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Point point = pointOf(event);
  if (!m_rcSplitter.isEmpty() && m_rcSplitter.contains(point)) {
    m_bSplitterDrag = true;
    setCapture(this);
    return;
  }
  int hit = -1;
  for (int i = 0; i < m_nTabCount && hit < 0; ++i)
    if (m_tabRecords[size_t(i)]->m_bShown && m_tabRecords[size_t(i)]->m_rcTab.contains(point)) hit = i;
  const bool inTabs = m_rcTabs.contains(point);
  if (hit >= 0 && hit != m_nActive && inTabs) {
    m_nHot = -1;
    const int old = m_nActive;
    ActivateTab(hit);
    notifyParent(UXM_ONCHANGE_ACTIVE_TAB, static_cast<uintptr_t>(hit), old);
  }
  // Only a tab can be dragged; the parent may have changed the tabs meanwhile.
  if (m_bDragAllowed && inTabs && validIndex(hit)) {
    setCapture(this);
    m_nDragFrom = m_nDropIndex = hit;
    m_bDragging = true;
    return;
  }
  if (hit < 0 && point.y >= GetTabsHeight()) passToParent(event);
}

void CUxTabWnd::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Point point = pointOf(event);
  const int hit = TabFromPoint(point);
  if (hit >= 0 ? !BeginTabRename(hit) : point.y >= GetTabsHeight()) passToParent(event);
}

void CUxTabWnd::passToParent(QMouseEvent* event) {
  QWidget* parent = parentWidget();
  if (!parent) return;
  const QPointF at = mapTo(parent, event->position().toPoint());
  QMouseEvent copy(event->type(), at, event->globalPosition(), event->button(), event->buttons(), event->modifiers());
  QApplication::sendEvent(parent, &copy);
}

void CUxTabWnd::mouseMoveEvent(QMouseEvent* event) {
  const Point point = pointOf(event);
  if (m_bSplitterDrag) {
    trackSplitter(point.x);
    return;
  }
  if (m_bDragging) {
    dragTo(point);
    return;
  }
  if (m_bSlanted && m_bHotTracking && !CUxVisualManager::GetInstance()->IsTabOptionAllowed()) m_bHotTracking = false;
  if (!m_rcSplitter.isEmpty() && m_rcSplitter.contains(point)) setCursor(globalData().StretchCursor());
  else unsetCursor();
  const int hot = TabFromPoint(point);
  if (hot == m_nHot) return;
  const int old = m_nHot;
  m_nHot = hot;
  if (m_bHotTracking) {
    RedrawTab(hot);
    RedrawTab(old);
  }
}

void CUxTabWnd::leaveEvent(QEvent*) {
  if (m_nHot < 0 || m_bDragging) return;
  const int old = m_nHot;
  m_nHot = -1;
  if (m_bHotTracking) RedrawTab(old);
}

void CUxTabWnd::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (m_bSplitterDrag) {
    m_bSplitterDrag = false;
    releaseCapture();
  }
  if (m_bDragging) endDrag(true);
}

void CUxTabWnd::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timerScrollLeft.timerId()) onButtonClick(BtnLeft);
  else if (event->timerId() == m_timerScrollRight.timerId()) onButtonClick(BtnRight);
  else QWidget::timerEvent(event);
}

void CUxTabWnd::OnCancelMode() {
  if (m_bSplitterDrag) {
    m_bSplitterDrag = false;
    releaseCapture();
  }
  endRename();
  if (m_bDragging) endDrag(false);
  if (m_nHot >= 0) {
    const int old = m_nHot;
    m_nHot = -1;
    RedrawTab(old);
  }
}

// Tab drag.

void CUxTabWnd::dragTo(Point point) {
  if (point.x < m_rcTabs.left) {
    m_timerScrollRight.stop();
    if (!m_timerScrollLeft.isActive()) m_timerScrollLeft.start(kAutoScrollPeriod, this);
    return;
  }
  if (point.x >= m_rcTabs.right) {
    m_timerScrollLeft.stop();
    if (!m_timerScrollRight.isActive()) m_timerScrollRight.start(kAutoScrollPeriod, this);
    return;
  }
  m_timerScrollLeft.stop();
  m_timerScrollRight.stop();
  for (int i = 0; i < m_nTabCount; ++i) {
    const CUxTabRecord& tab = *m_tabRecords[size_t(i)];
    if (!tab.m_bShown) continue;
    const int middle = (tab.m_rcTab.left + tab.m_rcTab.right) / 2;
    int drop = -1;
    if (point.x >= tab.m_rcTab.left && point.x < middle && m_nDropIndex != i) drop = i;
    else if (point.x >= middle && point.x < tab.m_rcTab.right && m_nDropIndex != i + 1) drop = i + 1;
    if (drop < 0) continue;
    m_nDropIndex = drop;
    redrawNow(m_rcTabs);
    return;
  }
}

void CUxTabWnd::endDrag(bool apply) {
  m_timerScrollLeft.stop();
  m_timerScrollRight.stop();
  releaseCapture();
  const int from = m_nDragFrom, drop = m_nDropIndex;
  m_bDragging = false;
  m_nDragFrom = m_nDropIndex = -1;
  if (apply && drop != from && validIndex(from) && drop >= 0 && drop <= m_nTabCount &&
      notifyParent(UXM_ON_BEFOREMOVE_TAB, static_cast<uintptr_t>(from), drop) == 0 && validIndex(from) &&
      drop <= m_nTabCount) {
    // The active tab keeps being the active one wherever it ends up.
    const CUxTabRecord* active = record(m_nActive);
    std::unique_ptr<CUxTabRecord> moved = std::move(m_tabRecords[size_t(from)]);
    m_tabRecords.erase(m_tabRecords.begin() + from);
    m_tabRecords.insert(m_tabRecords.begin() + (from < drop ? drop - 1 : drop), std::move(moved));
    for (int i = 0; i < m_nTabCount; ++i)
      if (m_tabRecords[size_t(i)].get() == active) m_nActive = i;
    notifyParent(UXM_ON_MOVE_TAB, static_cast<uintptr_t>(from), drop);
    LayoutTabs();
  }
  redrawNow(m_rcTabs);
}

// The shared scroll bar's splitter and scrolling.

void CUxTabWnd::trackSplitter(int x) {
  const int least = 2 * getSystemMetrics(SmCxHThumb);
  m_cxSharedScrollBar =
      std::max(least, std::min(m_xScrollBarLimit - m_rcTabs.left - kSplitterWidth, m_xScrollBarLimit - x));
  // The tabs get back what the splitter gives up.
  m_rcTabs.right = m_xScrollBarLimit + getSystemMetrics(SmCxVScroll);
  PlaceSharedScrollBar();
  update();
  ClampScrollOffset();
}

void CUxTabWnd::onSharedScroll(int action) {
  if (forwardingScroll) return;
  auto* area = qobject_cast<QAbstractScrollArea*>(GetActiveTabWindow());
  if (!area) return;
  forwardingScroll = true;
  const int position = m_sharedScrollBar->sliderPosition();
  QScrollBar* own = area->horizontalScrollBar();
  own->setValue(position);
  m_sharedScrollBar->setSliderPosition(own->value());
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  notifyParent(UXM_ON_HSCROLL, (scrollCode(action) & 0xFFFF) | (static_cast<uintptr_t>(position & 0xFFFF) << 16), 0);
  forwardingScroll = false;
}

// Keys and renaming.

bool CUxTabWnd::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (m_pRenameEdit) return filterRename(widget, event);
  if (event->type() != QEvent::KeyPress || m_nActive < 0 || (widget != this && !isAncestorOf(widget))) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!(key->modifiers() & Qt::ControlModifier) || (key->key() != Qt::Key_PageUp && key->key() != Qt::Key_PageDown))
    return false;
  return ctrlPageKey(key->key());
}

bool CUxTabWnd::ctrlPageKey(int key) {
  const int step = key == Qt::Key_PageUp ? -1 : 1;
  int next = -1;
  for (int n = 1, i = m_nActive; n < m_nTabCount && next < 0; ++n) {
    i = (i + step + m_nTabCount) % m_nTabCount;
    if (m_tabRecords[size_t(i)]->m_bShown) next = i;
  }
  if (next < 0) return true;
  const int old = m_nActive;
  ActivateTab(next);
  if (QWidget* window = GetTabWindow(next)) window->setFocus();
  notifyParent(UXM_ONCHANGE_ACTIVE_TAB, static_cast<uintptr_t>(next), old);
  return true;
}

bool CUxTabWnd::BeginTabRename(int index) {
  if (!m_bRenameAllowed || !validIndex(index)) return false;
  ScrollTabIntoView(index);
  const CUxTabRecord* tab = record(index);
  if (tab->m_bNoLabel) return false;
  endRename();
  const Rect r = tab->m_rcTab.deflated(tab->m_rcTab.height() / 2, 1);
  m_pRenameEdit = new QLineEdit(this);
  m_pRenameEdit->setGeometry(r.toQRect());
  m_pRenameEdit->setFont(globalData().fontRegular.qfont());
  m_pRenameEdit->setText(QString::fromStdWString(tab->m_strLabel));
  m_pRenameEdit->selectAll();
  m_pRenameEdit->show();
  m_pRenameEdit->setFocus();
  m_nRenamed = index;
  return true;
}

bool CUxTabWnd::CommitTabRename() {
  if (!m_pRenameEdit || !validIndex(m_nRenamed)) return false;
  std::wstring text = m_pRenameEdit->text().toStdWString();
  if (text.empty() || !CanRenameTab(m_nRenamed, text)) return false;
  if (notifyParent(UXM_ON_RENAME_TAB, static_cast<uintptr_t>(m_nRenamed), reinterpret_cast<intptr_t>(text.c_str())))
    return false;
  return SetTabLabel(m_nRenamed, text);
}

void CUxTabWnd::endRename() {
  m_nRenamed = -1;
  if (!m_pRenameEdit) return;
  QLineEdit* edit = m_pRenameEdit;
  m_pRenameEdit = nullptr;
  edit->hide();
  // The box may be handling the key that ends it.
  edit->deleteLater();
}

bool CUxTabWnd::filterRename(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
      endRename();
      return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (CommitTabRename()) endRename();
    else QApplication::beep();
    return true;
  }
  if (!isMouseEvent(type) || watched == m_pRenameEdit) return false;
  const QPointF global = type == QEvent::Wheel ? static_cast<QWheelEvent*>(event)->globalPosition()
                                               : static_cast<QMouseEvent*>(event)->globalPosition();
  if (m_pRenameEdit->rect().contains(m_pRenameEdit->mapFromGlobal(global.toPoint()))) return false;
  // A click elsewhere ends the renaming as Enter does; a refused name keeps the box.
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    if (CommitTabRename()) endRename();
    else QApplication::beep();
  }
  return true;
}
