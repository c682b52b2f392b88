// A row of tabs along the top or bottom edge of a window, each showing one child window in the
// rest of it. Five looks (3-D squeezed, flat, flat with a shared horizontal scroll bar, 3-D with
// scroll buttons, slanted), scroll and close buttons, Ctrl+PgUp/PgDn, renaming a tab in place,
// dragging a tab to a new place, tooltips for shortened labels. The parent hears of changes
// through the registered UXM_* events, sent at once; a nonzero result vetoes a rename or a move.
// A tab's window is held by a guarded pointer: destroyed by anyone, it takes its tab with it.
#pragma once

#include "uictl/bars/drawing/visual_manager_surfaces.h"
#include "uictl/frames/buttons/button.h"

#include <QBasicTimer>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class CUxTabWnd;
class QLineEdit;
class QScrollBar;

enum TabStyle : int {
  TabStyle3D = 0, TabStyleFlat = 1, TabStyleFlatSharedScroll = 2, TabStyle3DScrolled = 3, TabStyle3DSlanted = 4,
};
enum TabLocation : int { TabsAtBottom = 0, TabsAtTop = 1 };

// The scroll and close buttons of the strip: face and border come from the visual manager.
class CUxTabStripButton : public CUxButton {
 public:
  explicit CUxTabStripButton(CUxTabWnd* tabs);
  void OnFillBackground(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDrawBorder(platform::Dc* dc, platform::Rect& rect, unsigned state) override;

 private:
  CUxTabWnd* m_pTabWnd;
};

struct CUxTabRecord {
  std::wstring m_strLabel;
  int m_nImage = -1;
  platform::Rect m_rcTab;
  bool m_bShown = true;
  QPointer<QWidget> m_pTabWindow;
  bool m_bListViewWindow = false;
  int m_nNeededWidth = 0;
  int m_nID = 0;
  COLORREF m_clrFore = platform::kNoColor;
  COLORREF m_clrBack = platform::kNoColor;
  bool m_bNoLabel = false;
  bool m_bTipAlways = false;
  // Which window the tab showed, still known once the guarded pointer has gone null.
  const QObject* m_windowKey = nullptr;
};

class CUxTabWnd : public QWidget {
 public:
  explicit CUxTabWnd(QWidget* parent = nullptr);
  ~CUxTabWnd() override;

  bool Create(int style, const platform::Rect& rect, QWidget* parent, unsigned id, int location = TabsAtBottom,
              bool closeButton = false);

  void AppendTab(QWidget* window, const std::wstring& label, int image = -1);
  void InsertTabAt(QWidget* window, const std::wstring& label, int index, int image = -1);
  bool DeleteTab(int index);
  void DeleteAllTabs();
  bool SetTabLabel(int index, const std::wstring& label);
  bool GetTabLabel(int index, std::wstring& label) const;
  bool SetTabImage(int index, int image);
  int GetTabImage(int index) const;
  bool GetTabRectangle(int index, platform::Rect& rect) const;
  QWidget* GetTabWindow(int index) const;
  QWidget* GetActiveTabWindow() const { return GetTabWindow(m_nActive); }
  int TabFromWindowHandle(const QWidget* window) const;
  bool IsTabShown(int index) const;
  int GetVisibleTabsNum() const;
  int GetTabsNum() const { return m_nTabCount; }
  const CUxTabRecord* GetTabRecord(int index) const;
  // The list is the caller's and must outlive its use here; its images may grow afterwards.
  bool AttachImages(const std::vector<QImage>* images);
  void SetFrameFlag(bool on, bool redraw = true);
  bool ScrollTabIntoView(int index);
  void LayoutWindow();
  // The shared bar takes the active window's horizontal scroll state; false when there is
  // nothing to scroll.
  bool SyncSharedScrollBar();
  int TabFromPoint(platform::Point point) const;
  // The strip's parts in client coordinates.
  platform::Rect TabsArea() const { return m_rcTabs; }
  platform::Rect WindowArea() const { return m_rcChild; }
  int ScrollOffset() const { return m_xScroll; }
  int ScrollOffsetMax() const { return m_xScrollMax; }
  // The buttons: first (flat), left, right, last (flat), close; null where not made.
  CUxTabStripButton* ScrollButton(int which) const;
  QScrollBar* SharedScrollBar() const { return m_sharedScrollBar; }
  QLineEdit* RenameEdit() const { return m_pRenameEdit; }
  // The tooltip the strip gives at a point, empty where none.
  std::wstring TabTipAt(platform::Point point) const;
  // Ends the drag, the splitter tracking, the renaming and the hot tab, as when the system takes
  // the mouse away.
  void OnCancelMode();
  void OnSysColorChange();
  void OnSettingChange();

