// Image strips, the visual manager's classic look, and the command maps.
#include "platform/windows/command_target.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

#include "test_env.h"

#include <QPainter>
#include "bars_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Two 4 x 3 images: a black square on the face colour with a gray-192 frame, and plain white.
std::wstring writeStrip(const char* name, bool alpha) {
  QImage strip(8, 3, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  strip.fill(alpha ? qRgba(0, 0, 0, 0) : qRgb(192, 192, 192));
  strip.setPixel(1, 1, alpha ? qRgba(255, 0, 0, 255) : qRgb(0, 0, 0));
  strip.setPixel(2, 1, qRgb(128, 128, 128));
  for (int x = 4; x < 8; ++x)
    for (int y = 0; y < 3; ++y) strip.setPixel(x, y, alpha ? qRgba(0, 0, 255, 128) : qRgb(255, 255, 255));
  const QString path = QString::fromStdString(testenv::processDir()) + "/" + name;
  EXPECT_TRUE(strip.save(path, alpha ? "PNG" : "BMP"));
  return path.toStdWString();
}
}  // namespace

class BarsTest : public ::testing::Test {
 protected:
  UxLibrary library;
};

TEST_F(BarsTest, StripsMapGraysToTheSystemColoursAndCountImages) {
  ClassicSystemMetrics system;
  system.colours[ColorBtnFace] = rgb(200, 190, 180);
  system.colours[ColorBtnText] = rgb(0, 0, 90);
  SystemMetricsOverride use(system);
  globalData().UpdateSysColors();

  ToolbarImages images;
  images.SetImageSize({4, 3});
  ASSERT_TRUE(images.LoadStr(writeStrip("strip.bmp", false)));
  EXPECT_EQ(images.GetCount(), 2);
  EXPECT_EQ(images.nBitsPerPixel, 24);
  EXPECT_EQ(fromPixel(images.GetImageWell().pixel(0, 0)), rgb(200, 190, 180));  // gray 192: face
  EXPECT_EQ(fromPixel(images.GetImageWell().pixel(1, 1)), rgb(0, 0, 90));       // black: text
  EXPECT_EQ(ToolbarImages::MapGrayToSysColor(rgb(128, 128, 128)), system.colours[ColorBtnShadow]);
  EXPECT_EQ(ToolbarImages::MapToSysColor(rgb(192, 192, 192)), rgb(200, 190, 180));
  EXPECT_EQ(ToolbarImages::MapFromSysColor(rgb(200, 190, 180)), rgb(192, 192, 192));

  QImage image = canvas(20, 10, rgb(1, 1, 1));
  Dc dc(image);
  ImageDrawState state;
  ASSERT_TRUE(images.PrepareDrawImage(state));
  EXPECT_FALSE(images.Draw(&dc, 0, 0, -1));
  EXPECT_FALSE(images.Draw(&dc, 0, 0, 2));
  EXPECT_TRUE(images.Draw(&dc, 0, 0, 1));
  EXPECT_EQ(dc.getPixel(3, 2), rgb(255, 255, 255));
  EXPECT_EQ(dc.getPixel(4, 2), rgb(1, 1, 1));
  images.EndDrawImage(state);
}

TEST_F(BarsTest, StripsDrawDisabledTransparentAndAlphaBlended) {
  ToolbarImages images;
  images.SetImageSize({4, 3});
  ASSERT_TRUE(images.LoadStr(writeStrip("strip.bmp", false)));
  QImage image = canvas(20, 10, rgb(10, 100, 10));
  Dc dc(image);
  ImageDrawState state;
  ASSERT_TRUE(images.PrepareDrawImage(state));
  // A disabled 24-bit image is drawn, then greyed over its cell.
  images.Draw(&dc, 0, 0, 0, false, true);
  EXPECT_EQ(redOf(dc.getPixel(1, 1)), greenOf(dc.getPixel(1, 1)));
  EXPECT_GT(redOf(dc.getPixel(1, 1)), 0);
  images.EndDrawImage(state);

  // With the face colour transparent only the image's own pixels reach the target.
  images.SetTransparentColor(globalData().clrBtnFace);
  ASSERT_TRUE(images.PrepareDrawImage(state));
  images.Draw(&dc, 10, 0, 0);
  EXPECT_EQ(dc.getPixel(10, 0), rgb(10, 100, 10));
  EXPECT_EQ(dc.getPixel(11, 1), rgb(0, 0, 0));
  images.EndDrawImage(state);

  // Scaled passes stretch the image to the destination size.
  ASSERT_TRUE(images.PrepareDrawImage(state, {8, 6}));
  images.Draw(&dc, 10, 4, 0);
  EXPECT_EQ(dc.getPixel(12, 6), rgb(0, 0, 0));
  EXPECT_EQ(dc.getPixel(13, 7), rgb(0, 0, 0));
  images.EndDrawImage(state);

  ToolbarImages alpha;
  alpha.SetImageSize({4, 3});
  alpha.SetTransparentColor(rgb(10, 100, 10));  // ignored for alpha-blended strips
  ASSERT_TRUE(alpha.LoadStr(writeStrip("alpha.png", true)));
  EXPECT_EQ(alpha.nBitsPerPixel, 32);
  QImage target = canvas(10, 4, rgb(10, 100, 10));
  Dc adc(target);
  ASSERT_TRUE(alpha.PrepareDrawImage(state));
  alpha.Draw(&adc, 0, 0, 0);
  alpha.Draw(&adc, 4, 0, 1);
  EXPECT_EQ(adc.getPixel(0, 0), rgb(10, 100, 10));   // fully transparent pixel
  EXPECT_EQ(adc.getPixel(1, 1), rgb(255, 0, 0));     // opaque pixel
  const COLORREF half = adc.getPixel(5, 1);          // half alpha over green
  EXPECT_NEAR(blueOf(half), 132, 2);  // (255 + 10) / 2
  EXPECT_NEAR(greenOf(half), 50, 2);
  EXPECT_TRUE(alpha.Draw(&adc, 0, 0, 0, false, false, false, true));  // no shadow for alpha strips
  alpha.EndDrawImage(state);
}

