// The MDI frame's client area: its child windows, one tab per child (off by default), and the
// "Window" menu's list of the children.
#pragma once

#include "platform/menu_handles.h"

#include <QMdiArea>

class CUxMDIChildWnd;
class CUxMDIFrameWnd;
class CUxTabWnd;
class QMdiSubWindow;

class MDIClientAreaWnd : public QMdiArea {
 public:
  explicit MDIClientAreaWnd(CUxMDIFrameWnd* frame);
  ~MDIClientAreaWnd() override;

  CUxTabWnd& Tabs();
  // Given the rectangle the frame's layout offers the client: places the tab strip (when the tabs
  // are on) and narrows the rectangle to what the client itself then covers, and moves there.
  void CalcWindowRect(QRect& rect);
  void SyncChildTabs(bool makeActiveVisible);
  void ActivateChildTab(QMdiSubWindow* child);
  // Rewrites the child items of `windowMenu`: 0xFF00 + n for the first nine children (the active
  // one checked) and 0xFF09 for "more windows" beyond; the commands activate their child.
  void RefreshWindowMenu(platform::MenuHandle windowMenu);
  bool RunWindowCommand(unsigned command);
};
