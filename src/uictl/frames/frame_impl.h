// What the library's frames share: keys and clicks go to the open popup menu and the menu bar
// before anything else, user-defined toolbars come and go on the customisation code's request,
// and torn-off menu bars are kept until the frame closes.
#pragma once

#include "platform/windows/menu_handles.h"

#include <QEvent>
#include <QPoint>
#include <QPointer>

#include <climits>
#include <memory>
#include <string>
#include <vector>

class CUxMenuBar;
class CUxPopupMenu;
class CUxToolBar;
class QKeyEvent;
class QWidget;
class UxFrameBase;
class WindowInputFilter;

class FrameImpl {
 public:
  explicit FrameImpl(UxFrameBase* frame);
  // Deletes the user-defined and the torn-off bars.
  virtual ~FrameImpl();
  FrameImpl(const FrameImpl&) = delete;
  FrameImpl& operator=(const FrameImpl&) = delete;

  // The bar takes the frame's menu as its default, and the frame drops its own.
  void SetMenuBar(CUxMenuBar* menuBar);
  // True when the key was taken; `processAccel` turns false when a control on a toolbar has
  // the focus, so that no accelerator steals its keys.
  bool RouteKeyDown(unsigned key, bool* processAccel);
  // True when the click is consumed.
  bool RouteMouseClick(QEvent::Type type, Qt::MouseButton button, const QPoint& screen, QWidget* target);
  // The menu bar, then the frame's other visible toolbars, try the key as a mnemonic.
  bool RouteMenuChar(unsigned key);
  bool OnShowPopupMenu(CUxPopupMenu* popup);
  void ReleaseMenuMode();
  // The new bar floats in the middle of the screen; null (and the user told) without a free id.
  CUxToolBar* CreateCustomBar(const std::wstring& name);
  // Only a bar made by CreateCustomBar goes, with its stored state.
  bool DeleteCustomBar(CUxToolBar* bar);
  void AddTearOffBar(CUxToolBar* bar);
  void RemoveTearOffBar(CUxToolBar* bar);
  // Destroys the torn-off bars that are hidden now.
  void DestroyHiddenTearOffBars();
  // F10 pressed alone, not repeating.
  static bool IsPlainF10(const QKeyEvent* event);
  // Every key and mouse event of the frame passes here first; true swallows it.
  bool PreTranslateMessage(QWidget* target, QEvent* event);

  CUxMenuBar* GetMenuBar() const { return m_pFrameMenuBar; }

  unsigned m_nFirstCustomBarId = UINT_MAX;
  unsigned m_nLastCustomBarId = UINT_MAX;
  std::wstring m_strBarsProfile;
  platform::MenuHandle m_hFrameMenu;
  UxFrameBase* m_pOwnerFrame;
  unsigned m_nMenuResourceId = 0;

  // Whether the bar that opened a menu takes the focus with it (off by default).
  static bool m_bActivateMenuBarWithPopup;

 private:
  bool preTranslateKey(QKeyEvent* key, bool press);
  bool translateAccelerator(const QKeyEvent* key);
  bool toolbarControlHasFocus() const;
  void toggleMenuBarFocus();

  std::vector<QPointer<CUxToolBar>> m_customBars;
  std::vector<QPointer<CUxToolBar>> m_tearOffBars;
  QPointer<CUxMenuBar> m_pFrameMenuBar;
  std::unique_ptr<WindowInputFilter> m_filter;
  // Alt went down with no other key since: its release moves the focus to or from the menu bar.
  bool m_bAltAlone = false;
};
