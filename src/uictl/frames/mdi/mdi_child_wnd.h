// The library's MDI child window: it keeps its tab in the client area current (label, icon,
// active tab) and lets the frame route the keys while a popup menu is open.
#pragma once

#include "platform/windows/menu_handles.h"

#include <QIcon>
#include <QMdiSubWindow>
#include <string>

class MDIClientAreaWnd;

class CUxMDIChildWnd : public QMdiSubWindow {
 public:
  explicit CUxMDIChildWnd(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~CUxMDIChildWnd() override;

  virtual std::wstring GetTabText() const;
  // Its own small icon, else the program's; null when neither exists.
  virtual QIcon GetTabIconHandle() const;

  // The frame of the client area it lives in; null outside one.
  QWidget* m_pMDIFrame = nullptr;
  // The menu of its document template, which the frame shows while the child is active; null
  // shows the frame's default menu. The template owns it.
  platform::MenuHandle m_hMenuShared;
  // Set when it is being destroyed, so that no tab is made for it again.
  bool m_bClosing = false;

 protected:
  bool event(QEvent* event) override;

 private:
  MDIClientAreaWnd* clientArea() const;
};
