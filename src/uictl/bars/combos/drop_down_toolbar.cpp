#include "uictl/bars/combos/drop_down_toolbar.h"

#include "platform/windows/mouse_capture.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu_bar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>
#include <QApplicationStateChangeEvent>
#include <QCursor>
#include <QPainter>
#include <QScreen>
#include <algorithm>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxDropDownToolbarButton, CUxToolbarButton, kVersionableSchema | 1,
                                createInstance<CUxDropDownToolbarButton>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxDropDownToolBar, CUxToolBar, 1, createInstance<CUxDropDownToolBar>)
// A mini frame in the original; here it stands on the root as well.
const RuntimeClass CUxDropDownFrame::classCUxDropDownFrame{"CUxDropDownFrame", kVersionableSchema | 1,
                                                           createInstance<CUxDropDownFrame>, &CObject::classCObject};
const RuntimeClass* CUxDropDownFrame::GetRuntimeClass() const { return &classCUxDropDownFrame; }

namespace {

constexpr unsigned kNoCommand = 0xFFFFFFFFu;
constexpr unsigned kPopupBarId = 59431;

CUxDropDownToolbarButton* g_pPending = nullptr;

std::vector<CUxDropDownToolbarButton*>& liveButtons() {
  static std::vector<CUxDropDownToolbarButton*> buttons;
  return buttons;
}

bool validCommand(unsigned id) { return id != 0 && id != kNoCommand; }

// While it lives the button wears the image of its default command; its own image, and whether it
// shows image, text and fill, come back after.
class DefaultImageLook {
 public:
  explicit DefaultImageLook(CUxDropDownToolbarButton& button)
      : button_(button), image_(button.m_iImage), userImage_(button.m_iUserImage), user_(button.m_bUserImage),
        showImage_(button.m_bShowImage), showText_(button.m_bShowText), noFill_(button.m_bNoFill) {
    button.m_bUserImage = button.m_bDefaultUserImage;
    button.m_iImage = button.m_iUserImage = button.m_iDefaultImage;
    button.m_bShowImage = true;
  }
  ~DefaultImageLook() {
    button_.m_iImage = image_;
    button_.m_iUserImage = userImage_;
    button_.m_bUserImage = user_;
    button_.m_bShowImage = showImage_;
    button_.m_bShowText = showText_;
    button_.m_bNoFill = noFill_;
  }
  DefaultImageLook(const DefaultImageLook&) = delete;
  DefaultImageLook& operator=(const DefaultImageLook&) = delete;

 private:
  CUxDropDownToolbarButton& button_;
  const int image_, userImage_;
  const bool user_, showImage_, showText_, noFill_;
};

}  // namespace

// The drop-down toolbar.

CUxDropDownToolBar::CUxDropDownToolBar(QWidget* parent) : CUxToolBar(parent) { m_bLocked = true; }

CUxDropDownToolBar::~CUxDropDownToolBar() {
  // Open frames give this bar's buttons back before the bar deletes them; buttons that drop it
  // down are left without one.
  for (CUxDropDownToolbarButton* button : liveButtons()) {
    if (button->m_pToolBar != this) continue;
    if (button->m_pPopupFrame) button->m_pPopupFrame->DestroyWindow();
    button->m_pToolBar = nullptr;
  }
}

CUxDropDownFrame* CUxDropDownToolBar::popupFrame() const { return dynamic_cast<CUxDropDownFrame*>(parentWidget()); }

void CUxDropDownToolBar::OnUpdateCmdUI(CommandTarget* target, bool disableIfNoHandler) {
  auto* own = dynamic_cast<CommandTarget*>(GetCommandTarget());
  CUxToolBar::OnUpdateCmdUI(own ? own : target, disableIfNoHandler);
}

bool CUxDropDownToolBar::LoadBitmap(unsigned resId, unsigned coldResId, unsigned menuResId, bool,
                                    unsigned disabledResId, unsigned menuDisabledResId) {
  return CUxToolBar::LoadBitmap(resId, coldResId, menuResId, true, disabledResId, menuDisabledResId);
}

