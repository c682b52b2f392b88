// The appearance dialog as the user drives it, by objectName, and its scrolling list of user images.
#include "frames_test_support.h"
#include "recording_notifier.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/frames/images/button_appearance_dialog.h"
#include "uictl/frames/images/buttons_list.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <set>

namespace {

// A user image strip of 16 x 15 images, each one solid colour.
void fillStrip(ToolbarImages& strip, int count) {
  strip.bUserImagesList = true;
  strip.SetImageSize({16, 15});
  for (int i = 0; i < count; ++i) {
    QImage image(16, 15, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(i * 7 % 360, 200, 200));
    strip.AddImage(image);
  }
}

class ButtonsListTest : public DialogTest {
 protected:
  ButtonsListTest() {
    list = new ButtonsList(&host);
    list->setObjectName(QStringLiteral("id16508"));
    list->setGeometry(0, 0, 150, 80);
    host.resize(200, 100);
    host.show();
    fillStrip(strip, 30);
    list->SetImages(&strip);
  }
  void addButtons(int count) {
    for (int i = static_cast<int>(buttons.size()); i < count; ++i) {
      buttons.push_back(std::make_unique<CUxToolbarButton>(0, i));
      list->AddButton(buttons.back().get());
    }
  }
  int rows() const {
    std::set<int> tops;
    for (const auto& button : buttons) tops.insert(button->m_rect.top);
    return static_cast<int>(tops.size());
  }
  void dragThumbTo(int position) {
    QScrollBar* bar = list->scrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(position);
    bar->setSliderDown(false);
  }
  QPoint firstShownButton() const {
    for (const auto& button : buttons)
      if (list->displayedRect(button.get()).top >= 5) return list->displayedRect(button.get()).toQRect().center();
    return {};
  }

  // The list goes with its host, before the strip and the buttons it shows.
  ToolbarImages strip;
  std::vector<std::unique_ptr<CUxToolbarButton>> buttons;
  CommandDialog host;
  ButtonsList* list = nullptr;
};

}  // namespace

TEST_F(ButtonsListTest, ScrollsWholeRowsAndKeepsItsPlaceThroughALayout) {
  constexpr int pitch = 22 + 5;
  addButtons(3);
  EXPECT_TRUE(!list->scrollBar() || list->scrollBar()->isHidden());

  addButtons(30);
  ASSERT_TRUE(list->scrollBar() && list->scrollBar()->isVisible());
  ASSERT_GT(rows(), 3);
  // Two rows of 27 pixels fit in the 70 inside; the rest can be scrolled to.
  const int total = pitch * (rows() - 2);
  EXPECT_EQ(list->scrollTotal(), total);
  dragThumbTo(40);
  EXPECT_EQ(list->scrollOffset(), pitch);
  dragThumbTo(41);
  EXPECT_EQ(list->scrollOffset(), 2 * pitch);
  list->scrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(list->scrollOffset(), std::min(4 * pitch, total));
  list->scrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  dragThumbTo(40);

  // A click lands on the button shown under it, and the owner hears of the new selection.
  const int perRow = static_cast<int>(std::count_if(buttons.begin(), buttons.end(), [&](const auto& b) {
    return b->m_rect.top == buttons.front()->m_rect.top;
  }));
  const QPoint firstShown = firstShownButton();
  QTest::mouseClick(list, Qt::LeftButton, {}, firstShown);
  EXPECT_EQ(list->GetSelButton(), buttons[static_cast<size_t>(perRow)].get());
  EXPECT_EQ(host.commands.back(), (std::pair<unsigned, int>{16508, 0}));

  // Laid out again while scrolled: the same range, the same place, the same button under the point.
  list->resize(150, 81);
  EXPECT_EQ(list->scrollTotal(), total);
  EXPECT_EQ(list->scrollOffset(), pitch);
  EXPECT_EQ(firstShownButton(), firstShown);
  list->SelectButton(nullptr);
  QTest::mouseClick(list, Qt::LeftButton, {}, firstShown);
  EXPECT_EQ(list->GetSelButton(), buttons[static_cast<size_t>(perRow)].get());
  // What is drawn follows: the selection frame sits where the button shows.
  list->clearFocus();
  const QRect shown = list->displayedRect(list->GetSelButton()).toQRect();
  EXPECT_GT(countPixels(list, platform::fromPixel(strip.GetImageWell().pixel(perRow * 16 + 8, 7)), shown), 100);

  // The keys bring the selection into view a row at a time.
  list->setFocus();
  QTest::keyClick(list, Qt::Key_End);
  EXPECT_EQ(list->GetSelButton(), buttons.back().get());
  EXPECT_EQ(list->scrollOffset(), total);
  QTest::keyClick(list, Qt::Key_Home);
  EXPECT_EQ(list->scrollOffset(), 0);
}

