// A frame with a menu bar and a dialog that open the library's popup menus: keys, accelerators,
// Alt and clicks reach the open popup first, user-defined toolbars come and go on request, and
// customisation refuses commands.
#include "platform/windows/command_target.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/frames/frame_wnd.h"
#include "uictl/frames/ux_dialog.h"
#include "uictl/frames/docking/ux_mini_dock_frame.h"

#include "../../support/recording_notifier.h"
#include "patience.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWhatsThis>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class KeyRecorder : public QWidget {
 public:
  KeyRecorder() { setFocusPolicy(Qt::StrongFocus); }
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
  std::vector<int> keys;
};

class RecordingFrame : public CUxFrameWnd {
 public:
  std::vector<std::pair<unsigned, int>> commands;
  // The resource ids of the toolbar resets the frame heard of.
  std::vector<uintptr_t> resets;
  std::wstring messageString(unsigned id) const override { return id == 400 ? L"Prints the page" : L""; }
  bool event(QEvent* event) override {
    if (auto* message = dynamic_cast<RegisteredMessageEvent*>(event); message && event->type() == UXTOOLBAR_RESETTOOLBAR)
      resets.push_back(message->wParam());
    return CUxFrameWnd::event(event);
  }

 protected:
  bool OnFrameCommand(unsigned id, int notifyCode) override {
    commands.push_back({id, notifyCode});
    return true;
  }
};

MenuHandle mainMenu() {
  const MenuHandle menu = createMenu();
  for (const wchar_t* title : {L"&File", L"&Edit"}) {
    const MenuHandle sub = createPopupMenu();
    appendMenu(sub, MfString, 100, L"&Open");
    appendMenu(sub, MfString, 101, L"&Close");
    appendMenu(menu, MfPopup, sub.id(), title);
  }
  return menu;
}

void settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

QPoint titleCentre(CUxToolBar* bar, int index) {
  const Rect r = bar->GetButton(index)->m_rect;
  return bar->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace

class FrameRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.SetAccelerators(std::make_shared<std::vector<Accel>>(std::vector<Accel>{{FVirtKey | FControl, 'S', 300}}));
    frame.SetMenu(mainMenu());
    frame.SetCentralWidget(recorder);
    frame.EnableDocking(CbrsAlignAny);
    menuBar = new CUxMenuBar(&frame);
    menuBar->Create(&frame);
    frame.DockControlBar(menuBar, DockBarTop);
    frame.setGeometry(100, 100, 600, 400);
    frame.show();
    QApplication::setActiveWindow(&frame);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame, testwait::kPatienceMs));
    frame.RecalcLayout(true);
    recorder->setFocus();
  }
  void TearDown() override {
    if (CUxPopupMenu* popup = CUxPopupMenu::GetActiveMenu()) popup->close();
    CUxToolBar::SetCustomizeMode(false);
    settle();
  }
  CUxPopupMenu* openFileMenu() {
    menuBar->DropDownMenu(menuBar->GetButton(0));
    settle();
    return CUxPopupMenu::GetActiveMenu();
  }

  UxLibrary library;
  RecordingFrame frame;
  KeyRecorder* recorder = new KeyRecorder;
  CUxMenuBar* menuBar = nullptr;
};

