// The colour button and its popup as an options page uses them: set-up, the popup's palette and
// layout, choosing with the mouse and the keyboard, the other-colour chooser, and what it shows.
#include "platform/drawing/system_metrics.h"
#include "platform/windows/color_dialog.h"
#include "uictl/frames/colour/color_bar.h"
#include "uictl/frames/colour/color_button.h"
#include "uictl/frames/colour/color_picker_dialog.h"
#include "uictl/frames/colour/system_palette.h"
#include "uictl/bars/drawing/visual_manager.h"

#include "frames_test_support.h"
#include "patience.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <functional>

using namespace platform;

namespace {

// Keeps the idle prompts a window gets.
struct PromptEar : QObject {
  explicit PromptEar(std::vector<std::string>& heard) : heard(heard) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == registerWindowMessage("WM_SETMESSAGESTRING")) heard.push_back("idle");
    return false;
  }
  std::vector<std::string>& heard;
};

class ScriptedChooser : public ColorDialogs {
 public:
  std::optional<COLORREF> answer;
  std::vector<COLORREF> asked;
  // What the user does inside the dialog before answering.
  std::function<void()> inside;
  std::optional<COLORREF> chooseColor(QWidget*, COLORREF initial) override {
    asked.push_back(initial);
    if (inside) inside();
    return answer;
  }
};

// A look that may take over the colour button's border and arrow, and keeps what it was asked.
class ColourButtonLook : public CUxVisualManager {
 public:
  struct Call {
    Rect rect;
    bool disabled = false, pushed = false, hot = false;
    int borderStyle = 0;
  };
  bool IsFlatButtonLook() override { return flat; }
  bool OnDrawColorButtonBorder(Dc*, const Rect& rect, CUxColorButton* button, bool disabled) override {
    borders.push_back({rect, disabled, false, false, button->m_nBorderStyle});
    return drawsBorder;
  }
  bool OnDrawColorButtonArrow(Dc*, const Rect& rect, CUxColorButton*, bool disabled, bool pushed,
                              bool hot) override {
    arrows.push_back({rect, disabled, pushed, hot});
    return drawsArrow;
  }
  bool flat = false, drawsBorder = false, drawsArrow = false;
  std::vector<Call> borders, arrows;
};

// Puts a look in place of the current one for the time of a test, with the owner-drawn buttons
// drawing through it.
class LookInPlace {
 public:
  LookInPlace() {
    delete CUxVisualManager::GetInstance();
    look = std::make_unique<ColourButtonLook>();
    CUxButton::bBordersByVisualManager = true;
  }
  ~LookInPlace() {
    CUxButton::bBordersByVisualManager = false;
    look.reset();
  }
  std::unique_ptr<ColourButtonLook> look;
};

}  // namespace

class ColorButtonTest : public DialogTest {
 protected:
  ColorButtonTest() {
    button = new CUxColorButton(&dialog);
    button->setObjectName("id1201");
    button->setGeometry(10, 10, 100, 24);
    button->show();
  }
  CUxColorBar* open() {
    QTest::mouseClick(button, Qt::LeftButton, {}, {10, 10});
    return button->GetPopup() ? button->GetPopup()->GetColorBar() : nullptr;
  }
  // The centre of a cell in its bar's widget coordinates.
  static QPoint centreOf(CUxColorBar* bar, int index) {
    const Rect r = bar->GetButton(index)->m_rect;
    return bar->ClientToWidget({r.left + r.width() / 2, r.top + r.height() / 2});
  }
  static CColorButton* cell(CUxColorBar* bar, int index) { return dynamic_cast<CColorButton*>(bar->GetButton(index)); }
  static int indexOf(CUxColorBar* bar, COLORREF colour) {
    for (int i = 0; i < bar->GetCount(); ++i)
      if (CColorButton* c = cell(bar, i); c && c->IsPlain() && !c->IsCustomSample && c->Color == colour) return i;
    return -1;
  }
  CUxColorButton* button = nullptr;
};

