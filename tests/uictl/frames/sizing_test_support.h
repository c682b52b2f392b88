// What the sizing-bar and floating-frame tests share: a 1000 x 700 frame that floats its bars in
// the library's floating frame and records cancelled tear-offs, and sizing bars docked in rows.
#pragma once

#include "uictl/bars/library_globals.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/sizing_control_bar.h"
#include "uictl/frames/docking/ux_mini_dock_frame.h"
#include "uictl/frames/window_styles.h"
#include "patience.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

class RollingFrame : public CUxMiniDockFrameWnd {
 public:
  using CUxMiniDockFrameWnd::CUxMiniDockFrameWnd;
  using CUxMiniDockFrameWnd::OnNcMouseMove;
};

class SizingFrame : public DockFrame, public TearOffBarOwner {
 public:
  SizingFrame() {
    EnableDocking(CbrsAlignAny);
    resize(1000, 700);
  }
  void RemoveTearOffBar(CUxControlBar* bar) override { tornOffRemoved.push_back(bar); }
  std::vector<CUxControlBar*> tornOffRemoved;

 protected:
  MiniDockFrame* CreateFloatingFrame(unsigned barStyle) override {
    auto* frame = new RollingFrame(this);
    frame->Create(barStyle);
    return frame;
  }
};

class SizingTest : public ::testing::Test {
 protected:
  SizingTest() {
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));
  }

  // A captioned bar of `size` docked on `side` in a new row, or in the row of `after`, right of it.
  CUxSizingControlBar* dock(unsigned side, platform::Size size, CUxSizingControlBar* after = nullptr) {
    auto* bar = new CUxSizingControlBar;
    const unsigned id = nextId++;
    bar->Create(QStringLiteral("バー%1").arg(id), &frame, size, true, id, WsChild | WsVisible | CbrsAlignTop);
    bar->EnableDocking(CbrsAlignAny);
    if (after) {
      const QRect beside(after->mapToGlobal(QPoint(after->width(), 0)), QSize(size.cx, size.cy));
      frame.DockControlBar(bar, side, &beside);
    } else {
      frame.DockControlBar(bar, side);
    }
    frame.RecalcLayout(true);
    return bar;
  }

  // Left button input on a bar at widget points, as the user's drag gives it.
  static void drag(CUxSizingControlBar* bar, QPoint from, QPoint to, bool release = true) {
    send(bar, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(bar, QEvent::MouseMove, to, Qt::LeftButton);
    if (release) send(bar, QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  static void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }

  UxLibrary library;
  SizingFrame frame;
  unsigned nextId = 0xE810;
};
