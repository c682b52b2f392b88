// The menu bar on a test MDI frame: titles from menus kept through the menu hash, the buttons
// of a maximised child, the arrow keys and the saved state.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"

#include "popup_test_support.h"
#include "patience.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

using namespace platform;

namespace {

class MdiFrame : public MenuFrame, public MenuBarFrame {
 public:
  void SetMenuBar(CUxMenuBar* bar) override { menuBar = bar; }
  QRect DockingRect() const override { return QRect(0, 0, 600, 30); }
  void RecalcLayout() override { ++layouts; }
  bool IsMdiFrame() const override { return true; }
  MdiChildState ActiveMdiChild() const override { return child; }
  MenuHandle ActiveChildSystemMenu() const override { return child.systemMenu; }
  void SendActiveChildSysCommand(unsigned command) override { sysCommands.push_back(command); }
  std::vector<DocumentMenu> DocumentMenus() const override { return documents; }
  MenuHandle LoadDocumentMenu(unsigned resourceId) override {
    return resourceId == kBrokenTemplate ? MenuHandle() : documentMenu(resourceId);
  }
  void SetDocumentMenu(unsigned resourceId, MenuHandle menu) override {
    for (DocumentMenu& document : documents)
      if (document.resourceId == resourceId) document.menu = menu;
  }
  // A template's menu: its resource id in the first title.
  static MenuHandle documentMenu(unsigned resourceId);
  static constexpr unsigned kBrokenTemplate = 0x3003;
  std::vector<DocumentMenu> documents;
  CUxMenuBar* menuBar = nullptr;
  MdiChildState child;
  int layouts = 0;
  std::vector<unsigned> sysCommands;
};

class KeepingWorkspace : public CObject, public UxOriginalStateOption {
 public:
  bool IsOriginalStateKept() const override { return true; }
};

MenuHandle mainMenu(const wchar_t* first, std::initializer_list<const wchar_t*> others = {L"&Edit", L"&View"}) {
  const MenuHandle menu = createMenu();
  std::vector<const wchar_t*> all{first};
  all.insert(all.end(), others);
  for (const wchar_t* title : all) {
    const MenuHandle sub = createPopupMenu();
    appendMenu(sub, MfString, 100, L"Item");
    appendMenu(menu, MfPopup, sub.id(), title);
  }
  return menu;
}

MenuHandle MdiFrame::documentMenu(unsigned resourceId) {
  return mainMenu(resourceId == 0x2001 ? L"&Sheet" : L"&Card", {L"&Edit", L"&Window"});
}

// Three titles whose menus hold a command in everyday use (100) and one hardly ever used (101).
MenuHandle menuWithARareCommand() {
  const MenuHandle menu = createMenu();
  for (const wchar_t* title : {L"&File", L"&Edit", L"&View"}) {
    const MenuHandle sub = createPopupMenu();
    appendMenu(sub, MfString, 100, L"&Open");
    appendMenu(sub, MfString, 101, L"&Rare");
    appendMenu(menu, MfPopup, sub.id(), title);
  }
  return menu;
}

// The title's menu is open and lists the hardly used command: it shows all its commands.
bool opensWhole(const CUxToolbarMenuButton* title) {
  return title->m_pPopupMenu && title->m_pPopupMenu->GetMenuBar()->CommandToIndex(101) >= 0;
}

std::vector<std::wstring> titles(const CUxToolBar* bar) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < bar->GetCount(); ++i) texts.push_back(bar->GetButton(i)->m_strText);
  return texts;
}

}  // namespace

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.setGeometry(0, 0, 600, 400);
    frame.show();
    bar = new CUxMenuBar(&frame);
    bar->Create(&frame);
    bar->CreateFromMenu(defaultMenu, true);
    bar->resize(600, 30);
  }
  void TearDown() override {
    closeAllPopups();
    setWorkspace(nullptr, false);
  }
  // Menus shortened to the commands in use, the bar shown with the titles of such menus.
  void useShortenedMenus() {
    CUxToolBar::AddBasicCommand(100);
    for (int i = 0; i < 20; ++i) commandUsage().AddCmd(102);
    bar->CreateFromMenu(menuWithARareCommand(), true, true);
    bar->show();
    bar->AdjustLayout();
    settle();
  }
  CUxToolbarMenuButton* title(int index) const { return dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(index)); }
  // Opens the title's menu from the keyboard, the pointer staying where it is.
  void dropDown(int index) {
    bar->m_iHighlighted = index;
    QTest::keyClick(bar, Qt::Key_Down);
    settle();
  }
  int resetNotices() const {
    return static_cast<int>(std::count(frame.messages.begin(), frame.messages.end(),
                                       std::pair<QEvent::Type, uintptr_t>{UXTOOLBAR_RESETMENU, 0x1234}));
  }
  UxLibrary library;
  ScopedRegistry registry;
  MdiFrame frame;
  MenuHandle defaultMenu = mainMenu(L"&File");
  CUxMenuBar* bar = nullptr;
};