TEST_F(ColorButtonTest, TheOptionsPageSetsUpReadsBackAndHearsOneClickPerChoice) {
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  button->EnableAutomaticButton(L"Default", rgb(0xFF, 0xFF, 0xFF), true);
  button->SetColor(kNoColor);
  EXPECT_EQ(button->GetColor(), kNoColor);
  button->SetColor(rgb(0, 0, 0x80));
  EXPECT_EQ(clicks.count(), 0);

  CUxColorBar* bar = open();
  ASSERT_NE(bar, nullptr);
  // The standard twenty colours after the automatic entry, five columns by four rows.
  const COLORREF expected[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                               0xC0C0C0, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF,
                               0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  ASSERT_TRUE(cell(bar, 0)->IsAutomatic);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(cell(bar, i + 1)->Color, expected[i]) << i;
  EXPECT_EQ(bar->GetButton(2)->m_rect.top, bar->GetButton(1)->m_rect.top);
  EXPECT_EQ(bar->GetButton(6)->m_rect.left, bar->GetButton(1)->m_rect.left);
  EXPECT_GT(bar->GetButton(16)->m_rect.top, bar->GetButton(11)->m_rect.top);
  const Size size = bar->CalcSize(false);
  EXPECT_EQ(size.cx, 93);
  EXPECT_EQ(size.cy, 96);
  // Just below the button.
  EXPECT_EQ(button->GetPopup()->pos(), button->mapToGlobal(QPoint(0, button->height())));
  EXPECT_TRUE(cell(bar, indexOf(bar, rgb(0, 0, 0x80)))->Highlighted);

  const int red = indexOf(bar, rgb(0xFF, 0, 0));
  COLORREF readInHandler = 0;
  QObject::connect(button, &QAbstractButton::clicked, [&] { readInHandler = button->GetColor(); });
  QTest::mouseMove(bar, centreOf(bar, red));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, red));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(readInHandler, rgb(0xFF, 0, 0));
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_TRUE(button->hasFocus());

  // The automatic entry gives -1.
  bar = open();
  QTest::mouseMove(bar, centreOf(bar, 0));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_EQ(button->GetColor(), kNoColor);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ColorButtonTest, KeysOpenChooseAndCloseAndASecondPressCloses) {
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Space);
  ASSERT_NE(button->GetPopup(), nullptr);
  QTest::keyClick(button, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_TRUE(button->hasFocus());
  EXPECT_EQ(clicks.count(), 0);

  QTest::keyClick(button, Qt::Key_Down);
  ASSERT_NE(button->GetPopup(), nullptr);
  // The first arrow finds the current colour (black); then right, and down a row; Enter takes it.
  QTest::keyClick(button, Qt::Key_Down);
  QTest::keyClick(button, Qt::Key_Right);
  QTest::keyClick(button, Qt::Key_Down);
  QTest::keyClick(button, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(button->GetColor(), rgb(0, 0x80, 0x80));
  // From teal: up a row, up again stays, left to the first cell, left again stays, right one.
  // Space chooses too.
  QTest::keyClick(button, Qt::Key_Space);
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Left, Qt::Key_Right})
    QTest::keyClick(button, key);
  QTest::keyClick(button, Qt::Key_Space);
  QApplication::processEvents();
  EXPECT_EQ(button->GetColor(), rgb(0x80, 0, 0));
  EXPECT_EQ(clicks.count(), 2);

  // A press on the button while its popup is open closes it and opens none.
  ASSERT_NE(open(), nullptr);
  QTest::mouseClick(button, Qt::LeftButton, {}, {10, 10});
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  // So does a press elsewhere in the dialog.
  ASSERT_NE(open(), nullptr);
  QTest::mouseClick(&dialog, Qt::LeftButton, {}, {300, 200});
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(clicks.count(), 2);
}

