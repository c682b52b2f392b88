// The popup menu window: creation, building the items, placement on the work area, scroll
// buttons, the drop shadow and painting.
#include "uictl/bars/menus/popup_menu.h"

#include "platform/windows/mouse_capture.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/commands/key_focus.h"
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxPopupMenu, CObject, kNoSchema, createInstance<CUxPopupMenu>)

CUxPopupMenu* CUxPopupMenu::m_pActivePopupMenu = nullptr;

namespace {

constexpr unsigned kFirstRecentFileCommand = 0xE110;
RecentFileList* g_recentFiles = nullptr;

constexpr int kScrollPeriodMs = 80;
// The shadow's brightness in percent of what lies under it: darkest next to the menu, fading
// towards its outer edge.
constexpr int kShadowBrightnessAtMenu = 65;
constexpr int kShadowBrightnessAtEdge = 100;
int g_openPopups = 0;
int g_redirectHook = 0;

bool insidePopup(QWidget* widget) {
  for (; widget; widget = widget->parentWidget())
    if (dynamic_cast<CUxPopupMenu*>(widget)) return true;
  return false;
}

// While popups are open, each mouse event goes to the widget under its point, as on a desktop
// where no implicit grab keeps feeding the widget that saw the press; a held capture wins.
// The library's frames and dialogs route keys and outside clicks to the active popup; under any
// other window the popups do it themselves.
bool ownerRoutesInput(CUxPopupMenu* active) {
  return dynamic_cast<PopupMenuFrameHook*>(active->GetTopFrame()) ||
         dynamic_cast<PopupMenuOwnerHook*>(active->GetMessageWnd());
}

void closeOnOutsidePress(QWidget* under) {
  CUxPopupMenu* active = CUxPopupMenu::GetActiveMenu();
  if (!active || ownerRoutesInput(active) || insidePopup(under)) return;
  CUxPopupMenu* root = active;
  while (root->GetParentPopupMenu()) root = root->GetParentPopupMenu();
  // A press on the button that opened the menu closes it through the button.
  if (CUxToolBar* bar = root->GetParentToolBar(); bar && under == bar) return;
  root->CloseMenu(false);
}

class KeyRouter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    CUxPopupMenu* active = CUxPopupMenu::GetActiveMenu();
    if (!active || ownerRoutesInput(active) || libraryKeyFocus()) return false;
    const unsigned key = virtualKeyOf(static_cast<QKeyEvent*>(event)->key());
    if (key == 0) return false;
    active->OnKeyDown(key);
    return true;
  }
};
KeyRouter* g_keyRouter = nullptr;

bool redirectToWidgetUnderPoint(QWidget* target, QMouseEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) return false;
  if (getCapture()) return false;
  const QPoint global = event->globalPosition().toPoint();
  QWidget* under = QApplication::widgetAt(global);
  if (type == QEvent::MouseButtonPress) closeOnOutsidePress(under);
  if (!under || under == target || !target) return false;
  if (!insidePopup(under) && !insidePopup(target) && !dynamic_cast<CUxToolBar*>(under)) return false;
  QMouseEvent copy(type, QPointF(under->mapFromGlobal(global)), event->globalPosition(), event->button(),
                   event->buttons(), event->modifiers());
  QCoreApplication::sendEvent(under, &copy);
  return true;
}

void popupOpened() {
  if (g_openPopups++ > 0) return;
  g_redirectHook = installMouseHook(redirectToWidgetUnderPoint);
  g_keyRouter = new KeyRouter;
  qApp->installEventFilter(g_keyRouter);
}

void popupClosed() {
  if (--g_openPopups > 0) return;
  removeMouseHook(g_redirectHook);
  g_redirectHook = 0;
  delete g_keyRouter;
  g_keyRouter = nullptr;
}

}  // namespace

CUxPopupMenu::CUxPopupMenu() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
  setObjectName(QStringLiteral("CUxPopupMenu"));
  setMouseTracking(true);
  MenuImages::Initialize();
  m_iScrollBtnHeight = MenuImages::GlyphSize().cy + 4;
  const bool deepColours = !QGuiApplication::primaryScreen() || QGuiApplication::primaryScreen()->depth() > 8;
  if (toolbarClassData().bMenuShadows && deepColours && !CUxToolBar::IsCustomizeMode())
    m_iShadowSize = CUxVisualManager::GetInstance()->nMenuShadowDepth;
  m_scrollTimer.setInterval(kScrollPeriodMs);
  connect(&m_scrollTimer, &QTimer::timeout, this, [this] { onScrollTimer(); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) OnActivateApp(false);
  });
  m_wndMenuBar = new CUxPopupMenuBar(this);
  m_wndMenuBar->Create(this, 0x50000000u | CbrsAlignTop | CbrsHideInplace | CbrsTooltips | CbrsFlyBy, 1);
  // The items fill the bar: it has no border or gripper of its own.
  m_wndMenuBar->SetBorders(0, 0, 0, 0);
  m_wndMenuBar->SetBarStyle(m_wndMenuBar->GetBarStyle() & ~CbrsGripper);
  popupOpened();
}

