// Mouse and keyboard on a toolbar: hot tracking, pressing and releasing buttons, leaving and
// cancelling, and the thread-wide mouse hook that lets bars track the mouse while a menu holds it.
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/combos/drop_down_toolbar.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/buttons/system_menu_buttons.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"
#include "uictl/bars/commands/user_tools.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWhatsThis>

using namespace platform;

namespace {

constexpr unsigned kNoCommand = 0xFFFFFFFFu;

int g_hookHandle = 0;
QPointer<CUxToolBar> g_pLastHookedToolbar;

unsigned keyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= MkLButton;
  if (modifiers & Qt::ShiftModifier) flags |= MkShift;
  if (modifiers & Qt::ControlModifier) flags |= MkControl;
  if (modifiers & Qt::AltModifier) flags |= MkAlt;
  return flags;
}

CUxToolBar* toolbarAt(QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (auto* bar = dynamic_cast<CUxToolBar*>(widget)) return bar;
  return nullptr;
}

}  // namespace

void CUxToolBar::connectApplicationSignals() {
  static bool connected = false;
  if (connected || !qApp) return;
  connected = true;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, &CUxToolBar::IdleUpdateAll);
  // The window the focus came from gets it back when the bar is done.
  QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget* old, QWidget* now) {
    auto* bar = dynamic_cast<CUxToolBar*>(now);
    if (bar && old && !toolbarAt(old)) bar->m_hwndLastFocus = old;
  });
}

bool CUxToolBar::isMouseHookSet() { return g_hookHandle != 0; }

void CUxToolBar::SetHook(bool set) {
  if (set) {
    if (g_hookHandle) return;
    g_hookHandle = installMouseHook([](QWidget*, QMouseEvent* event) {
      if (event->type() != QEvent::MouseMove) return false;
      const QPoint global = event->globalPosition().toPoint();
      CUxToolBar* bar = toolbarAt(QApplication::widgetAt(global));
      if (bar) bar->OnMouseMove(0, bar->WidgetToClient(bar->mapFromGlobal(global)));
      if (g_pLastHookedToolbar && g_pLastHookedToolbar != bar) {
        CUxToolBar* last = g_pLastHookedToolbar;
        last->m_bTracked = false;
        last->m_ptLastMouse = {-1, -1};
        const int old = last->m_iHighlighted;
        last->m_iHighlighted = -1;
        last->OnSetHotButton(-1);
        last->InvalidateButton(old);
      }
      g_pLastHookedToolbar = bar;
      return false;
    });
    return;
  }
  if (!g_hookHandle) return;
  removeMouseHook(g_hookHandle);
  g_hookHandle = 0;
  g_pLastHookedToolbar = nullptr;
  for (CUxToolBar* bar : GetAllToolbars()) bar->OnCancelMode();
}

bool CUxToolBar::ownsCapture() const { return getCapture() == this; }

void CUxToolBar::releaseBarCapture() {
  if (ownsCapture()) releaseCapture();
  if (m_pWndLastCapture) setCapture(m_pWndLastCapture);
  m_pWndLastCapture = nullptr;
}

void CUxToolBar::OnMouseMove(unsigned, Point point) {
  if (toolbarClassData().bCustomizeMode && !m_bLocked) {
    if (m_bStretchButton && m_pDragButton && point.x - m_pDragButton->m_rect.left > 4) {
      m_rectTrack.right = point.x;
      update();
    }
    OnSetCursor(point);
    return;
  }
  if (m_ptLastMouse != Point{-1, -1} && point == m_ptLastMouse) return;
  const int old = m_iHighlighted;
  m_ptLastMouse = point;
  int hit = HitTest(point);
  if (hit == -1 && ownsCapture()) return;
  if (const CUxToolbarButton* button = GetButton(hit);
      button && (button->m_nStyle & kStyleDisabled) && !AllowHighlightDisabled())
    hit = -1;
  m_iHighlighted = hit;
  if (!m_bTracked) {
    m_bTracked = true;
    TrackMouseLeave(this);
  }
  if (m_iHighlighted == old) return;
  if (m_iButtonCapture != -1) {
    const unsigned style = GetButtonStyle(m_iButtonCapture);
    SetButtonStyle(m_iButtonCapture, m_iHighlighted == m_iButtonCapture ? style | kStylePressed : style & ~kStylePressed);
  }
  if (m_bMenuMode || m_iButtonCapture == -1 || old == m_iButtonCapture) InvalidateButton(old);
  if (m_bMenuMode || m_iButtonCapture == -1 || m_iHighlighted == m_iButtonCapture) InvalidateButton(m_iHighlighted);
  if (m_iHighlighted == -1 || (m_iButtonCapture != -1 && m_iHighlighted != m_iButtonCapture)) {
    if ((m_iButtonCapture == -1 || (m_bMenuMode && m_iHighlighted == -1)) && !isMouseHookSet())
      sendIdlePrompt(GetTopFrame(this));
  } else {
    ShowCommandMessageString(GetButton(m_iHighlighted)->m_nCommandId);
  }
  OnSetHotButton(m_iHighlighted);
}