namespace {

class AppearanceTest : public ::testing::Test {
 protected:
  // Once the modal dialog of that id shows, the user works in it.
  void whenShown(unsigned id, std::function<void(QWidget&)> work) {
    auto* poll = new QTimer(&owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, id, work] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog || dialog->objectName() != QStringLiteral("id%1").arg(id)) return;
      poll->stop();
      work(*dialog);
    });
    poll->start(5);
  }

  ~AppearanceTest() override { defaultImages().clear(); }

  template <class Control = QWidget>
  static Control* control(QWidget& dialog, unsigned id) {
    return dialog.findChild<Control*>(QStringLiteral("id%1").arg(id));
  }
  static void click(QWidget& dialog, unsigned id) { QTest::mouseClick(control(dialog, id), Qt::LeftButton); }

  UxLibrary library;
  RecordingNotifier boxes;
  platform::NotifierOverride quiet{boxes};
  QObject owner;
};

}  // namespace

TEST_F(AppearanceTest, MenuItemWithoutItsImageOpensAsTextAndKeepsItsShortcut) {
  defaultImages()[300] = 0;
  GetCommandManager().MarkCommand(300, false);
  CUxToolbarButton item(300, 0, L"開く\tCtrl+O");
  ButtonAppearanceDlg dialog(&item, nullptr, nullptr, 0, true);
  dialog.show();
  EXPECT_TRUE(control<QRadioButton>(dialog, 16506)->isChecked());
  EXPECT_FALSE(control(dialog, 16505)->isEnabled());
  EXPECT_FALSE(control(dialog, 16508)->isEnabled());
  auto* text = control<QLineEdit>(dialog, 16500);
  EXPECT_EQ(text->text(), QStringLiteral("開く"));
  text->setText(QStringLiteral("開き直す"));
  click(dialog, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(item.m_strText, L"開き直す\tCtrl+O");
  EXPECT_TRUE(item.m_bShowText);
  EXPECT_TRUE(GetCommandManager().IsMenuItemWithoutImage(300));
}

TEST_F(AppearanceTest, MissingImageOrTextKeepsTheDialogOpen) {
  ToolbarImages strip;
  fillStrip(strip, 2);
  CUxToolbarButton button(301, -1, L"");
  ButtonAppearanceDlg dialog(&button, &strip, nullptr, 0, false);
  dialog.show();
  // No image at all: text only, and the user images are where one would come from.
  EXPECT_TRUE(control<QRadioButton>(dialog, 16506)->isChecked());
  EXPECT_TRUE(control<QRadioButton>(dialog, 16529)->isChecked());
  click(dialog, 16505);
  click(dialog, 1);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes.back(), L": " + libraryString(kStringNoImageChosen));
  EXPECT_TRUE(dialog.isVisible());

  click(dialog, 16506);
  click(dialog, 1);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes.back(), L": " + libraryString(kStringNoButtonText));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(button.m_strText.empty());

  QTest::keyClicks(control(dialog, 16500), QStringLiteral("Go"));
  click(dialog, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(!button.m_bShowImage && button.m_bShowText);
  EXPECT_EQ(button.m_strText, L"Go");
}

