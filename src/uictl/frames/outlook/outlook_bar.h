// The library's navigation bar: a toolbar that holds named pages. Each page has a full-width
// page button; the buttons up to the active page stack at the top, the rest at the bottom, and
// the work area between them shows the active page's command buttons (scrolled with two arrow
// buttons) or its window. Choosing another page slides its page button across in steps.
#pragma once

#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"
#include "uictl/frames/outlook/outlook_bar_page.h"
#include "uictl/frames/outlook/outlook_button.h"
#include "uictl/frames/outlook/outlook_page_toolbar.h"

#include <QBasicTimer>
#include <functional>
#include <memory>
#include <vector>


// What one animation step waits; the real one sleeps. Null puts the real one back.
using OutlookAnimationSleeper = std::function<void(int milliseconds)>;
void setOutlookAnimationSleeper(OutlookAnimationSleeper sleeper);

class EscapeWatcher;
class QLineEdit;

class CUxOutlookBar : public CUxToolBar, public UxBarSurface, public platform::CommandTarget {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxOutlookBar)

 public:
  // Control ids of the bar's own child buttons.
  enum : unsigned { kScrollUpId = 1, kScrollDownId = 2, kCloseId = 20 };

  explicit CUxOutlookBar(QWidget* parent = nullptr);
  ~CUxOutlookBar() override;

  // The caption bits of the style decide whether the bar has a caption strip.
  bool Create(QWidget* parent, unsigned style = 0x50000000u | CbrsAlignLeft, unsigned id = 0xE800) override;
  // False for a page id that exists or a position outside 0 to the page count.
  bool AddPage(unsigned pageId, const wchar_t* name, QWidget* pageWindow = nullptr, int position = -1);
  // False when the bitmap does not load, or the page is unknown or shows a window.
  bool AddButton(unsigned bitmapId, const wchar_t* label, unsigned command, int pageId = -1, int position = -1);
  bool AddButtonFromFile(const std::wstring& path, const wchar_t* label, unsigned command, int pageId = -1,
                         int position = -1);
  bool InsertOutlookButton(int image, const wchar_t* label, unsigned command, int pageId = -1, int position = -1);
  // The new image's index, -1 when it cannot be added.
  int AddImage(const QImage& bitmap);
  // Returns with the final layout painted. -1 shows no page.
  void SetActivePage(int pageId, bool animate = true);
  int GetActivePageID() const { return m_nActivePageID; }
  // Null for an unknown page.
  const wchar_t* FindPageName(unsigned pageId) const;
  CUxOutlookBarPage* FindPage(int pageId) const;
  CUxOutlookBarPage* PageFromPoint(platform::Point point) const;
  bool RenamePage(unsigned pageId, const wchar_t* name);
  // A derived bar hands over the edit box it made over a page button: Enter with a name renames
  // the page, Escape or a click elsewhere ends the editing; the bar deletes the box.
  void BeginPageRename(int pageId, QLineEdit* edit);
  int GetPageCount() const { return static_cast<int>(m_Pages.size()); }
  // The label colour (-1: automatic); the second colour is taken and not used.
  void SetColors(COLORREF text, COLORREF second);
  void SetTransparentColor(COLORREF colour);
  void EnableSplitter(bool enable = true);
  void SetBackgroundImage(unsigned bitmapId, bool force = false);
  // The command buttons of the active page (every button while there are no pages).
  CUxToolbarButton* GetVisibleButton(int index) const;
  int GetVisibleButtonCount() const;
  // The icon size of page-button mode: the small icons', else the large ones', else 16x16.
  platform::Size PageIconSize() const;
  // The client area without the caption strip.
  platform::Rect GetPageArea() const;
  void ScrollUp();
  void ScrollDown();

  virtual void OnActivatePage() {}
  virtual void OnDrawCaption(platform::Dc* dc, platform::Rect rect, const std::wstring& text, bool vertical);
  virtual void OnEraseWorkArea(platform::Dc* dc, const platform::Rect& rect);
  void FillWorkArea(platform::Dc* dc, const platform::Rect& rect) override;
  virtual void ShowMorePageButtons();
  virtual void ShowFewerPageButtons();
  virtual bool CanShowMorePageButtons() const;
  virtual bool CanShowFewerPageButtons() const;

  Kind SurfaceKind() const override { return Kind::OutlookBar; }
  bool OnCommand(unsigned id, int notifyCode, QWidget* control) override;
  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
  void DoPaint(platform::Dc* dc) override;
  void RemoveAllButtons() override;
  void AdjustLayout() override;
  void AdjustLocations() override;
  unsigned OnDragOver(const QMimeData* data, unsigned keyState, platform::Point point) override;
  void OnDragLeave() override;
  int FindDropIndex(platform::Point point, platform::Rect& marker) const override;
  std::unique_ptr<CUxToolbarButton> CreateDroppedButton(const QMimeData* data) override;
  // In customise mode the commands that make no sense for a page's buttons are greyed.
  bool EnableContextMenuItems(CUxToolbarButton* button, platform::MenuHandle popup) override;
  void OnContextMenu(platform::Point screen) override;
  void OnMouseMove(unsigned flags, platform::Point point) override;
  void OnLButtonDown(unsigned flags, platform::Point point) override;
  void OnLButtonUp(unsigned flags, platform::Point point) override;
  void OnCancelMode() override;
  void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler) override;

  // Saved state: the toolbar's, then the thickness, the pages and the large page buttons shown,
  // as far as the workspace's data version has them.
  void Serialize(platform::Archive& archive) override;
  // Beside the button list of the resource, the default pages under "OriginalPages".
  bool SaveOriginalState(CUxRegistry& registry) override;
  bool LoadLastOriginalState(CUxRegistry& registry) override;
  // A saved button list unlike the default one resets the bar.
  bool SmartUpdate(const std::vector<CUxToolbarButton*>& previousOriginal) override;
  // Back to the default buttons and pages; false when the bar has no defaults.
  virtual bool ResetAll();

  // The chevron's commands (more or fewer large page buttons) and their states.
  bool onCommand(unsigned id, int notifyCode) override;
  void onUpdateCommandUi(platform::CommandUi& state) override;

  COLORREF m_clrRegText = platform::kNoColor;
  COLORREF m_clrTransparentColor = platform::rgb(255, 0, 255);
  COLORREF m_clrBackColor;
  bool m_bEnableSplitter = true;
  bool m_bEnableAnimation = true;
  bool m_bEnableCloseButton = true;
  int m_nBarThickness = -1;
  platform::Rect m_rectWorkArea;
  platform::Size m_csImage;
  ToolbarImages m_BackImage;
  unsigned m_uiBackImageId = 0;
  CUxButton* m_pBtnUp = nullptr;
  CUxButton* m_pBtnDown = nullptr;
  int m_iScrollOffset = 0;
  int m_iFirstVisibleButton = 0;
  bool m_bScrollDown = false;
  ToolbarImages m_OutlookImages;
  bool m_bBackImageUsable = false;
  platform::Rect m_rectSplitter;
  platform::Rect m_rectDragLine;
  bool m_bSplitterDragging = false;
  int m_nDragPos = 0;
  int m_nActivePageID = -1;
  int m_nPageUnderRename = -1;
  int m_nHoverPage = -1;
  std::vector<std::unique_ptr<CUxOutlookBarPage>> m_Pages;
  std::vector<std::unique_ptr<CUxOutlookBarPage>> m_DefaultPages;
  platform::Rect m_rectActivePageBtnScreen;
  QLineEdit* m_pWndEditName = nullptr;
  bool m_bCaption = false;
  platform::Rect m_rectCaption;
  COutlookCloseButton* m_pBtnClose = nullptr;
  bool m_bFlatBorder = false;
  int m_nExtraSpace = 0;
  bool m_bScrollByPage = false;
  bool m_bPageButtonMode = false;
  int m_nVisibleLargePageButtons = -1;
  int m_nMaxLargePageButtons = 0;
  platform::Rect m_rectGripper;
  bool m_bGripperDragging = false;
  COutlookPageToolBar* m_pWndToolBar = nullptr;
  platform::Rect m_rectToolBar;
  // Page icons of page-button mode, one per page in page order; a derived bar fills them.
  std::vector<QImage> m_largePageImages, m_smallPageImages;
  platform::Size m_sizeLargePageImage, m_sizeSmallPageImage;
  int m_nPageButtonHeight = 0;
  platform::Font m_fontCaption;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool isVerticalBar() const { return !IsHorizontal(); }
  // Whether the button shows on the active page (every button shows while there are no pages).
  bool onActivePage(const CUxToolbarButton& button) const;
  bool dockedAtStart() const;
  // A horizontal bar in a frame goes right behind the frame's status bar, if it has one.
  void placeBehindStatusBar();
  void recalcSplitter();
  // The scroll buttons' and the active page button's share of the bar's mouse input; true
  // swallows the event.
  bool preTranslateMouse(QEvent::Type type, platform::Point point, QMouseEvent* event, bool forward);
  void stopScrollTimers();
  int buttonExtent(const CUxToolbarButton* button) const;
  // The buttons one scroll step moves, counted from `from` towards `direction` (+1 or -1).
  int scrollStep(int from, int direction) const;
  void moveDragLine(platform::Point point);
  void endSplitterDrag(bool apply, platform::Point point);
  // The frame the bar is in lays it out again; false when there is none.
  bool recalcParentFrame();
  void dragGripper(platform::Point point);
  void endGripperDrag();
  void watchEscape();
  void endRename();
  // Page-button mode: the large page buttons at the bottom, the gripper above them and the
  // row of small icons below; `area` loses what they take.
  void placeLargePageButtons(platform::Rect& area);
  void repaintNow(const QRect& area = {});
  platform::Font captionFont() const;

  bool m_bCreated = false;
  QBasicTimer m_timerScrollUp, m_timerScrollDown, m_timerHover;
  // The half-tone line that follows a splitter drag, a child of the parent.
  QWidget* m_pDragLine = nullptr;
  // Escape ends a splitter or gripper drag wherever the focus is; the bar never has it.
  std::unique_ptr<EscapeWatcher> m_escapeWatch;
  int m_renameHook = 0;
};