TEST_F(BarsTest, AddedImagesKeepTheirAlphaInAnAlphaStrip) {
  // Resource strips added one by one (as a colour change reloads them) go through AddImage.
  auto image = [](QRgb colour) {
    QImage cell(2, 1, QImage::Format_ARGB32);
    cell.fill(qRgba(0, 0, 0, 0));
    cell.setPixel(1, 0, colour);
    return cell;
  };
  ToolbarImages strip;
  strip.SetImageSize({2, 1});
  QImage opaque(2, 1, QImage::Format_RGB32);
  opaque.fill(qRgb(0, 0, 255));
  ASSERT_EQ(strip.AddImage(opaque), 0);
  ASSERT_EQ(strip.AddImage(image(qRgba(255, 0, 0, 255))), 1);
  strip.nBitsPerPixel = 32;

  QImage target = canvas(6, 1, rgb(10, 100, 10));
  Dc dc(target);
  ImageDrawState state;
  ASSERT_TRUE(strip.PrepareDrawImage(state));
  strip.Draw(&dc, 0, 0, 0);
  strip.Draw(&dc, 2, 0, 1);
  strip.EndDrawImage(state);
  EXPECT_EQ(dc.getPixel(0, 0), rgb(0, 0, 255));    // the opaque strip stays opaque
  EXPECT_EQ(dc.getPixel(2, 0), rgb(10, 100, 10));  // a transparent pixel shows what lies under it
  EXPECT_EQ(dc.getPixel(3, 0), rgb(255, 0, 0));

  ToolbarImages first;
  first.SetImageSize({2, 1});
  ASSERT_EQ(first.AddImage(image(qRgba(0, 255, 0, 255))), 0);
  first.nBitsPerPixel = 32;
  ASSERT_TRUE(first.PrepareDrawImage(state));
  first.Draw(&dc, 4, 0, 0);
  first.EndDrawImage(state);
  EXPECT_EQ(dc.getPixel(4, 0), rgb(10, 100, 10));
  EXPECT_EQ(dc.getPixel(5, 0), rgb(0, 255, 0));
}

TEST_F(BarsTest, ResourceStripsLoadOnceAndGlyphsDrawInTheSystemColours) {
  ToolbarImages images;
  images.SetImageSize({9, 9});
  ASSERT_TRUE(images.Load(kMenuGlyphBitmapId, true));
  ASSERT_TRUE(images.Load(kMenuGlyphBitmapId, true));
  EXPECT_EQ(images.GetCount(), kGlyphCount);
  EXPECT_FALSE(images.Load(999999));

  ASSERT_TRUE(MenuImages::Initialize());
  QImage image = canvas(20, 20, rgb(5, 5, 5));
  Dc dc(image);
  MenuImages::Draw(&dc, kGlyphArrowDown, {0, 0});
  EXPECT_EQ(dc.getPixel(0, 0), rgb(5, 5, 5));     // magenta is transparent
  EXPECT_EQ(dc.getPixel(4, 2), globalData().clrBtnText);
  EXPECT_EQ(dc.getPixel(4, 6), rgb(5, 5, 5));
}

