#include "uictl/frames/frame_impl.h"

#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/dialog_impl.h"
#include "uictl/frames/frame_keys.h"
#include "uictl/frames/ux_frame_base.h"
#include "uictl/frames/window_input_filter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

using namespace platform;

bool FrameImpl::m_bActivateMenuBarWithPopup = false;

namespace {

constexpr unsigned kCustomBarStyle = 0x50402808u;
constexpr unsigned kCustomBarExtraStyle = CbrsTooltips | CbrsFlyBy | CbrsSizeDynamic;

template <typename List>
void deleteAll(List& bars) {
  for (auto& bar : bars) delete bar.data();
  bars.clear();
}

template <typename List, typename Bar>
bool eraseBar(List& bars, Bar* bar) {
  const auto it = std::find(bars.begin(), bars.end(), bar);
  if (it == bars.end()) return false;
  bars.erase(it);
  return true;
}

std::vector<CUxToolBar*> visibleToolbars() {
  std::vector<CUxToolBar*> bars = CUxToolBar::GetAllToolbars();
  std::erase_if(bars, [](CUxToolBar* bar) { return !bar->isVisible(); });
  return bars;
}

}  // namespace

FrameImpl::FrameImpl(UxFrameBase* frame) : m_pOwnerFrame(frame) {
  m_filter = std::make_unique<WindowInputFilter>(
      frame, [this](QWidget* target, QEvent* event) { return PreTranslateMessage(target, event); });
}

FrameImpl::~FrameImpl() {
  m_filter.reset();
  deleteAll(m_customBars);
  deleteAll(m_tearOffBars);
}

void FrameImpl::SetMenuBar(CUxMenuBar* menuBar) {
  m_pFrameMenuBar = menuBar;
  if (!menuBar) return;
  m_hFrameMenu = m_pOwnerFrame->GetMenu();
  if (m_hFrameMenu) menuBar->CreateFromMenu(m_hFrameMenu, true);
  m_pOwnerFrame->SetMenu({});
  menuBar->SetDefaultMenuResId(m_nMenuResourceId);
}

bool FrameImpl::IsPlainF10(const QKeyEvent* event) {
  return event->key() == Qt::Key_F10 && !event->isAutoRepeat() &&
         !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
}

bool FrameImpl::toolbarControlHasFocus() const {
  for (CUxToolBar* bar : visibleToolbars())
    for (int i = 0; i < bar->GetCount(); ++i)
      if (bar->GetButton(i)->HasFocus()) return true;
  return false;
}

bool FrameImpl::RouteKeyDown(unsigned key, bool* processAccel) {
  if (processAccel) *processAccel = true;
  if (CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu()) {
    popup->OnKeyDown(key);
    return true;
  }
  if (m_pOwnerFrame->isMinimized()) return true;
  if (CUxToolBar::IsCustomizeMode()) return false;
  const bool controlFocused = toolbarControlHasFocus();
  const uint8_t held = heldAcceleratorModifiers();
  const uint8_t flags = FVirtKey | held;
  if (!controlFocused && (IsKeyInFrameAccelTable(key, flags, m_pOwnerFrame, false) ||
                          IsKeyInFrameAccelTable(key, flags, m_pOwnerFrame, true)))
    return false;
  if (held == FAlt && RouteMenuChar(key)) return true;
  if (controlFocused && processAccel) *processAccel = false;
  return false;
}

bool FrameImpl::RouteMenuChar(unsigned key) {
  CUxMenuBar* menuBar = m_pFrameMenuBar;
  if (menuBar && menuBar->isVisible() && menuBar->TranslateChar(key)) return true;
  for (CUxToolBar* bar : visibleToolbars())
    if (bar != menuBar && GetTopFrame(bar) == m_pOwnerFrame && bar->TranslateChar(key)) return true;
  return false;
}

