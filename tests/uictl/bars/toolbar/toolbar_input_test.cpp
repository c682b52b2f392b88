// The toolbar driven with the mouse and keys as a user drives it: hot tracking, pressing,
// releasing, Escape, stretching, and each command of the customise context menu.
#include "platform/windows/menu_handles.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

#include "toolbar_test_support.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWhatsThis>
#include <gtest/gtest.h>

using namespace platform;

namespace {

std::wstring labels(unsigned command) { return command == 101 ? L"Save the file\nSave" : std::wstring(); }

// A customise press that is released before the pointer leaves the button.
class ClickOnlyDrag : public ToolbarDragDriver {
 public:
  ToolbarDragResult DoDragDrop(QWidget*, std::unique_ptr<QMimeData>, unsigned, const QRect&, ToolbarDropSource&) override {
    ++drags;
    return {};
  }
  int drags = 0;
};

class ResizableButton : public CUxToolbarButton {
 public:
  ResizableButton() : CUxToolbarButton(300, -1, L"edit") {}
  bool CanBeResized() const override { return true; }
  void OnSize(int width) override { widths.push_back(width); }
  std::vector<int> widths;
};

struct MenuSeen {
  unsigned state(unsigned id) const { return getMenuState(menu, id, MfByCommand); }
  MenuHandle menu;
  int shown = 0;
};

}  // namespace

class ToolbarInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setCommandStringSource(labels);
    setToolbarDragDriver(&driver);
    frame.resize(400, 100);
    frame.show();
    makeBar(&frame, 59392);
    bar = frame.findChild<CUxToolBar*>("id59392");
  }
  void TearDown() override {
    CUxToolBar::SetCustomizeMode(false);
    setToolbarDragDriver(nullptr);
    setToolbarMenuTracker({});
    setCommandStringSource(nullptr);
  }
  // Opens the customise menu over a button and runs `command` from it (0: none).
  MenuSeen contextMenu(int index, unsigned command) {
    MenuSeen seen;
    setToolbarMenuTracker([&seen, command](MenuHandle menu, const QPoint&, QWidget*) {
      ++seen.shown;
      // The menu goes when the tracker returns; keep a copy of its states.
      seen.menu = createPopupMenu();
      for (int i = 0; i < getMenuItemCount(menu); ++i) {
        const unsigned id = getMenuItemId(menu, i);
        appendMenu(seen.menu, getMenuState(menu, static_cast<unsigned>(i), MfByPosition) & (MfGrayed | MfChecked | MfSeparator), id);
      }
      return command;
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, centreOf(bar, index), bar->mapToGlobal(centreOf(bar, index)));
    QCoreApplication::sendEvent(bar, &event);
    return seen;
  }
  UxLibrary library;
  ClickOnlyDrag driver;
  TestFrame frame;
  CUxToolBar* bar = nullptr;
};

TEST_F(ToolbarInputTest, HotTrackingPressReleaseAndEscape) {
  ASSERT_TRUE(bar);
  QTest::mouseMove(bar, centreOf(bar, 0));
  EXPECT_EQ(bar->GetHighlightedButton(), 0);
  EXPECT_TRUE(bar->m_bTracked);
  QEvent leave(mouseLeaveEvent());
  QCoreApplication::sendEvent(bar, &leave);
  EXPECT_EQ(bar->GetHighlightedButton(), -1);
  EXPECT_FALSE(bar->m_bTracked);

  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 1));
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{101, 0}}));
  EXPECT_EQ(bar->GetButtonStyle(1) & kStylePressed, 0u);

  // Released away from the pressed button: no command, and the button no longer looks pressed.
  QTest::mousePress(bar, Qt::LeftButton, {}, centreOf(bar, 0));
  EXPECT_TRUE(bar->GetButtonStyle(0) & kStylePressed);
  QTest::mouseMove(bar, centreOf(bar, 3));
  EXPECT_FALSE(bar->GetButtonStyle(0) & kStylePressed);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, centreOf(bar, 3));
  EXPECT_EQ(frame.commands.size(), 1u);

  // Buttons without a command, and disabled ones, send nothing.
  bar->InsertButton(std::make_unique<CUxToolbarButton>(0, -1, L"none"));
  bar->InsertButton(std::make_unique<CUxToolbarButton>(0xFFFFFFFFu, -1, L"menu"));
  bar->AdjustLayout();
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 4));
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 5));
  frame.disabled = {102};
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 3));
  EXPECT_EQ(frame.commands.size(), 1u);
  EXPECT_TRUE(bar->GetButtonStyle(3) & kStyleDisabled);

  // A command that closes the frame's bar ends the release quietly.
  struct Closing : TestFrame {
    bool onCommand(unsigned id, int code) override {
      delete findChild<CUxToolBar*>();
      return TestFrame::onCommand(id, code);
    }
  } closing;
  closing.show();
  CUxToolBar* doomed = makeBar(&closing, 5);
  QTest::mouseClick(doomed, Qt::LeftButton, {}, centreOf(doomed, 0));
  EXPECT_EQ(closing.commands.size(), 1u);
  EXPECT_FALSE(closing.findChild<CUxToolBar*>());

  // Before the event loop waits, visible bars ask their frame about their commands.
  frame.disabled = {101};
  QEventLoop idle;
  QTimer::singleShot(20, &idle, &QEventLoop::quit);
  idle.exec();
  EXPECT_TRUE(bar->GetButtonStyle(1) & kStyleDisabled);
  frame.disabled.clear();
  QTimer::singleShot(20, &idle, &QEventLoop::quit);
  idle.exec();
  EXPECT_FALSE(bar->GetButtonStyle(1) & kStyleDisabled);

  QTest::mouseMove(bar, centreOf(bar, 1));
  EXPECT_EQ(bar->GetHighlightedButton(), 1);
  QTest::keyClick(bar, Qt::Key_Escape);
  EXPECT_EQ(bar->GetHighlightedButton(), -1);
}