  virtual bool ActivateTab(int index);
  virtual bool BeginTabRename(int index);
  virtual bool CanRenameTab(int index, std::wstring& newName) { (void)index; (void)newName; return true; }
  virtual void RedrawTab(int index);
  virtual bool IsSlantedStyle() const { return m_bSlanted; }
  virtual int GetFirstShownTab() const { return m_nFirstShown; }
  virtual void SetTabsSide(int location);
  virtual void PaintTab3D(platform::Dc* dc, int index, bool active);
  virtual void PaintTabFlat(platform::Dc* dc, int index, bool active);
  virtual void PaintDropMarker(platform::Dc* dc, int x, int top, int bottom, int size);
  virtual void FillAutoColorTable();

  bool IsFlatTab() const { return m_bFlatStyle; }
  bool IsTabsOnTop() const { return m_nTabsSide == TabsAtTop; }
  int GetActiveTab() const { return m_nActive; }
  int GetTabsHeight() const;
  COLORREF GetTabBackColor(int index) const;
  COLORREF GetTabForeColor(int index) const;
  // What the visual manager reads of the strip.
  const UxTabWindowLook* Look() const { return &m_look; }

  // Options a creator may set before the first tab.
  bool m_bHasCloseButton = false;
  bool m_bScrollButtonsOnDemand = false;
  COLORREF m_clrFlatBack = platform::kNoColor;
  COLORREF m_clrFlatActiveText = platform::kNoColor;
  bool m_bFramedBorder = false;
  int m_nBorder = 3;
  bool m_bHideInactive = true;
  bool m_bFitWindows = true;
  bool m_bDestroyWindows = true;
  bool m_bNoErase = false;
  bool m_bEdgeLine = false;
  bool m_bHideIfSingle = false;
  bool m_bHideIfEmpty = false;
  bool m_bRenameAllowed = false;
  bool m_bDragAllowed = false;
  bool m_bAutoColors = false;
  bool m_bBuiltInAutoColors = true;
  std::vector<COLORREF> m_autoColors;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  friend class CUxTabStripButton;
  class TabLook : public UxTabWindowLook {
   public:
    explicit TabLook(const CUxTabWnd& tabs) : m_tabs(tabs) {}
    bool IsFlatTab() const override { return m_tabs.IsFlatTab(); }
    bool IsTabsOnTop() const override { return m_tabs.IsTabsOnTop(); }
    bool IsLabelOnlyMode() const override { return false; }
    bool IsNoPrefix() const override { return false; }
    int GetActiveTab() const override { return m_tabs.GetActiveTab(); }
    int GetTabsHeight() const override { return m_tabs.GetTabsHeight(); }
    COLORREF GetTabBackColor(int tab) const override { return m_tabs.GetTabBackColor(tab); }
    COLORREF GetTabForeColor(int tab) const override { return m_tabs.GetTabForeColor(tab); }
    std::wstring GetTabLabel(int tab) const override;
    QImage GetTabImage(int tab) const override;

