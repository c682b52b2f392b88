// Bars docked in rows on a frame's sides, floated in mini frames and moved back, as the user
// drags and double-clicks them.
#include "platform/windows/command_target.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_context.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/mini_dock_frame.h"
#include "patience.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TestFrame : public DockFrame, public platform::CommandTarget {
 public:
  bool onCommand(unsigned id, int) override {
    commands.push_back(id);
    return true;
  }
  void onUpdateCommandUi(platform::CommandUi& ui) override { ui.enable(); }
  std::vector<unsigned> commands;
  int layouts = 0;

 protected:
  void PositionCentralWidget(const QRect& rect) override {
    ++layouts;
    DockFrame::PositionCentralWidget(rect);
  }
};

// An ordinary child widget whose own data starts, just as a bar's does, with a pointer to the
// frame's dock site: the frame must not take it for a bar when it lets its bars go.
class SitePointerWidget : public QWidget {
 public:
  SitePointerWidget(DockFrame* frame, bool* intact) : QWidget(frame), site(frame), frame_(frame), intact_(intact) {}
  ~SitePointerWidget() override { *intact_ = site == static_cast<ControlBarDockSite*>(frame_); }
  ControlBarDockSite* site;

 private:
  DockFrame* frame_;
  bool* intact_;
};

class DockFrameTest : public ::testing::Test {
 protected:
  DockFrameTest() {
    frame.resize(600, 400);
    frame.EnableDocking(CbrsAlignAny);
    frame.SetCentralWidget(central);
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame, testwait::kPatienceMs));
  }

  CUxToolBar* makeBar(unsigned id, int buttons = 4) {
    if (sharedImages(kImages).GetCount() == 0) {
      QImage strip(16 * 10, 15, QImage::Format_RGB32);
      strip.fill(Qt::darkCyan);
      sharedImages(kImages).AddImage(strip);
    }
    auto* bar = new CUxToolBar(&frame);
    bar->Create(&frame, 0x50000000u | CbrsAlignTop | CbrsSizeDynamic, id);
    for (int i = 0; i < buttons; ++i) bar->InsertButton(std::make_unique<CUxToolbarButton>(100 + i, i % 10));
    bar->EnableDocking(CbrsAlignAny);
    return bar;
  }
  // A bar as the user reaches it, wherever it is docked or floats.
  template <class Bar = CUxToolBar>
  Bar* control(unsigned id) {
    return frame.findChild<Bar*>(QStringLiteral("id%1").arg(id));
  }
  DockBar* side(unsigned id) const { return frame.GetDockBar(id); }
  static QPoint gripper(CUxControlBar* bar) { return bar->IsHorizontal() ? QPoint(3, bar->height() / 2) : QPoint(bar->width() / 2, 3); }
  // `global` in the coordinates of `widget`, as QTest wants it.
  static QPoint at(QWidget* widget, QPoint global) { return widget->mapFromGlobal(global); }
  QPoint frameMiddle() const { return frame.mapToGlobal(QPoint(300, 220)); }
  static void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }

  UxLibrary library;
  TestFrame frame;
  QWidget* central = new QWidget;
};

TEST_F(DockFrameTest, BarsDockInNullSeparatedRowsAndLeaveEmptiedRows) {
  CUxToolBar* a = makeBar(0xE801);
  CUxToolBar* b = makeBar(0xE802);
  CUxToolBar* c = makeBar(0xE803);
  frame.DockControlBar(a, DockBarTop);
  frame.DockControlBar(b, DockBarTop);
  frame.RecalcLayout(true);
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, a, nullptr, b, nullptr}));
  EXPECT_EQ(b->y(), a->height());

  // Dropped to the right of the first bar, into its row.
  const QRect drop(a->mapToGlobal(QPoint(a->width() + 40, 0)), c->size());
  frame.DockControlBar(c, DockBarTop, &drop);
  frame.RecalcLayout(true);
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, a, c, nullptr, b, nullptr}));
  EXPECT_EQ(c->y(), a->y());
  EXPECT_EQ(c->x(), a->width() + 40);
  EXPECT_EQ(central->geometry().top(), side(DockBarTop)->height());
  EXPECT_EQ(side(DockBarTop)->height(), a->height() + b->height());

  // On the left side the bar stands upright; the row the bar leaves empty goes with it.
  frame.DockControlBar(b, DockBarLeft);
  frame.RecalcLayout(true);
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, a, c, nullptr}));
  EXPECT_EQ(b->parentWidget(), side(DockBarLeft));
  EXPECT_FALSE(b->IsHorizontal());
  EXPECT_GT(b->height(), b->width());
  EXPECT_EQ(central->geometry().left(), b->width());

  // A bar that grows asks for a new layout, which comes when the program is idle.
  const int width = c->width();
  c->InsertButton(std::make_unique<CUxToolbarButton>(200, 0));
  c->AdjustLayout();
  settle();
  EXPECT_GT(c->width(), width);

  delete a;
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, c, nullptr}));
  EXPECT_EQ(frame.ControlBars(), (std::vector<CUxControlBar*>{b, c}));
}