TEST_F(MenuBarTest, EachMenuKeepsItsTitlesThroughTheHash) {
  EXPECT_EQ(frame.menuBar, bar);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit", L"&View"}));
  // A customised title survives showing another menu and coming back.
  bar->RemoveButton(2);
  const MenuHandle other = mainMenu(L"&Document");
  bar->CreateFromMenu(other);
  EXPECT_EQ(titles(bar).front(), L"&Document");
  bar->CreateFromMenu(defaultMenu);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit"}));
  bar->CreateFromMenu(defaultMenu);
  EXPECT_EQ(bar->GetCount(), 2);
}

TEST_F(MenuBarTest, AMaximisedChildAddsItsButtonsWhichTheArrowKeysPassBy) {
  const MenuHandle systemMenu = createPopupMenu();
  appendMenu(systemMenu, MfString | MfGrayed, kScClose, L"閉じる");
  frame.child = {true, false, true, systemMenu, QIcon()};
  bar->CreateFromMenu(defaultMenu, true, true);
  // System menu, three titles, restore and a greyed close; no minimise box, no minimise button.
  ASSERT_EQ(bar->GetCount(), 6);
  EXPECT_TRUE(dynamic_cast<CUxToolbarSystemMenuButton*>(bar->GetButton(0)));
  EXPECT_EQ(bar->GetButton(4)->m_nCommandId, kScRestore);
  EXPECT_EQ(bar->GetButton(5)->m_nCommandId, kScClose);
  EXPECT_TRUE(bar->GetButton(5)->m_nStyle & kStyleDisabled);
  EXPECT_EQ(bar->GetSystemButtonsCount(), 2);
  EXPECT_LT(bar->GetButton(4)->m_rect.right, bar->GetButton(5)->m_rect.left);

  bar->setFocus();
  bar->m_iHighlighted = 1;
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->GetHighlightedButton(), 0);
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->GetHighlightedButton(), 3) << "never a window button";
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->GetHighlightedButton(), 0);

  EXPECT_TRUE(bar->OnSendCommand(bar->GetButton(4)));
  EXPECT_EQ(frame.sysCommands, std::vector<unsigned>{kScRestore});
  destroyMenu(systemMenu);
}

