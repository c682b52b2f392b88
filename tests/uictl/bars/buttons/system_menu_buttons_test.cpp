// The menu bar's buttons of a maximised child: its system menu with live states, the double
// click that closes the child, the icon's size rule and the window buttons.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/system_menu_buttons.h"

#include "bars_test_support.h"
#include "toolbar_test_support.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr unsigned kScMaximize = 0xF030;

MenuHandle childSystemMenu() {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, kScRestore, L"元のサイズに戻す(&R)");
  appendMenu(menu, MfString, kScMinimize, L"最小化(&N)");
  appendMenu(menu, MfString, kScMaximize, L"最大化(&X)");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString, kScClose, L"閉じる(&C)\tCtrl+F4");
  return menu;
}

class MdiFrame : public TestFrame, public UxMdiChildHost {
 public:
  MenuHandle ActiveChildSystemMenu() const override { return systemMenu; }
  void SendActiveChildSysCommand(unsigned command) override { sent.push_back(command); }
  MenuHandle systemMenu;
  std::vector<unsigned> sent;
};

// Small icons of `icon` pixels beside small caption buttons of `caption` pixels.
class IconMetrics : public ClassicSystemMetrics {
 public:
  IconMetrics(int icon, int caption) : icon_(icon), caption_(caption) {}
  int metric(int index) const override {
    if (index == SmCxSmIcon || index == SmCySmIcon) return icon_;
    if (index == SmCySmSize) return caption_;
    return ClassicSystemMetrics::metric(index);
  }

 private:
  int icon_, caption_;
};

int pixelsOf(const QImage& image, COLORREF colour) { return countPixels(image, image.rect(), colour); }

}  // namespace

class SystemMenuButtonsTest : public ::testing::Test {
 protected:
  void TearDown() override { toolbarClassData().bCustomizeMode = false; }
  UxLibrary library;
};

TEST_F(SystemMenuButtonsTest, ExportShowsTheLiveStatesOfTheChildsMenu) {
  const MenuHandle live = childSystemMenu();
  CUxToolbarSystemMenuButton button(live, QIcon());
  ASSERT_EQ(button.GetCommands().size(), 5u);
  EXPECT_EQ(button.m_hSystemMenu, live);
  EXPECT_FALSE(button.CanBeStored());

  enableMenuItem(live, kScRestore, MfByCommand | MfGrayed);
  enableMenuItem(live, kScMaximize, MfByCommand | MfDisabled);
  checkMenuItem(live, kScMinimize, MfByCommand | MfChecked);
  const MenuHandle shown = button.ExportToMenu();
  ASSERT_TRUE(shown);
  EXPECT_EQ(getMenuState(shown, kScRestore, MfByCommand) & (MfGrayed | MfDisabled), unsigned(MfGrayed));
  EXPECT_EQ(getMenuState(shown, kScMaximize, MfByCommand) & (MfGrayed | MfDisabled), unsigned(MfDisabled));
  EXPECT_TRUE(getMenuState(shown, kScMinimize, MfByCommand) & MfChecked);
  EXPECT_EQ(getMenuState(shown, kScClose, MfByCommand) & (MfGrayed | MfDisabled | MfChecked), 0u);
  EXPECT_EQ(getMenuString(shown, 4, MfByPosition), L"閉じる(&C)\tCtrl+F4");
  destroyMenu(shown);
  destroyMenu(live);
}

TEST_F(SystemMenuButtonsTest, DoubleClickClosesTheChildUnlessItsCloseIsGreyed) {
  MdiFrame frame;
  frame.systemMenu = childSystemMenu();
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 1);
  QPixmap pixels(16, 16);
  pixels.fill(Qt::red);
  bar->InsertButton(std::make_unique<CUxToolbarSystemMenuButton>(frame.systemMenu, QIcon(pixels)));
  bar->InsertButton(std::make_unique<CUxToolbarMenuButtonsButton>(kScClose));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  frame.resize(200, 50);
  frame.show();
  // The window button is an ordinary button whose command is the system command.
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 1));
  ASSERT_EQ(frame.commands.size(), 1u);
  EXPECT_EQ(frame.commands[0].first, kScClose);
  frame.commands.clear();

  enableMenuItem(frame.systemMenu, kScClose, MfByCommand | MfGrayed);
  QTest::mouseDClick(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_TRUE(frame.sent.empty());

  enableMenuItem(frame.systemMenu, kScClose, MfByCommand);

  QTest::mouseDClick(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_EQ(frame.sent, (std::vector<unsigned>{kScClose}));
  EXPECT_TRUE(frame.commands.empty());

  destroyMenu(frame.systemMenu);
}

TEST_F(SystemMenuButtonsTest, IconSizeRuleAndWindowButtonLook) {
  QPixmap pixels(32, 32);
  pixels.fill(Qt::red);
  CUxToolbarSystemMenuButton icon({}, QIcon(pixels));
  const auto drawIcon = [&](const SystemMetricsProvider& metrics) {
    const SystemMetricsOverride scope(metrics);
    QImage image = canvas(30, 30, 0xFFFFFF);
    Dc dc(image);
    EXPECT_EQ(icon.OnCalculateSize(&dc, {23, 30}, true), (Size{metrics.metric(SmCxSmIcon), 30}));
    icon.OnDraw(&dc, {0, 0, 30, 30}, nullptr);
    return image;
  };
  const QImage large = drawIcon(IconMetrics(20, 18));
  EXPECT_EQ(pixelsOf(large, rgb(255, 0, 0)), 16 * 16);  // taller than the caption buttons: 16 x 16
  EXPECT_EQ(fromPixel(large.pixel(0, 7)), rgb(255, 0, 0));
  EXPECT_EQ(pixelsOf(drawIcon(IconMetrics(20, 22)), rgb(255, 0, 0)), 20 * 20);

  ClassicSystemMetrics classic;
  classic.menuButton = {20, 17};
  const SystemMetricsOverride scope(classic);
  const auto drawButton = [](unsigned command) {
    CUxToolbarMenuButtonsButton button(command);
    QImage image = canvas(20, 17, 0x00FF00);
    Dc dc(image);
    EXPECT_EQ(button.OnCalculateSize(&dc, {23, 22}, true), (Size{20, 17}));
    button.OnDraw(&dc, {0, 0, 20, 17}, nullptr);
    return image;
  };
  const QImage close = drawButton(kScClose);
  EXPECT_EQ(pixelsOf(close, 0x00FF00), 0);  // the visual manager paints the whole button
  EXPECT_NE(close, drawButton(kScMinimize));
}