// The options dialog is modal. Input goes in through the windows as the window system gives it:
// the window that saw a press keeps the moves and the release, the rest go to the window under
// the pointer.
TEST_F(ColorButtonTest, InAModalDialogBothAClickThenAClickAndAPressDragReleasePick) {
  dialog.hide();
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
  QWindow* dialogWindow = dialog.windowHandle();
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  const QPoint arrow = button->mapTo(&dialog, QPoint(button->width() - 6, button->height() / 2));
  const auto openByClick = [&] {
    QTest::mouseClick(dialogWindow, Qt::LeftButton, {}, arrow);
    return button->GetPopup();
  };
  const auto inPopup = [](CColorPopup* popup, COLORREF colour) {
    CUxColorBar* bar = popup->GetColorBar();
    return bar->mapTo(popup, centreOf(bar, indexOf(bar, colour)));
  };

  // Click on the arrow, then click a colour in the popup.
  CColorPopup* popup = openByClick();
  ASSERT_NE(popup, nullptr);
  QTest::mouseMove(popup->windowHandle(), inPopup(popup, rgb(0xFF, 0, 0)));
  QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, inPopup(popup, rgb(0xFF, 0, 0)));
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(button->GetColor(), rgb(0xFF, 0, 0));
  EXPECT_EQ(clicks.count(), 1);

  // The keys reach a popup opened by a click: from red one to the right, Enter takes it.
  ASSERT_NE(openByClick(), nullptr);
  QTest::keyClick(dialogWindow, Qt::Key_Right);
  QTest::keyClick(dialogWindow, Qt::Key_Right);
  QTest::keyClick(dialogWindow, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(button->GetColor(), rgb(0, 0xFF, 0));

  // Press on the arrow, drag to a colour and release there.
  QTest::mousePress(dialogWindow, Qt::LeftButton, {}, arrow);
  popup = button->GetPopup();
  ASSERT_NE(popup, nullptr);
  const QPoint blue = dialogWindow->mapFromGlobal(popup->mapToGlobal(inPopup(popup, rgb(0, 0, 0xFF))));
  QTest::mouseMove(dialogWindow, blue);
  QTest::mouseRelease(dialogWindow, Qt::LeftButton, {}, blue);
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(button->GetColor(), rgb(0, 0, 0xFF));
  EXPECT_EQ(clicks.count(), 3);

  // A right or a middle press outside closes the popup and picks nothing.
  for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
    ASSERT_NE(openByClick(), nullptr);
    QTest::mousePress(dialogWindow, other, {}, {300, 200});
    QTest::mouseRelease(dialogWindow, other, {}, {300, 200});
    QApplication::processEvents();
    EXPECT_EQ(button->GetPopup(), nullptr) << other;
  }
  EXPECT_EQ(button->GetColor(), rgb(0, 0, 0xFF));
  EXPECT_EQ(clicks.count(), 3);
}

