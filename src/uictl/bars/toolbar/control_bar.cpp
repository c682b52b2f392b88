#include "uictl/bars/toolbar/control_bar.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/visual_manager.h"

using namespace platform;

namespace {
constexpr int kGripperWidth = 7;  // two pixels each side of a three-pixel gripper
}

CUxControlBar::CUxControlBar(QWidget* parent) : QWidget(parent) {}

CUxControlBar::~CUxControlBar() {
  if (m_pDockSite) m_pDockSite->OnBarDestroyed(this);
}

void CUxControlBar::SetDlgCtrlID(unsigned id) {
  m_nID = id;
  setObjectName(QStringLiteral("id%1").arg(id));
}

QWidget* CUxControlBar::GetOwner() const { return m_pOwner ? m_pOwner : parentWidget(); }

void CUxControlBar::SetBorders(int left, int top, int right, int bottom) {
  m_cxLeftBorder = left;
  m_cyTopBorder = top;
  m_cxRightBorder = right;
  m_cyBottomBorder = bottom;
}

void CUxControlBar::CalcInsideRect(Rect& rect, bool horizontal) const {
  const int cx = 2 * getSystemMetrics(SmCxBorder), cy = 2 * getSystemMetrics(SmCyBorder);
  if (m_dwStyle & CbrsBorderLeft) rect.left += cx;
  if (m_dwStyle & CbrsBorderTop) rect.top += cy;
  if (m_dwStyle & CbrsBorderRight) rect.right -= cx;
  if (m_dwStyle & CbrsBorderBottom) rect.bottom -= cy;
  const bool gripper = (m_dwStyle & (CbrsGripper | CbrsFloating)) == CbrsGripper;
  // A vertical bar turns its borders with it.
  if (horizontal) {
    rect.left += m_cxLeftBorder;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
    if (gripper) rect.left += kGripperWidth;
  } else {
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder;
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
    if (gripper) rect.top += kGripperWidth;
  }
}

Size CUxControlBar::CalcFixedLayout(bool stretch, bool horizontal) {
  return {stretch && horizontal ? 32767 : 0, stretch && !horizontal ? 32767 : 0};
}

Size CUxControlBar::CalcDynamicLayout(int, unsigned mode) {
  return CalcFixedLayout(mode & LmStretch, mode & LmHorz);
}

void CUxControlBar::DelayShow(bool show) {
  m_nStateFlags &= ~(DelayHide | DelayShowing);
  // Whether the bar is hidden, not whether it is on the screen: a frame not shown yet must still
  // be able to hide its bars.
  if (show && isHidden()) m_nStateFlags |= DelayShowing;
  else if (!show && !isHidden()) m_nStateFlags |= DelayHide;
}

bool CUxControlBar::IsVisible() const {
  if (m_nStateFlags & DelayHide) return false;
  if (m_nStateFlags & DelayShowing) return true;
  return !isHidden() || !testAttribute(Qt::WA_WState_ExplicitShowHide);
}

void CUxControlBar::RecalcDelayShow() {
  if (m_nStateFlags & DelayShowing) show();
  else if (m_nStateFlags & DelayHide) hide();
  m_nStateFlags &= ~(DelayHide | DelayShowing);
}

QSize CUxControlBar::sizeHint() const {
  const Size size = const_cast<CUxControlBar*>(this)->CalcFixedLayout(false, IsHorizontal());
  return {size.cx, size.cy};
}

void CUxControlBar::EnableDocking(unsigned alignment) {
  m_dwDockStyle = alignment & CbrsAlignAny;
  for (QWidget* w = parentWidget(); w && !m_pDockSite; w = w->parentWidget())
    m_pDockSite = dynamic_cast<ControlBarDockSite*>(w);
  if (m_dwDockStyle && !m_pDockContext && m_pDockSite) m_pDockContext = m_pDockSite->CreateDockContext(this);
}
