// The library's MDI child window: it keeps its tab in the client area current (label, icon,
// active tab) and lets the frame route the keys while a popup menu is open.
#pragma once

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
  // Set when it is being destroyed, so that no tab is made for it again.
  bool m_bClosing = false;

 protected:
  bool event(QEvent* event) override;

 private:
  MDIClientAreaWnd* clientArea() const;
};