TEST_F(BarsTest, VisualManagerIsMadeOnceAndTemporaryOnesStayAside) {
  CUxVisualManager* first = CUxVisualManager::GetInstance();
  EXPECT_EQ(CUxVisualManager::GetInstance(), first);
  EXPECT_TRUE(first->bAutoCreated);
  {
    CUxVisualManager temporary(true);
    EXPECT_EQ(CUxVisualManager::GetInstance(), first);
  }
  EXPECT_EQ(CUxVisualManager::GetInstance(), first);
  delete first;
  CUxVisualManager* second = CUxVisualManager::GetInstance();
  EXPECT_NE(second, nullptr);
  EXPECT_TRUE(second->bAutoCreated);
}

TEST_F(BarsTest, VisualManagerDrawsBordersSeparatorsAndGrippers) {
  CUxVisualManager* vm = CUxVisualManager::GetInstance();
  const GlobalDrawData& g = globalData();
  QImage image = canvas(30, 30, rgb(1, 2, 3));
  Dc dc(image);
  vm->OnDrawButtonBorder(&dc, nullptr, {0, 0, 10, 10}, ButtonNormal);
  EXPECT_EQ(dc.getPixel(0, 0), rgb(1, 2, 3));
  vm->OnDrawButtonBorder(&dc, nullptr, {0, 0, 10, 10}, ButtonPressed);
  EXPECT_EQ(dc.getPixel(0, 5), g.clrBarShadow);
  EXPECT_EQ(dc.getPixel(9, 5), g.clrBarHighlight);
  vm->OnDrawButtonBorder(&dc, nullptr, {0, 0, 10, 10}, ButtonHighlighted);
  EXPECT_EQ(dc.getPixel(0, 5), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(9, 5), g.clrBarShadow);

  // A combo box is framed only while its list is dropped or the pointer is over it.
  for (const bool dropped : {false, true})
    for (const bool highlighted : {false, true}) {
      QImage combo = canvas(20, 10, rgb(1, 2, 3));
      Dc cdc(combo);
      vm->OnDrawComboBorder(&cdc, {0, 0, 20, 10}, dropped, highlighted);
      const bool framed = dropped || highlighted;
      EXPECT_EQ(cdc.getPixel(0, 5), framed ? g.clrBarShadow : rgb(1, 2, 3)) << dropped << highlighted;
      EXPECT_EQ(cdc.getPixel(19, 5), framed ? g.clrBarHighlight : rgb(1, 2, 3)) << dropped << highlighted;
    }

  // A separator on a horizontal bar: a 2-pixel etched vertical line through the middle.
  vm->OnDrawSeparator(&dc, {10, 0, 18, 20}, true);
  EXPECT_EQ(dc.getPixel(13, 5), g.clrBarShadow);
  EXPECT_EQ(dc.getPixel(14, 5), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(12, 5), rgb(1, 2, 3));
  EXPECT_EQ(dc.getPixel(15, 5), rgb(1, 2, 3));

  // Two gripper lines, each three pixels wide, four apart, with a highlight dot at the bottom.
  QImage grip = canvas(20, 20, rgb(1, 2, 3));
  Dc gdc(grip);
  vm->OnDrawBarGripper(&gdc, {0, 0, 10, 20}, true);
  EXPECT_EQ(gdc.getPixel(3, 5), g.clrBarHighlight);
  EXPECT_EQ(gdc.getPixel(5, 5), g.clrBarShadow);
  EXPECT_EQ(gdc.getPixel(7, 5), g.clrBarHighlight);
  EXPECT_EQ(gdc.getPixel(9, 5), g.clrBarShadow);
  EXPECT_EQ(gdc.getPixel(3, 17), g.clrBarHighlight);
  EXPECT_EQ(gdc.getPixel(4, 5), rgb(1, 2, 3));
  vm->bFlatStyle = true;
  QImage flat = canvas(20, 20, rgb(1, 2, 3));
  Dc fdc(flat);
  vm->OnDrawBarGripper(&fdc, {0, 0, 10, 20}, true);
  EXPECT_EQ(fdc.getPixel(4, 5), g.clrBarHighlight);
  EXPECT_EQ(fdc.getPixel(8, 5), rgb(1, 2, 3));
  vm->bFlatStyle = false;
}

TEST_F(BarsTest, ProgressTextAndFillFollowThePosition) {
  CUxVisualManager* vm = CUxVisualManager::GetInstance();
  QImage image = canvas(100, 20, rgb(1, 2, 3));
  Dc dc(image);
  vm->OnDrawStatusBarProgress(&dc, {0, 0, 100, 20}, 0, 5, rgb(0, 0, 128), kNoColor, kNoColor, true);
  EXPECT_EQ(dc.getPixel(0, 0), rgb(1, 2, 3));
  vm->OnDrawStatusBarProgress(&dc, {0, 0, 100, 20}, 4, 1, rgb(0, 0, 128), kNoColor, kNoColor, false);
  EXPECT_EQ(dc.getPixel(24, 0), rgb(0, 0, 128));
  EXPECT_EQ(dc.getPixel(25, 0), rgb(1, 2, 3));
  vm->OnDrawStatusBarProgress(&dc, {0, 0, 100, 20}, 4, 2, rgb(0, 0, 0), rgb(0, 0, 252), kNoColor, false);
  EXPECT_LT(blueOf(dc.getPixel(0, 10)), 10);
  EXPECT_GT(blueOf(dc.getPixel(49, 10)), 200);
}

