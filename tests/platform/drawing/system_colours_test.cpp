// The system colours follow a palette the desktop gives, and keep the classic table where the
// application's palette is the style's stock one (no desktop theme, as here offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include "platform/drawing/system_metrics.h"
#include "text_contrast.h"

using namespace platform;

namespace {

// A dark desktop palette, each role in a colour of its own.
QPalette darkDesktop() {
  QPalette dark = QApplication::palette();
  dark.setColor(QPalette::Button, QColor(49, 54, 59));
  dark.setColor(QPalette::ButtonText, QColor(239, 240, 241));
  dark.setColor(QPalette::Base, QColor(35, 38, 41));
  dark.setColor(QPalette::Text, QColor(238, 238, 236));
  dark.setColor(QPalette::Light, QColor(24, 27, 29));
  dark.setColor(QPalette::Dark, QColor(98, 108, 118));
  dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(100, 100, 100));
  return dark;
}


}  // namespace

TEST(SystemColours, ADesktopPaletteGivesTheColoursAndTheStockOneLeavesTheClassicTable) {
  const ClassicSystemMetrics classic;
  ASSERT_EQ(getSysColor(ColorBtnFace), classic.sysColor(ColorBtnFace));
  {
    const apptest::ApplicationPaletteScope desktop(darkDesktop());
    EXPECT_EQ(getSysColor(ColorBtnFace), rgb(49, 54, 59));
    EXPECT_EQ(getSysColor(ColorBtnText), rgb(239, 240, 241));
    EXPECT_EQ(getSysColor(ColorWindow), rgb(35, 38, 41));
    EXPECT_EQ(getSysColor(ColorWindowText), rgb(238, 238, 236));
    EXPECT_EQ(getSysColor(ColorBtnHighlight), rgb(24, 27, 29));
    EXPECT_EQ(getSysColor(ColorBtnShadow), rgb(98, 108, 118));
    EXPECT_EQ(getSysColor(ColorHighlight), rgb(61, 174, 233));
    EXPECT_EQ(getSysColor(ColorGrayText), rgb(100, 100, 100));
    // No role stands for the desktop's own background: the table's.
    EXPECT_EQ(getSysColor(ColorBackground), classic.sysColor(ColorBackground));
  }
  EXPECT_EQ(getSysColor(ColorBtnFace), classic.sysColor(ColorBtnFace));

  // The program's own grey for disabled text, set over the stock palette, is no desktop's.
  QPalette greyed = QApplication::palette();
  greyed.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
  const apptest::ApplicationPaletteScope program(greyed);
  for (int index : {ColorBtnFace, ColorWindow, ColorHighlight, ColorGrayText})
    EXPECT_EQ(getSysColor(index), classic.sysColor(index)) << index;
}
