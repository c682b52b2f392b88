// A top-level window that docks control bars on its four sides, floats them in mini frames and
// shares its client area between the bars and one central pane. The library's frame windows
// build on it.
#pragma once

#include "uictl/bars/toolbar/control_bar.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class DockBar;
class MiniDockFrame;

enum DockBarId : unsigned {
  DockBarTop = 59419, DockBarLeft = 59420, DockBarRight = 59421, DockBarBottom = 59422, DockBarFloat = 59423,
};
constexpr unsigned kFirstPaneId = 59648;  // the central pane's id in RepositionBars
constexpr unsigned kFirstControlBarId = 0xE800, kLastControlBarId = 0xE8FF;
constexpr unsigned kStatusBarId = 0xE801;  // the frame's status bar

enum class Reposition { Default, Query, Extra };

class DockFrame : public QWidget, public ControlBarDockSite {
 public:
  explicit DockFrame(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);
  ~DockFrame() override;

  // Creates the dock bars of the sides named by `alignment` (CbrsAlign* bits).
  void EnableDocking(unsigned alignment);
  DockBar* GetDockBar(unsigned dockBarId) const;
  // Docks `bar` on dock bar `dockBarId` (0: the first side the bar allows); with `screenRect` the
  // bar goes to the row and place that rectangle points at, else into a new last row.
  void DockControlBar(CUxControlBar* bar, unsigned dockBarId = 0, const QRect* screenRect = nullptr);
  // Floats `bar` in a mini frame with its top-left at `screenPos`, laid out along `alignment`.
  void FloatControlBar(CUxControlBar* bar, QPoint screenPos, unsigned alignment = CbrsAlignTop);
  CUxControlBar* GetControlBar(unsigned id) const;
  // The bars this frame is the dock site of, docked, floating or hidden.
  const std::vector<CUxControlBar*>& ControlBars() const;

  void SetCentralWidget(QWidget* pane);
  QWidget* CentralWidget() const;

  // Lays out the bars whose ids lie in [first, last] inside `clientRect` (default: the whole
  // window) and gives the rest to the window `leftOver` (kFirstPaneId: the central pane).
  // Query mode moves nothing and returns the rest in `rectParam`; Extra mode takes `rectParam`
  // as extra borders for the rest.
  void RepositionBars(unsigned first, unsigned last, unsigned leftOver, Reposition mode = Reposition::Default,
                      QRect* rectParam = nullptr, const QRect* clientRect = nullptr, bool stretch = true);

  QWidget* DockSiteWidget() override { return this; }
  void RecalcLayout(bool notify) override;
  void DelayRecalcLayout() override;
  void ShowControlBar(CUxControlBar* bar, bool show, bool delay) override;
  std::unique_ptr<ControlBarDockContext> CreateDockContext(CUxControlBar* bar) override;
  void OnBarDestroyed(CUxControlBar* bar) override;

  // The side a bar dragged to `screenRect` would dock on, among the sides `dockStyle` allows
  // (CbrsAlign* bits); null when it touches none. An empty side counts one pixel thick.
  DockBar* CanDock(const QRect& screenRect, unsigned dockStyle) const;
  // The floating frames that hold bars of this frame.
  std::vector<MiniDockFrame*> FloatingFrames() const;

 protected:
  // The mini frame a bar floats in; the library's frames make theirs.
  virtual MiniDockFrame* CreateFloatingFrame(unsigned barStyle);
  // Places the central pane; the MDI frame narrows it for its tab strip first.
  virtual void PositionCentralWidget(const QRect& rect);

  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void addControlBar(CUxControlBar* bar);
  // One bar's share of `rect` (shrunk by what the bar takes); `total` collects the bars' extent.
  void layOutBar(CUxControlBar* bar, QRect& rect, QSize& total, bool query, bool stretch);

  // The sides in the order they are laid out: top, bottom, left, right.
  std::array<DockBar*, 4> m_dockBars{};
  std::vector<CUxControlBar*> m_listControlBars;
  QPointer<QWidget> m_pCentralWidget;
  QTimer m_delayedLayout;
  bool m_bInRecalcLayout = false;
};