CUxPopupMenu::~CUxPopupMenu() {
  if (!m_bDestroyed) OnDestroy();
  // The parent button forgets the popup.
  if (CUxToolbarMenuButton* button = m_pParentBtn) {
    m_pParentBtn = nullptr;
    if (button->m_pPopupMenu == this) button->OnCancelMode();
  }
  if (m_pActivePopupMenu == this) m_pActivePopupMenu = nullptr;
  if (m_bAutoDestroy && m_hMenu) destroyMenu(m_hMenu);
  popupClosed();
}

void setRecentFileList(RecentFileList* list) { g_recentFiles = list; }

void CUxPopupMenu::insertRecentFiles() {
  if (!g_recentFiles || CUxToolBar::IsCustomizeMode()) return;
  CUxPopupMenuBar* bar = m_wndMenuBar;
  int at = -1;
  for (int i = 0; i < bar->GetCount() && at < 0; ++i)
    if (bar->GetButton(i)->m_nCommandId == kFirstRecentFileCommand && bar->GetButton(i)->m_strText == L"Recent File") at = i;
  if (at < 0) return;
  // Taken out as it stands: the separators around it stay for the entries.
  bar->m_Buttons.erase(bar->m_Buttons.begin() + at);
  const std::wstring folder = QDir::currentPath().toStdWString() + L"/";
  int shown = 0;
  for (int i = 0; i < g_recentFiles->GetSize(); ++i) {
    std::wstring name;
    if (!g_recentFiles->GetDisplayName(i, name, folder) || name.empty()) continue;
    // "&&" keeps an ampersand of the name from becoming a mnemonic.
    std::wstring escaped;
    for (wchar_t c : name) escaped += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
    const std::wstring text = L"&" + std::to_wstring(++shown) + L" " + escaped;
    auto item = std::make_unique<CUxToolbarMenuButton>(kFirstRecentFileCommand + static_cast<unsigned>(i), MenuHandle{}, -1,
                                                       text.c_str());
    item->m_bShowText = true;
    bar->InsertButton(std::move(item), at + shown - 1);
  }
  const auto isSeparator = [bar](int index) {
    const CUxToolbarButton* button = bar->GetButton(index);
    return button && (button->m_nStyle & kStyleSeparator);
  };
  if (shown == 0 && isSeparator(at - 1) && isSeparator(at)) bar->m_Buttons.erase(bar->m_Buttons.begin() + at);
  bar->RebuildAccelerationKeys();
}

QWidget* CUxPopupMenu::GetTopFrame() const {
  QWidget* parent = m_pParentWnd;
  // A submenu belongs to the frame of the popup it came from.
  if (auto* popup = parent ? dynamic_cast<CUxPopupMenu*>(parent->window()) : nullptr; popup && popup != this)
    return popup->GetTopFrame();
  return ::GetTopFrame(parent);
}

bool CUxPopupMenu::Create(QWidget* parent, int x, int y, MenuHandle menu, bool locked, bool ownMessage) {
  menuSoundPlay(2);
  m_hMenu = menu;
  if (x == -1 && y == -1) {
    const QPoint corner = parent ? parent->mapToGlobal(parent->contentsRect().topLeft()) + QPoint(5, 5) : QPoint(0, 0);
    x = corner.x();
    y = corner.y();
  }
  m_ptLocation = m_ptLocationInitial = {x, y};
  m_pParentWnd = parent;
  if (ownMessage) m_pMessageWnd = parent;
  else if (CUxPopupMenu* parentPopup = GetParentPopupMenu()) m_pMessageWnd = parentPopup->m_pMessageWnd;
  if (parent && parent->layoutDirection() == Qt::RightToLeft) setLayoutDirection(Qt::RightToLeft);
  resize(1, 1);
  move(x, y);

  if (CUxPopupMenu* parentPopup = GetParentPopupMenu()) m_iMaxWidth = parentPopup->m_iMaxWidth;
  m_wndMenuBar->m_iMaxWidth = m_iMaxWidth;
  m_wndMenuBar->SetOwner(parent);
  QPointer<CUxPopupMenu> self(this);
  const bool built = InitMenuBar();
  // A popup the frame refused has closed itself; it must not show again.
  if (!self || !built || m_bInCloseMenu) return false;
  if (m_bRightAlign) {
    m_ptLocation.setX(m_ptLocation.x() + 1 - m_FinalSize.cx);
    RecalcLayout();
  }
  m_wndMenuBar->m_bLocked = locked;
  UpdateShadow(false);
  // The popup belongs to its opener's window: a modal dialog that opened it must not keep the
  // user's clicks and keys from it.
  if (parent) {
    winId();
    if (QWindow* opener = parent->window()->windowHandle()) windowHandle()->setTransientParent(opener);
  }
  show();
  raise();
  if (CUxToolBar::IsCustomizeMode()) m_wndMenuBar->repaint();
  return true;
}