TEST_F(AppearanceTest, ImageDrawnInTheEditorJoinsTheUserImages) {
  ToolbarImages strip;
  fillStrip(strip, 3);
  CUxToolbarButton button(302, 1, L"", true);
  ButtonAppearanceDlg dialog(&button, &strip, nullptr, 0, false);
  dialog.show();
  ButtonsList* list = dialog.userImagesList();
  ASSERT_NE(list->GetSelButton(), nullptr);
  EXPECT_EQ(list->GetSelButton()->GetImage(), 1);

  // The editor: one black cell in the top-left corner, then OK.
  bool edited = false;
  whenShown(16133, [&edited](QWidget& editor) {
    QTest::mouseClick(control(editor, 16513), Qt::LeftButton, {}, {5, 5});
    QTest::mouseClick(control(editor, 1), Qt::LeftButton);
    edited = true;
  });
  click(dialog, 16509);
  ASSERT_TRUE(edited);
  ASSERT_EQ(strip.GetCount(), 4);
  EXPECT_EQ(platform::fromPixel(strip.GetImageWell().pixel(3 * 16, 0)), 0u);
  EXPECT_EQ(platform::fromPixel(strip.GetImageWell().pixel(3 * 16 + 1, 0)), globalData().clrBtnFace);
  EXPECT_EQ(list->GetSelButton()->GetImage(), 3);
  click(dialog, 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(button.m_bUserImage);
  EXPECT_EQ(button.m_iUserImage, 3);
}

TEST_F(AppearanceTest, ToolbarsOpenTheInstalledDialog) {
  RegisterButtonAppearanceDialog();
  defaultImages()[310] = 0;
  CommandDialog frame;
  frame.show();
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(310, 0, L"Print"));
  bar->AdjustLayout();
  CUxToolBar::SetCustomizeMode(true);
  bar->m_iSelected = 0;
  whenShown(16132, [](QWidget& dialog) {
    click(dialog, 16507);
    click(dialog, 1);
  });
  bar->OnCustomizeCommand(kCmdAppearance);
  CUxToolBar::SetCustomizeMode(false);
  EXPECT_TRUE(bar->GetButton(0)->m_bShowText && bar->GetButton(0)->m_bShowImage);
}

TEST_F(AppearanceTest, TheLibrarysUserImagesReachTheDialogAndShowOnTheButton) {
  RegisterButtonAppearanceDialog();
  ToolbarImages strip;
  fillStrip(strip, 2);
  setUserImages(&strip);
  defaultImages()[320] = 0;
  QImage standard(16, 15, QImage::Format_RGB32);
  standard.fill(Qt::darkCyan);
  sharedImages(kImages).AddImage(standard);
  CommandDialog frame;
  frame.show();
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame);
  // The dialog answers no command updates: its buttons stay usable, not greyed.
  bar->m_bDisableIfNoHandler = false;
  bar->InsertButton(std::make_unique<CUxToolbarButton>(320, 0, L"Draw"));
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  CUxToolBar::SetCustomizeMode(true);
  bar->m_iSelected = 0;
  const auto blackOnButton = [bar] {
    const QImage shown = bar->grab().toImage();
    const QRect button = bar->GetItemRect(0).toQRect().translated(bar->ClientToWidget({0, 0}));
    int black = 0;
    for (int y = button.top(); y <= button.bottom(); ++y)
      for (int x = button.left(); x <= button.right(); ++x) black += platform::fromPixel(shown.pixel(x, y)) == 0u;
    return black;
  };
  const int blackBefore = blackOnButton();

  // The user images are offered; a new one is drawn in the editor (one black cell) and chosen.
  int listed = -1;
  bool drawn = false;
  whenShown(16132, [&](QWidget& dialog) {
    click(dialog, 16529);
    EXPECT_TRUE(control(dialog, 16508)->isEnabled());
    ButtonsList* list = static_cast<ButtonAppearanceDlg&>(dialog).userImagesList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    if (list->GetSelButton()) listed = list->GetSelButton()->GetImage();
    whenShown(16133, [&drawn](QWidget& editor) {
      QTest::mouseClick(control(editor, 16513), Qt::LeftButton, {}, {5, 5});
      QTest::mouseClick(control(editor, 1), Qt::LeftButton);
      drawn = true;
    });
    click(dialog, 16509);
    click(dialog, 1);
  });
  bar->OnCustomizeCommand(kCmdAppearance);
  CUxToolBar::SetCustomizeMode(false);
  setUserImages(nullptr);
  ASSERT_TRUE(drawn);
  EXPECT_EQ(listed, 1);  // the last of the host's two images
  ASSERT_EQ(strip.GetCount(), 3);
  const CUxToolbarButton* button = bar->GetButton(0);
  EXPECT_TRUE(button->m_bUserImage);
  EXPECT_EQ(button->m_iUserImage, 2);
  setUserImages(&strip);
  EXPECT_EQ(blackOnButton(), blackBefore + 1);
  setUserImages(nullptr);
}