bool CUxDropDownToolBar::LoadToolBar(unsigned resId, unsigned coldResId, unsigned menuResId, bool,
                                     unsigned disabledResId, unsigned menuDisabledResId, unsigned hotResId) {
  return CUxToolBar::LoadToolBar(resId, coldResId, menuResId, true, disabledResId, menuDisabledResId, hotResId);
}

bool CUxDropDownToolBar::OnSendCommand(const CUxToolbarButton* button) {
  if (!button || (button->m_nStyle & kStyleDisabled) || !validCommand(button->m_nCommandId)) return false;
  const unsigned command = button->m_nCommandId;
  QWidget* owner = GetOwner();
  CUxDropDownFrame* frame = popupFrame();
  CUxDropDownToolbarButton* chooser = frame ? frame->m_pParentBtn : nullptr;
  // The frame gives the buttons back first: the new default is looked up among them.
  if (frame) frame->DestroyWindow();
  if (chooser) chooser->SetDefaultCommand(command);
  postCommand(owner, command, 0);
  return true;
}

void CUxDropDownToolBar::OnMouseMove(unsigned, Point point) {
  if (m_ptLastMouse != Point{-1, -1} && point == m_ptLastMouse) return;
  m_ptLastMouse = point;
  int hit = HitTest(point);
  if (const CUxToolbarButton* button = GetButton(hit);
      button && ((button->m_nStyle & kStyleSeparator) || ((button->m_nStyle & kStyleDisabled) && !AllowHighlightDisabled())))
    hit = -1;
  if (!m_bTracked) m_bTracked = TrackMouseLeave(this);
  if (hit == m_iHighlighted) return;
  const int old = m_iHighlighted;
  m_iHighlighted = hit;
  if (GetButton(old)) SetButtonStyle(old, GetButtonStyle(old) & ~kStylePressed);
  if (GetButton(hit)) SetButtonStyle(hit, GetButtonStyle(hit) | kStylePressed);
  InvalidateButton(old);
  InvalidateButton(hit);
  update();
  ShowCommandMessageString(GetButton(hit) ? GetButton(hit)->m_nCommandId : kNoCommand);
  OnSetHotButton(hit);
}

void CUxDropDownToolBar::OnLButtonUp(unsigned flags, Point point) {
  if (!IsCustomizeMode()) {
    if (!ClientRect().contains(point)) {
      if (CUxDropDownFrame* frame = popupFrame()) frame->DestroyWindow();
      return;
    }
    m_iButtonCapture = m_iHighlighted;
    if (GetButton(m_iHighlighted)) SetButtonStyle(m_iHighlighted, GetButtonStyle(m_iHighlighted) & ~kStylePressed);
  }
  CUxToolBar::OnLButtonUp(flags, point);
}

// The button.

CUxDropDownToolbarButton* CUxDropDownToolbarButton::pendingButton() { return g_pPending; }

CUxDropDownToolbarButton::CUxDropDownToolbarButton() {
  m_bLocked = true;
  liveButtons().push_back(this);
  m_timer.setSingleShot(true);
  QObject::connect(&m_timer, &QTimer::timeout, [] {
    if (CUxDropDownToolbarButton* pending = g_pPending) pending->OnClick(pending->m_pWndParent, false);
  });
}

CUxDropDownToolbarButton::CUxDropDownToolbarButton(const std::wstring& name, CUxDropDownToolBar* toolBar)
    : CUxDropDownToolbarButton() {
  m_strName = name;
  m_pToolBar = toolBar;
}

CUxDropDownToolbarButton::~CUxDropDownToolbarButton() {
  auto& live = liveButtons();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  stopTimer();
  if (CUxDropDownFrame* frame = m_pPopupFrame) {
    frame->m_pParentBtn = nullptr;
    frame->DestroyWindow();
  }
}

void CUxDropDownToolbarButton::stopTimer() {
  m_timer.stop();
  m_uiTimer = 0;
  if (g_pPending == this) g_pPending = nullptr;
}