TEST_F(FrameRoutingTest, KeysAndAcceleratorsGoToTheOpenPopup) {
  EXPECT_EQ(frame.Impl().GetMenuBar(), menuBar);
  EXPECT_FALSE(frame.GetMenu());  // the menu bar took the frame's menu
  ASSERT_EQ(menuBar->GetCount(), 2);

  // Without a popup the accelerator runs as an accelerator command.
  QTest::keyClick(recorder, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{300, 1}}));
  frame.commands.clear();
  recorder->keys.clear();

  // Opened from the keyboard, the popup selects its first item; the arrow moves on.
  QPointer<CUxPopupMenu> popup = openFileMenu();
  ASSERT_TRUE(popup && popup->GetSelItem());
  EXPECT_EQ(popup->GetSelItem()->m_nCommandId, 100u);
  QTest::keyClick(recorder, Qt::Key_Down);
  QTest::keyClick(recorder, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(popup && popup->isVisible());
  EXPECT_TRUE(frame.commands.empty());
  EXPECT_TRUE(recorder->keys.empty());
  ASSERT_TRUE(popup->GetSelItem());
  EXPECT_EQ(popup->GetSelItem()->m_nCommandId, 101u);

  // Plain F10 is left to the window; Shift+F10 goes to the popup.
  QTest::keyClick(recorder, Qt::Key_F10);
  EXPECT_EQ(recorder->keys, std::vector<int>{Qt::Key_F10});
  QTest::keyClick(recorder, Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_EQ(recorder->keys.size(), 1u);

  // An accelerator command that arrives anyway closes the popup instead of running.
  EXPECT_TRUE(frame.onCommand(300, 1));
  settle();
  EXPECT_FALSE(popup);
  EXPECT_TRUE(frame.commands.empty());
}

TEST_F(FrameRoutingTest, AltTogglesTheMenuBarFocusAndClosesAPopup) {
  QTest::keyClick(recorder, Qt::Key_Alt);
  EXPECT_TRUE(menuBar->hasFocus());
  QTest::keyClick(menuBar, Qt::Key_Alt);
  EXPECT_FALSE(menuBar->hasFocus());

  // Alt with a letter opens that menu and leaves the focus where it is.
  recorder->setFocus();
  QTest::keyClick(recorder, Qt::Key_E, Qt::AltModifier);
  settle();
  QPointer<CUxPopupMenu> popup = CUxPopupMenu::GetActiveMenu();
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->GetParentButton(), menuBar->GetButton(1));
  EXPECT_FALSE(menuBar->hasFocus());

  QTest::keyPress(recorder, Qt::Key_Alt);
  settle();
  EXPECT_FALSE(popup);
  QTest::keyRelease(recorder, Qt::Key_Alt);
}

TEST_F(FrameRoutingTest, AClickOnTheOpeningTitleClosesThePopupAndGoesNoFurther) {
  QTest::mouseClick(menuBar, Qt::LeftButton, {}, titleCentre(menuBar, 0));
  settle();
  QPointer<CUxPopupMenu> popup = CUxPopupMenu::GetActiveMenu();
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->GetParentButton(), menuBar->GetButton(0));

  // Passed on, the press would open the menu again.
  QTest::mousePress(menuBar, Qt::LeftButton, {}, titleCentre(menuBar, 0));
  QTest::mouseRelease(menuBar, Qt::LeftButton, {}, titleCentre(menuBar, 0));
  settle();
  EXPECT_FALSE(popup);
  EXPECT_FALSE(CUxPopupMenu::GetActiveMenu());

  // A click elsewhere in the frame closes the popup too, and is consumed.
  popup = openFileMenu();
  ASSERT_TRUE(popup);
  QTest::mouseClick(recorder, Qt::LeftButton, {}, QPoint(200, 200));
  settle();
  EXPECT_FALSE(popup);
}

