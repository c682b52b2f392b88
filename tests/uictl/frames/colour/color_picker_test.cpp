// The colour picker control in its five looks: hexagon layout and snapping, choosing with the mouse
// and the keyboard, what it announces and what it leaves silent.
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/frames/colour/color_picker.h"

#include "frames_test_support.h"

#include <QSignalSpy>

using namespace platform;

namespace {

class ColorPickerTest : public DialogTest {
 protected:
  ColorPickerCtrl* make(int type, QSize size) {
    auto* picker = new ColorPickerCtrl(&dialog);
    picker->SetType(type);
    picker->setGeometry(QRect(QPoint(10, 10), size));
    picker->show();
    return picker;
  }
};

TEST_F(ColorPickerTest, HoneycombAndGreyRowHoldTheirCellsAndSnapChannels) {
  ColorPickerCtrl* honeycomb = make(ColorPickerCtrl::TypeColorHexagons, {200, 180});
  ColorPickerCtrl* greys = make(ColorPickerCtrl::TypeGreyHexagons, {260, 40});
  EXPECT_EQ(honeycomb->GetCells().size(), 127u);
  EXPECT_EQ(greys->GetCells().size(), 17u);
  EXPECT_EQ(honeycomb->GetCells().front().Color, rgb(255, 255, 255));
  EXPECT_EQ(greys->GetCells().back().Color, rgb(0, 0, 0));
  EXPECT_EQ(HexCell(rgb(250, 130, 10), 0, 0, 10, 16).Color, rgb(255, 128, 0));
  EXPECT_EQ(HexCell(rgb(100, 180, 60), 0, 0, 10, 16).Color, rgb(100, 192, 60));
  for (const HexCell& cell : honeycomb->GetCells())
    for (int c : {redOf(cell.Color), greenOf(cell.Color), blueOf(cell.Color)}) {
      EXPECT_FALSE(c > 0 && c < 16);
      EXPECT_FALSE(c < 255 && c > 239);
    }
}

TEST_F(ColorPickerTest, ClickOnACellChoosesItAndBetweenCellsIsSilent) {
  ColorPickerCtrl* honeycomb = make(ColorPickerCtrl::TypeColorHexagons, {200, 180});
  QSignalSpy spy(honeycomb, &ColorPickerCtrl::notified);
  const HexCell& cell = honeycomb->GetCells()[5];
  const COLORREF chosen = cell.Color;
  QTest::mouseClick(honeycomb, Qt::LeftButton, {}, QPoint(cell.X, cell.Y));
  EXPECT_EQ(honeycomb->GetColor(), chosen);
  ASSERT_EQ(spy.size(), 1);
  EXPECT_EQ(spy[0][0].toInt(), ColorPickerCtrl::NotifyChanged);
  QTest::mouseClick(honeycomb, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(honeycomb->GetColor(), chosen);
  EXPECT_EQ(spy.size(), 1);
  QTest::mouseDClick(honeycomb, Qt::LeftButton, {}, QPoint(cell.X, cell.Y));
  EXPECT_EQ(spy.last()[0].toInt(), ColorPickerCtrl::NotifyDoubleClick);
}

TEST_F(ColorPickerTest, ShiftDragOnThePlaneChangesOnlyTheHue) {
  ColorPickerCtrl* plane = make(ColorPickerCtrl::TypePlane, {200, 100});
  QSignalSpy spy(plane, &ColorPickerCtrl::notified);
  QTest::mousePress(plane, Qt::LeftButton, {}, QPoint(50, 25));
  double hue, lightness, saturation;
  plane->GetHLS(&hue, &lightness, &saturation);
  EXPECT_DOUBLE_EQ(hue, 0.25);
  EXPECT_DOUBLE_EQ(saturation, 0.75);
  QMouseEvent move(QEvent::MouseMove, QPointF(150, 90), plane->mapToGlobal(QPointF(150, 90)), Qt::NoButton,
                   Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(plane, &move);
  QTest::mouseRelease(plane, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 90));
  plane->GetHLS(&hue, &lightness, &saturation);
  EXPECT_DOUBLE_EQ(hue, 0.75);
  EXPECT_NEAR(saturation, 0.75, 0.02);
  EXPECT_EQ(plane->GetColor(), DrawManager::HLSToRGB(hue, 0.5, saturation));
  EXPECT_EQ(spy.size(), 2);
}

TEST_F(ColorPickerTest, KeyStepsStopSilentlyAtTheEnds) {
  ColorPickerCtrl* bar = make(ColorPickerCtrl::TypeLightnessBar, {30, 120});
  bar->SetHLS(0, 0.95, 1);
  bar->setFocus();
  QSignalSpy spy(bar, &ColorPickerCtrl::notified);
  QTest::keyClick(bar, Qt::Key_Up);
  double lightness;
  bar->GetHLS(nullptr, &lightness, nullptr);
  EXPECT_DOUBLE_EQ(lightness, 1.0);
  EXPECT_EQ(bar->GetColor(), rgb(255, 255, 255));
  EXPECT_EQ(spy.size(), 1);
  QTest::keyClick(bar, Qt::Key_Up);
  EXPECT_EQ(spy.size(), 1);
  QTest::keyClick(bar, Qt::Key_Down);
  EXPECT_EQ(spy.size(), 2);
}

TEST_F(ColorPickerTest, ControlsWithoutSpanDrawAndIgnoreInputSafely) {
  ColorPickerCtrl* bar = make(ColorPickerCtrl::TypeLightnessBar, {6, 8});
  ColorPickerCtrl* plane = make(ColorPickerCtrl::TypePlane, {1, 1});
  QSignalSpy barSpy(bar, &ColorPickerCtrl::notified), planeSpy(plane, &ColorPickerCtrl::notified);
  for (ColorPickerCtrl* picker : {bar, plane}) {
    picker->grab();
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(0, 1));
    QTest::keyClick(picker, Qt::Key_Up);
  }
  EXPECT_EQ(barSpy.size() + planeSpy.size(), 0);
}

TEST_F(ColorPickerTest, PreviewShowsNewAboveInitial) {
  ColorPickerCtrl* preview = make(ColorPickerCtrl::TypePreview, {40, 40});
  preview->SetColor(rgb(255, 128, 0));
  preview->SetInitialColor(rgb(0, 0, 128));
  EXPECT_EQ(pixel(preview, 20, 10), rgb(255, 128, 0));
  EXPECT_EQ(pixel(preview, 20, 30), rgb(0, 0, 128));
}

}  // namespace