TEST_F(ColorButtonTest, TheOtherEntryAsksTheSystemChooserAndACancelKeepsTheColour) {
  ScriptedChooser chooser;
  ColorDialogOverride guard(chooser);
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  button->EnableAutomaticButton(L"Default", rgb(1, 2, 3), true);
  button->EnableOtherButton(L"other", false, true);
  button->SetColor(rgb(0x12, 0x34, 0x56));

  CUxColorBar* bar = open();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->CalcSize(false).cy, 120);
  EXPECT_TRUE(bar->UseSystemColorDialog);
  // A colour not offered shows as a highlighted sample at the end of the other row.
  CColorButton* sample = cell(bar, bar->GetCount() - 1);
  const int otherIndex = bar->GetCount() - 2;
  ASSERT_TRUE(sample->IsCustomSample);
  EXPECT_FALSE(sample->m_rect.isEmpty());
  EXPECT_TRUE(sample->Highlighted);
  EXPECT_EQ(sample->Color, rgb(0x12, 0x34, 0x56));
  EXPECT_EQ(bar->GetButton(otherIndex)->m_rect.right + 2, sample->m_rect.left);
  // Choosing a palette colour in the bar hides it again.
  bar->SetColor(rgb(0xFF, 0, 0));
  EXPECT_TRUE(sample->m_rect.isEmpty());
  EXPECT_FALSE(sample->Highlighted);
  bar->SetColor(rgb(0x12, 0x34, 0x56));

  QTest::mouseMove(bar, centreOf(bar, otherIndex));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, otherIndex));
  QApplication::processEvents();
  ASSERT_EQ(chooser.asked.size(), 1u);
  EXPECT_EQ(chooser.asked[0], rgb(0x12, 0x34, 0x56));
  EXPECT_EQ(button->GetPopup(), nullptr);
  EXPECT_EQ(button->GetColor(), rgb(0x12, 0x34, 0x56));
  EXPECT_EQ(clicks.count(), 0);

  // Clicks and keys inside the dialog are the dialog's: the hidden popup neither takes nor closes on them.
  chooser.answer = rgb(0x22, 0x44, 0x66);
  QWidget chooserWindow;
  chooserWindow.resize(100, 100);
  chooserWindow.show();
  int keysSeen = 0;
  struct KeyCounter : QWidget {
    int* seen;
    explicit KeyCounter(QWidget* parent, int* n) : QWidget(parent), seen(n) { setFocusPolicy(Qt::StrongFocus); }
    void keyPressEvent(QKeyEvent*) override { ++*seen; }
  };
  auto* field = new KeyCounter(&chooserWindow, &keysSeen);
  field->resize(50, 20);
  field->show();
  chooser.inside = [&] {
    QTest::mouseClick(&chooserWindow, Qt::LeftButton, {}, {60, 60});
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_A);
  };
  button->SetColor(kNoColor);
  bar = open();
  QTest::mouseMove(bar, centreOf(bar, bar->GetCount() - 2));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, bar->GetCount() - 2));
  QApplication::processEvents();
  EXPECT_EQ(keysSeen, 2);
  // Automatic starts the chooser from the automatic colour.
  EXPECT_EQ(chooser.asked.back(), rgb(1, 2, 3));
  EXPECT_EQ(button->GetColor(), rgb(0x22, 0x44, 0x66));
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ColorButtonTest, TheSwatchShowsTheColourTheLabelOrOnlyItsFrames) {
  const GlobalDrawData& g = globalData();
  const COLORREF orange = rgb(0xFF, 0x80, 0x00);
  button->SetColor(orange);
  const int arrow = 8 + 9;
  EXPECT_EQ(pixel(button, 40, 12), orange);
  // Without a label, automatic with no automatic colour shows the frames only.
  button->SetColor(kNoColor);
  EXPECT_EQ(countPixels(button, orange), 0);
  EXPECT_EQ(pixel(button, 4, 4), g.clrBtnHighlight);
  EXPECT_EQ(pixel(button, 5, 5), g.clrBtnDarkShadow);
  EXPECT_EQ(pixel(button, 40, 12), g.clrBtnFace);
  // With a label: a square of the automatic colour at the left, the label right of it.
  button->EnableAutomaticButton(L"Default", orange, true);
  button->update();
  const int square = countPixels(button, orange, QRect(0, 0, 24, 24));
  EXPECT_EQ(square, 12 * 12);
  EXPECT_EQ(countPixels(button, orange), square);
  EXPECT_GT(countPixels(button, g.clrBtnText, QRect(24, 0, 100 - 24 - arrow, 24)), 0);
  // Disabled: no fill whatever the colour.
  button->SetColor(orange);
  button->setEnabled(false);
  EXPECT_EQ(countPixels(button, orange), 0);
  button->setEnabled(true);
  // A 256-colour display fills with the nearest palette entry.
  globalData().nBitsPerPixel = 8;
  button->SetColor(rgb(250, 130, 10));
  EXPECT_EQ(pixel(button, 40, 12), rgb(255, 153, 0));
  globalData().nBitsPerPixel = 32;
  button->SetColor(rgb(250, 130, 10));
  EXPECT_EQ(pixel(button, 40, 12), rgb(250, 130, 10));
}

