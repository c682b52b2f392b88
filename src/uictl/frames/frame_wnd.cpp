#include "uictl/frames/frame_wnd.h"

CUxFrameWnd::CUxFrameWnd(QWidget* parent) : UxFrameBase(parent) {}

void CUxFrameWnd::OnUpdateFrameMenu(platform::MenuHandle menu) {
  SetMenu(menu);
  CUxMenuBar* menuBar = m_Impl.GetMenuBar();
  if (!menuBar || !menuBar->isVisible()) return;
  SetMenu({});
}
