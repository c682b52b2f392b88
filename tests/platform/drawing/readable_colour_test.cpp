// Meaning colours on the desktop's faces, and the measure the window tests read texts with: it
// must find a text wherever it is drawn (a child label, a device context's image) and tell
// one that fades into its face from one that stands out.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <map>
#include <thread>

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/readable_colour.h"
#include "platform/drawing/readable_image.h"
#include "platform/drawing/system_metrics.h"
#include "text_contrast.h"
#include "patience.h"

using namespace platform;

namespace {

constexpr COLORREF kBlue = rgb(0, 0, 255), kRed = rgb(255, 0, 0), kDarkGreen = rgb(0, 96, 0);

TEST(ReadableColour, AMeaningColourKeepsItsHueAndStandsOutOnADarkFaceAndStaysAsItIsOnTheClassicOne) {
  const COLORREF classicFace = rgb(192, 192, 192), darkFace = rgb(49, 54, 59), lightFace = rgb(239, 240, 241);
  // Grey on the classic face stands out by 1.9:1 only, yet on any other face it is asked the least a
  // text needs, as every colour is.
  for (COLORREF colour : {kBlue, kRed, kDarkGreen, rgb(0, 0, 0), rgb(255, 128, 0), rgb(128, 128, 128)}) {
    EXPECT_EQ(readableOn(colour, classicFace, classicFace), colour);
    const COLORREF onDark = readableOn(colour, darkFace, classicFace);
    const double wanted = kReadableContrast;
    EXPECT_GE(contrastRatio(onDark, darkFace), wanted) << std::hex << colour;
    // Same hue: a shade of blue is still blue.
    if (colour != rgb(0, 0, 0)) {
      EXPECT_NEAR(toQColor(onDark).hslHueF(), toQColor(colour).hslHueF(), 0.02) << std::hex << colour;
    }
    EXPECT_GE(contrastRatio(readableOn(colour, lightFace, classicFace), lightFace), wanted);
  }
  // Black on a dark face turns lighter than the face.
  EXPECT_GT(relativeLuminance(readableOn(rgb(0, 0, 0), darkFace, classicFace)), relativeLuminance(darkFace));
}

// A caption in the window colour on the classic shadow (white on #808080, 3.95:1): on a desktop's
// shadow the window colour it gives is shaded as far as the least a text needs, however light that
// window colour is and so however little it stood out on the classic shadow.
TEST(ReadableColour, TheWindowColourOnTheShadowStandsOutOnEveryDesktopAndIsWhiteOnTheClassicOne) {
  const COLORREF classicShadow = rgb(128, 128, 128);
  EXPECT_EQ(readableOn(rgb(255, 255, 255), classicShadow, classicShadow), rgb(255, 255, 255));
  for (int base : {35, 60, 70, 90, 128}) {
    for (COLORREF shadow : {rgb(25, 27, 29), rgb(30, 30, 30), rgb(60, 60, 60)}) {
      const COLORREF caption = readableOn(rgb(base, base, base), shadow, classicShadow);
      EXPECT_GE(contrastRatio(caption, shadow), kReadableContrast) << base << " on " << std::hex << shadow;
    }
  }
}

TEST(ReadableColour, OnASystemColourTheClassicTableChangesNothingAndADesktopPaletteDoes) {
  EXPECT_EQ(readableOnSysColor(kBlue, ColorBtnFace), kBlue);
  const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
  EXPECT_NE(readableOnSysColor(kBlue, ColorBtnFace), kBlue);
  EXPECT_GE(contrastRatio(readableOnSysColor(kBlue, ColorBtnFace), getSysColor(ColorBtnFace)), kReadableContrast);
}

// What a paint is given from the kept shades is what it would have made itself on the scheme shown
// now: the desktop switches to dark, to light, back to dark and back to the classic look while
// the shades and a picture's ink are kept.
TEST(ReadableColour, TheKeptShadesAndInkAreThoseOfTheSchemeShownNow) {
  QImage picture(2, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, qRgb(0, 0, 0));
  picture.setPixel(1, 0, qRgb(128, 128, 128));
  const auto expectTheSchemesOwn = [&picture](const char* scheme) {
    for (int under : {ColorBtnFace, ColorWindow, ColorBtnShadow}) {
      for (COLORREF colour : {kBlue, kRed, kDarkGreen})
        EXPECT_EQ(keptReadableOnSysColor(colour, under), readableOnSysColor(colour, under))
            << scheme << " " << std::hex << colour << " on " << std::dec << under;
      EXPECT_EQ(keptInkStandingOutOnSysColor(picture, under), inkStandingOutOnSysColor(picture, under))
          << scheme << " on " << under;
    }
  };
  expectTheSchemesOwn("classic");
  apptest::forEachSchemeInTurn({{"dark", apptest::darkDesktopPalette()},
                                {"light", apptest::lightDesktopPalette()},
                                {"dark again", apptest::darkDesktopPalette()}},
                               [&](const char* scheme, const QPalette&) { expectTheSchemesOwn(scheme); });
  expectTheSchemesOwn("classic again");
}

// A toolbar picture: clear corners, black outline, a dark gray body, a blue mark.
TEST(ReadableImage, GrayInkStandsOutOnADarkFaceAndColoursAndTheClassicFaceStayAsTheyAre) {
  QImage picture(4, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, qRgba(0, 255, 0, 0));
  picture.setPixel(1, 0, qRgb(0, 0, 0));
  picture.setPixel(2, 0, qRgb(60, 60, 60));
  picture.setPixel(3, 0, qRgb(0, 80, 150));
  const COLORREF classicFace = rgb(192, 192, 192), darkFace = rgb(49, 54, 59);
  EXPECT_EQ(inkStandingOutOn(picture, classicFace, classicFace), picture);

  const QImage onDark = inkStandingOutOn(picture, darkFace, classicFace);
  EXPECT_EQ(qAlpha(onDark.pixel(0, 0)), 0);
  for (int x : {1, 2}) EXPECT_GE(contrastRatio(fromPixel(onDark.pixel(x, 0)), darkFace), kReadableContrast) << x;
  EXPECT_EQ(onDark.pixel(3, 0), picture.pixel(3, 0));

  // A mark whose colour is its meaning (a red tick) stands out in every part, its hue kept.
  const QImage mark = inkStandingOutOn(picture, darkFace, classicFace, InkParts::all);
  EXPECT_EQ(qAlpha(mark.pixel(0, 0)), 0);
  for (int x : {1, 2, 3}) EXPECT_GE(contrastRatio(fromPixel(mark.pixel(x, 0)), darkFace), kReadableContrast) << x;
  EXPECT_NEAR(QColor(mark.pixel(3, 0)).hslHueF(), QColor(picture.pixel(3, 0)).hslHueF(), 0.02);
  EXPECT_EQ(inkStandingOutOn(picture, classicFace, classicFace, InkParts::all), picture);
}

// Draws two texts through a device context on its own face: one in a fixed black, one in the
// face's own text colour.
class DcPainted : public QWidget {
 public:
  void paintEvent(QPaintEvent*) override {
    QImage surface(size(), QImage::Format_RGB32);
    Dc dc(surface);
    const COLORREF face = getSysColor(ColorBtnFace);
    dc.fillSolidRect(dc.bounds(), face);
    dc.setBkMode(Transparent);
    dc.setTextColor(rgb(0, 0, 0));
    dc.textOut(4, 4, L"固定の黒");
    dc.setTextColor(getSysColor(ColorBtnText));
    dc.textOut(4, 30, L"面の文字色");
    QPainter(this).drawImage(0, 0, surface);
  }
};

TEST(TextContrast, FindsTheTextsOfChildLabelsAndOfADeviceContextAndTellsTheOneThatFades) {
  const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(40, 30, 10, 10);
  auto* label = new QLabel(QStringLiteral("ラベルの文字"));
  auto* fixed = new QLabel(QStringLiteral("黒いラベル"));
  fixed->setStyleSheet("color: #000000");
  auto* painted = new DcPainted;
  painted->setMinimumSize(200, 60);
  layout->addWidget(label);
  layout->addWidget(fixed);
  layout->addWidget(painted);
  window.resize(320, 200);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));

  std::map<QString, apptest::DrawnText> byText;
  for (const apptest::DrawnText& text : apptest::textsDrawn(&window)) byText[text.text] = text;
  ASSERT_EQ(byText.count("ラベルの文字"), 1u);
  ASSERT_EQ(byText.count("黒いラベル"), 1u);
  ASSERT_EQ(byText.count("固定の黒"), 1u);
  ASSERT_EQ(byText.count("面の文字色"), 1u);
  // The grounds are what is really under each text: the dark window, not the magenta the render
  // starts from, and not the text's own colour.
  const QColor window_ = apptest::darkDesktopPalette().color(QPalette::Window);
  EXPECT_EQ(byText["ラベルの文字"].ground, window_);
  EXPECT_EQ(byText["黒いラベル"].ground, window_);
  EXPECT_GE(byText["ラベルの文字"].contrast, 3.0);
  EXPECT_GE(byText["面の文字色"].contrast, 3.0);

  const QStringList faded = apptest::textsStandingOutLessThan(&window);
  ASSERT_EQ(faded.size(), 2) << faded.join('\n').toStdString();
  EXPECT_TRUE(faded[0].contains("固定の黒") || faded[1].contains("固定の黒"));
  EXPECT_TRUE(faded.join(' ').contains("黒いラベル"));
}