TEST_F(FrameRoutingTest, UserToolbarsComeAndGoByTheRegisteredMessages) {
  RecordingNotifier notifier;
  NotifierOverride boxes(notifier);
  frame.Impl().m_nFirstCustomBarId = 0xE810;
  frame.Impl().m_nLastCustomBarId = 0xE811;
  auto create = [&](const wchar_t* name) {
    RegisteredMessageEvent message(UXTOOLBAR_CREATE, 0, reinterpret_cast<intptr_t>(name));
    QCoreApplication::sendEvent(&frame, &message);
    return reinterpret_cast<CUxToolBar*>(message.result);
  };
  auto remove = [&](CUxToolBar* bar) {
    RegisteredMessageEvent message(UXTOOLBAR_DELETE, 0, reinterpret_cast<intptr_t>(bar));
    QCoreApplication::sendEvent(&frame, &message);
    return message.result;
  };

  QPointer<CUxToolBar> first = create(L"Mine");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->GetDlgCtrlID(), 0xE810u);
  EXPECT_EQ(first->windowTitle(), QStringLiteral("Mine"));
  EXPECT_TRUE(first->IsFloating());
  EXPECT_NE(dynamic_cast<CUxMiniDockFrameWnd*>(first->window()), nullptr);  // the library's own floating frame
  EXPECT_EQ(first->GetBarStyle() & 0x34u, 0x34u);
  CUxToolBar* second = create(L"Other");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->GetDlgCtrlID(), 0xE811u);
  EXPECT_EQ(create(L"Third"), nullptr);
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_NE(notifier.boxes[0].find(L"2"), std::wstring::npos);

  // Only a bar the user made may be deleted; its id is free again afterwards.
  EXPECT_EQ(remove(menuBar), 0);
  EXPECT_TRUE(menuBar->isVisible());
  EXPECT_EQ(remove(first), 1);
  EXPECT_FALSE(first);
  EXPECT_EQ(create(L"Again")->GetDlgCtrlID(), 0xE810u);
}

TEST_F(FrameRoutingTest, ContextHelpOnAToolbarButtonShowsItsCommandsPrompt) {
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 0xE801);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(400, -1, L"Print"));
  frame.DockControlBar(bar, DockBarTop);
  frame.RecalcLayout(true);
  settle();
  const auto shownHelp = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat") return w;
    return static_cast<QWidget*>(nullptr);
  };
  ASSERT_FALSE(shownHelp());

  QWhatsThis::enterWhatsThisMode();
  QTest::mouseClick(bar, Qt::LeftButton, {}, titleCentre(bar, 0));
  EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
  EXPECT_TRUE(frame.commands.empty());
  QWidget* help = shownHelp();
  ASSERT_TRUE(help);
  QWhatsThis::hideText();
}

TEST_F(FrameRoutingTest, OnlyKeysThatTypeALetterChooseByItAndAToolbarResetReachesTheFrame) {
  const MenuHandle menu = createMenu();
  appendMenu(menu, MfPopup, mainMenu().id(), L"&Tools");
  menuBar->CreateFromMenu(menu);
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 0xE801);
  bar->EnableDocking(CbrsAlignAny);
  bar->InsertButton(std::make_unique<CUxToolbarButton>(500, -1, L"&Run"));
  frame.DockControlBar(bar, DockBarTop);
  // F3 and F5 carry the codes of r and t, but type nothing.
  for (Qt::Key key : {Qt::Key_F3, Qt::Key_F5, Qt::Key_R}) QTest::keyClick(recorder, key, Qt::AltModifier);
  settle();
  EXPECT_FALSE(CUxPopupMenu::GetActiveMenu());
  EXPECT_EQ(frame.commands, (std::vector<std::pair<unsigned, int>>{{500, 0}}));

  // Docked, the bar's reset reaches the frame, not the dock bar in between.
  const unsigned ids[] = {500};
  bar->SetButtons(ids, 1);
  EXPECT_EQ(frame.resets, std::vector<uintptr_t>{0});
}

TEST_F(FrameRoutingTest, CustomisationRefusesCommandsAndRoutesNoKeys) {
  CUxToolBar::SetCustomizeMode(true);
  EXPECT_FALSE(frame.onCommand(300, 1));
  EXPECT_FALSE(frame.onCommand(100, 0));
  QTest::keyClick(recorder, Qt::Key_F, Qt::AltModifier);
  settle();
  EXPECT_FALSE(CUxPopupMenu::GetActiveMenu());
  EXPECT_TRUE(frame.commands.empty());
}