TEST_F(ColorButtonTest, CellsNameTheirColoursAndTheDocumentSectionShowsOnlyInAPopup) {
  colorBarMap()[rgb(0, 0x80, 0)] = L"Green";
  CColorButton orange(rgb(0xFF, 0x80, 0x00));
  EXPECT_EQ(orange.TipText(), L"Hex={FF,80,00}");
  EXPECT_EQ(CColorButton(rgb(0, 0x80, 0)).TipText(), L"Green");
  colorBarMap().clear();

  button->DocumentColorsLabel = L"Document";
  button->DocumentColors = {rgb(1, 1, 1), rgb(2, 2, 2)};
  CUxColorBar* bar = open();
  ASSERT_NE(bar, nullptr);
  // Caption row, one row of cells and the separator.
  EXPECT_EQ(bar->CalcSize(false).cy, 64 + 8 + 16 + 4 + 24 + 4);
  bar->InPopup = false;
  EXPECT_EQ(bar->CalcSize(false).cy, 64 + 8);
  bar->InPopup = true;
}

TEST_F(ColorButtonTest, DeletingTheButtonWithItsPopupOpenIsSafe) {
  ASSERT_NE(open(), nullptr);
  QPointer<CColorPopup> popup(button->GetPopup());
  delete button;
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(popup.isNull());
}

TEST(SystemPalette, HoldsTheStaticColoursACubeAndGreys) {
  const auto& palette = systemPalette();
  EXPECT_EQ(palette[0], 0u);
  EXPECT_EQ(palette[19], rgb(255, 255, 255));
  EXPECT_EQ(palette[20 + 215], rgb(255, 255, 255));
  EXPECT_EQ(nearestSystemPaletteColor(rgb(250, 130, 10)), rgb(255, 153, 0));
  EXPECT_EQ(nearestSystemPaletteColor(rgb(0xC0, 0xDC, 0xC0)), rgb(0xC0, 0xDC, 0xC0));
}