// Draws a text of its own while a worker draws another into an image of the worker's own.
class PaintedBesideAWorker : public QWidget {
 public:
  void paintEvent(QPaintEvent*) override {
    std::thread worker([] {
      QImage elsewhere(200, 30, QImage::Format_RGB32);
      Dc dc(elsewhere);
      dc.textOut(0, 0, L"別のスレッドの文字");
    });
    worker.join();
    QImage surface(size(), QImage::Format_RGB32);
    Dc dc(surface);
    dc.fillSolidRect(dc.bounds(), getSysColor(ColorBtnFace));
    dc.setTextColor(getSysColor(ColorBtnText));
    dc.textOut(4, 4, L"この窓の文字");
    QPainter(this).drawImage(0, 0, surface);
  }
};

// What another thread draws meanwhile is not the window's, and it must not reach the measure,
// which would then be filled from two threads at once.
TEST(TextContrast, TakesOnlyTheTextsDrawnOnTheThreadThatRendersTheWindow) {
  PaintedBesideAWorker window;
  window.resize(240, 40);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, testwait::kPatienceMs));
  QStringList texts;
  for (const apptest::DrawnText& text : apptest::textsDrawn(&window)) texts << text.text;
  EXPECT_EQ(texts.join(" | ").toStdString(), "この窓の文字");
}

}  // namespace
