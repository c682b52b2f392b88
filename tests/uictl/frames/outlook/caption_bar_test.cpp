// The caption bar as the main dialog makes it: its height, its one line of text, the context
// menu request of a right click and the command of its button.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/outlook/caption_bar.h"

#include "frames_test_support.h"

using namespace platform;

namespace {

// Counts what is drawn, to see that a repaint happened.
class CountingCaptionBar : public CUxCaptionBar {
 public:
  void OnDrawText(Dc* dc, const Rect& rect, const std::wstring& text) override {
    ++texts;
    CUxCaptionBar::OnDrawText(dc, rect, text);
  }
  int texts = 0;
};


}  // namespace

class CaptionBarTest : public ::testing::Test {
 protected:
  CaptionBarTest() {
    dialog.resize(400, 100);
    dialog.show();
    bar->Create(0x50001408, &dialog, 1701, -1);
    bar->setGeometry(100, 36, 300, 30);
    QApplication::processEvents();
  }
  UxLibrary library;
  CommandDialog dialog;
  CountingCaptionBar* bar = new CountingCaptionBar;
};

TEST_F(CaptionBarTest, OneLineOfTextFromTheMarginWithAnEllipsis) {
  EXPECT_EQ(&dialog, dialog.findChild<CUxCaptionBar*>("id1701")->parentWidget());
  EXPECT_EQ(bar->CalcFixedLayout(false, true).cy, 4 + 8 + regularLineHeight() + 2);

  bar->SetText(L"&Folder/問題集", CUxCaptionBar::AlignLeft);
  EXPECT_EQ(bar->m_rectText.left, 4);
  // No prefix processing: the ampersand is measured and drawn as text.
  EXPECT_EQ(bar->m_rectText.width(), MeasuringDc(globalData().fontRegular)->getTextExtent(L"&Folder/問題集").cx);

  const std::wstring longText(200, L'あ');
  bar->SetText(longText, CUxCaptionBar::AlignLeft);
  EXPECT_EQ(bar->m_rectText.right, 300 - 4);
  // The last characters before the margin are the ellipsis dots in the caption's text colour.
  const QImage shown = bar->grab().toImage();
  const COLORREF text = CUxVisualManager::GetInstance()->GetCaptionBarTextColor(bar);
  int dotsAtEnd = 0;
  for (int x = 250; x < 296; ++x)
    for (int y = 4; y < 26; ++y) dotsAtEnd += fromPixel(shown.pixel(x, y)) == text;
  EXPECT_GT(dotsAtEnd, 0);
  EXPECT_EQ(fromPixel(shown.pixel(150, 1)), globalData().clrBarFace);
  EXPECT_EQ(fromPixel(shown.pixel(150, 0)), globalData().clrBarHighlight);

  // The same text again still lays out and paints.
  QApplication::processEvents();
  const int painted = bar->texts;
  bar->SetText(longText, CUxCaptionBar::AlignLeft);
  QApplication::processEvents();
  EXPECT_GT(bar->texts, painted);
}

TEST_F(CaptionBarTest, RightClickAsksForTheMenuOnceAndTheButtonCommandsOnPress) {
  QTest::mouseClick(bar, Qt::RightButton, {}, {20, 10});
  ASSERT_EQ(dialog.popups.size(), 1u);
  EXPECT_EQ(dialog.popups[0].first, reinterpret_cast<uintptr_t>(static_cast<CUxCaptionBar*>(bar)));
  const QPoint screen = bar->mapToGlobal(QPoint(20, 10));
  EXPECT_EQ(dialog.popups[0].second, (screen.x() & 0xFFFF) | ((screen.y() & 0xFFFF) << 16));

  // A button without a command is shown but never hot.
  bar->m_strBtnText = L"Menu";
  bar->m_nBtnAlignment = CUxCaptionBar::AlignRight;
  bar->AdjustLayout();
  const QPoint onButton(bar->m_rectButton.left + 5, 4 + bar->m_rectButton.height() / 2);
  EXPECT_EQ(bar->m_rectButton.right, 300);
  QTest::mouseMove(bar, onButton);
  EXPECT_FALSE(bar->m_bIsBtnHighlighted);

  bar->m_uiBtnID = 32800;
  bar->AdjustLayout();
  QTest::mouseMove(bar, onButton + QPoint(1, 0));
  EXPECT_TRUE(bar->m_bIsBtnHighlighted);
  QTest::mousePress(bar, Qt::LeftButton, {}, onButton);
  ASSERT_EQ(dialog.commands.size(), 1u);
  EXPECT_EQ(dialog.commands[0], std::make_pair(32800u, 0));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, onButton);
  EXPECT_EQ(dialog.commands.size(), 1u);
  EXPECT_FALSE(bar->m_bIsBtnPressed);
}