TEST_F(ColorButtonTest, TheOtherEntryOpensTheLibraryDialogWhenAskedFor) {
  ScriptedChooser chooser;
  ColorDialogOverride guard(chooser);
  QSignalSpy clicks(button, &QAbstractButton::clicked);
  button->EnableOtherButton(L"other", true, true);
  button->SetColor(rgb(0x12, 0x34, 0x56));
  CUxColorBar* bar = open();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->UseSystemColorDialog);
  bool seen = false;
  // Waits for the modal dialog, then types a red value and answers OK.
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* own = qobject_cast<ColorPickerDialog*>(QApplication::activeModalWidget());
    if (!own) return;
    poll.stop();
    seen = true;
    auto* red = own->findChild<QSpinBox*>("id16964");
    red->setValue(0xAB);
    QTest::mouseClick(own->findChild<QPushButton*>("id1"), Qt::LeftButton);
  });
  poll.start();
  const int otherIndex = bar->GetCount() - 2;
  QTest::mouseMove(bar, centreOf(bar, otherIndex));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, otherIndex));
  QApplication::processEvents();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(chooser.asked.empty());
  EXPECT_EQ(button->GetColor(), rgb(0xAB, 0x34, 0x56));
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ColorButtonTest, TheVisualManagerMayDrawTheBorderAndArrowAndGiveTheFlatLook) {
  const GlobalDrawData& g = globalData();
  const int w = button->width(), h = button->height(), arrow = 8 + 9;
  button->SetColor(rgb(0xFF, 0x80, 0x00));
  LookInPlace place;
  ColourButtonLook& look = *place.look;
  // The manager declines: the button's own frames and arrow, the manager asked on every paint.
  button->repaint();
  ASSERT_FALSE(look.borders.empty());
  EXPECT_EQ(look.borders.back().rect, Rect::fromSize(0, 0, w, h));
  EXPECT_EQ(pixel(button, 0, h / 2), g.clrBtnDarkShadow);
  ASSERT_FALSE(look.arrows.empty());
  EXPECT_EQ(look.arrows.back().rect, (Rect{w - 2 - arrow + 2, 4, w - 4, h - 4}));
  EXPECT_EQ(pixel(button, w - 2 - arrow, h / 2), g.clrBtnLight);

  // The manager draws both: the button draws no frame and no arrow part of its own, and its
  // content starts one pixel in.
  look.drawsBorder = look.drawsArrow = true;
  button->setEnabled(false);
  button->repaint();
  EXPECT_TRUE(look.borders.back().disabled);
  EXPECT_TRUE(look.arrows.back().disabled);
  button->setEnabled(true);
  look.flat = true;
  button->repaint();
  EXPECT_FALSE(look.borders.back().disabled);
  EXPECT_EQ(look.arrows.back().rect, (Rect{w - 1 - arrow + 2, 3, w - 3, h - 3}));
  // The flat look fills the face with the window colour, which also shows where the arrow was.
  const COLORREF window = getSysColor(ColorWindow);
  ASSERT_NE(window, g.clrBtnFace);
  EXPECT_EQ(pixel(button, 0, h / 2), window);
  EXPECT_EQ(pixel(button, 2, h / 2), window);
  EXPECT_EQ(countPixels(button, window, QRect(w - arrow, 0, arrow, h)), arrow * h);

  // Under the flat look the pointer is tracked as on a semi-flat button, and the arrow is told
  // it is hot.
  look.borders.clear();
  QTest::mouseMove(button, {20, 10});
  ASSERT_FALSE(look.borders.empty());
  EXPECT_EQ(look.borders.back().borderStyle, int(CUxButton::BorderSemiFlat));
  EXPECT_TRUE(look.arrows.back().hot);
  EXPECT_EQ(button->m_nBorderStyle, int(CUxButton::BorderStandard));

  // With the switch off nothing is asked.
  CUxButton::bBordersByVisualManager = false;
  look.borders.clear();
  look.arrows.clear();
  button->repaint();
  EXPECT_TRUE(look.borders.empty());
  EXPECT_TRUE(look.arrows.empty());
  EXPECT_EQ(pixel(button, 2, h / 2), g.clrBtnFace);
}

// The popup as a person meets it: no cell tips while the toolbars' tips are off; Enter puts the
// idle prompt back before the choice arrives; a context-menu request closes the popup.
TEST_F(ColorButtonTest, ThePopupFollowsTheTipSwitchEnterAndTheContextMenu) {
  std::vector<std::string> heard;
  PromptEar ear(heard);
  QObject::connect(button, &QAbstractButton::clicked, [&heard] { heard.push_back("chosen"); });
  CUxColorBar* bar = open();
  ASSERT_NE(bar, nullptr);
  bar->SetOwner(&dialog);
  dialog.installEventFilter(&ear);
  const QPoint teal = centreOf(bar, indexOf(bar, rgb(0, 0x80, 0x80)));
  toolbarClassData().bShowTooltips = false;
  QHelpEvent tip(QEvent::ToolTip, teal, bar->mapToGlobal(teal));
  QApplication::sendEvent(bar, &tip);
  toolbarClassData().bShowTooltips = true;
  EXPECT_NE(QToolTip::text(), QStringLiteral("Hex={00,80,80}"));
  QTest::keyClick(button, Qt::Key_Down);
  heard.clear();
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_EQ(heard, (std::vector<std::string>{"idle", "chosen"}));

  QContextMenuEvent request(QContextMenuEvent::Mouse, teal, teal);
  QApplication::sendEvent(bar = open(), &request);
  QApplication::processEvents();
  EXPECT_EQ(button->GetPopup(), nullptr);
}