void CUxDropDownToolbarButton::closeFrame() {
  if (CUxDropDownFrame* frame = m_pPopupFrame) frame->DestroyWindow();
  m_pPopupFrame = nullptr;
  if (auto* menuBar = dynamic_cast<CUxMenuBar*>(m_pWndParent.data())) menuBar->SetHot(nullptr);
}

void CUxDropDownToolbarButton::invalidateOnParent() {
  auto* bar = dynamic_cast<CUxToolBar*>(m_pWndParent.data());
  if (!bar) return;
  bar->InvalidateButton(bar->ButtonToIndex(this));
  bar->update();
}

void CUxDropDownToolbarButton::OnCancelMode() { invalidateOnParent(); }

bool CUxDropDownToolbarButton::OnClick(QWidget* wnd, bool delay) {
  if (m_uiTimer == 0) {
    // Only one delay runs in the library.
    if (g_pPending && g_pPending != this) g_pPending->stopTimer();
    m_uiTimer = 1;
    g_pPending = this;
    m_timer.start(kDelayMs);
    return false;
  }
  stopTimer();
  if (m_pPopupFrame) {
    closeFrame();
  } else {
    // A popup menu's delayed click leaves the toolbar closed.
    const bool delayedInMenu = delay && dynamic_cast<CUxPopupMenuBar*>(m_pWndParent.data()) && !CUxToolBar::IsCustomizeMode();
    if (!delayedInMenu) DropDownToolbar(wnd);
    if (auto* menuBar = dynamic_cast<CUxMenuBar*>(m_pWndParent.data())) menuBar->SetHot(this);
  }
  invalidateOnParent();
  return false;
}

bool CUxDropDownToolbarButton::OnClickUp() {
  if (m_uiTimer != 0) {
    stopTimer();
    return false;
  }
  if (m_pPopupFrame) closeFrame();
  return true;
}

bool CUxDropDownToolbarButton::DropDownToolbar(QWidget* wnd) {
  if (!m_pToolBar || m_pPopupFrame) return false;
  QWidget* parent = wnd ? wnd : m_pWndParent.data();
  if (!parent) return false;
  auto* bar = dynamic_cast<CUxToolBar*>(parent);
  Point anchor{m_rect.left - 1, m_rect.bottom};
  if (bar && !bar->IsHorizontal()) anchor = {m_rect.right + 1, m_rect.top};
  const QPoint local = bar ? bar->ClientToWidget(anchor) : QPoint(anchor.x, anchor.y);
  const QPoint screen = parent->mapToGlobal(local);
  auto* frame = new CUxDropDownFrame;
  frame->m_pParentBtn = this;
  frame->m_strCaption = m_strName;
  m_pPopupFrame = frame;
  if (frame->Create(parent, screen.x(), screen.y(), m_pToolBar)) return true;
  m_pPopupFrame = nullptr;
  delete frame;
  return false;
}

void CUxDropDownToolbarButton::SetDefaultCommand(unsigned command) {
  m_nCommandId = command;
  m_iDefaultImage = -1;
  if (m_pToolBar) {
    int images = 0;
    for (const auto& button : m_pToolBar->m_Buttons) {
      if (button->m_nStyle & kStyleSeparator) continue;
      if (button->m_nCommandId == command) {
        m_bDefaultUserImage = button->m_bUserImage;
        m_iDefaultImage = button->m_bUserImage ? button->m_iUserImage : images;
        break;
      }
      ++images;
    }
  }
  if (m_iDefaultImage == -1) m_iDefaultImage = 0;
}

void CUxDropDownToolbarButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  m_pWndParent = parent;
  m_bShowText = false;
  m_bUserImage = false;
  m_strText.clear();
}

