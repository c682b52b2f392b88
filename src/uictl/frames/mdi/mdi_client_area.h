// The MDI frame's client area: its child windows, one tab per child (off by default), and the
// "Window" menu's list of the children.
#pragma once

#include "platform/windows/menu_handles.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include <QMdiArea>
#include <QPointer>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QMdiSubWindow;
class QPainter;

constexpr unsigned kFirstWindowMenuChild = 0xFF00, kMoreWindowsMenuItem = 0xFF09;

// A frame that may paint the client area's background itself.
class MdiClientBackground {
 public:
  virtual ~MdiClientBackground() = default;
  // True when the frame painted it.
  virtual bool PaintClientAreaBackground(QPainter& painter) = 0;
};

class MDIClientAreaWnd : public QMdiArea {
 public:
  // The tab strip is made at once, a child of `frame` beside the client area, and stays hidden
  // until the tabs are switched on.
  explicit MDIClientAreaWnd(QWidget* frame);
  ~MDIClientAreaWnd() override;

  CUxTabWnd& Tabs();
  QWidget* Frame() const { return m_pFrame; }
  // Switches the tabs on or off, with their icons, their side and the close button.
  void EnableMDITabs(bool enable, bool icons = true, int location = TabsAtBottom, bool closeButton = false);
  bool AreMDITabsEnabled() const { return m_bTabsEnabled; }
  // The children's icons, one image per distinct icon.
  const std::vector<QImage>& TabIcons() const { return m_tabIcons; }
  // Given the rectangle the frame's layout offers the client: places the tab strip (when the tabs
  // are on) and narrows the rectangle to what the client itself then covers, and moves there.
  void CalcWindowRect(QRect& rect);
  void SyncChildTabs(bool makeActiveVisible);
  void ActivateChildTab(QMdiSubWindow* child);
  // A child is going away: its tab goes now, and nothing brings it back.
  void OnMdiDestroy(QMdiSubWindow* child);
  // Rewrites the child items of `windowMenu`: 0xFF00 + n for the first nine children (the active
  // one checked) and 0xFF09 for "more windows" beyond; the commands activate their child.
  void RefreshWindowMenu(platform::MenuHandle windowMenu);
  bool RunWindowCommand(unsigned command);
  // The children in z-order, topmost first.
  QList<QMdiSubWindow*> ChildrenInZOrder() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  class MdiTabWnd;
  int imageOf(const QIcon& icon);
  void recalcFrameLayout();
  // The children the "Window" menu lists, in its order.
  std::vector<QMdiSubWindow*> windowMenuChildren() const;
  void activateChild(QMdiSubWindow* child);
  void chooseWindow();

  QWidget* m_pFrame;
  QPointer<CUxTabWnd> m_wndTabs;
  int m_nTabsLocation = TabsAtBottom;
  bool m_bTabsEnabled = false;
  std::vector<QImage> m_tabIcons;
  bool m_bTabIcons = true;
  bool m_bTabsCloseButton = false;
  std::unordered_map<qint64, int> m_iconIndex;
  // Children on their way out, known by address until they are gone.
  std::unordered_set<const QObject*> m_closing;
  bool m_bSyncing = false;
};