bool CUxPopupMenu::InitMenuBar() {
  if (m_hMenu) {
    const bool fromHash = !m_pParentBtn && menuHash().LoadMenuBar(m_hMenu, m_wndMenuBar);
    if (!fromHash && !m_wndMenuBar->ImportFromMenu(m_hMenu, !m_pParentBtn)) return false;
  }
  insertRecentFiles();
  m_wndMenuBar->UpdateItemStates();
  if (!ActivatePopupMenu(GetTopFrame(), this)) return false;
  RecalcLayout();
  return true;
}

CUxToolbarMenuButton* CUxPopupMenu::GetMenuItem(int index) const {
  return m_wndMenuBar ? dynamic_cast<CUxToolbarMenuButton*>(m_wndMenuBar->GetButton(index)) : nullptr;
}

CUxToolbarMenuButton* CUxPopupMenu::GetSelItem() const {
  return m_wndMenuBar ? dynamic_cast<CUxToolbarMenuButton*>(m_wndMenuBar->GetButton(m_wndMenuBar->GetHighlightedButton()))
                      : nullptr;
}

int CUxPopupMenu::InsertItem(const CUxToolbarMenuButton& item, int insertAt) {
  return m_wndMenuBar ? m_wndMenuBar->InsertButtonCopy(item, insertAt) : -1;
}

int CUxPopupMenu::InsertSeparator(int insertAt) { return m_wndMenuBar ? m_wndMenuBar->InsertSeparator(insertAt) : -1; }

bool CUxPopupMenu::RemoveItem(int index) { return m_wndMenuBar && m_wndMenuBar->RemoveButton(index); }

CUxToolBar* CUxPopupMenu::GetParentToolBar() const {
  return m_pParentBtn ? dynamic_cast<CUxToolBar*>(m_pParentBtn->m_pWndParent) : nullptr;
}

CUxPopupMenu* CUxPopupMenu::GetParentPopupMenu() const {
  auto* bar = dynamic_cast<CUxPopupMenuBar*>(GetParentToolBar());
  return bar ? bar->GetPopup() : nullptr;
}

int CUxPopupMenu::HitTest(const QPoint& screen) const {
  const QPoint p = mapFromGlobal(screen);
  if (!rect().contains(p)) return 4;
  if (p.x() >= width() - m_iShadowSize) return 1;
  if (p.y() >= height() - m_iShadowSize) return 2;
  return 0;
}

bool CUxPopupMenu::PostCommand(unsigned command) {
  if (!m_pMessageWnd) return false;
  CUxToolBar::postCommand(m_pMessageWnd, command, 0);
  return true;
}

void CUxPopupMenu::CloseAllSubMenus() {
  if (!m_wndMenuBar) return;
  for (int i = 0; i < m_wndMenuBar->GetCount(); ++i) m_wndMenuBar->GetButton(i)->OnCancelMode();
}

QRect CUxPopupMenu::workArea() const {
  return systemMetrics().workArea({m_ptLocation.x(), m_ptLocation.y()}).toQRect();
}

