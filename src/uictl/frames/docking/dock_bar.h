// One side of a dock site (or the inside of a mini frame): rows of control bars, laid out along
// the side.
#pragma once

#include "uictl/bars/toolbar/control_bar.h"

#include <QRect>
#include <vector>

class MiniDockFrame;

class DockBar : public CUxControlBar {
 public:
  DockBar(QWidget* parent, unsigned dockBarId, bool floating);
  ~DockBar() override;

  // The docked bars in rows: the array starts with a null and a null ends every row.
  std::vector<CUxControlBar*> m_arrBars{nullptr};
  bool m_bFloating = false;
  // Set by whoever lays the dock bar out: the room it has (empty: the dock site's client area),
  // and whether the bars are only measured, not moved.
  QRect m_rectLayout;
  bool m_bLayoutQuery = false;

  // Docks `bar` at the row and place `screenRect` points at, or in a new last row.
  void DockControlBar(CUxControlBar* bar, const QRect* screenRect = nullptr);
  // Takes `bar` out; an emptied row goes with it.
  bool RemoveControlBar(CUxControlBar* bar);
  int FindBar(const CUxControlBar* bar) const;
  int GetDockedCount() const;
  int GetDockedVisibleCount() const;
  bool IsHorizontalSide() const { return m_dwStyle & CbrsOrientHorz; }
  // The mini frame this side is the inside of; null for a side of the dock site.
  MiniDockFrame* FloatingFrame() const;
  // The layout mode a docked or floating bar is asked for its size with.
  static unsigned layoutModeOf(const CUxControlBar* bar);

  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
  // Measures the rows without moving a bar.
  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Puts `bar` into the row across whose band the middle of `rect` (in this bar's coordinates)
  // falls, after the bars that start before it, or into a new row before, between or after rows.
  void insert(CUxControlBar* bar, const QRect& rect);
  void placeBar(CUxControlBar* bar, const QRect& rect);
  // The dock site's idle layout, or the mini frame's when this side floats.
  void askForLayout();
};

// Moves `widget` under `parent`, keeping it shown unless it was hidden on purpose.
void reparentKeepingVisibility(QWidget* widget, QWidget* parent);
