// A change of the desktop's colour scheme while the program runs: the image strips are mapped to
// the new faces, the edit box on a bar takes the new colours, and bars inside a dialog learn of
// it from the toolkit's own notice, with nothing of the library looking at the program's events.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/buttons/toolbar_edit_box.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"

#include "text_contrast.h"
#include "toolbar_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr COLORREF kClassicFace = rgb(192, 192, 192);

COLORREF fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

COLORREF faceOfStrip(const ToolbarImages& strip) { return fromPixel(strip.GetImageWell().pixel(0, 0)); }

COLORREF darkRole(QPalette::ColorRole role) { return fromQColor(apptest::darkDesktopPalette().color(role)); }

// A bar that counts the notices of a palette change it is given.
class CountingBar : public CUxToolBar {
 public:
  using CUxToolBar::CUxToolBar;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ApplicationPaletteChange) ++paletteNotices;
    return CUxToolBar::event(e);
  }
  int paletteNotices = 0;
};

class DesktopPaletteTest : public ShownFrameTest {};

}  // namespace

// The classic face of the strips' resource (light gray) is the desktop's face on both kinds of
// strip: the class's shared ones and those of a locked bar, which are its own.
TEST_F(DesktopPaletteTest, TheSharedAndALockedBarsImageStripsAreMappedAgainToTheNewFace) {
  CUxToolBar* shared = makeBar(&frame, 1, kBarResource);
  CUxToolBar* locked = makeBar(&frame, 2, kOtherResource, CbrsAlignTop, true);
  ASSERT_GT(sharedImages(kImages).GetCount(), 0);
  ASSERT_GT(locked->m_Images[kImages].GetCount(), 0);
  EXPECT_EQ(faceOfStrip(sharedImages(kImages)), kClassicFace);
  EXPECT_EQ(faceOfStrip(locked->m_Images[kImages]), kClassicFace);
  {
    const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
    EXPECT_EQ(faceOfStrip(sharedImages(kImages)), darkRole(QPalette::Button));
    EXPECT_EQ(faceOfStrip(locked->m_Images[kImages]), darkRole(QPalette::Button));
  }
  EXPECT_EQ(faceOfStrip(sharedImages(kImages)), kClassicFace);
  EXPECT_EQ(faceOfStrip(locked->m_Images[kImages]), kClassicFace);
  (void)shared;
}

// A box made on the classic look turns dark with the bar, and light again with it.
TEST_F(DesktopPaletteTest, TheEditBoxTakesTheNewColoursOfTheDesktop) {
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 3);
  bar->InsertButton(std::make_unique<CUxToolbarEditBoxButton>(300, -1, CUxToolbarEditBoxButton::kDefaultStyle, 120));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  auto* box = bar->findChild<QLineEdit*>(QStringLiteral("id300"));
  ASSERT_TRUE(box);
  const auto colours = [box] {
    const QPalette p = box->palette();
    return std::pair{fromQColor(p.color(QPalette::Base)), fromQColor(p.color(QPalette::Text))};
  };
  EXPECT_EQ(colours(), (std::pair{rgb(255, 255, 255), rgb(0, 0, 0)}));
  {
    const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
    EXPECT_EQ(colours(), (std::pair{darkRole(QPalette::Base), darkRole(QPalette::Text)}));
  }
  EXPECT_EQ(colours(), (std::pair{rgb(255, 255, 255), rgb(0, 0, 0)}));
}

// The toolkit itself tells only the application object and, later, the windows: a bar inside a
// dialog hears of the change through the library at once. The application's own event, which an
// application-wide filter would see, is not what the library listens to: given alone, without a
// change of the palette, it reaches no bar.
TEST_F(DesktopPaletteTest, APaletteChangeReachesABarInsideADialogWithoutWatchingTheApplicationsEvents) {
  QDialog dialog;
  dialog.resize(300, 100);
  auto* bar = new CountingBar(&dialog);
  bar->Create(&dialog, 0x50000000u | CbrsAlignTop, 4);
  bar->LoadToolBar(kOtherResource, 0, 0, true);
  dialog.show();
  ASSERT_EQ(faceOfStrip(bar->m_Images[kImages]), kClassicFace);

  QEvent alone(QEvent::ApplicationPaletteChange);
  QCoreApplication::sendEvent(qApp, &alone);
  EXPECT_EQ(bar->paletteNotices, 0);

  const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
  EXPECT_EQ(bar->paletteNotices, 1);
  EXPECT_EQ(globalData().clrBarFace, darkRole(QPalette::Button));
  EXPECT_EQ(faceOfStrip(bar->m_Images[kImages]), darkRole(QPalette::Button));
}
