// The button image editor driven as a user drives it: clicks and drags on the grid, the tool
// palette's commands, and the clipboard.
#include "platform/drawing/gdi_dc.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/images/image_edit_dialog.h"
#include "uictl/frames/images/image_paint_area.h"

#include "window_layout_check.h"
#include "patience.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

using platform::COLORREF;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlack = 0;

class ImageEditTest : public ::testing::Test {
 protected:
  ImageEditTest() : image(16, 15, QImage::Format_RGB32), dialog(&image, nullptr, 24) {
    image.fill(Qt::white);
    dialog.paintArea()->SetBitmap(&image);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
    area = dialog.findChild<ImagePaintArea*>(QStringLiteral("id16513"));
  }

  QPoint centre(int x, int y) const {
    const platform::Size cell = area->CellSize();
    return {1 + x * cell.cx + cell.cx / 2, 1 + y * cell.cy + cell.cy / 2};
  }
  void drag(int fromX, int fromY, int toX, int toY) {
    QTest::mousePress(area, Qt::LeftButton, {}, centre(fromX, fromY));
    QTest::mouseMove(area, centre((fromX + toX) / 2 + 1, (fromY + toY) / 2 + 1));
    QTest::mouseMove(area, centre(toX, toY));
    QTest::mouseRelease(area, Qt::LeftButton, {}, centre(toX, toY));
  }
  COLORREF at(int x, int y) const { return platform::fromPixel(image.pixel(x, y)); }
  int count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += at(x, y) == c;
    return n;
  }
  // What the grid shows, which must follow the image after every stroke.
  COLORREF shown(int x, int y) { return platform::fromPixel(area->grab().toImage().pixel(centre(x, y))); }
  void useTool(unsigned command) { dialog.onCommand(command, 0); }

  UxLibrary library;
  QImage image;
  ImageEditDlg dialog;
  ImagePaintArea* area = nullptr;
};
}  // namespace

TEST_F(ImageEditTest, GridCellsAndPenStrokesReachImageGridAndPreview) {
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->CellSize(), (platform::Size{12, 13}));
  EXPECT_EQ(area->PointToCell({500, -20}), (platform::Point{15, 0}));
  QTest::mouseClick(area, Qt::LeftButton, {}, centre(3, 4));
  EXPECT_EQ(at(3, 4), kBlack);
  EXPECT_EQ(count(kBlack), 1);
  EXPECT_EQ(shown(3, 4), kBlack);
  const QRect preview = dialog.previewRect();
  EXPECT_EQ(preview.size(), QSize(16, 15));
  EXPECT_EQ(platform::fromPixel(dialog.grab().toImage().pixel(preview.topLeft() + QPoint(3, 4))), kBlack);
  // Each tool's palette button is checked while the tool is on.
  useTool(16905);
  EXPECT_EQ(area->GetMode(), ImagePaintArea::Rectangle);
}

TEST_F(ImageEditTest, LinesAndRectanglesIncludeBothEndCells) {
  dialog.paintArea()->SetColor(kRed);
  useTool(16904);
  drag(7, 7, 7, 7);
  EXPECT_EQ(count(kRed), 1);
  EXPECT_EQ(at(7, 7), kRed);
  drag(0, 0, 4, 0);
  EXPECT_EQ(count(kRed), 6);
  EXPECT_EQ(at(4, 0), kRed);

  image.fill(Qt::white);
  useTool(16905);
  drag(5, 4, 2, 2);
  for (int x = 2; x <= 5; ++x) {
    EXPECT_EQ(at(x, 2), kRed);
    EXPECT_EQ(at(x, 4), kRed);
  }
  EXPECT_EQ(at(2, 3), kRed);
  EXPECT_EQ(at(5, 3), kRed);
  EXPECT_EQ(at(3, 3), kWhite);
  EXPECT_EQ(count(kRed), 10);
  // The rubber band left nothing behind on the grid.
  EXPECT_EQ(shown(8, 8), shown(12, 12));
  EXPECT_EQ(shown(5, 4), kRed);
}

TEST_F(ImageEditTest, FillSpreadsInsideAShapeAndThePickerReturnsToThePen) {
  dialog.paintArea()->SetColor(kRed);
  useTool(16905);
  drag(1, 1, 6, 6);
  dialog.paintArea()->SetColor(0x00FF00);
  useTool(16901);
  QTest::mouseClick(area, Qt::LeftButton, {}, centre(3, 3));
  EXPECT_EQ(count(0x00FF00), 16);
  EXPECT_EQ(at(0, 0), kWhite);
  EXPECT_EQ(shown(3, 3), 0x00FF00u);

  useTool(16903);
  QTest::mouseClick(area, Qt::LeftButton, {}, centre(1, 1));
  EXPECT_EQ(area->GetMode(), ImagePaintArea::Pen);
  EXPECT_EQ(area->GetColor(), kRed);
  EXPECT_EQ(dialog.colorBar()->GetColor(), kRed);
}