TEST_F(DockFrameTest, QueryGivesTheFreeRectangleAndMovesNothing) {
  frame.DockControlBar(makeBar(0xE801), DockBarTop);
  frame.RecalcLayout(true);
  const QRect before = central->geometry();
  CUxToolBar* left = makeBar(0xE802);
  frame.DockControlBar(left, DockBarLeft);
  QRect free;
  frame.RepositionBars(0, 0xFFFF, kFirstPaneId, Reposition::Query, &free);
  EXPECT_EQ(central->geometry(), before);
  EXPECT_EQ(free.top(), before.top());
  EXPECT_GT(free.left(), 0);
  EXPECT_EQ(free.right(), frame.width() - 1);
  EXPECT_EQ(free.bottom(), frame.height() - 1);
  frame.RecalcLayout(true);
  EXPECT_EQ(central->geometry(), free);

  // Extra borders are taken off what the central pane gets.
  QRect borders(5, 6, 0, 0);
  borders.setRight(7);
  borders.setBottom(8);
  frame.RepositionBars(0, 0xFFFF, kFirstPaneId, Reposition::Extra, &borders);
  EXPECT_EQ(central->geometry(), free.adjusted(5, 6, -7, -8));
}

TEST_F(DockFrameTest, DelayedShowAndLayoutWaitForIdleAndComeOnce) {
  CUxToolBar* bar = makeBar(0xE801);
  frame.DockControlBar(bar, DockBarTop);
  frame.RecalcLayout(true);
  const int top = central->y();
  ASSERT_GT(top, 0);

  frame.layouts = 0;
  for (int i = 0; i < 3; ++i) frame.DelayRecalcLayout();
  EXPECT_EQ(frame.layouts, 0);
  QApplication::processEvents();
  EXPECT_EQ(frame.layouts, 1);

  frame.ShowControlBar(bar, false, true);
  EXPECT_FALSE(bar->isHidden());
  EXPECT_EQ(central->y(), top);
  settle();
  EXPECT_TRUE(bar->isHidden());
  EXPECT_EQ(central->y(), 0);

  frame.ShowControlBar(bar, true, false);
  EXPECT_FALSE(bar->isHidden());
  EXPECT_EQ(central->y(), top);
}

TEST_F(DockFrameTest, DraggingFloatsTheBarAndDocksItOnTheSideUnderTheCursor) {
  frame.DockControlBar(makeBar(0xE801), DockBarTop);
  CUxToolBar* bar = control(0xE801);
  frame.RecalcLayout(true);
  const QRect docked = bar->geometry();
  auto* context = dynamic_cast<DockContext*>(bar->m_pDockContext.get());
  ASSERT_TRUE(context);

  // Escape puts everything back.
  QTest::mousePress(bar, Qt::LeftButton, {}, gripper(bar));
  QTest::mouseMove(bar, at(bar, frameMiddle()));
  EXPECT_TRUE(context->IsTracking());
  EXPECT_FALSE(context->TrackerRect().isEmpty());
  QTest::keyClick(&frame, Qt::Key_Escape);
  EXPECT_FALSE(context->IsTracking());
  EXPECT_TRUE(context->TrackerRect().isEmpty());
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at(bar, frameMiddle()));
  EXPECT_FALSE(bar->IsFloating());
  EXPECT_EQ(bar->geometry(), docked);

  // Released over the middle of the frame, the bar floats there.
  QTest::mousePress(bar, Qt::LeftButton, {}, gripper(bar));
  QTest::mouseMove(bar, at(bar, frameMiddle()));
  const QRect tracked = context->TrackerRect();
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at(bar, frameMiddle()));
  ASSERT_TRUE(bar->IsFloating());
  ASSERT_EQ(frame.FloatingFrames().size(), 1u);
  MiniDockFrame* mini = frame.FloatingFrames().front();
  EXPECT_TRUE(mini->isVisible());
  EXPECT_EQ(mini->pos(), tracked.topLeft());
  EXPECT_EQ(bar->parentWidget(), mini->GetDockBar());
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr}));
  EXPECT_EQ(central->y(), 0);

  // With Ctrl held the release over the top edge leaves the bar floating.
  const QPoint caption = mini->CaptionRect().topLeft() + QPoint(4, 4);
  const QPoint topEdge = frame.mapToGlobal(QPoint(300, 1));
  QTest::mousePress(mini, Qt::LeftButton, {}, caption);
  QTest::mouseMove(mini, at(mini, topEdge));
  QTest::mouseRelease(mini, Qt::LeftButton, Qt::ControlModifier, at(mini, topEdge));
  EXPECT_TRUE(bar->IsFloating());

  // Without it, the caption drag to the left edge docks the bar there, upright.
  const QPoint leftEdge = frame.mapToGlobal(QPoint(1, 200));
  QTest::mousePress(mini, Qt::LeftButton, {}, mini->CaptionRect().topLeft() + QPoint(4, 4));
  QTest::mouseMove(mini, at(mini, leftEdge));
  QTest::mouseRelease(mini, Qt::LeftButton, {}, at(mini, leftEdge));
  EXPECT_FALSE(bar->IsFloating());
  EXPECT_EQ(bar->parentWidget(), side(DockBarLeft));
  EXPECT_FALSE(bar->IsHorizontal());
  EXPECT_EQ(central->x(), bar->width());
  settle();
  EXPECT_TRUE(frame.FloatingFrames().empty());

  // Commands of a floating bar still reach the frame.
  frame.FloatControlBar(bar, frameMiddle());
  const platform::Rect first = bar->GetButton(0)->m_rect;
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ClientToWidget({first.left + 5, first.top + 5}));
  EXPECT_EQ(frame.commands, (std::vector<unsigned>{100}));
}