TEST(DialogRouting, OneMouseHookServesNestedPopupsUntilTheyCloseFromOutsideOrByEscape) {
  UxLibrary library;
  CUxDialog dialog;
  dialog.setGeometry(100, 100, 300, 200);
  dialog.show();
  QWidget elsewhere;
  elsewhere.setGeometry(600, 100, 200, 200);
  elsewhere.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere, testwait::kPatienceMs));

  const MenuHandle menu = createPopupMenu();
  const MenuHandle sub = createPopupMenu();
  appendMenu(sub, MfString, 201, L"Inner");
  appendMenu(menu, MfPopup, sub.id(), L"&More");
  appendMenu(menu, MfString, 200, L"Plain");
  QPointer<CUxPopupMenu> outer = new CUxPopupMenu;
  ASSERT_TRUE(outer->Create(&dialog, 150, 150, menu, false, true));
  const int hook = DialogImpl::MouseHook();
  EXPECT_NE(hook, 0);

  outer->OnKeyDown(VkDown);
  outer->OnKeyDown(VkRight);
  settle();
  QPointer<CUxPopupMenu> inner = CUxPopupMenu::GetActiveMenu();
  ASSERT_TRUE(inner && inner != outer);
  EXPECT_EQ(DialogImpl::MouseHook(), hook);

  // A press inside a popup leaves it open; one outside the dialog closes the popups.
  QTest::mousePress(inner, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseRelease(inner, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_TRUE(inner);
  QTest::mouseClick(&elsewhere, Qt::LeftButton, {}, QPoint(50, 50));
  settle();
  EXPECT_FALSE(inner);
  EXPECT_FALSE(outer);
  EXPECT_EQ(DialogImpl::MouseHook(), 0);

  const MenuHandle again = createPopupMenu();
  appendMenu(again, MfString, 200, L"Plain");
  QPointer<CUxPopupMenu> escaped = new CUxPopupMenu;
  ASSERT_TRUE(escaped->Create(&dialog, 150, 150, again, false, true));
  ASSERT_NE(DialogImpl::MouseHook(), 0);
  escaped->OnKeyDown(VkEscape);
  settle();
  EXPECT_FALSE(escaped);
  EXPECT_EQ(DialogImpl::MouseHook(), 0);
}

namespace {

// A window that acts for its owner (a floating palette, say): while it is active the owner's
// caption stays active.
class ActsForOwner : public QWidget {
 public:
  bool event(QEvent* e) override {
    if (e->type() == floatStatusMessage()) {
      auto* query = static_cast<RegisteredMessageEvent*>(e);
      if (query->wParam() == kFloatStatusSyncActive) query->result = 1;
      return true;
    }
    return QWidget::event(e);
  }
};

class Sheet : public QWidget, public CUxPropertySheet {
 public:
  void OnActivatePage(CUxPropertyPage* page) override { activated.push_back(page); }
  std::vector<CUxPropertyPage*> activated;
};

}  // namespace

TEST(DialogRouting, TheCaptionStaysActiveForAWindowActingForTheDialogAndPagesTellTheirSheet) {
  UxLibrary library;
  CUxDialog dialog;
  dialog.setGeometry(100, 100, 300, 200);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  EXPECT_TRUE(dialog.IsCaptionActive());
  ActsForOwner palette;
  palette.setGeometry(450, 100, 100, 100);
  palette.show();
  QWidget other;
  other.setGeometry(600, 100, 100, 100);
  other.show();
  QApplication::setActiveWindow(&palette);
  EXPECT_TRUE(dialog.IsCaptionActive());
  QApplication::setActiveWindow(&other);
  EXPECT_FALSE(dialog.IsCaptionActive());
  // Active but disabled, as under a modal box of its own: inactive.
  QApplication::setActiveWindow(&dialog);
  dialog.setEnabled(false);
  EXPECT_FALSE(dialog.IsCaptionActive());
  dialog.setEnabled(true);
  EXPECT_TRUE(dialog.IsCaptionActive());

  // A page tells the sheet it sits in, however deep, that it becomes active.
  Sheet sheet;
  auto* page = new CUxPropertyPage(new QWidget(&sheet));
  EXPECT_TRUE(page->OnSetActive());
  EXPECT_EQ(sheet.activated, std::vector<CUxPropertyPage*>{page});
  CUxPropertyPage alone;
  EXPECT_TRUE(alone.OnSetActive());
}