void CUxToolBar::OnSetCursor(Point point) {
  // The stretch cursor tells before the press that it will stretch the selected button.
  const CUxToolbarButton* selected = GetButton(m_iSelected);
  const bool nearRightEdge = toolbarClassData().bCustomizeMode && !m_bLocked && selected &&
                             selected->m_rect.contains(point) && selected->CanBeResized() &&
                             selected->m_rect.right - point.x < 7;
  if (m_bStretchButton || nearRightEdge) setCursor(globalData().StretchCursor());
  else if (testAttribute(Qt::WA_SetCursor)) unsetCursor();
}

void CUxToolBar::OnLButtonDown(unsigned flags, Point point) {
  const int hit = HitTest(point);
  const bool customize = toolbarClassData().bCustomizeMode;
  if (customize && g_pSelToolBar != this) {
    CUxToolBar* previous = g_pSelToolBar;
    g_pSelToolBar = this;
    if (previous) {
      previous->m_iSelected = -1;
      previous->update();
    }
  }
  CUxToolbarButton* button = GetButton(hit);
  if (!button) {
    m_iButtonCapture = -1;
    if (customize && !m_bLocked) {
      m_iSelected = -1;
      update();
      OnSetHotButton(-1);
    }
    // Beside the buttons (the gripper, the borders) the press moves the bar.
    if (m_pDockContext && m_pDockBar) m_pDockContext->StartDrag(mapToGlobal(ClientToWidget(point)));
    return;
  }
  g_bAltCustomizing = g_bAltCustomization && !customize && (flags & MkAlt);
  if (customize || g_bAltCustomizing) {
    if (!m_bLocked) beginCustomizePress(flags, point, hit);
    return;
  }
  m_iButtonCapture = hit;
  UpdateButton(hit);
  // A drop-down button opens its toolbar even while its own command is disabled.
  if ((button->m_nStyle & kStyleDisabled) && !dynamic_cast<CUxDropDownToolbarButton*>(button)) {
    m_iButtonCapture = -1;
    return;
  }
  SetButtonStyle(hit, button->m_nStyle | kStylePressed);
  ShowCommandMessageString(button->m_nCommandId);
  QPointer<CUxToolBar> self(this);
  if (button->OnClick(this, false)) {
    if (!self) return;
    // The click may have taken the button off the bar.
    if (const int index = ButtonToIndex(button); index >= 0) SetButtonStyle(index, button->m_nStyle & ~kStylePressed);
    m_iButtonCapture = m_iHighlighted = -1;
    OnSetHotButton(-1);
    update();
  } else {
    m_pWndLastCapture = setCapture(this);
  }
}

void CUxToolBar::beginCustomizePress(unsigned flags, Point point, int hit) {
  InvalidateButton(m_iSelected);
  m_iSelected = hit;
  m_bIsDragCopy = flags & MkControl;
  CUxToolbarButton* button = GetButton(hit);
  m_pDragButton = button;
  if (!button->IsEditable()) {
    m_iSelected = -1;
    m_pDragButton = nullptr;
    update();
  } else {
    InvalidateButton(hit);
    const Rect r = button->m_rect;
    if (button->CanBeResized() && r.right - point.x < 7 && !g_bAltCustomizing) {
      m_bStretchButton = true;
      m_rectTrack = button->GetHwnd() ? r.inflated(2, 2) : r;
      m_pWndLastCapture = setCapture(this);
      setCursor(globalData().StretchCursor());
      return;
    }
    if (button->CanBeStored() && button->OnBeforeDrag()) {
      QPointer<CUxToolBar> self(this);
      dragButton(point, hit);
      if (!self) return;
    }
  }
  if (g_bAltCustomizing) {
    g_bAltCustomizing = false;
    SetCustomizeMode(false);
    update();
  }
}