TEST_F(MenuBarTest, TheStateRoundTripsAndTitlesOpenTheirMenus) {
  bar->RemoveButton(1);
  ASSERT_TRUE(bar->SaveState(L"Test"));
  bar->CreateFromMenu(defaultMenu, true, true);
  menuHash().RemoveMenu(defaultMenu);
  bar->RemoveAllButtons();
  CUxMenuBar fresh(&frame);
  fresh.Create(&frame);
  fresh.CreateFromMenu(defaultMenu, true);
  EXPECT_EQ(fresh.GetCount(), 3);
  ASSERT_TRUE(fresh.LoadState(L"Test"));
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&File", L"&View"}));

  // Down on a highlighted title drops its menu with the first item chosen.
  fresh.resize(600, 30);
  fresh.AdjustLayout();
  fresh.setFocus();
  fresh.m_iHighlighted = 1;
  QTest::keyClick(&fresh, Qt::Key_Down);
  auto* view = dynamic_cast<CUxToolbarMenuButton*>(fresh.GetButton(1));
  ASSERT_TRUE(view && view->m_pPopupMenu);
  EXPECT_EQ(view->m_pPopupMenu->GetMenuBar()->GetHighlightedButton(), 0);
}

TEST_F(MenuBarTest, TheChildsSystemMenuClosesWhenTheBarCancelsOrTracksToATitle) {
  const MenuHandle systemMenu = createPopupMenu();
  appendMenu(systemMenu, MfString, kScClose, L"閉じる");
  frame.child = {true, true, true, systemMenu, QIcon()};
  bar->CreateFromMenu(defaultMenu, true, true);
  auto* icon = dynamic_cast<CUxToolbarSystemMenuButton*>(bar->GetButton(0));
  ASSERT_TRUE(icon);

  // Tracking from the icon's menu to a title leaves the title's menu open alone.
  ASSERT_TRUE(bar->DropDownMenu(icon));
  ASSERT_EQ(openPopups().size(), 1u);
  bar->OnSetHotButton(1);
  settle();
  auto* file = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(1));
  EXPECT_FALSE(icon->m_pPopupMenu);
  ASSERT_TRUE(file->m_pPopupMenu);
  EXPECT_EQ(openPopups(), std::vector<CUxPopupMenu*>{file->m_pPopupMenu});
  closeAllPopups();

  // Restoring the child cancels the bar and takes the icon away while its menu is open.
  ASSERT_TRUE(bar->DropDownMenu(icon));
  bar->OnCancelMode();
  EXPECT_TRUE(openPopups().empty());
  frame.child.maximized = false;
  bar->CreateFromMenu(defaultMenu);
  EXPECT_FALSE(dynamic_cast<CUxToolbarSystemMenuButton*>(bar->GetButton(0)));
  settle();
  EXPECT_TRUE(openPopups().empty());
  destroyMenu(systemMenu);
}

TEST_F(MenuBarTest, AResetGoesBackToTheDefaultMenusItemsAndImages) {
  bar->SetDefaultMenuResId(0x11234);
  EXPECT_TRUE(bar->HasResourceId());
  defaultImages()[100] = 5;
  bar->RemoveButton(2);
  auto* file = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(0));
  ASSERT_TRUE(file && !file->GetCommands().empty());
  file->GetCommands().front()->SetImage(2);
  const MenuHandle other = mainMenu(L"&Document");
  bar->CreateFromMenu(other);

  // The images of the default menu's stored items, not only the shown ones, go back.
  bar->ResetAllImages();
  EXPECT_EQ(titles(bar).front(), L"&Document");
  bar->CreateFromMenu(defaultMenu);
  file = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(0));
  EXPECT_EQ(file->GetCommands().front()->GetImage(), 5);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit"}));

  // The reset shows the menu it showed, with the default menu's items as the menu has them.
  bar->CreateFromMenu(other);
  bar->ReloadFromResource();
  EXPECT_EQ(titles(bar).front(), L"&Document");
  bar->CreateFromMenu(defaultMenu);
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit", L"&View"}));
  bar->RemoveButton(1);
  bar->ReloadFromResource();
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit", L"&View"}));
  defaultImages().erase(100);
}

