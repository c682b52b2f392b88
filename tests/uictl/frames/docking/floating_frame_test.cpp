// The library's floating frame: rolling up by itself, staying on the work area, and a torn-off
// bar's follow loop cancelled with Escape.
#include "sizing_test_support.h"

#include "platform/windows/menu_handles.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/menus/popup_menu.h"

#include <QCursor>
#include <QPointer>
#include <QTimer>

using namespace platform;

namespace {

class FloatingTest : public SizingTest {
 protected:
  RollingFrame* floatBar(CUxSizingControlBar* bar) {
    frame.FloatControlBar(bar, QPoint(200, 200));
    auto* floating = dynamic_cast<RollingFrame*>(bar->window());
    if (floating) floating->RecalcLayout();
    return floating;
  }
  // The pointer rests far from the frame.
  static void moveAway() { QCursor::setPos(QPoint(5, 5)); }
};

class WorkAreaMetrics : public ClassicSystemMetrics {
 public:
  Rect workArea(Point) const override { return {0, 40, 1200, 900}; }
};

}  // namespace

TEST_F(FloatingTest, AutoRollModesRollUpAfterSixQuietTicksAndPinnedModesNever) {
  CUxSizingControlBar* bar = dock(DockBarTop, {300, 200});
  RollingFrame* floating = floatBar(bar);
  ASSERT_TRUE(floating);
  const int openHeight = floating->height();

  floating->SetRollState(RollAuto, true);
  const int rolledHeight = 2 * getSystemMetrics(SmCySizeFrame) + getSystemMetrics(SmCySmCaption) - 1;
  EXPECT_EQ(floating->height(), rolledHeight);
  // The pointer over the caption unrolls it and starts the countdown.
  floating->OnNcMouseMove(HitCaption, floating->mapToGlobal(floating->CaptionRect().center()));
  EXPECT_FALSE(bar->m_bRolledUp);
  EXPECT_TRUE(floating->IsRollTimerActive());
  EXPECT_GT(floating->height(), rolledHeight);
  moveAway();
  for (int tick = 0; tick < 5; ++tick) floating->OnRollTimer();
  EXPECT_FALSE(bar->m_bRolledUp);
  floating->OnRollTimer();  // 6 x 250 ms
  EXPECT_TRUE(bar->m_bRolledUp);
  EXPECT_FALSE(floating->IsRollTimerActive());
  EXPECT_EQ(floating->height(), rolledHeight);

  for (int pinned : {RollAutoPinned, RollAutoNarrowPinned}) {
    floating->SetRollState(pinned, false);
    for (int tick = 0; tick < 20; ++tick) floating->OnRollTimer();
    EXPECT_FALSE(bar->m_bRolledUp) << pinned;
    EXPECT_EQ(floating->height(), openHeight) << pinned;
  }
  // The roll button unpins: 3 becomes 2 again.
  floating->SetRollState(RollAutoPinned, false);
  QTest::mouseClick(floating, Qt::LeftButton, {}, floating->m_rcRollButton.center());
  EXPECT_EQ(bar->m_nRollMode, RollAuto);
}

TEST_F(FloatingTest, TheCaptionStaysOnTheWorkArea) {
  WorkAreaMetrics metrics;
  SystemMetricsOverride use(metrics);
  RollingFrame* floating = floatBar(dock(DockBarTop, {300, 200}));
  ASSERT_TRUE(floating);
  floating->move(100, -60);
  EXPECT_EQ(floating->pos(), QPoint(100, 40));
  floating->move(100, 2000);
  EXPECT_EQ(floating->pos(), QPoint(100, 900 - getSystemMetrics(SmCySmCaption)));
  floating->move(100, 300);
  EXPECT_EQ(floating->pos(), QPoint(100, 300));
}

TEST_F(FloatingTest, EscapeWhileATornOffBarFollowsTheMouseDeletesItAndShowsThePopupAgain) {
  QPointer<CUxSizingControlBar> bar = dock(DockBarTop, {200, 100});
  RollingFrame* floating = floatBar(bar);
  ASSERT_TRUE(floating);
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 100, L"開く");
  auto* popup = new CUxPopupMenu;
  ASSERT_TRUE(popup->Create(&frame, 300, 300, menu, false, true));
  QPointer<CUxPopupMenu> guard(popup);

  QTimer::singleShot(0, floating, [floating] { QTest::keyClick(floating, Qt::Key_Escape); });
  EXPECT_FALSE(floating->MoveTearOffBar(popup));
  EXPECT_TRUE(bar.isNull());
  ASSERT_TRUE(guard);
  EXPECT_TRUE(popup->isVisible());
  ASSERT_EQ(frame.tornOffRemoved.size(), 1u);
  popup->close();
}