void CUxToolBar::OnLButtonUp(unsigned flags, Point point) {
  if (toolbarClassData().bCustomizeMode && !m_bLocked) {
    if (m_bStretchButton) stretchTo(point);
    return;
  }
  if (m_iButtonCapture == -1) {
    m_ptLastMouse = {-1, -1};
    OnMouseMove(flags, point);
    return;
  }
  releaseBarCapture();
  m_iHighlighted = HitTest(point);
  CUxToolbarButton* pressed = GetButton(m_iButtonCapture);
  const bool over = m_iHighlighted == m_iButtonCapture;
  unsigned command = 0;
  if (over) {
    UpdateButton(m_iButtonCapture);
    if (!(pressed->m_nStyle & kStyleDisabled)) command = pressed->m_nCommandId;
  }
  if (!isMouseHookSet()) sendIdlePrompt(GetTopFrame(this));
  m_iButtonCapture = m_iHighlighted = -1;
  RestoreFocus();
  // The command may close the window that holds the bar, or take the button away.
  QPointer<CUxToolBar> self(this);
  const bool sentByBar = over && OnSendCommand(pressed);
  // A bar that sends the command itself may rebuild its buttons meanwhile.
  if (!self || ButtonToIndex(pressed) < 0) return;
  if (over && !sentByBar && command != 0 && command != kNoCommand) {
    InvalidateButton(ButtonToIndex(pressed));
    commandUsage().AddCmd(command);
    if (!pressed->OnClickUp() && !CUxUserToolsManager::InvokeToolOf(command)) sendCommand(GetTopFrame(this), command, 0);
  } else {
    pressed->OnClickUp();
  }
  if (!self) return;
  const int index = ButtonToIndex(pressed);
  if (index < 0) return;
  unsigned style = pressed->m_nStyle & ~kStylePressed;
  if (over && (style & kStyleCheckBox) && !(style & kStyleIndeterminate)) style ^= kStyleChecked;
  SetButtonStyle(index, style);
  UpdateButton(index);
  InvalidateButton(index);
  m_ptLastMouse = {-1, -1};
  OnMouseMove(flags, point);
}

void CUxToolBar::stretchTo(Point point) {
  if (CUxToolbarButton* button = m_pDragButton) {
    const Rect r = button->m_rect;
    if (point.x - r.left > 4 && std::abs(r.right - point.x) > 6) {
      button->OnSize(point.x - r.left);
      AdjustLayout();
    }
  }
  m_rectTrack = {};
  m_pDragButton = nullptr;
  m_bStretchButton = false;
  unsetCursor();
  update();
  releaseBarCapture();
}

void CUxToolBar::OnLButtonDblClk(unsigned flags, Point point) {
  CUxToolbarButton* button = GetButton(HitTest(point));
  if (!button) {
    // Beside the buttons a double click docks a floating bar, or floats a docked one.
    if (m_pDockContext && m_pDockBar) m_pDockContext->ToggleDocking();
    return;
  }
  QPointer<CUxToolBar> self(this);
  button->OnDblClick(this);
  // The system-menu icon's double click closes the child window; it is no press as well.
  if (self && !dynamic_cast<CUxToolbarSystemMenuButton*>(button)) OnLButtonDown(flags, point);
}

void CUxToolBar::OnMouseLeave() {
  if (isMouseHookSet()) return;
  // The pointer leaves for the open menu, which keeps the title highlighted.
  if (m_bMenuMode && !toolbarClassData().bCustomizeMode && GetDroppedDownMenu()) return;
  m_ptLastMouse = {-1, -1};
  m_bTracked = false;
  if (m_iHighlighted < 0 || hasFocus()) return;
  const int old = m_iHighlighted;
  m_iHighlighted = -1;
  OnSetHotButton(-1);
  const CUxToolbarButton* button = InvalidateButton(old);
  if (button && !button->IsDroppedDown()) sendIdlePrompt(GetOwner());
}

void CUxToolBar::OnCancelMode() {
  if (m_bStretchButton) {
    m_bStretchButton = false;
    m_pDragButton = nullptr;
    m_rectTrack = {};
    unsetCursor();
    releaseBarCapture();
  }
  if (m_iButtonCapture >= 0 || m_iHighlighted >= 0) {
    if (m_iButtonCapture >= 0) {
      SetButtonStyle(m_iButtonCapture, GetButtonStyle(m_iButtonCapture) & ~kStylePressed);
      if (ownsCapture()) releaseBarCapture();
    }
    m_iButtonCapture = m_iHighlighted = -1;
    OnSetHotButton(-1);
  }
  for (auto& button : m_Buttons) button->OnCancelMode();
  update();
}

bool CUxToolBar::PreTranslateKey(int key) {
  if (key != Qt::Key_Escape) return false;
  if (m_bStretchButton) {
    OnCancelMode();
    return true;
  }
  // Esc takes the keyboard back from the bar; when the bar holds nothing of it, the key goes on
  // to the window, which a dialog ends by.
  const bool holdsKeyboard = GetButton(m_iHighlighted) || m_hwndLastFocus;
  Deactivate();
  RestoreFocus();
  return holdsKeyboard;
}

void CUxToolBar::Deactivate() {
  if (GetButton(m_iHighlighted)) {
    const int old = m_iHighlighted;
    m_iHighlighted = m_iHot = -1;
    InvalidateButton(old);
    sendIdlePrompt(GetOwner());
  }
  RestoreFocus();
}