TEST_F(MenuBarTest, LoadingTellsTheFrameWhenNothingWasSavedOrTheMenuChangedSince) {
  KeepingWorkspace workspace;
  setWorkspace(&workspace, false);
  bar->SetDefaultMenuResId(0x1234);
  EXPECT_FALSE(bar->LoadState(L"Test"));
  EXPECT_EQ(resetNotices(), 1);

  ASSERT_TRUE(bar->SaveState(L"Test"));
  EXPECT_TRUE(bar->LoadState(L"Test"));
  EXPECT_EQ(resetNotices(), 1) << "the same menu: nothing to tell";

  // A newer program's menu has another title: the saved titles are loaded, and the frame told.
  const MenuHandle newer = mainMenu(L"&File", {L"&Edit", L"&View", L"&Tools"});
  bar->CreateFromMenu(newer, true);
  EXPECT_TRUE(bar->LoadState(L"Test"));
  EXPECT_EQ(resetNotices(), 2);
  EXPECT_EQ(titles(bar).size(), 3u);
}

TEST_F(MenuBarTest, WithTheChevronTheArrowKeysStillNeverReachAWindowButton) {
  bar->EnableCustomizeButton(true, 0, L"");
  const MenuHandle systemMenu = createPopupMenu();
  appendMenu(systemMenu, MfString, kScClose, L"閉じる");
  frame.child = {true, true, true, systemMenu, QIcon()};
  bar->CreateFromMenu(defaultMenu, true, true);
  // System menu, three titles, minimise, restore, close, the chevron.
  ASSERT_EQ(bar->GetCount(), 8);
  ASSERT_EQ(bar->GetSystemButtonsCount(), 3);
  bar->setFocus();
  bar->m_iHighlighted = 0;
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->GetHighlightedButton(), 3);
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->GetHighlightedButton(), 0);
  destroyMenu(systemMenu);
}

TEST_F(MenuBarTest, TheWindowButtonsStandBeforeTheChevronAndTitlesGiveWayToThem) {
  bar->EnableCustomizeButton(true, 500, L"Customise");
  const MenuHandle systemMenu = createPopupMenu();
  frame.child = {true, true, true, systemMenu, QIcon()};
  bar->CreateFromMenu(defaultMenu, true, true);
  ASSERT_EQ(bar->GetCount(), 8);  // the system menu, three titles, three window buttons, the chevron
  for (int client : {600, 160}) {
    layOutAtClientWidth(bar, client);
    int end = 0;
    for (int i = 0; i < 8; ++i) {
      const CUxToolbarButton* button = bar->GetButton(i);
      EXPECT_EQ(button->m_bHidden, client == 160 && i == 3) << client << " " << i;
      if (!button->m_bHidden) EXPECT_GE(button->m_rect.left, std::exchange(end, button->m_rect.right)) << i;
    }
  }
  EXPECT_EQ(bar->m_pCustomizeBtn->GetInvisibleButtons(), std::vector<CUxToolbarButton*>{bar->GetButton(3)});
  destroyMenu(systemMenu);
}

TEST_F(MenuBarTest, ABarMadeThroughCreateExJoinsItsFrameAndMeasuresItsButtonsAgainOnASettingsChange) {
  MdiFrame other;
  auto* made = new CUxMenuBar(&other);
  ASSERT_TRUE(made->CreateEx(&other, 0x800, 0x50000000u | CbrsAlignTop, {1, 1, 1, 1}, 0xE81A));
  EXPECT_EQ(made->m_pParentWnd, &other);
  EXPECT_EQ(other.menuBar, made);
  EXPECT_EQ(made->m_szSystemButton, (Size{16, 14}));  // the classic 18 x 18 less the frame

  ClassicSystemMetrics larger;
  larger.menuButton = {26, 24};
  const SystemMetricsOverride metrics(larger);
  globalData().UpdateFonts();
  EXPECT_EQ(made->m_szSystemButton, (Size{24, 20}));
  EXPECT_EQ(bar->m_szSystemButton, (Size{24, 20}));
}