bool CUxDropDownToolbarButton::GetTextFromResource(CUxToolbarButton& target) {
  auto* menuButton = dynamic_cast<CUxToolbarMenuButton*>(&target);
  if (!m_pToolBar || !menuButton || !CUxToolbarButton::GetTextFromResource(target)) return false;
  // While a popup is open its bar holds the buttons.
  const CUxToolBar* holder = m_pPopupFrame ? static_cast<CUxToolBar*>(m_pPopupFrame->toolBar()) : m_pToolBar.data();
  const MenuHandle menu = createPopupMenu();
  for (const auto& button : holder->m_Buttons) {
    if (button->m_nStyle & kStyleSeparator) {
      appendMenu(menu, MfSeparator, 0);
    } else if (validCommand(button->m_nCommandId)) {
      std::wstring text = button->m_strText;
      if (text.empty()) commandShortLabel(button->m_nCommandId, text);
      appendMenu(menu, MfString, button->m_nCommandId, text);
    }
  }
  menuButton->m_nCommandId = 0;
  menuButton->m_strText = m_strName;
  menuButton->SetImage(-1);
  menuButton->m_bShowImage = false;
  menuButton->CreateFromMenu(menu);
  destroyMenu(menu);
  return true;
}

Size CUxDropDownToolbarButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  if (m_nCommandId == 0 && m_pToolBar && m_pToolBar->GetCount() > 0) SetDefaultCommand(m_pToolBar->GetButton(0)->m_nCommandId);
  Size size;
  {
    const DefaultImageLook look(*this);
    m_bShowText = false;
    size = CUxToolbarButton::OnCalculateSize(dc, sizeDefault, horizontal);
  }
  size.cx += 4;
  return size;
}

void CUxDropDownToolbarButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages*, bool horizontal, bool customizeMode,
                                      bool highlight, bool drawBorder, bool grayDisabledButtons) {
  FillInterior(dc, rect, highlight);
  if (m_pToolBar) {
    m_bInternalDraw = true;
    ToolbarImages* strip = m_bDefaultUserImage ? userImages() : &m_pToolBar->m_Images[kImages];
    ImageDrawState state;
    if (strip) {
      strip->SetTransparentColor(globalData().clrBtnFace);
      if (!strip->PrepareDrawImage(state, m_pToolBar->GetImageSize())) strip = nullptr;
    }
    {
      const DefaultImageLook look(*this);
      m_bNoFill = true;
      Rect face = rect;
      if (!m_bDefaultUserImage) face.right -= 4;
      CUxToolbarButton::OnDraw(dc, face, strip, horizontal, customizeMode, highlight, false, grayDisabledButtons);
    }
    if (strip) strip->EndDrawImage(state);
    m_bInternalDraw = false;
  }
  const int p = (m_nStyle & kStylePressed) ? 1 : 0;
  const Brush brush = dc->selectBrush(globalData().brDarkShadow);
  dc->fillPolygon({{rect.right - 8 + p, rect.bottom - 3 + p}, {rect.right - 3 + p, rect.bottom - 3 + p},
                   {rect.right - 3 + p, rect.bottom - 8 + p}});
  dc->selectBrush(brush);
  if (customizeMode || !drawBorder) return;
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  if (m_pPopupFrame || (m_nStyle & (kStylePressed | kStyleChecked)))
    manager->OnDrawButtonBorder(dc, this, rect, validCommand(m_nCommandId) ? ButtonPressed : ButtonHighlighted);
  else if (highlight && !(m_nStyle & (kStyleChecked | kStyleDisabled | kStyleIndeterminate)))
    manager->OnDrawButtonBorder(dc, this, rect, ButtonHighlighted);
}

bool CUxDropDownToolbarButton::EnableCustomizeItems(void* popupMenu) {
  const MenuHandle menu = *static_cast<MenuHandle*>(popupMenu);
  for (unsigned command : {16914u, 16915u, 16916u, 16913u, 16911u}) enableMenuItem(menu, command, MfByCommand | MfGrayed);
  return true;
}

int CUxDropDownToolbarButton::OnDrawOnCustomizeList(Dc* dc, const Rect& rect, bool selected) {
  std::swap(m_strText, m_strName);
  const int width = CUxToolbarButton::OnDrawOnCustomizeList(dc, rect, selected);
  std::swap(m_strText, m_strName);
  return width;
}

void CUxDropDownToolbarButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CUxDropDownToolbarButton*>(&source);
  if (!other) return;
  m_pToolBar = other->m_pToolBar;
  m_strName = other->m_strName;
  m_iDefaultImage = other->m_iDefaultImage;
  m_nStoredFlags = 0;
}

void CUxDropDownToolbarButton::Serialize(Archive& ar) {
  CUxToolbarButton::Serialize(ar);
  if (ar.IsStoring()) {
    ar.writeU32(m_pToolBar ? m_pToolBar->m_uiOriginalResID : 0);
    ar.writeString(m_strName);
    ar.writeI32(m_iDefaultImage);
    return;
  }
  const unsigned resource = ar.readU32();
  m_strName = ar.readString();
  m_iDefaultImage = ar.readI32();
  m_pToolBar = nullptr;
  for (CUxToolBar* bar : CUxToolBar::GetAllToolbars()) {
    auto* dropDown = dynamic_cast<CUxDropDownToolBar*>(bar);
    // The bars of open popups are copies without a resource.
    if (dropDown && !dropDown->popupFrame() && dropDown->m_uiOriginalResID == resource) {
      m_pToolBar = dropDown;
      break;
    }
  }
}

// The popup frame.

CUxDropDownFrame::CUxDropDownFrame() {
  setAttribute(Qt::WA_ShowWithoutActivating);
}

CUxDropDownFrame::~CUxDropDownFrame() {
  if (qApp) qApp->removeEventFilter(this);
  if (m_bDestroying) return;
  // Deleted with its window: let go of the capture, the buttons and the button.
  if (m_wndToolBar && getCapture() == m_wndToolBar) releaseCapture();
  giveButtonsBack();
  if (m_pParentBtn) m_pParentBtn->m_pPopupFrame = nullptr;
}

