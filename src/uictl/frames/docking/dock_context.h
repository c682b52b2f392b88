// Moves a bar between the sides of its dock site and floating frames: a drag shows a tracker
// where the bar would go, the release docks it on the side under it or floats it (Ctrl keeps it
// from docking), Escape or the right button cancels; a double click toggles between the side the
// bar was docked on last and the place it floated at last; a floating frame's border resizes it.
#pragma once

#include "uictl/bars/toolbar/control_bar.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class DockBar;
class DockFrame;
class DragTracker;
class MiniDockFrame;

class DockContext : public QObject, public ControlBarDockContext {
 public:
  DockContext(CUxControlBar* bar, DockFrame* dockSite);
  ~DockContext() override;

  void StartDrag(QPoint globalPos) override;
  void StartResize(int hitTest, QPoint globalPos) override;
  void ToggleDocking() override;
  bool IsTracking() const override { return m_mode != Mode::Idle; }
  // Where the tracker stands now, in screen coordinates; empty while nothing is tracked.
  QRect TrackerRect() const;

  // The layout reports where a docked bar stands, so that it can go back there.
  void RememberDockPosition(const DockBar* dockBar, const QRect& rect);

  unsigned m_uMRUDockID = 0;
  QRect m_rectMRUDockPos;  // in the dock bar's coordinates
  QPoint m_ptMRUFloatPos{-1, -1};
  unsigned m_dwMRUFloatStyle = CbrsAlignTop;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Mode { Idle, Drag, Resize };
  void beginTracking(Mode mode, QPoint globalPos);
  void track(QPoint globalPos, bool forceFloat);
  void finish(bool accept);
  void endDrag();
  void endResize();
  void stretch(QPoint globalPos);
  // The side a rectangle of this orientation would dock on, or null.
  DockBar* canDock() const;
  // A bar that sizes itself, or lies across, floats across.
  bool floatsAcross() const;
  void showTracker(const QRect& rect, int thickness);
  // The floating frame the bar is in, null while it is docked.
  MiniDockFrame* floatingFrame() const;
  // Lays the bar's side or floating frame out again after a drag that changed nothing.
  void restoreLayout();

  CUxControlBar* m_pBar;
  QPointer<DockFrame> m_pDockSite;
  Mode m_mode = Mode::Idle;
  int m_mouseHook = 0;
  bool m_bMoved = false;
  bool m_bForceFrame = false;
  QPoint m_ptStart, m_ptLast;
  // Candidate rectangles of the bar docked across and down, and of its floating frame.
  QRect m_rectDragHorz, m_rectDragVert, m_rectFrameDragHorz, m_rectFrameDragVert;
  DockBar* m_pOverDockBar = nullptr;
  // Resizing: the hit code of the border, the size asked for and the frame it gives.
  int m_nHitTest = 0;
  QRect m_rectRequestedSize, m_rectActualSize, m_rectActualFrameSize;
  QPointer<DragTracker> m_pTracker;
  unsigned m_dwStyle = 0;  // the bar's style when the drag began
  bool m_bHasFloatPos = false;
};
