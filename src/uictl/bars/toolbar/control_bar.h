// What the toolbars read of a control bar: the bar style word with its alignment, border,
// gripper and floating bits, a control id, four borders, an owner, the width a floating bar
// had last, and a show or hide that waits for the next layout.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QWidget>

#include <memory>
#include <optional>

enum ControlBarStyle : unsigned {
  CbrsFloating = 0x1, CbrsSizeFixed = 0x2, CbrsSizeDynamic = 0x4, CbrsHideInplace = 0x8,
  CbrsTooltips = 0x10, CbrsFlyBy = 0x20,
  CbrsAlignLeft = 0x1000, CbrsAlignTop = 0x2000, CbrsAlignRight = 0x4000, CbrsAlignBottom = 0x8000,
  CbrsAlignAny = 0xF000, CbrsOrientHorz = 0xA000, CbrsGripper = 0x400000, CbrsAll = 0x40FFFF,
};

// Modes of a layout request.
enum LayoutMode : unsigned {
  LmStretch = 0x1, LmHorz = 0x2, LmMruWidth = 0x4, LmHorzDock = 0x8, LmVertDock = 0x10, LmLengthY = 0x20,
  LmCommit = 0x40,
};

class CUxControlBar;

// Moves a bar by its gripper or caption and resizes a floating one; the frames' dock context
// implements it.
class ControlBarDockContext {
 public:
  virtual ~ControlBarDockContext() = default;
  virtual void StartDrag(QPoint globalPos) = 0;
  // `hitTest` is the sizing border's hit code (10 left ... 17 bottom right).
  virtual void StartResize(int hitTest, QPoint globalPos) = 0;
  // Docked to floating and back, where the bar was last.
  virtual void ToggleDocking() = 0;
  // A drag or resize is under way.
  virtual bool IsTracking() const { return false; }

  // Set during a drag by a bar that keeps its floating frame on the work area: the frame it
  // floats in goes no further left or up than this; the drag's end clears it.
  std::optional<QPoint> m_ptWorkAreaOrigin;
};

// What a bar asks of the frame that docks it; the library's frames implement it.
class ControlBarDockSite {
 public:
  virtual ~ControlBarDockSite() = default;
  virtual QWidget* DockSiteWidget() = 0;
  virtual void RecalcLayout(bool notify) = 0;
  // One layout when the event loop is next idle, however often it is asked for.
  virtual void DelayRecalcLayout() = 0;
  virtual void ShowControlBar(CUxControlBar* bar, bool show, bool delay) = 0;
  virtual std::unique_ptr<ControlBarDockContext> CreateDockContext(CUxControlBar* bar) = 0;
  // The bar is being destroyed: it leaves the site's lists and rows.
  virtual void OnBarDestroyed(CUxControlBar* bar) { (void)bar; }
};

class CUxControlBar : public QWidget {
 public:
  explicit CUxControlBar(QWidget* parent = nullptr);
  ~CUxControlBar() override;

  unsigned GetBarStyle() const { return m_dwStyle; }
  virtual void SetBarStyle(unsigned style) { m_dwStyle = style; }
  bool IsFloating() const { return m_dwStyle & CbrsFloating; }
  bool IsHorizontal() const { return m_dwStyle & CbrsOrientHorz; }
  // The control id; the widget's objectName is "id" and the number.
  unsigned GetDlgCtrlID() const { return m_nID; }
  void SetDlgCtrlID(unsigned id);
  // Commands and prompts go to the owner; without one, to the parent.
  QWidget* GetOwner() const;
  void SetOwner(QWidget* owner) { m_pOwner = owner; }
  void SetBorders(int left, int top, int right, int bottom);

  // Shrinks `rect` by the border bits (2 pixels each), the borders and, for a docked bar with a
  // gripper, the gripper's 7 pixels on the leading edge.
  virtual void CalcInsideRect(platform::Rect& rect, bool horizontal) const;
  // 32767 along a stretched bar, 0 otherwise.
  virtual platform::Size CalcFixedLayout(bool stretch, bool horizontal);
  virtual platform::Size CalcDynamicLayout(int length, unsigned mode);
  // A show or hide that takes effect at the next RecalcDelayShow.
  void DelayShow(bool show);
  // Shown, counting a show or hide that waits for the next layout; a bar not hidden on purpose
  // counts as shown while its window is not on the screen yet.
  bool IsVisible() const;
  virtual void RecalcDelayShow();
  QSize sizeHint() const override;
  // Lets the bar dock on the sides named by `alignment` (CbrsAlign* bits) of its dock site;
  // the dock site is the nearest parent that is one, and its dock context comes with the first call.
  void EnableDocking(unsigned alignment);

  // Set by the dock site: the frame that docks the bar, and the dock bar that holds it now.
  ControlBarDockSite* m_pDockSite = nullptr;
  CUxControlBar* m_pDockBar = nullptr;
  std::unique_ptr<ControlBarDockContext> m_pDockContext;
  unsigned m_dwDockStyle = 0;

  int m_cxLeftBorder = 6;
  int m_cxRightBorder = 6;
  int m_cyTopBorder = 1;
  int m_cyBottomBorder = 1;
  int m_nMRUWidth = 32767;
  enum StateFlags : unsigned { DelayHide = 0x1, DelayShowing = 0x2 };
  unsigned m_nStateFlags = 0;

 protected:
  unsigned m_dwStyle = 0;
  unsigned m_nID = 0;
  QWidget* m_pOwner = nullptr;
};
