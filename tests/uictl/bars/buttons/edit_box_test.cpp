// Edit boxes on toolbars: one text for every box of a command, typing sent as the command,
// hidden on vertical bars, kept through archives, their border and label, the grey of a disabled
// box and the library's fonts.
#include "platform/drawing/system_metrics.h"
#include "platform/settings/archive.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/toolbar_edit_box.h"

#include "text_contrast.h"
#include "toolbar_test_support.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr unsigned kFind = 300;

CUxToolBar* barWithBox(QWidget* frame, unsigned id, unsigned align, std::unique_ptr<CUxToolbarEditBoxButton> box) {
  auto* bar = new CUxToolBar(frame);
  bar->Create(frame, 0x50000000u | align, id);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(301, -1, L"前"));
  bar->InsertButton(std::move(box));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  return bar;
}

std::unique_ptr<CUxToolbarEditBoxButton> findBox(const wchar_t* label = nullptr) {
  auto box = std::make_unique<CUxToolbarEditBoxButton>(kFind, -1, CUxToolbarEditBoxButton::kDefaultStyle, 120);
  if (label) box->m_strText = label;
  return box;
}

}  // namespace

class EditBoxTest : public ShownFrameTest {};

TEST_F(EditBoxTest, TypingInOneBoxUpdatesTheOtherAndSendsOneCommand) {
  CUxToolBar* first = barWithBox(&frame, 1, CbrsAlignTop, findBox());
  CUxToolBar* second = barWithBox(&frame, 2, CbrsAlignTop, findBox());
  auto* typed = first->findChild<QLineEdit*>(QStringLiteral("id300"));
  auto* other = second->findChild<QLineEdit*>(QStringLiteral("id300"));
  ASSERT_TRUE(typed && other);
  EXPECT_TRUE(typed->isVisible());

  QTest::keyClick(typed, Qt::Key_K);
  QCoreApplication::processEvents();
  EXPECT_EQ(other->text(), QStringLiteral("k"));
  EXPECT_EQ(static_cast<CUxToolbarEditBoxButton*>(second->GetButton(1))->GetContents(), L"k");
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{kFind, CUxToolbarEditBoxButton::kNotifyUpdate}}));

  // Text the program sets is not typing, and another letter case is the same text.
  auto* box = static_cast<CUxToolbarEditBoxButton*>(second->GetButton(1));
  box->SetContents(L"K");
  EXPECT_EQ(other->text(), QStringLiteral("k"));
  box->SetContents(L"語");
  QCoreApplication::processEvents();
  EXPECT_EQ(typed->text(), QStringLiteral("語"));
  EXPECT_EQ(frame.commands.size(), 1u);

  // A click on a shown box is the control's, not a command.
  EXPECT_TRUE(box->OnClick(second, false));
}

TEST_F(EditBoxTest, AVerticalBarHidesTheBoxAndArchivesKeepTheText) {
  CUxToolBar* bar = barWithBox(&frame, 3, CbrsAlignLeft, findBox(L"検索"));
  auto* box = static_cast<CUxToolbarEditBoxButton*>(bar->GetButton(1));
  ASSERT_TRUE(box->GetEditBox());
  EXPECT_TRUE(box->GetEditBox()->isHidden());
  EXPECT_TRUE(box->HasBorder());
  EXPECT_FALSE(box->OnClick(bar, false));
  EXPECT_LT(bar->GetItemRect(1).height(), 120);  // a plain button, not the box's width

  const auto roundTrip = [](const CUxToolbarEditBoxButton& source) {
    std::vector<uint8_t> bytes;
    {
      Archive out(Archive::Store, bytes);
      out.writeObject(&source);
    }
    Archive in(Archive::Load, bytes);
    std::unique_ptr<CObject> object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
    return std::unique_ptr<CUxToolbarEditBoxButton>(static_cast<CUxToolbarEditBoxButton*>(object.release()));
  };
  box->GetEditBox()->setText(QStringLiteral("画面の文字"));
  EXPECT_EQ(roundTrip(*box)->GetContents(), L"画面の文字");

  // Never on a bar: the kept text is what goes into the archive.
  CUxToolbarEditBoxButton alone(kFind, -1, CUxToolbarEditBoxButton::kDefaultStyle, 90);
  alone.SetContents(L"保存された語");
  const auto back = roundTrip(alone);
  EXPECT_EQ(back->GetContents(), L"保存された語");
  EXPECT_EQ(back->m_iWidth, 90);
  EXPECT_EQ(back->m_dwStyle, CUxToolbarEditBoxButton::kDefaultStyle);
}