bool FrameImpl::RouteMouseClick(QEvent::Type type, Qt::MouseButton button, const QPoint& screen, QWidget* target) {
  const bool customize = CUxToolBar::IsCustomizeMode();
  if (type == QEvent::MouseButtonPress && button == Qt::LeftButton &&
      (customize || (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier))) {
    // Alt (or customisation) lets hosted controls be dragged by the bar instead of clicked.
    for (CUxToolBar* bar : visibleToolbars()) {
      const Point point = bar->WidgetToClient(bar->mapFromGlobal(screen));
      CUxToolbarButton* hit = bar->GetButton(bar->HitTest(point));
      QWidget* hosted = hit ? hit->GetHwnd() : nullptr;
      if (!hosted || !target || !(hosted == target || hosted->isAncestorOf(target)) || !hit->m_rect.contains(point))
        continue;
      bar->OnLButtonDown(MkLButton, point);
      return true;
    }
  }
  return RoutePopupClick(screen, m_pOwnerFrame, true);
}

bool FrameImpl::OnShowPopupMenu(CUxPopupMenu* popup) {
  if (!popup || CUxToolBar::IsCustomizeMode()) return true;
  CUxPopupMenu* root = popup;
  while (CUxPopupMenu* parent = root->GetParentPopupMenu()) root = parent;
  CUxToolBar* opener = root->GetParentToolBar();
  if (opener && m_bActivateMenuBarWithPopup && !dynamic_cast<CUxPopupMenuBar*>(opener) && !opener->IsFloating() &&
      !opener->hasFocus())
    opener->setFocus();
  m_pOwnerFrame->FillWindowMenuPopup(popup);
  return true;
}

void FrameImpl::ReleaseMenuMode() {
  if (CUxToolBar::IsCustomizeMode() || !CUxPopupMenu::GetActiveMenu() || !m_pFrameMenuBar) return;
  m_pFrameMenuBar->Deactivate();
}

CUxToolBar* FrameImpl::CreateCustomBar(const std::wstring& name) {
  const bool rangeSet = m_nFirstCustomBarId != UINT_MAX && m_nLastCustomBarId != UINT_MAX &&
                        m_nFirstCustomBarId <= m_nLastCustomBarId;
  const unsigned rangeSize = rangeSet ? m_nLastCustomBarId - m_nFirstCustomBarId + 1 : 0;
  unsigned id = 0;
  for (unsigned candidate = m_nFirstCustomBarId; rangeSet && candidate <= m_nLastCustomBarId; ++candidate) {
    const bool used = std::any_of(m_customBars.begin(), m_customBars.end(), [candidate](const QPointer<CUxToolBar>& bar) {
      return bar && bar->GetDlgCtrlID() == candidate;
    });
    if (!used) {
      id = candidate;
      break;
    }
  }
  if (id == 0) {
    messageBox(m_pOwnerFrame, format(libraryString(kStringNoFreeToolbarId).c_str(), rangeSize), L"",
               MbOk | MbIconInformation);
    return nullptr;
  }
  auto* bar = new CUxToolBar(m_pOwnerFrame);
  if (!bar->Create(m_pOwnerFrame, kCustomBarStyle, id)) {
    delete bar;
    return nullptr;
  }
  bar->setWindowTitle(QString::fromStdWString(name));
  bar->SetBarStyle(bar->GetBarStyle() | kCustomBarExtraStyle);
  bar->EnableDocking(CbrsAlignAny);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
  m_pOwnerFrame->FloatControlBar(bar, QPoint(area.width() / 2, area.height() / 2), CbrsAlignTop);
  m_pOwnerFrame->RecalcLayout(true);
  m_customBars.emplace_back(bar);
  return bar;
}

bool FrameImpl::DeleteCustomBar(CUxToolBar* bar) {
  if (!bar || !eraseBar(m_customBars, bar)) return false;
  bar->RemoveStateFromRegistry(m_strBarsProfile);
  delete bar;
  m_pOwnerFrame->RecalcLayout(true);
  return true;
}

