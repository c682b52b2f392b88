// The library's strip of user-defined images, given by a host: buttons with a user image paint
// from it, it follows the class's sizes and the desktop's colours, and the customise commands
// copy from it and list it.
#include "platform/drawing/system_metrics.h"
#include "platform/windows/menu_handles.h"
#include "uictl/bars/combos/drop_down_toolbar.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"

#include "bars_test_support.h"
#include "test_env.h"
#include "toolbar_test_support.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr COLORREF kOrange = rgb(250, 140, 20);
constexpr COLORREF kPurple = rgb(120, 30, 160);

class UserImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    strip.bUserImagesList = true;
    for (COLORREF colour : {kOrange, kPurple}) strip.AddImage(canvas(16, 15, colour));
    setUserImages(&strip);
    frame.resize(400, 100);
    frame.show();
    bar = makeBar(&frame, 59392);
    bar->InsertButton(std::make_unique<CUxToolbarButton>(150, 1, L"Mine", true));
    bar->resize(bar->sizeHint());
    bar->AdjustLayout();
    mine = bar->GetCount() - 1;
  }
  void TearDown() override {
    CUxToolBar::SetCustomizeMode(false);
    setToolbarMenuTracker({});
    setUserImages(nullptr);
  }
  int shownPixels(COLORREF colour, int index) const {
    return countPixels(bar->grab().toImage(), bar->GetItemRect(index).toQRect().translated(bar->ClientToWidget({0, 0})),
                       colour);
  }
  // Runs one customise command on a button, as its context menu would.
  void customise(int index, unsigned command) {
    CUxToolBar::SetCustomizeMode(true);
    setToolbarMenuTracker([command](MenuHandle, const QPoint&, QWidget*) { return command; });
    QContextMenuEvent event(QContextMenuEvent::Mouse, centreOf(bar, index), bar->mapToGlobal(centreOf(bar, index)));
    QCoreApplication::sendEvent(bar, &event);
  }

  UxLibrary library;
  ToolbarImages strip;
  TestFrame frame;
  CUxToolBar* bar = nullptr;
  int mine = -1;
};

}  // namespace

TEST_F(UserImagesTest, AUserImageButtonPaintsItsImageFromTheStrip) {
  EXPECT_EQ(shownPixels(kPurple, mine), 16 * 15);
  EXPECT_EQ(shownPixels(kOrange, mine), 0);

  // Without a strip the button has nothing to draw its image from.
  setUserImages(nullptr);
  EXPECT_EQ(shownPixels(kPurple, mine), 0);
}

TEST_F(UserImagesTest, TheStripFollowsTheClassSizesAndTheDesktopColours) {
  CUxToolBar::SetSizes({27, 26}, {20, 19});
  EXPECT_EQ(strip.GetImageSize(), (Size{20, 19}));
  CUxToolBar::SetSizes({23, 22}, {16, 15});
  EXPECT_EQ(strip.GetImageSize(), (Size{16, 15}));

  // A strip from a file of classic grays is mapped again when the desktop's colours change.
  QImage gray(16, 15, QImage::Format_RGB32);
  gray.fill(qRgb(128, 128, 128));
  const QString path = QString::fromStdString(testenv::processDir()) + "/user-images.bmp";
  ASSERT_TRUE(gray.save(path, "BMP"));
  ToolbarImages fromFile;
  ASSERT_TRUE(fromFile.LoadStr(path.toStdWString()));
  setUserImages(&fromFile);
  EXPECT_EQ(fromPixel(fromFile.GetImageWell().pixel(3, 3)), getSysColor(ColorBtnShadow));

  ClassicSystemMetrics system;
  system.colours[ColorBtnShadow] = rgb(30, 110, 60);
  {
    SystemMetricsOverride use(system);
    QEvent change(QEvent::ApplicationPaletteChange);
    QCoreApplication::sendEvent(bar, &change);
    EXPECT_EQ(fromPixel(fromFile.GetImageWell().pixel(3, 3)), rgb(30, 110, 60));
    EXPECT_EQ(shownPixels(rgb(30, 110, 60), mine), 0);  // the button shows image 1, which the file lacks
  }
  globalData().UpdateSysColors();
}

TEST_F(UserImagesTest, CopyImagePutsTheUserImageOnTheClipboard) {
  QGuiApplication::clipboard()->clear();
  customise(mine, kCmdCopyImage);
  const QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(16, 15));
  EXPECT_EQ(fromPixel(copied.pixel(8, 7)), kPurple);
}

TEST_F(UserImagesTest, TheCustomiseListAndADropDownButtonDrawTheUserImage) {
  QImage entry = canvas(200, 24, rgb(1, 2, 3));
  {
    Dc dc(entry);
    bar->GetButton(mine)->OnDrawOnCustomizeList(&dc, {0, 0, 200, 24}, false);
  }
  EXPECT_GT(countPixels(entry, {0, 0, 22, 24}, kPurple), 100);

  // A drop-down button whose default command has a user image shows it from the strip too.
  auto* drop = new CUxDropDownToolBar(&frame);
  drop->Create(&frame, CbrsAlignTop, 4000);
  drop->InsertButton(std::make_unique<CUxToolbarButton>(160, 0, L"Other", true));
  const int at = bar->InsertButton(std::make_unique<CUxDropDownToolbarButton>(L"Drop", drop));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  EXPECT_GT(shownPixels(kOrange, at), 100);
}
