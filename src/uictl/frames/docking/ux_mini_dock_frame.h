// The library's floating frame: a roll-up button in the caption that rolls a floating sizing bar
// up to the caption (and, in the auto-roll modes, down again while the mouse is over it), a
// caption kept on the work area, the library's context menu on its caption, and the follow
// loop that moves a menu torn off into a floating bar with the mouse.
#pragma once

#include "uictl/frames/docking/mini_dock_frame.h"

#include <QBasicTimer>

class CUxControlBar;
class CUxPopupMenu;
class CUxSizingControlBar;

// What a frame that keeps torn-off menu bars offers: forgetting a bar whose tear-off was
// cancelled (the frame's helper keeps the list).
class TearOffBarOwner {
 public:
  virtual ~TearOffBarOwner() = default;
  virtual void RemoveTearOffBar(CUxControlBar* bar) = 0;
};

// Roll modes of a floating sizing bar: 2 and 4 roll up by themselves once the mouse has left
// (4 also narrows the rolled frame to its caption text), 3 and 5 are the same modes pinned open.
enum RollMode : int { RollAuto = 2, RollAutoPinned = 3, RollAutoNarrow = 4, RollAutoNarrowPinned = 5 };
inline bool autoRolls(int mode) { return mode == RollAuto || mode == RollAutoNarrow; }

class CUxMiniDockFrameWnd : public MiniDockFrame {
 public:
  explicit CUxMiniDockFrameWnd(DockFrame* dockSite);
  ~CUxMiniDockFrameWnd() override;

  // The first bar of the frame when it is a sizing bar.
  CUxSizingControlBar* GetFirstSizingBar() const;
  // Moves the frame with the mouse until the button is released (true) or Escape or the right
  // button cancels: then the popup shows again and the new bar is deleted (false).
  bool MoveTearOffBar(CUxPopupMenu* popup);
  // Takes the roll state of the bar inside (its profile restores it through here).
  void SetRollState(int mode, bool rolledUp);
  // One 250 ms tick of the auto-roll timer.
  void OnRollTimer();
  bool IsRollTimerActive() const { return m_rollTimer.isActive(); }
  int NcHitTest(QPoint pos) const override;

  int m_nRollMode = 0;
  bool m_bRolledUp = false;
  QRect m_rcRollButton;  // widget coordinates
  int m_nRolledLeft = -1;
  int m_nRolledRight = -1;
  int m_nLeaveTicks = 0;

 protected:
  QRect AdjustGeometry(const QRect& proposed) override;
  void PaintNonClient(QPainter& painter) override;
  void OnNcLButtonDown(int hit, QPoint globalPos) override;
  void OnNcRButtonDown(int hit, QPoint globalPos) override;
  void OnNcMouseMove(int hit, QPoint globalPos) override;
  bool CanClose() override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void switchRollMode();
  void setRolledUp(bool rolledUp);
  void keepCaptionOnWorkArea();

  QBasicTimer m_rollTimer;
};