TEST_F(DockFrameTest, DoubleClickTogglesBetweenTheRowAndTheFloatingPlace) {
  frame.DockControlBar(makeBar(0xE801), DockBarTop);
  CUxToolBar* first = control(0xE801);
  const QRect drop(first->mapToGlobal(QPoint(first->width() + 30, 0)), makeBar(0xE802)->size());
  frame.DockControlBar(control(0xE802), DockBarTop, &drop);
  CUxToolBar* bar = control(0xE802);
  frame.RecalcLayout(true);
  const QRect docked = bar->geometry();

  QTest::mouseDClick(bar, Qt::LeftButton, {}, gripper(bar));
  ASSERT_TRUE(bar->IsFloating());
  MiniDockFrame* mini = frame.FloatingFrames().front();
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, first, nullptr}));

  QTest::mouseDClick(mini, Qt::LeftButton, {}, mini->CaptionRect().topLeft() + QPoint(4, 4));
  EXPECT_FALSE(bar->IsFloating());
  EXPECT_EQ(side(DockBarTop)->m_arrBars, (std::vector<CUxControlBar*>{nullptr, first, bar, nullptr}));
  EXPECT_EQ(bar->geometry(), docked);
}

TEST_F(DockFrameTest, AFloatingFrameResizesItsBarAndItsCloseButtonHidesIt) {
  frame.FloatControlBar(makeBar(0xE801, 8), frameMiddle());
  CUxToolBar* bar = control(0xE801);
  MiniDockFrame* mini = frame.FloatingFrames().front();
  const QSize wide = mini->size();

  // Dragging the right border to half the width wraps the buttons into more rows.
  const QPoint border(mini->width() - 2, mini->height() / 2);
  ASSERT_EQ(mini->NcHitTest(border), HitRight);
  QTest::mousePress(mini, Qt::LeftButton, {}, border);
  QTest::mouseMove(mini, border - QPoint(wide.width() / 2, 0));
  QTest::mouseRelease(mini, Qt::LeftButton, {}, border - QPoint(wide.width() / 2, 0));
  EXPECT_LT(mini->width(), wide.width());
  EXPECT_GT(mini->height(), wide.height());
  EXPECT_EQ(bar->size(), mini->GetDockBar()->size());

  const QPoint close = mini->CloseButtonRect().center();
  QTest::mousePress(mini, Qt::LeftButton, {}, close);
  QTest::mouseRelease(mini, Qt::LeftButton, {}, close);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(mini->isVisible());
  frame.ShowControlBar(bar, true, false);
  EXPECT_TRUE(mini->isVisible());

  // The floating frame goes and comes with its frame.
  frame.hide();
  EXPECT_FALSE(mini->isVisible());
  frame.show();
  EXPECT_TRUE(mini->isVisible());
}