void FrameImpl::AddTearOffBar(CUxToolBar* bar) {
  if (bar) m_tearOffBars.emplace_back(bar);
}

void FrameImpl::RemoveTearOffBar(CUxToolBar* bar) { eraseBar(m_tearOffBars, bar); }

void FrameImpl::DestroyHiddenTearOffBars() {
  std::erase_if(m_tearOffBars, [](const QPointer<CUxToolBar>& bar) {
    if (bar && bar->IsVisible()) return false;
    delete bar.data();
    return true;
  });
}

bool FrameImpl::translateAccelerator(const QKeyEvent* key) {
  const unsigned vk = routedVirtualKey(key);
  const uint8_t held = acceleratorModifiersOf(key->modifiers());
  const std::wstring text = key->text().toStdWString();
  for (const bool document : {false, true}) {
    const AccelTable table = m_pOwnerFrame->GetDefaultAccelerator(document);
    if (!table) continue;
    for (const Accel& entry : *table) {
      const bool virtualKey = entry.fVirt & FVirtKey;
      const uint8_t modifiers = entry.fVirt & (FControl | FAlt | FShift);
      const bool match = virtualKey ? (vk != 0 && entry.key == vk && modifiers == held)
                                    : (text.size() == 1 && entry.key == static_cast<uint16_t>(text[0]));
      if (!match) continue;
      m_pOwnerFrame->onCommand(entry.cmd, kFromAccelerator);
      return true;
    }
  }
  return false;
}

void FrameImpl::toggleMenuBarFocus() {
  CUxMenuBar* menuBar = m_pFrameMenuBar;
  if (menuBar->hasFocus()) m_pOwnerFrame->setFocus();
  else menuBar->setFocus();
}

bool FrameImpl::preTranslateKey(QKeyEvent* key, bool press) {
  CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu();
  const unsigned vk = routedVirtualKey(key);
  if (!press) {
    if (!isSystemKey(key)) return false;
    if (vk == kVkMenu && m_pFrameMenuBar) {
      if (m_bAltAlone) toggleMenuBarFocus();
      m_bAltAlone = false;
      return true;
    }
    return popup != nullptr;
  }
  if (vk != kVkMenu) m_bAltAlone = false;
  else if (!key->isAutoRepeat()) m_bAltAlone = true;
  if (isSystemKey(key)) {
    if (popup && vk == kVkMenu) {
      ClosePopup(popup);
      m_bAltAlone = false;
      return true;
    }
    if (vk && RouteKeyDown(vk, nullptr)) return true;
    return translateAccelerator(key);
  }
  bool processAccel = true;
  if (!IsPlainF10(key)) {
    if (vk && RouteKeyDown(vk, &processAccel)) return true;
    // A key the popup has no use for still does not reach the window below it.
    if (!vk && popup) return true;
  }
  return processAccel && translateAccelerator(key);
}

bool FrameImpl::PreTranslateMessage(QWidget* target, QEvent* event) {
  const QEvent::Type type = event->type();
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return preTranslateKey(static_cast<QKeyEvent*>(event), type == QEvent::KeyPress);
    case QEvent::ContextMenu:
      return ClosePopupOnAltContextMenu(static_cast<QContextMenuEvent*>(event));
    case QEvent::MouseMove:
      return DialogImpl::CheckMouseMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      break;
    default:
      return false;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  const Qt::MouseButton button = mouse->button();
  // The left button's release ends the click that opened a menu: it stays with the window.
  if (type == QEvent::MouseButtonRelease && button == Qt::LeftButton) return false;
  const QPoint screen = mouse->globalPosition().toPoint();
  QPointer<QWidget> guard(target);
  if (RouteMouseClick(type, button, screen, target) || !guard) return true;
  return type == QEvent::MouseButtonRelease && button == Qt::RightButton &&
         SendBarPopupMenuRequest(m_pOwnerFrame, target, screen);
}
