// The owner-drawn button as the user meets it: clicks, repeats, checks, radio groups, tooltips
// and what it shows.
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/buttons/button.h"
#include "uictl/frames/buttons/button_tooltip.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QApplication>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>

using namespace platform;

namespace {
constexpr unsigned kPush = WsChild | WsVisible | WsTabStop;
}

class ButtonTest : public DialogTest {
 protected:
  CUxButton* make(unsigned id, unsigned style, Rect rect, const wchar_t* text = L"OK") {
    auto* button = new CUxButton;
    button->Create(text, style, rect, &dialog, id);
    return button;
  }
  void hover(QWidget* w, QPoint at) { QTest::mouseMove(w, at); }
  // What the button's tip shows when the pointer rests on it; empty when it shows none.
  QString tipOf(CUxButton* b) {
    const QString none = QStringLiteral("(none)");
    QToolTip::showText(b->mapToGlobal(QPoint(0, 0)), none, &dialog);
    QHelpEvent help(QEvent::ToolTip, {5, 5}, b->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(b, &help);
    return QToolTip::text() == none ? QString() : QToolTip::text();
  }
};

TEST_F(ButtonTest, AClickNeedsThePressAndTheReleaseOnTheButton) {
  make(1001, kPush, Rect::fromSize(10, 10, 80, 24));
  // A form's button becomes one of ours by its class and style property alone.
  auto* formed = new CUxButton(&dialog);
  formed->setObjectName("id1002");
  formed->setProperty("buttonStyle", unsigned(BsDefPushButton));
  formed->setGeometry(100, 10, 80, 24);
  formed->show();

  const GlobalDrawData& g = globalData();
  for (unsigned id : {1001u, 1002u}) {
    auto* b = control<CUxButton>(id);
    QSignalSpy clicks(b, &QAbstractButton::clicked);
    // A dialog opened on the click must get the mouse: the button has let it go by then.
    QWidget* heldOnClick = b;
    QObject::connect(b, &QAbstractButton::clicked, [&] { heldOnClick = getCapture(); });
    EXPECT_EQ(pixel(b, 0, 0), g.clrBtnHighlight);
    EXPECT_EQ(pixel(b, 79, 23), g.clrBtnDarkShadow);
    EXPECT_EQ(pixel(b, 78, 22), g.clrBtnShadow);

    QTest::mousePress(b, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(pixel(b, 0, 0), g.clrBtnDarkShadow);  // sunk while held
    hover(b, {-30, 10});
    EXPECT_EQ(pixel(b, 0, 0), g.clrBtnHighlight);  // raised while the pointer is away
    hover(b, {20, 12});
    EXPECT_EQ(pixel(b, 0, 0), g.clrBtnDarkShadow);
    QTest::mouseRelease(b, Qt::LeftButton, {}, {20, 12});
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(heldOnClick, nullptr);

    QTest::mousePress(b, Qt::LeftButton, {}, {10, 10});
    hover(b, {10, 90});
    QTest::mouseRelease(b, Qt::LeftButton, {}, {10, 90});
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(getCapture(), nullptr);
  }
  EXPECT_EQ(formed->buttonStyle(), unsigned(BsDefPushButton));
}

TEST_F(ButtonTest, HoldingRepeatsTheClickOnlyWhileThePointerStaysOn) {
  auto* b = make(1003, kPush, Rect::fromSize(10, 10, 80, 24));
  b->SetAutoRepeat(100);
  QSignalSpy clicks(b, &QAbstractButton::clicked);
  QTest::mousePress(b, Qt::LeftButton, {}, {10, 10});
  ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 2; }, testwait::kPatienceMs));
  const int held = clicks.count();
  hover(b, {10, 200});
  QTest::qWait(350);
  EXPECT_EQ(clicks.count(), held);
  hover(b, {10, 10});
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() > held; }, testwait::kPatienceMs));
  QTest::mouseRelease(b, Qt::LeftButton, {}, {10, 10});
  const int released = clicks.count();
  QTest::qWait(250);
  EXPECT_EQ(clicks.count(), released);
}