TEST_F(ToolbarInputTest, CustomiseModeSelectsStretchesAndRunsEachMenuCommand) {
  auto stretchy = std::make_unique<ResizableButton>();
  ResizableButton* edit = stretchy.get();
  bar->InsertButton(std::move(stretchy));
  bar->resize(bar->sizeHint() + QSize(60, 0));
  bar->AdjustLayout();
  CUxToolBar::SetCustomizeMode(true);

  // A click selects; near the right edge of a resizable button it stretches it.
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 1));
  EXPECT_EQ(bar->GetSelectedButton(), 1);
  EXPECT_EQ(CUxToolBar::g_pSelToolBar, bar);
  EXPECT_EQ(driver.drags, 1);
  EXPECT_TRUE(frame.commands.empty());
  const Rect r = bar->GetItemRect(4);
  ASSERT_LT(r.right, r.left + 38);
  // Selected, the resizable button shows near its right edge, before any press, that it stretches.
  QTest::mouseClick(bar, Qt::LeftButton, {}, centreOf(bar, 4));
  ASSERT_EQ(bar->GetSelectedButton(), 4);
  QTest::mouseMove(bar, bar->ClientToWidget({r.right - 2, r.top + 5}));
  EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor);
  QTest::mouseMove(bar, centreOf(bar, 4));
  EXPECT_NE(bar->cursor().shape(), Qt::SplitHCursor);
  const QImage unstretched = bar->grab().toImage();
  QTest::mousePress(bar, Qt::LeftButton, {}, bar->ClientToWidget({r.right - 2, r.top + 5}));
  EXPECT_TRUE(bar->m_bStretchButton);
  QTest::mouseMove(bar, bar->ClientToWidget({r.left + 40, r.top + 5}));
  EXPECT_EQ(bar->m_rectTrack.right, r.left + 40);
  // The track is drawn: its right edge, two pixels wide, inverts every other pixel under it.
  const QImage stretching = bar->grab().toImage();
  int inverted = 0, edge = 0;
  for (int y = r.top + 2; y < r.bottom - 2; ++y)
    for (int x = r.left + 38; x < r.left + 40; ++x, ++edge) {
      const QPoint p = bar->ClientToWidget({x, y});
      inverted += stretching.pixel(p) == (~unstretched.pixel(p) | 0xFF000000u);
    }
  EXPECT_EQ(inverted * 2, edge);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->ClientToWidget({r.left + 40, r.top + 5}));
  EXPECT_EQ(edit->widths, std::vector<int>{40});
  EXPECT_FALSE(bar->m_bStretchButton);

  // The first button: no group to begin, image only is checked, the dialog's entries are grey.
  MenuSeen first = contextMenu(0, 0);
  EXPECT_EQ(first.shown, 1);
  EXPECT_TRUE(first.state(kCmdBeginGroup) & MfGrayed);
  EXPECT_TRUE(first.state(kCmdImageOnly) & MfChecked);
  EXPECT_TRUE(first.state(kCmdAppearance) & MfGrayed);
  EXPECT_TRUE(first.state(kCmdNewMenu) & MfGrayed);
  EXPECT_FALSE(first.state(kCmdCopyImage) & MfGrayed);

  contextMenu(1, kCmdTextOnly);
  CUxToolbarButton* save = bar->GetButton(1);
  EXPECT_TRUE(save->m_bShowText && !save->m_bShowImage);
  EXPECT_EQ(save->m_strText, L"Save");
  EXPECT_TRUE(contextMenu(1, kCmdImageAndText).state(kCmdTextOnly) & MfChecked);
  EXPECT_TRUE(save->m_bShowText && save->m_bShowImage);
  contextMenu(1, kCmdImageOnly);
  EXPECT_TRUE(!save->m_bShowText && save->m_bShowImage);
  contextMenu(0, kCmdTextOnly);  // no text for 100: a beep, and the image stays
  EXPECT_TRUE(!bar->GetButton(0)->m_bShowText && bar->GetButton(0)->m_bShowImage);

  save->m_bShowImage = false;
  save->m_bShowText = true;
  contextMenu(1, kCmdToolbarReset);
  EXPECT_TRUE(save->m_bShowImage && !save->m_bShowText);
  EXPECT_EQ(save->m_iImage, defaultImages().at(101));

  QGuiApplication::clipboard()->clear();
  contextMenu(3, kCmdCopyImage);
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(16, 15));

  // Begin a group before 101, then end the one before 102.
  contextMenu(1, kCmdBeginGroup);
  ASSERT_EQ(bar->GetCount(), 6);
  EXPECT_TRUE(bar->GetButtonStyle(1) & kStyleSeparator);
  EXPECT_EQ(bar->GetSelectedButton(), 2);
  EXPECT_TRUE(contextMenu(4, kCmdBeginGroup).state(kCmdBeginGroup) & MfChecked);
  EXPECT_EQ(bar->GetCount(), 5);
  EXPECT_EQ(bar->GetButton(3)->m_nCommandId, 102u);

  contextMenu(3, kCmdDeleteButton);
  EXPECT_EQ(bar->CommandToIndex(102), -1);
  EXPECT_EQ(bar->GetSelectedButton(), -1);

  // A locked bar only beeps; outside customise mode the frame is asked for its menu.
  CUxToolBar* locked = makeBar(&frame, 6, kBarResource, CbrsAlignTop, true);
  QContextMenuEvent onLocked(QContextMenuEvent::Mouse, centreOf(locked, 0), locked->mapToGlobal(centreOf(locked, 0)));
  int shown = 0;
  setToolbarMenuTracker([&shown](MenuHandle, const QPoint&, QWidget*) { return ++shown, 0u; });
  QCoreApplication::sendEvent(locked, &onLocked);
  EXPECT_EQ(shown, 0);
  CUxToolBar::SetCustomizeMode(false);
  frame.messages.clear();
  contextMenu(0, 0);
  ASSERT_FALSE(frame.messages.empty());
  EXPECT_EQ(frame.messages.back().first, UXTOOLBAR_POPUPMENU);
  EXPECT_EQ(frame.messages.back().second, reinterpret_cast<uintptr_t>(bar));
}