TEST_F(MenuBarTest, DocumentTemplatesMenusAreSavedLoadedResetAndReloaded) {
  frame.documents = {{0x2001, MdiFrame::documentMenu(0x2001)}, {0x2002, MdiFrame::documentMenu(0x2002)}};
  const MenuHandle sheet = frame.documents[0].menu, card = frame.documents[1].menu;
  // Each menu loses one title of its own.
  bar->RemoveButton(2);
  bar->CreateFromMenu(sheet);
  bar->RemoveButton(1);
  bar->CreateFromMenu(card);
  bar->RemoveButton(2);
  bar->CreateFromMenu(defaultMenu);
  ASSERT_TRUE(bar->SaveState(L"Test"));
  EXPECT_EQ(titles(bar), (std::vector<std::wstring>{L"&File", L"&Edit"}));

  // A bar that starts afresh reads every menu's titles back, each under its template.
  bar->CreateFromMenu(defaultMenu, true, true);
  for (const MenuHandle menu : {defaultMenu, sheet, card}) menuHash().RemoveMenu(menu);
  bar->RemoveAllButtons();
  CUxMenuBar fresh(&frame);
  fresh.Create(&frame);
  fresh.CreateFromMenu(defaultMenu, true);
  ASSERT_TRUE(fresh.LoadState(L"Test"));
  EXPECT_EQ(resetNotices(), 0);
  fresh.CreateFromMenu(sheet);
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&Sheet", L"&Window"}));
  fresh.CreateFromMenu(card);
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&Card", L"&Edit"}));
  fresh.CreateFromMenu(defaultMenu);
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&File", L"&Edit"}));

  // A template saved under nothing is told to the frame under its own resource id.
  frame.documents.push_back({0x2003, MdiFrame::documentMenu(0x2003)});
  fresh.LoadState(L"Test");
  EXPECT_EQ(std::count(frame.messages.begin(), frame.messages.end(),
                       std::pair<QEvent::Type, uintptr_t>{UXTOOLBAR_RESETMENU, 0x2003}), 1);
  frame.documents.pop_back();

  // Images go back to the defaults in every template's stored titles too.
  defaultImages()[100] = 4;
  fresh.CreateFromMenu(sheet);
  auto* first = dynamic_cast<CUxToolbarMenuButton*>(fresh.GetButton(0));
  ASSERT_TRUE(first && !first->GetCommands().empty());
  first->GetCommands().front()->m_bUserImage = false;  // a standard image, which a reset takes back
  first->GetCommands().front()->SetImage(1);
  fresh.CreateFromMenu(defaultMenu);
  fresh.ResetAllImages();
  fresh.CreateFromMenu(sheet);
  first = dynamic_cast<CUxToolbarMenuButton*>(fresh.GetButton(0));
  EXPECT_EQ(first->GetCommands().front()->GetImage(), 4);
  defaultImages().erase(100);

  // A reset makes each template's menu anew and hands it to the frame; the shown one follows.
  frame.documents.push_back({MdiFrame::kBrokenTemplate, MdiFrame::documentMenu(0x2003)});
  const MenuHandle unloadable = frame.documents.back().menu;
  fresh.ReloadFromResource();
  const MenuHandle newSheet = frame.documents[0].menu;
  EXPECT_NE(newSheet, sheet);
  EXPECT_FALSE(isMenu(sheet));
  EXPECT_FALSE(isMenu(card));
  EXPECT_EQ(frame.documents[2].menu, unloadable);  // a menu that cannot be loaded is skipped
  EXPECT_EQ(fresh.GetMenu(), newSheet);
  EXPECT_EQ(titles(&fresh), (std::vector<std::wstring>{L"&Sheet", L"&Edit", L"&Window"}));
  destroyMenu(unloadable);

  // Without the automatic document menus only the default menu is kept.
  fresh.m_bAutoDocMenus = false;
  fresh.CreateFromMenu(newSheet);
  fresh.RemoveButton(0);
  fresh.CreateFromMenu(defaultMenu);
  ASSERT_TRUE(fresh.SaveState(L"Other"));
  menuHash().RemoveMenu(newSheet);
  fresh.m_bAutoDocMenus = true;
  fresh.LoadState(L"Other");
  fresh.CreateFromMenu(newSheet);
  EXPECT_EQ(titles(&fresh).size(), 3u);
  for (const DocumentMenu& document : frame.documents) destroyMenu(document.menu);
}

