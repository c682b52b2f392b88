// The main dialog's bars and the link button on the desktop's faces: every text they draw stands
// out from what lies under it on a dark scheme, on a light one whose shadow is pale, and on the
// classic look, which keeps its colours.
#include "platform/drawing/readable_colour.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/buttons/url_link_button.h"
#include "uictl/frames/outlook/caption_bar.h"
#include "uictl/frames/outlook/outlook_bar.h"

#include "frames_test_support.h"
#include "text_contrast.h"
#include "patience.h"

#include <QStyle>

using namespace platform;

namespace {

struct Desktop {
  const char* name;
  QPalette palette;
};

std::vector<Desktop> desktops() {
  const QPalette stock = QApplication::style()->standardPalette();
  QPalette pale = stock;
  pale.setColor(QPalette::Dark, QColor(170, 170, 170));
  return {{"classic", stock},
          {"dark", apptest::darkDesktopPalette()},
          {"pale shadow", pale},
          {"grey 60", apptest::greyDesktopPalette(60)},
          {"dark with base 70", apptest::darkDesktopPalette(QColor(70, 70, 70))},
          {"dark with base 90", apptest::darkDesktopPalette(QColor(90, 90, 90))}};
}

// The dialog's bars as the main dialog makes them, on a desktop whose palette was set before.
struct MainDialogBars {
  MainDialogBars() {
    dialog.resize(420, 300);
    outlook->Create(&dialog, 0x50001408, 1700);
    outlook->SetTransparentColor(0x00FF00);
    outlook->EnableSplitter(false);
    outlook->SetColors(0xFFFFFF, 0xC0C0C0);
    outlook->EnableTextLabels(true);
    outlook->AddPage(1, L"スマート学習");
    outlook->AddButton(257, L"スマート学習", 32859, 1);
    outlook->AddButton(259, L"インターネット\nランキング", 230, 1);
    outlook->AddPage(2, L"通常学習");
    outlook->setGeometry(0, 0, 100, 300);
    caption->Create(0x50001408, &dialog, 1701, -1);
    caption->setGeometry(100, 0, 320, 30);
    caption->SetText(L"通常学習/問題集の情報", CUxCaptionBar::AlignLeft);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
  }
  UxLibrary library;
  CommandDialog dialog;
  CUxOutlookBar* outlook = new CUxOutlookBar;
  CUxCaptionBar* caption = new CUxCaptionBar;
};

// Whether `widget` drew a text that holds `text` (a label may be drawn a line at a time).
bool drewText(QWidget* widget, const QString& text) {
  for (const apptest::DrawnText& drawn : apptest::textsDrawn(widget))
    if (drawn.text.contains(text)) return true;
  return false;
}

}  // namespace

TEST(ReadableOnDesktop, TheCaptionAndTheOutlookLabelsStandOutOnEveryDesktop) {
  for (const Desktop& desktop : desktops()) {
    SCOPED_TRACE(desktop.name);
    const apptest::ApplicationPaletteScope scope(desktop.palette);
    MainDialogBars bars;
    ASSERT_TRUE(drewText(bars.caption, QStringLiteral("通常学習/問題集の情報")));
    ASSERT_TRUE(drewText(bars.outlook, QStringLiteral("ランキング")));
    EXPECT_EQ(apptest::textsStandingOutLessThan(bars.caption).join('\n').toStdString(), "");
    EXPECT_EQ(apptest::textsStandingOutLessThan(bars.outlook).join('\n').toStdString(), "");
    // Without a colour of the owner's the labels take the look's own.
    bars.outlook->SetColors(kNoColor, kNoColor);
    EXPECT_EQ(apptest::textsStandingOutLessThan(bars.outlook).join('\n').toStdString(), "");
  }
  // The classic look keeps its white caption.
  const apptest::ApplicationPaletteScope classic(QApplication::style()->standardPalette());
  MainDialogBars bars;
  EXPECT_EQ(CUxVisualManager::GetInstance()->GetCaptionBarTextColor(bars.caption), rgb(255, 255, 255));
}

// The link's blue, and the deeper blue under the pointer, on a dark dialog: the link takes the
// desktop's selection colour, which the start-up look darkens for the selection's text.
TEST(ReadableOnDesktop, TheLinkStandsOutOnADarkDialogUnderThePointerToo) {
  for (const Desktop& desktop : {Desktop{"dark", apptest::darkDesktopPalette()},
                                 Desktop{"dark, started up", apptest::darkDesktopPaletteAsStartedUp()}}) {
    SCOPED_TRACE(desktop.name);
    const apptest::ApplicationPaletteScope dark(desktop.palette);
    UxLibrary library;
    QWidget dialog;
    dialog.resize(320, 120);
    auto* link = new CUxURLLinkButton;
    link->Create(L"https://kelvara.example/words", WsChild | WsVisible, Rect::fromSize(20, 40, 200, 20), &dialog, 1012);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
    ASSERT_TRUE(drewText(link, QStringLiteral("https://kelvara.example/words")));
    EXPECT_EQ(apptest::textsStandingOutLessThan(link).join('\n').toStdString(), "");
    // From off the link, where the run before left the pointer, onto it.
    QTest::mouseMove(&dialog, {2, 2});
    QTest::mouseMove(link, {5, 5});
    ASSERT_TRUE(link->m_bMouseInside);
    EXPECT_EQ(apptest::textsStandingOutLessThan(link).join('\n').toStdString(), "");
  }
}
