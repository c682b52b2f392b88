// A dockable bar whose size the user drags by its edges. Docked it keeps one size for the top
// and bottom sides, one for the left and right sides and one while floating; the bars of a row
// share the row's length, and the edge facing the client area sets the row's thickness. A docked
// bar can show a caption strip with a close and an expand button, and its sizes, expanded and
// rolled state and active tab can be kept in the profile.
#pragma once

#include "uictl/bars/toolbar/control_bar.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"

#include <QPointer>
#include <string>
#include <vector>

class CUxTabWnd;
class DockBar;

// Edge bits of `m_dwEdgeMask`.
enum SizingEdge : unsigned { EdgeLeft = 1, EdgeRight = 2, EdgeTop = 4, EdgeBottom = 8, EdgesInUse = 16 };

class CUxSizingControlBar : public CUxControlBar {
 public:
  CUxSizingControlBar();
  ~CUxSizingControlBar() override;

  // Makes the bar a child of `parent` (the frame that docks it) with the three sizes at
  // `defaultSize`; with `hasGripper` it shows a caption strip. False without a parent.
  virtual bool Create(const QString& title, QWidget* parent, platform::Size defaultSize, bool hasGripper, unsigned id,
                      unsigned style);
  virtual void SetMinimumSize(int cx, int cy);
  virtual void SetMaximumSize(int cx, int cy);
  virtual void RestoreProfileState(const std::wstring& profile);
  virtual void StoreProfileState(const std::wstring& profile);
  // Asked before the close button hides the bar and before its floating frame closes.
  virtual bool CanHideBar() { return true; }
  virtual void BeginEdgeDrag(int edge);
  virtual void EndEdgeDrag();
  virtual void OnEdgeDragMove(QPoint point);
  // Shows the dragged edge's strip at the bar's current size; a second call removes it.
  virtual void ToggleDragFeedback();
  // Places the bars of the row side by side in row order.
  virtual void PackRow();
  virtual void PaintCaptionStrip(platform::Dc* dc, const platform::Rect& rect);
  virtual void EnableChildWindows(bool disable);

  bool IsDockedHorizontally() const;
  bool IsDockedVertically() const;
  bool IsFloatingBar() const;
  bool IsDraggingRowThickness() const;
  // Gives the bar the whole row, or the row back to its bars; `toggle` flips the expanded state.
  void SwitchRowFill(bool toggle);
  // Shares `length` between the row's sizing bars; false when their minimums do not fit, and the
  // bar has moved into a row of its own.
  bool ShareRowLength(int length, bool horizontal);

  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
  platform::Size CalcDynamicLayout(int length, unsigned mode) override;

  // Non-client parts, in widget coordinates.
  QRect ClientRect() const { return m_rcClient; }
  QRect CaptionRect() const { return m_rcCaption; }
  int NcHitTest(QPoint pos) const;
  // The sizing edges (SizingEdge bits) the user can drag now.
  unsigned UsableEdges() const { return m_nUsableEdges; }
  // The dock bar id of the side the bar is docked on; any other value is floating.
  unsigned DockSide() const { return m_nDockSide; }
  // The visible sizing bars of this bar's row, in row order.
  std::vector<CUxSizingControlBar*> RowSizingBars() const;

  bool m_bStoreTabState = true;
  platform::Size m_sizeDockedH{200, 200};
  platform::Size m_sizeDockedV{200, 200};
  platform::Size m_sizeFloating{200, 200};
  unsigned m_dwEdgeMask = 0;
  int m_nDragEdge = 0;
  platform::Size m_sizeMaximum{-1, -1};
  platform::Size m_sizeMinimum{33, 32};
  platform::Size m_sizeDragMin;
  platform::Size m_sizeDragMax;
  platform::Size m_sizeBeforeChange;
  QPoint m_ptDragOrigin;
  bool m_bEdgeDrag = false;
  bool m_bJustShown = false;
  bool m_bRowLayoutAsked = false;
  unsigned m_nDockSide = 0;
  int m_nEdgeWidth = 6;
  int m_nCaptionWidth = 0;
  bool m_bFillsRow = false;
  bool m_bAloneInRow = true;
  bool m_bCaptionActive = false;
  int m_nFrameMargin = 5;
  int m_nRollMode = 0;
  bool m_bRolledUp = false;
  CaptionButton m_capBtnHide;
  CaptionButton m_capBtnFill;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  virtual void OnNcLButtonDown(int hit, QPoint pos);

  // The dock bar holding the bar, or null.
  DockBar* dockBar() const;
  // The size kept for the side the bar is docked on now.
  platform::Size& dockedSize() { return IsDockedVertically() ? m_sizeDockedV : m_sizeDockedH; }
  // Recomputes the client rectangle, the usable edges and the caption buttons.
  void RecalcNonClient();

 private:
  void refreshDockSide();
  // The caption button at `pos`, or null.
  CaptionButton* buttonAt(QPoint pos);
  void highlightButton(CaptionButton* button);
  void releaseButtons();
  void sendPopupMenuRequest(QPoint globalPos);
  void stopTracking();
  void updateExpandTooltip();
  QWidget* dockingFrame() const;
  QRect edgeStrip(int edge) const;
  void startBarDrag(QPoint globalPos);
  // The one tab window among the bar's children; null with none or several.
  CUxTabWnd* singleTabWindow() const;

  // Where the row's length is measured: the dock bar's width, or its height less 2; an
  // expanded bar's length is the width + 2.
  int rowLength(bool expanded) const;
  void markExpandedAfterDrag();

  QRect m_rcClient;
  QRect m_rcCaption;
  unsigned m_nUsableEdges = 0;
  QPoint m_ptLastPress;
  // The bar across the dragged edge, and its length when the drag began.
  QPointer<CUxSizingControlBar> m_pDragNeighbour;
  int m_nNeighbourBefore = 0;
  QPointer<QWidget> m_pDragFeedback;
};