   private:
    const CUxTabWnd& m_tabs;
  };
  enum Button : int { BtnHome, BtnLeft, BtnRight, BtnEnd, BtnClose, ButtonCount };

  bool validIndex(int index) const { return index >= 0 && index < m_nTabCount; }
  CUxTabRecord* record(int index) const { return validIndex(index) ? m_tabRecords[size_t(index)].get() : nullptr; }
  bool rowHidden() const;
  void createButtons();
  void ComputeTabsHeight();
  void PlaceButtons(int x, int y, int cx, int cy, bool hide);
  void PlaceSharedScrollBar();
  void LayoutTabs();
  void squeezeTabs(int visible);
  void ClampScrollOffset();
  void updateButtonStates();
  void onButtonClick(int which);
  void scrollTo(int offset, int firstShown);
  void removeRecord(int index);
  // The tab whose window just went away loses its tab.
  void onTabWindowDestroyed();
  void watchWindow(CUxTabRecord& tab);
  intptr_t notifyParent(QEvent::Type type, uintptr_t wParam, intptr_t lParam);
  void passToParent(QMouseEvent* event);
  bool ctrlPageKey(int key);
  // Renaming.
  bool filterRename(QObject* watched, QEvent* event);
  bool CommitTabRename();
  void endRename();
  // Tab drag.
  void dragTo(platform::Point point);
  void endDrag(bool apply);
  // Splitter of the shared scroll bar.
  static constexpr int kSplitterWidth = 5;
  void trackSplitter(int x);
  void onSharedScroll(int action);
  void setToolRect(int id, const platform::Rect& rect);
  void setToolText(int id, const std::wstring& text);
  void redrawNow(const platform::Rect& rect);
  void paintBorder(platform::Dc* dc, const UxTabFrameColors& colours);
  void paintTabs(platform::Dc* dc, const UxTabFrameColors& colours);
  platform::Rect clientRect() const { return platform::Rect::fromSize(0, 0, width(), height()); }

  bool m_bFlatStyle = false;
  bool m_bSlanted = false;
  bool m_bSharedScrollBar = false;
  bool m_bHasScrollButtons = false;
  bool m_bHotTracking = false;
  int m_nTabsSide = TabsAtBottom;
  std::vector<std::unique_ptr<CUxTabRecord>> m_tabRecords;
  int m_nTabCount = 0;
  int m_nActive = -1;
  int m_xScrollBarLimit = 0;
  platform::Rect m_rcTabs;
  platform::Rect m_rcChild;
  int m_cyTabs = 0;
  const std::vector<QImage>* m_hTabImages = nullptr;
  platform::Size m_szTabImage;
  // One tool per tab (style 0 only), keyed by the tab's id.
  struct TabTool {
    int id;
    std::wstring text;
    platform::Rect rect;
  };
  bool m_bTips = false;
  std::vector<TabTool> m_tips;
  QScrollBar* m_sharedScrollBar = nullptr;
  CUxTabStripButton* m_buttons[ButtonCount] = {};
  std::vector<CUxTabStripButton*> m_buttonHandles;
  int m_nHot = -1;
  int m_xScroll = 0;
  int m_xScrollMax = 0;
  int m_cxAllTabs = 0;
  int m_nFirstShown = 0;
  int m_cxSharedScrollBar = 0;
  platform::Rect m_rcSplitter;
  bool m_bSplitterDrag = false;
  platform::Font m_fontFlat;
  platform::Font m_fontFlatBold;
  int m_nNextID = 1;
  QLineEdit* m_pRenameEdit = nullptr;
  int m_nRenamed = -1;
  bool m_bFrameFlag = false;
  bool m_bDragging = false;
  int m_nDragFrom = -1;
  int m_nDropIndex = -1;
  QBasicTimer m_timerScrollLeft;
  QBasicTimer m_timerScrollRight;
  bool m_bCreated = false;
  bool m_bTearingDown = false;
  TabLook m_look{*this};
};