TEST_F(ToolbarInputTest, AppearanceCommandsGoThroughTheInstalledDialog) {
  CUxToolBar::SetCustomizeMode(true);
  int asked = 0;
  bool accept = false;
  setButtonAppearanceOpener([&](CUxToolbarButton& button, CUxToolBar& on, bool menuMode) {
    ++asked;
    EXPECT_EQ(&on, bar);
    EXPECT_FALSE(menuMode);
    if (accept) button.m_strText = L"Tools";
    return accept;
  });
  EXPECT_FALSE(contextMenu(1, 0).state(kCmdAppearance) & MfGrayed);

  // A new menu: nothing on Cancel; on OK it goes where the selection was, and stays selected.
  const int count = bar->GetCount();
  contextMenu(1, kCmdNewMenu);
  EXPECT_EQ(bar->GetCount(), count);
  accept = true;
  contextMenu(1, kCmdNewMenu);
  ASSERT_EQ(bar->GetCount(), count + 1);
  const CUxToolbarButton* menu = bar->GetButton(1);
  EXPECT_EQ(menu->m_strText, L"Tools");
  EXPECT_TRUE(menu->m_bShowText && !menu->m_bShowImage);
  EXPECT_EQ(bar->GetSelectedButton(), 1);

  // Image only for a button without an image asks for one; a Cancel leaves its text showing.
  accept = false;
  const int plain = bar->InsertButton(std::make_unique<CUxToolbarButton>(150, -1, L"Plain"), 0);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  contextMenu(plain, kCmdImageOnly);
  EXPECT_TRUE(bar->GetButton(plain)->m_bShowText && !bar->GetButton(plain)->m_bShowImage);
  EXPECT_EQ(asked, 3);

  // Without a dialog the commands that need one are unavailable.
  setButtonAppearanceOpener({});
  const MenuSeen without = contextMenu(plain, 0);
  EXPECT_TRUE(without.state(kCmdImageOnly) & MfGrayed);
  EXPECT_TRUE(without.state(kCmdImageAndText) & MfGrayed);
}