bool CUxDropDownFrame::Create(QWidget* parent, int x, int y, CUxDropDownToolBar* toolBar) {
  menuSoundPlay(2);
  m_pSrcToolBar = toolBar;
  m_pParentWnd = parent;
  if (x == -1 && y == -1) {
    QPoint corner(0, 0);
    if (parent) corner = parent->mapToGlobal(parent->contentsRect().topLeft());
    x = corner.x() + 5;
    y = corner.y() + 5;
  }
  m_x = x;
  m_y = y;
  // A popup of the parent's window that never takes the activation.
  setParent(parent ? parent->window() : nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
  if (parent) setLayoutDirection(parent->layoutDirection());
  setWindowTitle(QString::fromStdWString(m_strCaption));
  setGeometry(x, y, 0, 0);
  if (!onCreate(parent)) return false;
  qApp->installEventFilter(this);
  show();
  return true;
}

bool CUxDropDownFrame::onCreate(QWidget* parent) {
  CUxDropDownToolBar* source = m_pSrcToolBar;
  if (!source) return false;
  auto* parentBar = dynamic_cast<CUxToolBar*>(parent);
  const bool horizontalParent = !parentBar || parentBar->IsHorizontal();
  const unsigned align = horizontalParent ? (CbrsAlignLeft | CbrsAlignRight) : (CbrsAlignTop | CbrsAlignBottom);
  m_wndToolBar = new CUxDropDownToolBar(this);
  if (!m_wndToolBar->CreateEx(this, 0x800, 0x50000000u | align, {1, 1, 1, 1}, kPopupBarId)) return false;
  CUxDropDownToolBar& bar = *m_wndToolBar;
  bar.m_bLocked = true;
  for (SharedStrip strip : {kImages, kColdImages, kDisabledImages}) source->m_Images[strip].CopyTemp(bar.m_Images[strip]);
  bar.m_sizeButton = source->m_sizeButton;
  bar.m_sizeImage = source->m_sizeImage;
  bar.m_sizeCurButton = source->m_sizeCurButton;
  bar.m_sizeCurImage = source->m_sizeCurImage;
  bar.SetBarStyle(bar.GetBarStyle() & ~CbrsGripper);
  bar.SetOwner(source->GetOwner());
  bar.m_bLargeIconsAllowed = source->m_bLargeIconsAllowed;
  // The frame lends the source's own buttons.
  bar.m_Buttons = std::move(source->m_Buttons);
  source->m_Buttons.clear();
  source->m_iButtonCapture = source->m_iHighlighted = source->m_iSelected = source->m_iHot = -1;
  RecalcLayout();
  releaseCapture();
  setCapture(m_wndToolBar);
  return true;
}

void CUxDropDownFrame::giveButtonsBack() {
  if (!m_wndToolBar) return;
  CUxDropDownToolBar& bar = *m_wndToolBar;
  bar.m_iButtonCapture = bar.m_iHighlighted = bar.m_iSelected = bar.m_iHot = -1;
  for (auto& button : bar.m_Buttons) button->m_nStyle &= ~kStylePressed;
  if (CUxDropDownToolBar* source = m_pSrcToolBar) {
    source->m_Buttons = std::move(bar.m_Buttons);
    bar.m_Buttons.clear();
    // The popup moved their rectangles.
    source->AdjustLayout();
  }
}

void CUxDropDownFrame::RecalcLayout() {
  if (!m_wndToolBar) return;
  auto* parentBar = dynamic_cast<CUxToolBar*>(m_pParentWnd.data());
  const bool verticalParent = parentBar && !parentBar->IsHorizontal();
  const QMargins margins = m_wndToolBar->contentsMargins();
  Size size = m_wndToolBar->CalcSize(!verticalParent);
  size.cx += margins.left() + margins.right() + 6;
  size.cy += margins.top() + margins.bottom() + 6;
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
  int x = m_x, y = m_y;
  if (x + size.cx > screen.width()) {
    if (verticalParent) x = parentBar->mapToGlobal(QPoint(0, 0)).x() - size.cx;
    else x = screen.width() - size.cx - 1;
  }
  if (y + size.cy > screen.height()) {
    if (m_pParentBtn) y = y - size.cy - m_pParentBtn->m_rect.height() - 4;
    else y = std::max(0, y - size.cy);
  }
  m_x = x;
  m_y = y;
  setGeometry(x, y, size.cx, size.cy);
}

void CUxDropDownFrame::DestroyWindow() {
  if (m_bDestroying) return;
  m_bDestroying = true;
  qApp->removeEventFilter(this);
  if (m_wndToolBar && getCapture() == m_wndToolBar) releaseCapture();
  giveButtonsBack();
  if (CUxDropDownToolbarButton* button = m_pParentBtn) {
    button->m_pPopupFrame = nullptr;
    button->m_nStyle &= ~kStylePressed;
    // The press on the parent bar ends where the cursor is now.
    if (auto* bar = dynamic_cast<CUxToolBar*>(button->m_pWndParent.data()))
      bar->OnLButtonUp(0, bar->WidgetToClient(bar->mapFromGlobal(QCursor::pos())));
    if (m_pParentBtn) m_pParentBtn->OnCancelMode();
  }
  hide();
  deleteLater();
}

bool CUxDropDownFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ApplicationStateChange && watched == qApp && !CUxToolBar::IsCustomizeMode() &&
      static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
    DestroyWindow();
  return QWidget::eventFilter(watched, event);
}

void CUxDropDownFrame::paintEvent(QPaintEvent*) {
  QImage image(size(), QImage::Format_RGB32);
  Dc dc(image);
  const GlobalDrawData& data = globalData();
  Rect client = Rect::fromSize(0, 0, width(), height());
  dc.fillSolidRect(client, data.clrBarFace);
  dc.draw3dRect(client, data.clrBarLight, data.clrBarDarkShadow);
  dc.draw3dRect(client.deflated(1, 1), data.clrBarHighlight, data.clrBarShadow);
  QPainter(this).drawImage(0, 0, image);
}

void CUxDropDownFrame::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (m_wndToolBar) m_wndToolBar->setGeometry(2, 2, std::max(0, width() - 4), std::max(0, height() - 4));
}