void CUxToolBar::RestoreFocus() {
  if (m_hwndLastFocus) m_hwndLastFocus->setFocus();
  m_hwndLastFocus = nullptr;
}

bool CUxToolBar::TranslateChar(unsigned virtualKey) {
  const unsigned character = TranslateShortcutChar(virtualKey);
  if (character == 0) return false;
  const QString upper = QString(QChar(static_cast<char16_t>(character))).toUpper();
  auto found = m_AcellKeys.find(static_cast<wchar_t>(upper.at(0).unicode()));
  if (found == m_AcellKeys.end()) return false;
  if (dynamic_cast<CUxToolbarMenuButton*>(found->second)) {
    DropDownMenu(found->second);
    return true;
  }
  return SendButtonCommand(found->second);
}

void CUxToolBar::OnSysColorChange() {
  updateSystemColours();
  for (ToolbarImages& strip : m_Images) strip.OnSysColorChange();
  update();
}

int CUxToolBar::OnHelpHitTest(Point point) {
  OnCancelMode();
  const int hit = HitTest(point);
  CUxToolbarButton* button = GetButton(hit);
  if (!button) {
    QApplication::beep();
    return -1;
  }
  // A menu button answers by opening its menu, where the user picks the item to ask about.
  if (button->OnContextHelp(this)) return -1;
  int context = 0;
  if (button->m_nCommandId != 0 && button->m_nCommandId != kNoCommand)
    context = static_cast<int>(kHidBaseCommand + button->m_nCommandId);
  else if (GetDlgCtrlID() != 0)
    context = static_cast<int>(kHidBaseControl + GetDlgCtrlID());
  if (context > 0) SetHook(false);
  return context;
}

void CUxToolBar::queryWhatsThis(QHelpEvent* help) {
  // The cursor tells whether a click here has anything to ask about.
  help->setAccepted(HitTest(WidgetToClient(help->pos())) >= 0);
}

void CUxToolBar::whatsThis(QHelpEvent* help) {
  // One click answers the question: the mode ends before a menu opens or the help shows.
  QWhatsThis::leaveWhatsThisMode();
  const QPoint screen = help->globalPos();
  const int context = OnHelpHitTest(WidgetToClient(help->pos()));
  if (context > 0)
    if (auto* frame = dynamic_cast<ContextHelpTarget*>(GetCommandTarget()))
      frame->WinHelp(static_cast<unsigned>(context), screen);
  help->accept();
}

// Qt events in the handlers' terms: client points and the original key-state bits.

bool CUxToolBar::event(QEvent* event) {
  if (event->type() == mouseLeaveEvent()) {
    OnMouseLeave();
    return true;
  }
  switch (event->type()) {
    case QEvent::ToolTip:
      if (!showToolTip(static_cast<QHelpEvent*>(event))) event->ignore();
      return true;
    case QEvent::QueryWhatsThis:
      queryWhatsThis(static_cast<QHelpEvent*>(event));
      return true;
    case QEvent::WhatsThis:
      whatsThis(static_cast<QHelpEvent*>(event));
      return true;
    case QEvent::LayoutDirectionChange:
      updateNcArea();
      break;
    case QEvent::ApplicationPaletteChange:
      OnSysColorChange();
      break;
    default:
      break;
  }
  return CUxControlBar::event(event);
}

void CUxToolBar::resizeEvent(QResizeEvent* event) {
  CUxControlBar::resizeEvent(event);
  updateNcArea();
  if (toolbarClassData().bCustomizeMode && !m_bLocked) OnCancelMode();
  AdjustLocations();
}

void CUxToolBar::mouseMoveEvent(QMouseEvent* e) {
  OnMouseMove(keyStateOf(e->buttons(), e->modifiers()), WidgetToClient(e->position().toPoint()));
}

void CUxToolBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    OnLButtonDown(keyStateOf(e->buttons(), e->modifiers()), WidgetToClient(e->position().toPoint()));
}

void CUxToolBar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    OnLButtonUp(keyStateOf(e->buttons(), e->modifiers()), WidgetToClient(e->position().toPoint()));
}

void CUxToolBar::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    OnLButtonDblClk(keyStateOf(e->buttons(), e->modifiers()), WidgetToClient(e->position().toPoint()));
}

void CUxToolBar::keyPressEvent(QKeyEvent* e) {
  if (!PreTranslateKey(e->key())) CUxControlBar::keyPressEvent(e);
}

void CUxToolBar::contextMenuEvent(QContextMenuEvent* e) {
  OnContextMenu(e->reason() == QContextMenuEvent::Keyboard ? Point{-1, -1} : Point{e->globalPos().x(), e->globalPos().y()});
}

void CUxToolBar::focusOutEvent(QFocusEvent* e) {
  CUxControlBar::focusOutEvent(e);
  if (!toolbarClassData().bCustomizeMode) Deactivate();
}