TEST_F(MenuBarTest, AMenuShowingAllItsCommandsLeavesTheNextTitlesWholeUntilEscapeOrAPointerOnAClosedBar) {
  useShortenedMenus();
  mouseAt(QEvent::MouseButtonPress, itemCentre(bar, 0));
  settle();
  ASSERT_TRUE(title(0)->m_pPopupMenu);
  EXPECT_FALSE(opensWhole(title(0)));
  QTest::keyClick(&frame, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_TRUE(opensWhole(title(0)));

  // The pointer moving on along the bar takes the whole menus with it.
  for (int next : {1, 2}) {
    mouseAt(QEvent::MouseMove, itemCentre(bar, next));
    settle();
    EXPECT_FALSE(title(next - 1)->m_pPopupMenu);
    EXPECT_TRUE(opensWhole(title(next))) << next;
  }
  // So does the keyboard, and a menu closed by Escape leaves the next one whole.
  frame.press(Qt::Key_Left);
  settle();
  EXPECT_TRUE(opensWhole(title(1)));
  frame.press(Qt::Key_Escape);
  settle();
  EXPECT_TRUE(openPopups().empty());
  dropDown(0);
  EXPECT_TRUE(opensWhole(title(0)));

  // Escape on the bar itself ends it.
  closeAllPopups();
  bar->m_iHighlighted = 0;
  QTest::keyClick(bar, Qt::Key_Escape);
  dropDown(0);
  ASSERT_TRUE(title(0)->m_pPopupMenu);
  EXPECT_FALSE(opensWhole(title(0)));

  // So does the pointer coming onto a title while no menu is open.
  QTest::keyClick(&frame, Qt::Key_Down, Qt::ControlModifier);
  closeAllPopups();
  mouseAt(QEvent::MouseMove, itemCentre(bar, 1));
  dropDown(1);
  ASSERT_TRUE(title(1)->m_pPopupMenu);
  EXPECT_FALSE(opensWhole(title(1)));
}

TEST_F(MenuBarTest, AnUprightBarOnTheScreensRightEdgeDropsItsMenusOnItsLeft) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  frame.setGeometry(area.right() - 60, 0, 60, 400);
  bar->SetBarStyle((bar->GetBarStyle() & ~CbrsAlignAny) | CbrsAlignRight);
  bar->setGeometry(0, 0, 60, 300);
  bar->show();
  bar->AdjustLayout();
  ASSERT_TRUE(bar->DropDownMenu(bar->GetButton(0)));
  CUxPopupMenu* popup = dynamic_cast<CUxToolbarMenuButton*>(bar->GetButton(0))->m_pPopupMenu;
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->x() + popup->GetFinalSize().cx, bar->mapToGlobal(QPoint(0, 0)).x());
}

TEST_F(MenuBarTest, ADoubleClickOrAPointerResting5SecondsOnATitleShowsAllOfItsMenu) {
  useShortenedMenus();
  const QPoint edit = itemCentre(bar, 1);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    mouseAt(type, edit);
  settle();
  EXPECT_TRUE(opensWhole(title(1)));
  closeAllPopups();

  mouseAt(QEvent::MouseMove, itemCentre(bar, 0));
  mouseAt(QEvent::MouseButtonPress, itemCentre(bar, 0));
  settle();
  ASSERT_TRUE(title(0)->m_pPopupMenu);
  EXPECT_FALSE(opensWhole(title(0)));
  EXPECT_TRUE(QTest::qWaitFor([&] { return opensWhole(title(0)); }, testwait::kPatienceMs));
}