TEST_F(EditBoxTest, SunkenBorderAroundTheBoxAndItsLabelBelow) {
  CUxToolBar* bar = barWithBox(&frame, 5, CbrsAlignTop, findBox(L"検索"));
  bar->EnableTextLabels(true);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  auto* box = static_cast<CUxToolbarEditBoxButton*>(bar->GetButton(1));
  Rect border;
  box->GetEditBorder(border);
  const QImage image = bar->grab().toImage();
  const QPoint corner = bar->ClientToWidget(border.topLeft());
  EXPECT_EQ(pixelAt(image, corner), globalData().clrBtnShadow);
  EXPECT_EQ(pixelAt(image, corner + QPoint(border.width() - 1, border.height() - 1)), globalData().clrBtnHighlight);
  EXPECT_GT(box->m_sizeText.cy, 0);
  int textPixels = 0;
  const Rect button = box->m_rect;
  for (int y = border.bottom; y < button.bottom; ++y)
    for (int x = button.left; x < button.right; ++x)
      textPixels += pixelAt(image, bar->ClientToWidget({x, y})) == globalData().clrBarText;
  EXPECT_GT(textPixels, 10);
}

// As a disabled edit control: the text in the desktop's grey, on the classic look and on a dark
// one, never in the colour of the text one may type.
TEST_F(EditBoxTest, ADisabledBoxWritesItsTextInTheDesktopsGrey) {
  CUxToolBar* bar = barWithBox(
      &frame, 6, CbrsAlignTop,
      std::make_unique<CUxToolbarEditBoxButton>(
          kFind, -1, CUxToolbarEditBoxButton::kDefaultStyle | CUxToolbarEditBoxButton::kWsDisabled, 120));
  auto* box = static_cast<CUxToolbarEditBoxButton*>(bar->GetButton(1));
  QLineEdit* control = box->GetEditBox();
  ASSERT_TRUE(control);
  ASSERT_FALSE(control->isEnabled());
  box->SetContents(L"■■■");
  const auto count = [control](COLORREF colour) {
    const QImage image = control->grab().toImage();
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) pixels += pixelAt(image, {x, y}) == colour;
    return pixels;
  };
  const auto writesInGrey = [&] {
    EXPECT_GT(count(getSysColor(ColorGrayText)), 10);
    EXPECT_EQ(count(getSysColor(ColorWindowText)), 0);
  };
  writesInGrey();
  {
    const apptest::ApplicationPaletteScope dark(apptest::darkDesktopPalette());
    ASSERT_NE(getSysColor(ColorGrayText), rgb(128, 128, 128));
    writesInGrey();
  }
  // Enabled again, the typed colour comes back.
  control->setEnabled(true);
  EXPECT_GT(count(getSysColor(ColorWindowText)), 10);
}

// The library's fonts change with the desktop's: a box made before follows them, both ways.
TEST_F(EditBoxTest, ADesktopFontChangeReachesTheBox) {
  CUxToolBar* bar = barWithBox(&frame, 7, CbrsAlignTop, findBox());
  QLineEdit* control = static_cast<CUxToolbarEditBoxButton*>(bar->GetButton(1))->GetEditBox();
  ASSERT_TRUE(control);
  const QFont first = control->font();
  ASSERT_EQ(first, globalData().fontRegular.qfont());
  const QFont previous = QApplication::font();
  {
    ClassicSystemMetrics larger;
    larger.menu.height = -28;
    const SystemMetricsOverride use(larger);
    QFont changed = previous;
    changed.setPointSize(previous.pointSize() + 4);
    QApplication::setFont(changed);
    EXPECT_NE(globalData().fontRegular.qfont(), first);
    EXPECT_EQ(control->font(), globalData().fontRegular.qfont());
  }
  QApplication::setFont(previous);
  EXPECT_EQ(control->font(), first);
}