void CUxPopupMenu::RecalcLayout() {
  if (!m_wndMenuBar) return;
  const bool customize = CUxToolBar::IsCustomizeMode();
  const Size barSize = m_wndMenuBar->CalcSize(true);
  int width = barSize.cx + 4;
  int height = barSize.cy + 4;
  // Exclusive edges, as the work area's rectangle has them.
  const QRect area = workArea();
  const int left = area.left(), top = area.top(), right = area.right() + 1, bottom = area.bottom() + 1;
  int x = std::clamp(m_ptLocation.x(), left, right);
  int y = std::clamp(m_ptLocation.y(), top, bottom);
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  CUxPopupMenu* parentPopup = GetParentPopupMenu();
  CUxToolBar* parentBar = GetParentToolBar();
  const bool fromMenuBarLikeBar = parentBar && !parentPopup;

  if ((m_bRightAlign && x < left) || (!rtl && !m_bRightAlign && x + width > right)) {
    if (parentPopup) {
      const QRect p = parentPopup->geometry();
      x = rtl ? p.right() + 1 + width : p.left() - width;
    } else if (parentBar && parentBar->IsMenuMode() && !(parentBar->GetBarStyle() & (CbrsAlignTop | CbrsAlignBottom))) {
      x = parentBar->mapToGlobal(QPoint(0, 0)).x() - width;
    } else if (rtl) {
      x = left + width + 1;
    } else if (m_bRightAlign) {
      x = left + 1;
    } else {
      x = right - width - 1;
    }
  }
  if (!rtl) x = std::max(x, left);
  else x = std::min(x, right);

  if (y + height > bottom) {
    if (fromMenuBarLikeBar && m_pParentBtn) {
      const int buttonTop = parentBar->mapToGlobal(parentBar->ClientToWidget({0, m_pParentBtn->m_rect.top})).y();
      if (buttonTop - height >= top) {
        y = buttonTop - height;
      } else if (bottom - buttonTop < buttonTop - top) {
        y = top;
        height = buttonTop - top;
        m_bScrollable = true;
      } else {
        height = bottom - y;
        m_bScrollable = true;
      }
    } else {
      y -= height;
      if (parentPopup) y += m_wndMenuBar->GetRowHeight() + 4;
    }
    y = std::max(y, top);
    if (y + height > bottom) {
      height = bottom - y;
      m_bScrollable = true;
    }
  }
  m_FinalSize = {width, height};
  const int shadow = customize ? 0 : m_iShadowSize;
  const int windowWidth = width + shadow;
  setGeometry(rtl ? x - windowWidth : x, y, windowWidth, height + shadow);
  m_ptLocation = QPoint(rtl ? x - windowWidth : x, y);
  RecalcScrollButtons(true);
  // The items are laid out only now: whether more lie below is known from here on.
  RecalcScrollButtons(false);
  if (customize) m_wndMenuBar->AdjustLocations();

  // The shadow will fall over the parent button: it must show its final look first.
  if (shadow > 0 && !customize && parentBar && m_pParentBtn) {
    const QRect window = geometry();
    QRect strip = rtl ? QRect(window.left() - shadow, window.top(), shadow, window.height() + shadow)
                      : QRect(window.right() + 1, window.top(), shadow, window.height() + shadow);
    const QRect local(parentBar->mapFromGlobal(strip.topLeft()), strip.size());
    const QRect below(parentBar->mapFromGlobal(QPoint(window.left() - shadow, window.bottom() + 1)),
                      QSize(window.width() + shadow, shadow));
    const Rect r = m_pParentBtn->m_rect;
    const QRect button(parentBar->ClientToWidget({r.left, r.top}), QSize(r.width(), r.height()));
    if (local.intersects(button) || below.intersects(button)) parentBar->repaint();
  }
}

bool CUxPopupMenu::IsScrollDownAvailable() const {
  if (!m_wndMenuBar || m_wndMenuBar->GetCount() == 0) return false;
  const CUxToolbarButton* last = m_wndMenuBar->GetButton(m_wndMenuBar->GetCount() - 1);
  return last->m_rect.bottom > m_iMaxHeight + m_wndMenuBar->GetRowHeight();
}

bool CUxPopupMenu::RecalcScrollButtons(bool force) {
  if (!m_wndMenuBar) return false;
  const int shadow = CUxToolBar::IsCustomizeMode() ? 0 : m_iShadowSize;
  QRect area(0, 0, width() - shadow, height() - shadow);
  area.adjust(2, 2, -2, -2);
  const QRect oldUp = m_rectScrollUp, oldDown = m_rectScrollDn;
  m_rectScrollUp = m_rectScrollDn = {};
  if (m_bScrollable) {
    if (m_wndMenuBar->GetOffset() > 0) {
      m_rectScrollUp = QRect(area.left(), area.top() + 2, area.width(), m_iScrollBtnHeight);
      area.setTop(area.top() + m_iScrollBtnHeight + 2);
    }
    m_iMaxHeight = area.height();
    if (IsScrollDownAvailable()) {
      m_rectScrollDn = QRect(area.left(), area.bottom() + 1 - m_iScrollBtnHeight, area.width(), m_iScrollBtnHeight);
      area.setBottom(area.bottom() - m_iScrollBtnHeight - 2);
    }
  }
  const bool changed = oldUp != m_rectScrollUp || oldDown != m_rectScrollDn;
  if (!changed && !force) {
    m_wndMenuBar->AdjustLayout();
    return false;
  }
  m_wndMenuBar->setGeometry(area);
  m_iMaxHeight = area.height();
  if (changed) {
    update(oldUp.united(oldDown));
    update(m_rectScrollUp.united(m_rectScrollDn));
  }
  return changed;
}