TEST_F(DockFrameTest, ABarThatMayNotBeClosedFloatsWithAnInactiveCloseButton) {
  // Dark pixels of the close glyph: an active button shows them, an inactive one is greyed.
  const auto darkInClose = [](MiniDockFrame* mini) {
    const QImage shown = mini->grab().toImage().copy(mini->CloseButtonRect());
    int dark = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) dark += qGray(shown.pixel(x, y)) < 60;
    return dark;
  };
  const auto pressClose = [](MiniDockFrame* mini) {
    const QPoint close = mini->CloseButtonRect().center();
    QTest::mousePress(mini, Qt::LeftButton, {}, close);
    QTest::mouseRelease(mini, Qt::LeftButton, {}, close);
  };
  frame.FloatControlBar(makeBar(0xE801), frameMiddle());
  MiniDockFrame* ordinary = frame.FloatingFrames().back();
  EXPECT_GT(darkInClose(ordinary), 0);

  // A permanent bar: the button stays inactive, and neither a press nor a close request hides it.
  CUxToolBar* permanent = makeBar(0xE802);
  permanent->m_bPermanent = true;
  frame.FloatControlBar(permanent, frameMiddle() + QPoint(0, 80));
  MiniDockFrame* mini = frame.FloatingFrames().back();
  ASSERT_NE(mini, ordinary);
  EXPECT_EQ(darkInClose(mini), 0);
  pressClose(mini);
  EXPECT_TRUE(mini->isVisible());
  EXPECT_FALSE(permanent->isHidden());
  mini->close();
  EXPECT_TRUE(mini->isVisible());
  EXPECT_FALSE(permanent->isHidden());

  // The menu bar may never be closed: floating, it cannot be lost.
  const platform::MenuHandle menu = platform::createMenu();
  const platform::MenuHandle sub = platform::createPopupMenu();
  platform::appendMenu(sub, platform::MfString, 100, L"Item");
  platform::appendMenu(menu, platform::MfPopup, sub.id(), L"&File");
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->Create(&frame);
  menuBar->CreateFromMenu(menu, true);
  menuBar->EnableDocking(CbrsAlignAny);
  frame.FloatControlBar(menuBar, frameMiddle() + QPoint(0, -80));
  MiniDockFrame* menuFrame = frame.FloatingFrames().back();
  ASSERT_TRUE(menuBar->IsFloating());
  EXPECT_EQ(darkInClose(menuFrame), 0);
  pressClose(menuFrame);
  menuFrame->close();
  EXPECT_TRUE(menuFrame->isVisible());
  EXPECT_FALSE(menuBar->isHidden());

  // The ordinary bar's frame still closes.
  pressClose(ordinary);
  EXPECT_FALSE(ordinary->isVisible());
}

TEST_F(DockFrameTest, AMenuBarFloatedAboveTheScreenStaysOnTheWorkArea) {
  const platform::MenuHandle menu = platform::createMenu();
  for (const wchar_t* title : {L"&File", L"&Edit"}) {
    const platform::MenuHandle sub = platform::createPopupMenu();
    platform::appendMenu(sub, platform::MfString, 100, L"Item");
    platform::appendMenu(menu, platform::MfPopup, sub.id(), title);
  }
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->Create(&frame);
  menuBar->CreateFromMenu(menu, true);
  menuBar->EnableDocking(CbrsAlignAny);
  frame.DockControlBar(menuBar, DockBarTop);
  auto* bar = control<CUxMenuBar>(0xE81A);
  frame.RecalcLayout(true);
  EXPECT_EQ(bar->width(), frame.width());

  const QPoint above = frame.mapToGlobal(QPoint(300, 0)) - QPoint(0, 200);
  QTest::mousePress(bar, Qt::LeftButton, {}, gripper(bar));
  QTest::mouseMove(bar, at(bar, above));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, at(bar, above));
  ASSERT_TRUE(bar->IsFloating());
  const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_GE(frame.FloatingFrames().front()->y(), workArea.top());
  EXPECT_LT(bar->width(), frame.width());

  QTest::mouseDClick(frame.FloatingFrames().front(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_FALSE(bar->IsFloating());
  EXPECT_EQ(bar->width(), frame.width());
}

TEST(DockFrameLifetime, ClosingTheFrameLeavesItsOtherChildWidgetsAlone) {
  UxLibrary library;
  bool intact = false;
  {
    DockFrame frame;
    frame.EnableDocking(CbrsAlignAny);
    auto* bar = new CUxToolBar(&frame);
    bar->Create(&frame, 0x50000000u | CbrsAlignTop, 0xE801);
    bar->EnableDocking(CbrsAlignAny);
    frame.DockControlBar(bar, DockBarTop);
    new SitePointerWidget(&frame, &intact);
  }
  EXPECT_TRUE(intact);
}

}  // namespace
