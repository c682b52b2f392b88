// One side of a dock site (or the inside of a mini frame): rows of control bars, laid out along
// the side.
#pragma once

#include "uictl/bars/control_bar.h"

#include <vector>

class DockBar : public CUxControlBar {
 public:
  DockBar(QWidget* parent, unsigned dockBarId, bool floating);

  // The docked bars in rows: the array starts with a null and a null ends every row.
  std::vector<CUxControlBar*> m_arrBars{nullptr};
  bool m_bFloating = false;

  // Docks `bar` at the row and place `screenRect` points at, or in a new last row.
  void DockControlBar(CUxControlBar* bar, const QRect* screenRect = nullptr);
  // Takes `bar` out; an emptied row goes with it.
  bool RemoveControlBar(CUxControlBar* bar);
  int FindBar(const CUxControlBar* bar) const;
  int GetDockedCount() const;
  int GetDockedVisibleCount() const;

  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
};