void CUxPopupMenu::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RecalcScrollButtons(true);
}

void CUxPopupMenu::UpdateShadow(bool noRedraw) {
  if (m_iShadowSize <= 0) return;
  QWidget* top = m_pParentWnd ? m_pParentWnd->window() : nullptr;
  const QRect topRect = top ? QRect(top->mapToGlobal(QPoint(0, 0)), top->size()) : QRect();
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  QRect shadowed(pos(), QSize(m_FinalSize.cx + m_iShadowSize, m_FinalSize.cy + m_iShadowSize));
  if (rtl) shadowed.translate(-m_iShadowSize, 0);
  if (top && topRect.contains(shadowed)) {
    // Screen pixels cannot be read: what lies under the shadow comes from the window's own image.
    m_grabbedBackground = top->grab().toImage().convertToFormat(QImage::Format_RGB32);
    m_grabbedBackground = m_grabbedBackground.copy(QRect(mapToGlobal(QPoint(0, 0)) - topRect.topLeft(), size()));
    m_bmpShadowRight = m_bmpShadowBottom = {};
    return;
  }
  m_iShadowSize = 0;
  m_grabbedBackground = {};
  if (!noRedraw) resize(m_FinalSize.cx, m_FinalSize.cy);
}

void CUxPopupMenu::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  if (!m_grabbedBackground.isNull() && m_grabbedBackground.size() == size()) buffer = m_grabbedBackground.copy();
  else buffer.fill(toPixel(globalData().clrBtnFace));
  {
    Dc dc(buffer);
    DrawMenu(&dc);
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxPopupMenu::DrawMenu(Dc* dc) {
  Rect client = dc->bounds();
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  if (m_iShadowSize > 0 && !CUxToolBar::IsCustomizeMode()) {
    if (rtl) client.left += m_iShadowSize;
    else client.right -= m_iShadowSize;
    client.bottom -= m_iShadowSize;
    DrawManager(*dc).DrawShadow(client, m_iShadowSize, kShadowBrightnessAtMenu, kShadowBrightnessAtEdge,
                                &m_bmpShadowBottom, &m_bmpShadowRight, rtl);
  }
  CUxVisualManager::GetInstance()->OnDrawMenuBorder(dc, client);
  const GlobalDrawData& data = globalData();
  auto drawScroll = [&](const QRect& r, int glyph, int mode) {
    if (r.isEmpty()) return;
    const Rect button = Rect::fromQRect(r);
    dc->fillSolidRect({button.left, button.top - 2, button.right, button.bottom}, data.clrBtnFace);
    MenuImages::DrawCentred(dc, glyph, button);
    if (m_iScrollMode == mode) dc->draw3dRect(button, data.clrBtnHighlight, data.clrBtnShadow);
  };
  drawScroll(m_rectScrollUp, kGlyphScrollUp, -1);
  drawScroll(m_rectScrollDn, kGlyphArrowDown, 1);
}

void CUxPopupMenu::mouseMoveEvent(QMouseEvent* event) {
  if (!m_bScrollable || m_scrollTimer.isActive()) return;
  const QPoint p = event->position().toPoint();
  if (m_rectScrollUp.contains(p) && m_wndMenuBar->GetOffset() > 0) m_iScrollMode = -1;
  else if (m_rectScrollDn.contains(p) && IsScrollDownAvailable()) m_iScrollMode = 1;
  else return;
  update(m_iScrollMode < 0 ? m_rectScrollUp : m_rectScrollDn);
  m_scrollTimer.start();
}

void CUxPopupMenu::onScrollTimer() {
  if (CUxToolbarMenuButton* open = GetSelItem(); open && open->m_pPopupMenu) open->OnCancelMode();
  const QPoint p = mapFromGlobal(QCursor::pos());
  if (m_iScrollMode < 0 && m_rectScrollUp.contains(p)) {
    m_wndMenuBar->SetOffset(m_wndMenuBar->GetOffset() - 1);
  } else if (m_iScrollMode > 0 && m_rectScrollDn.contains(p)) {
    m_wndMenuBar->SetOffset(m_wndMenuBar->GetOffset() + 1);
  } else {
    m_scrollTimer.stop();
    m_iScrollMode = 0;
    update(m_rectScrollUp);
    update(m_rectScrollDn);
    return;
  }
  RecalcScrollButtons(false);
  update();
}
