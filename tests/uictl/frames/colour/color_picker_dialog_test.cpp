// The library's colour dialog: its pages keep each other, the fields and the preview in step; a
// double click answers OK; a display of few colours hands over to the system chooser.
#include "platform/windows/color_dialog.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/colour/color_picker_dialog.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace platform;

namespace {

class FixedChooser : public ColorDialogs {
 public:
  int asked = 0;
  std::optional<COLORREF> chooseColor(QWidget*, COLORREF) override {
    ++asked;
    return rgb(1, 2, 3);
  }
};

struct OpenDialog : ::testing::Test {
  OpenDialog() : dialog(rgb(0, 0, 0x80)) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
  }
  QSpinBox* field(int id) { return dialog.findChild<QSpinBox*>(QStringLiteral("id%1").arg(id)); }
  UxLibrary library;
  ColorPickerDialog dialog;
};

TEST_F(OpenDialog, TypedFieldsKeepWhatWasTypedAndTheOtherFieldsPickersAndPreviewFollow) {
  dialog.Sheet->setCurrentIndex(1);
  QSpinBox* red = field(16964);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(field(16966)->value(), 0x80);
  red->selectAll();
  QTest::keyClicks(red, "255");
  field(16966)->setValue(0);
  QSpinBox* green = field(16965);
  green->setValue(128);
  const COLORREF orange = rgb(255, 128, 0);
  EXPECT_EQ(dialog.GetColor(), orange);
  double h, s, l;
  DrawManager::RGBToHLS(orange, &h, &s, &l);
  EXPECT_EQ(field(16969)->value(), int(h * 255 + 0.5));
  EXPECT_EQ(field(16967)->value(), int(l * 255 + 0.5));
  EXPECT_EQ(field(16968)->value(), 255);
  EXPECT_EQ(dialog.Page2->Plane->GetColor(), orange);
  EXPECT_EQ(dialog.Page2->Bar->GetColor(), orange);
  EXPECT_EQ(dialog.Page1->Honeycomb->GetColor(), orange);
  QWidget* preview = dialog.Preview;
  const QImage shot = preview->grab().toImage();
  EXPECT_EQ(fromPixel(shot.pixel(shot.width() / 2, shot.height() / 4)), orange);
  EXPECT_EQ(fromPixel(shot.pixel(shot.width() / 2, shot.height() * 3 / 4)), rgb(0, 0, 0x80));

  QSpinBox* hue = field(16969);
  hue->selectAll();
  QTest::keyClicks(hue, "100");
  EXPECT_EQ(hue->value(), 100);
  EXPECT_EQ(field(16964)->value(), redOf(dialog.GetColor()));
}

TEST_F(OpenDialog, PlaneMovesTheBarAndFieldsAndAHexagonDoubleClickAnswersOk) {
  dialog.Sheet->setCurrentIndex(1);
  ColorPickerCtrl* plane = dialog.Page2->Plane;
  QApplication::processEvents();
  QTest::mouseClick(plane, Qt::LeftButton, {}, QPoint(1, 0));  // (0, 0) would mean the centre
  double h, l, s;
  dialog.Page2->Bar->GetHLS(&h, &l, &s);
  EXPECT_NEAR(h, 0, 0.01);
  EXPECT_DOUBLE_EQ(s, 1);
  EXPECT_EQ(field(16968)->value(), 255);
  EXPECT_EQ(dialog.GetColor(), plane->GetColor());
  EXPECT_EQ(field(16964)->value(), redOf(plane->GetColor()));

  dialog.Sheet->setCurrentIndex(0);
  ColorPickerCtrl* honeycomb = dialog.Page1->Honeycomb;
  const HexCell cell = honeycomb->GetCells()[3];
  QTest::mouseClick(honeycomb, Qt::LeftButton, {}, QPoint(cell.X, cell.Y));
  EXPECT_EQ(dialog.GetColor(), cell.Color);
  EXPECT_EQ(field(16964)->value(), redOf(cell.Color));
  EXPECT_EQ(field(16966)->value(), blueOf(cell.Color));
  QTest::mouseDClick(honeycomb, Qt::LeftButton, {}, QPoint(cell.X, cell.Y));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(ColorPickerDialogDepth, FewColoursHandOverToTheSystemChooser) {
  UxLibrary library;
  FixedChooser chooser;
  ColorDialogOverride guard(chooser);
  const int depth = globalData().nBitsPerPixel;
  globalData().nBitsPerPixel = 4;
  ColorPickerDialog dialog(rgb(9, 9, 9));
  EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
  globalData().nBitsPerPixel = depth;
  EXPECT_EQ(chooser.asked, 1);
  EXPECT_EQ(dialog.GetColor(), rgb(1, 2, 3));
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