TEST_F(ButtonTest, CheckBoxesToggleAndRadiosKeepOneCheckedPerGroup) {
  auto* box = make(1010, kPush | BsAutoCheckBox | BsLeft, Rect::fromSize(0, 0, 80, 20));
  EXPECT_EQ(box->m_nTextAlign, CUxButton::TextLeft);
  QTest::mouseClick(box, Qt::LeftButton, {}, {5, 5});
  EXPECT_EQ(box->GetCheck(), 1);
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(box->GetCheck(), 0);
  // A double click toggles with each release but tells the owner once.
  QSignalSpy boxClicks(box, &QAbstractButton::clicked);
  QTest::mouseClick(box, Qt::LeftButton, {}, {5, 5});
  QTest::mousePress(box, Qt::LeftButton, {}, {5, 5});  // the second press comes with the double click
  QTest::mouseDClick(box, Qt::LeftButton, {}, {5, 5});
  QTest::mouseRelease(box, Qt::LeftButton, {}, {5, 5});
  EXPECT_EQ(boxClicks.count(), 1);
  EXPECT_EQ(box->GetCheck(), 0);
  auto* manual = make(1011, kPush | BsCheckBox, Rect::fromSize(0, 20, 80, 20));
  QTest::mouseClick(manual, Qt::LeftButton, {}, {5, 5});
  EXPECT_EQ(manual->GetCheck(), 0);  // the owner decides
  auto* push = make(1012, kPush, Rect::fromSize(0, 40, 80, 20));
  push->SetCheck(1);
  EXPECT_EQ(push->GetCheck(), 0);

  // Two groups of radios; a disabled one is skipped by the arrow keys.
  auto* a = make(1020, kPush | WsGroup | BsAutoRadioButton, Rect::fromSize(100, 0, 80, 20));
  auto* b = make(1021, kPush | BsAutoRadioButton, Rect::fromSize(100, 20, 80, 20));
  auto* off = make(1022, kPush | WsDisabled | BsAutoRadioButton, Rect::fromSize(100, 40, 80, 20));
  auto* c = make(1023, kPush | BsAutoRadioButton, Rect::fromSize(100, 60, 80, 20));
  auto* other = make(1030, kPush | WsGroup | BsAutoRadioButton, Rect::fromSize(200, 0, 80, 20));
  other->SetCheck(1);
  QTest::mouseClick(a, Qt::LeftButton, {}, {5, 5});
  QTest::mouseClick(b, Qt::LeftButton, {}, {5, 5});
  EXPECT_EQ(a->GetCheck(), 0);
  EXPECT_EQ(b->GetCheck(), 1);
  EXPECT_EQ(other->GetCheck(), 1);

  QSignalSpy cClicks(c, &QAbstractButton::clicked);
  b->setFocus();
  QTest::keyClick(b, Qt::Key_Down);
  EXPECT_EQ(c->GetCheck(), 1);
  EXPECT_EQ(off->GetCheck(), 0);
  EXPECT_EQ(b->GetCheck(), 0);
  EXPECT_EQ(dialog.focusWidget(), c);
  EXPECT_EQ(cClicks.count(), 1);
  QTest::keyClick(c, Qt::Key_Right);  // wraps round to the group's first
  EXPECT_EQ(a->GetCheck(), 1);
  EXPECT_EQ(other->GetCheck(), 1);
}

TEST_F(ButtonTest, EnterAndSpaceClickAPushButton) {
  auto* b = make(1040, kPush, Rect::fromSize(0, 0, 80, 24));
  QSignalSpy clicks(b, &QAbstractButton::clicked);
  b->setFocus();
  QTest::keyClick(b, Qt::Key_Return);
  EXPECT_EQ(clicks.count(), 1);
  const COLORREF face = globalData().clrBtnFace;
  EXPECT_EQ(pixel(b, 4, 4), face ^ 0xFFFFFF);  // the dotted focus outline
  EXPECT_EQ(pixel(b, 5, 4), face);
  QTest::keyPress(b, Qt::Key_Space);
  EXPECT_EQ(pixel(b, 0, 0), globalData().clrBtnDarkShadow);
  EXPECT_EQ(clicks.count(), 1);
  QTest::keyRelease(b, Qt::Key_Space);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonTest, OneTooltipAnswersAndFollowsItsText) {
  auto* b = make(1050, kPush, Rect::fromSize(0, 0, 80, 24));
  EXPECT_EQ(tipOf(b), "");
  b->SetTooltip(L"first");
  const ButtonToolTip* tip = b->toolTipControl();
  b->SetTooltip(L"second");
  EXPECT_EQ(b->toolTipControl(), tip);
  EXPECT_EQ(tipOf(b), "second");
  b->SetTooltip(nullptr);
  EXPECT_EQ(tipOf(b), "");
  EXPECT_EQ(b->toolTipControl(), tip);

  // Too long for the set width: the tip breaks into lines.
  globalData().nMaxToolTipWidth = 60;
  auto* wrapped = make(1051, kPush, Rect::fromSize(0, 30, 80, 24));
  wrapped->SetTooltip(L"a rather long explanation of what this does");
  globalData().nMaxToolTipWidth = -1;
  EXPECT_GT(tipOf(wrapped).count('\n'), 1);

  // The automatic tooltip appears once the text no longer fits.
  auto* autoTip = make(1052, kPush, Rect::fromSize(0, 60, 200, 24), L"全文を表示するボタン");
  autoTip->SetAutoTooltip();
  autoTip->repaint();
  EXPECT_EQ(tipOf(autoTip), "");
  autoTip->resize(40, 24);
  autoTip->repaint();
  EXPECT_EQ(tipOf(autoTip), "全文を表示するボタン");
  QToolTip::hideText();
}