TEST_F(ImageEditTest, CopyAndPasteGoThroughTheClipboard) {
  QTest::mouseClick(area, Qt::LeftButton, {}, centre(0, 0));
  QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("id16907")), Qt::LeftButton);
  const QImage copied = QApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(16, 15));
  EXPECT_EQ(platform::fromPixel(copied.pixel(0, 0)), kBlack);

  // A larger image: its top-left part.
  QImage large(40, 40, QImage::Format_RGB32);
  large.fill(Qt::white);
  large.setPixel(15, 14, platform::toPixel(kRed));
  large.setPixel(16, 0, platform::toPixel(kRed));
  QApplication::clipboard()->setImage(large);
  QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("id16908")), Qt::LeftButton);
  EXPECT_EQ(at(15, 14), kRed);
  EXPECT_EQ(count(kRed), 1);
  EXPECT_EQ(shown(15, 14), kRed);

  // A smaller one: centred on the button face.
  QImage small(4, 3, QImage::Format_RGB32);
  small.fill(platform::toPixel(kRed));
  QApplication::clipboard()->setImage(small);
  QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("id16908")), Qt::LeftButton);
  EXPECT_EQ(count(kRed), 12);
  EXPECT_EQ(at(6, 6), kRed);
  EXPECT_EQ(at(9, 8), kRed);
  EXPECT_EQ(at(5, 6), globalData().clrBtnFace);
  EXPECT_EQ(at(10, 9), globalData().clrBtnFace);

  QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("id16909")), Qt::LeftButton);
  EXPECT_EQ(count(globalData().clrBtnFace), 16 * 15);
}

TEST_F(ImageEditTest, ToolPaletteHoldsSixToolsThreeToARow) {
  CUxToolBar* palette = nullptr;
  // The bars are no meta-object classes of their own: they are told apart by their C++ type.
  for (QWidget* child : dialog.findChildren<QWidget*>())
    if (auto* bar = dynamic_cast<CUxToolBar*>(child); bar && !dynamic_cast<CUxColorBar*>(bar)) palette = bar;
  ASSERT_NE(palette, nullptr);
  ASSERT_EQ(palette->GetCount(), 6);
  EXPECT_EQ(palette->GetButton(0)->GetRect().top, palette->GetButton(2)->GetRect().top);
  EXPECT_LT(palette->GetButton(2)->GetRect().top, palette->GetButton(3)->GetRect().top);
  // Its buttons send their tool to the dialog.
  const platform::Rect ellipse = palette->GetButton(4)->GetRect();
  QTest::mouseClick(palette, Qt::LeftButton, {}, ellipse.toQRect().center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return area->GetMode() == int(ImagePaintArea::Ellipse); }, testwait::kPatienceMs))
      << "the tool in use: " << area->GetMode();
}

TEST_F(ImageEditTest, EveryControlShowsWholeAndThePicturesMnemonicLeadsToTheGrid) {
  // Nothing overlaps, sticks out or clips its text, and no "&" is shown as it stands.
  const QStringList problems = apptest::windowLayoutProblems(&dialog);
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
  // The grid's cells fill the paint area, so no grid line runs past its frame.
  const platform::Size cell = area->CellSize();
  EXPECT_EQ(area->size(), QSize(16 * cell.cx + 2, 15 * cell.cy + 2));
  // The colour palette is a plain control: no gripper or border takes its room.
  EXPECT_EQ(dialog.colorBar()->ClientRect().toQRect().size(), dialog.colorBar()->size());
  for (QWidget* child : dialog.findChildren<QWidget*>()) {
    auto* bar = dynamic_cast<CUxToolBar*>(child);
    if (!bar || dynamic_cast<CUxColorBar*>(bar)) continue;
    for (int i = 0; i < bar->GetCount(); ++i)
      EXPECT_TRUE(bar->ClientRect().toQRect().contains(bar->GetButton(i)->GetRect().toQRect()))
          << "tool " << i << " is cut off";
  }

  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
  QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
  EXPECT_TRUE(area->hasFocus());
}