TEST_F(BarsTest, CommandImagesLiveInOneMapAndUsageCountsSkipStandardCommands) {
  CommandManager& commands = GetCommandManager();
  commands.SetCmdImage(100, 3, false);
  commands.SetCmdImage(100, 7, true);  // already has a standard image
  EXPECT_EQ(commands.GetCmdImage(100, false), 3);
  EXPECT_EQ(commands.GetCmdImage(100, true), -1);
  commands.SetCmdImage(0, 1, false);
  EXPECT_EQ(commands.GetCmdImage(0, false), -1);
  commands.SetCmdImage(200, 1, true);
  commands.ClearUserCmdImage(200);
  EXPECT_EQ(commands.GetCmdImage(200, true), -1);
  commands.MarkCommand(100, false);
  commands.MarkCommand(100, false);
  EXPECT_TRUE(commands.IsMenuItemWithoutImage(100));
  commands.MarkCommand(100, true);
  EXPECT_FALSE(commands.IsMenuItemWithoutImage(100));

  EXPECT_TRUE(IsStandardCommand(0xE110));
  EXPECT_FALSE(IsStandardCommand(0xE120));
  EXPECT_TRUE(IsStandardCommand(0xF000));
  EXPECT_FALSE(IsStandardCommand(0xF1F0));
  EXPECT_TRUE(IsStandardCommand(0xFF05));
  EXPECT_EQ(TranslateShortcutChar(0x65), unsigned('5'));
  EXPECT_EQ(TranslateShortcutChar('Q'), unsigned('Q'));
  EXPECT_EQ(TranslateShortcutChar(0x71), 0u) << "F2 has the code of q but types nothing";

  CmdUsageCount& usage = commandUsage();
  basicCommands().push_back(300);
  for (unsigned id : {101u, 101u, 102u, 300u, 0xE110u, 0u}) usage.AddCmd(id);
  unsigned count = 0;
  EXPECT_TRUE(usage.Lookup(101, count));
  EXPECT_EQ(count, 2u);
  EXPECT_FALSE(usage.Lookup(300, count));
  EXPECT_EQ(usage.Total(), 3u);
  EXPECT_TRUE(usage.IsFrequentlyUsed(102));
  EXPECT_FALSE(usage.IsFrequentlyUsed(999));
  // Frequently used is more than the share: of 40 uses, 2 (5 percent) are not, 3 are.
  CmdUsageCount forty;
  for (int i = 0; i < 40; ++i) forty.AddCmd(i < 2 ? 201 : i < 5 ? 202 : 203);
  EXPECT_FALSE(forty.IsFrequentlyUsed(201));
  EXPECT_TRUE(forty.IsFrequentlyUsed(202));
  EXPECT_FALSE(IsCommandPermitted((forbiddenCommands().push_back(5), 5)));

  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    usage.Serialize(out);
  }
  CmdUsageCount copy;
  Archive in(Archive::Load, bytes);
  copy.Serialize(in);
  EXPECT_EQ(copy.Total(), 3u);
  EXPECT_TRUE(copy.Lookup(101, count) && count == 2);
}

TEST_F(BarsTest, StartUpRegistersMessagesAndSharedState) {
  for (QEvent::Type t : {UXTOOLBAR_POPUPMENU, UXTOOLBAR_RESETKEYBAORD, UXM_ON_MOVE_TAB, WINDOW_HELP,
                         UXTOOLBAR__GETDOCUMENTCOLORS, UXM_PROPERTYCHANGED})
    EXPECT_NE(t, QEvent::None);
  EXPECT_EQ(UXTOOLBAR_CREATE, registerWindowMessage("UXTOOLBAR_CREATE"));
  EXPECT_TRUE(ToolbarImages::SharedStateExists());
  EXPECT_NE(RuntimeClass::fromName("CUxToolbarButton"), nullptr);
}

TEST(LibraryLifetime, ShutDownReleasesInReverseOrder) {
  {
    UxLibrary library;
    EXPECT_NE(globalDataIfStarted(), nullptr);
  }
  EXPECT_EQ(globalDataIfStarted(), nullptr);
  EXPECT_EQ(menuImagesIfStarted(), nullptr);
  EXPECT_FALSE(ToolbarImages::SharedStateExists());
  EXPECT_EQ(UXTOOLBAR_POPUPMENU, QEvent::None);
  EXPECT_EQ(RuntimeClass::fromName("CUxToolbarButton"), nullptr);
}