TEST_F(ButtonTest, FacesBordersAndTextShowTheState) {
  const GlobalDrawData& g = globalData();
  auto* off = make(1060, kPush | WsDisabled, Rect::fromSize(0, 0, 80, 24), L"無効");
  // Embossed: each grey text pixel has the highlight colour below-right of it, unless it is grey too.
  const QImage image = off->grab().toImage();
  int grey = 0, embossed = 0;
  for (int y = 3; y < 20; ++y)
    for (int x = 3; x < 76; ++x) {
      if (fromPixel(image.pixel(x, y)) != g.clrGrayText) continue;
      ++grey;
      const COLORREF below = fromPixel(image.pixel(x + 1, y + 1));
      embossed += below == g.clrBtnHighlight || below == g.clrGrayText;
    }
  EXPECT_GT(grey, 10);
  EXPECT_EQ(embossed, grey);

  auto* flat = make(1061, kPush, Rect::fromSize(0, 30, 80, 24));
  flat->m_nBorderStyle = CUxButton::BorderFlat;
  EXPECT_EQ(pixel(flat, 0, 0), g.clrBtnFace);
  hover(flat, {10, 10});
  EXPECT_EQ(pixel(flat, 0, 0), g.clrBtnHighlight);
  // The button keeps the pointer while hot, so it sees the pointer leave for the dialog.
  hover(&dialog, {200, 200});
  EXPECT_EQ(pixel(flat, 0, 0), g.clrBtnFace);
  EXPECT_EQ(getCapture(), nullptr);
  QTest::mouseClick(flat, Qt::LeftButton, {}, {10, 10});  // a click lets the mouse go; hovering takes it again
  hover(flat, {12, 10});
  hover(&dialog, {200, 200});
  EXPECT_EQ(pixel(flat, 0, 0), g.clrBtnFace);

  // A checked face is lightened and sunk.
  auto* box = make(1062, kPush | BsCheckBox, Rect::fromSize(0, 60, 80, 24), L"");
  box->SetCheck(1);
  EXPECT_EQ(pixel(box, 40, 12), DrawManager::HalfwayTo(g.clrBtnFace, g.clrBtnHighlight));
  EXPECT_EQ(pixel(box, 0, 0), g.clrBtnDarkShadow);

  // Standard glyphs sit in the middle of a button without text: the scroll-up arrow, the close box.
  auto* up = make(1063, kPush, Rect::fromSize(0, 90, 21, 21), L"");
  up->SetStdImage(kGlyphScrollUp);
  EXPECT_EQ(up->SizeToContent(true).cx, 9 + 10);
  EXPECT_EQ(countPixels(up, g.clrBtnText, {6, 9, 9, 1}), 1);   // the tip
  EXPECT_EQ(countPixels(up, g.clrBtnText, {6, 12, 9, 1}), 7);  // the base
  auto* close = make(1064, kPush, Rect::fromSize(30, 90, 21, 21), L"");
  close->SetStdImage(kGlyphCloseBox);
  EXPECT_EQ(countPixels(close, g.clrBtnText, {6, 6, 9, 1}), 9);
  EXPECT_EQ(countPixels(close, g.clrBtnText, {6, 10, 9, 1}), 3);
}

TEST_F(ButtonTest, ADisabledButtonShowsAGreyCopyOfItsPicture) {
  auto* b = make(1070, kPush, Rect::fromSize(0, 0, 24, 24), L"");
  QImage red(8, 8, QImage::Format_RGB32);
  red.fill(Qt::red);
  b->m_sizeImage = {8, 8};
  b->CreateDisabledImage(red, false);
  EXPECT_EQ(pixel(b, 12, 12), globalData().clrBtnFace);  // no picture of its own while enabled
  b->setEnabled(false);
  const COLORREF grey = pixel(b, 12, 12);
  EXPECT_EQ(redOf(grey), greenOf(grey));
  EXPECT_EQ(greenOf(grey), blueOf(grey));
  EXPECT_NE(grey, globalData().clrBtnFace);
  // Checked, it falls back to the unchecked pictures.
  b->setButtonStyle(BsCheckBox);
  b->SetCheck(1);
  EXPECT_EQ(pixel(b, 12, 12), grey);
}