namespace {

// A frame that shows the help picked in context help mode; here it keeps what it was asked.
class HelpFrame : public TestFrame, public ContextHelpTarget {
 public:
  void WinHelp(unsigned helpContext, const QPoint&) override { helps.push_back(helpContext); }
  std::vector<unsigned> helps;
};

}  // namespace

TEST_F(ToolbarInputTest, AClickInContextHelpModeAsksTheButtonOrTheFrame) {
  HelpFrame helpFrame;
  helpFrame.resize(400, 100);
  helpFrame.show();
  CUxToolBar* helpBar = makeBar(&helpFrame, 59393);
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 120, L"&Open");
  auto menuButton = std::make_unique<CUxToolbarMenuButton>(0, menu, -1, L"&File");
  menuButton->m_bShowText = true;
  const int file = helpBar->InsertButton(std::move(menuButton));
  helpBar->resize(helpBar->sizeHint() + QSize(80, 0));
  helpBar->AdjustLayout();
  const QPoint empty(helpBar->width() - 20, helpBar->height() / 2);
  ASSERT_LT(helpBar->HitTest(helpBar->WidgetToClient(empty)), 0);

  // Over a button the cursor says there is help to ask for; over the empty bar it does not.
  QHelpEvent overButton(QEvent::QueryWhatsThis, centreOf(helpBar, 1), helpBar->mapToGlobal(centreOf(helpBar, 1)));
  QCoreApplication::sendEvent(helpBar, &overButton);
  EXPECT_TRUE(overButton.isAccepted());
  QHelpEvent overNothing(QEvent::QueryWhatsThis, empty, helpBar->mapToGlobal(empty));
  QCoreApplication::sendEvent(helpBar, &overNothing);
  EXPECT_FALSE(overNothing.isAccepted());

  // A command's button: its help goes to the frame, the mode and the mouse hook end, and the
  // command does not run.
  CUxToolBar::SetHook(true);
  struct HookOff {
    ~HookOff() { CUxToolBar::SetHook(false); }
  } hookOff;
  QWhatsThis::enterWhatsThisMode();
  QTest::mouseClick(helpBar, Qt::LeftButton, {}, centreOf(helpBar, 1));
  EXPECT_EQ(helpFrame.helps, std::vector<unsigned>{kHidBaseCommand + 101});
  EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
  EXPECT_FALSE(CUxToolBar::isMouseHookSet());
  EXPECT_TRUE(helpFrame.commands.empty());
  EXPECT_FALSE(helpBar->GetButtonStyle(1) & kStylePressed);

  // A menu button opens its menu instead, where the item to ask about is chosen.
  QWhatsThis::enterWhatsThisMode();
  QTest::mouseClick(helpBar, Qt::LeftButton, {}, centreOf(helpBar, file));
  auto* fileButton = dynamic_cast<CUxToolbarMenuButton*>(helpBar->GetButton(file));
  ASSERT_TRUE(fileButton);
  EXPECT_TRUE(fileButton->IsDroppedDown());
  EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
  EXPECT_EQ(helpFrame.helps.size(), 1u);
  fileButton->OnCancelMode();

  // No button: only a beep, and the mode ends.
  QWhatsThis::enterWhatsThisMode();
  QTest::mouseClick(helpBar, Qt::LeftButton, {}, empty);
  EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
  EXPECT_EQ(helpFrame.helps.size(), 1u);
  EXPECT_TRUE(helpFrame.commands.empty());
}
