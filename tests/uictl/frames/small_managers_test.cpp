// Ids for torn-off menus and the marker that carries one in a menu title; the mouse manager's
// stored settings; menu buttons keeping their ids in an installed manager; the library's stored
// classes known by name from its start.
#include "uictl/bars/buttons/toolbar_menu_button.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/frames_library.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/mouse_manager.h"
#include "uictl/frames/outlook/outlook_bar.h"
#include "uictl/frames/docking/tear_off_manager.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

TEST(TearOffManager, HandsOutEachIdOnceAndNeverCountsBelowZero) {
  TearOffManager unset;
  EXPECT_EQ(unset.GetFreeId(), 0u);

  TearOffManager ids(500, 501);
  EXPECT_EQ(ids.GetFreeId(), 500u);
  EXPECT_EQ(ids.GetFreeId(), 501u);
  EXPECT_EQ(ids.GetFreeId(), 0u);  // full
  ids.SetInUse(500, false);
  ids.SetInUse(500, false);
  EXPECT_EQ(ids.UseCount(500), 0);
  ids.SetInUse(499, true);  // outside the range: ignored
  EXPECT_EQ(ids.GetFreeId(), 500u);
}

TEST(TearOffManager, MarksAndReadsTitles) {
  std::wstring title = L"&View";
  TearOffManager::Build(512, title);
  EXPECT_EQ(title, std::wstring(L"\x01") + L"512" + L"\x01" + L"&View");
  EXPECT_EQ(TearOffManager::Parse(title), 512u);
  EXPECT_EQ(title, L"&View");
  // Titles that carry no id between their markers are not ours: they stay whole.
  const std::wstring m(1, L'\x01');
  for (std::wstring plain : {std::wstring(L"&View"), m + L"12 no end", m + L"x" + m + L"T", m + m + L"T",
                             m + L"0" + m + L"T", m + L"12x" + m + L"T", m + L"-5" + m + L"T",
                             m + L"99999999999" + m + L"T"}) {
    const std::wstring before = plain;
    EXPECT_EQ(TearOffManager::Parse(plain), 0u);
    EXPECT_EQ(plain, before);
  }

  // Submenus that start a new bar column get ids; reading the menu back counts them as used.
  const MenuHandle menu = createMenu();
  const MenuHandle column = createPopupMenu();
  appendMenu(column, MfString, 1, L"x");
  appendMenu(menu, MfPopup | MfMenuBarBreak, column.id(), L"Tools");
  appendMenu(menu, MfPopup, createPopupMenu().id(), L"Help");
  TearOffManager ids(700, 710);
  ids.SetupTearOffMenus(menu);
  std::wstring marked = getMenuString(menu, 0, MfByPosition);
  EXPECT_EQ(getSubMenu(menu, 0), column);
  EXPECT_EQ(TearOffManager::Parse(marked), 700u);
  EXPECT_EQ(marked, L"Tools");
  EXPECT_EQ(getMenuString(menu, 1, MfByPosition), L"Help");
  TearOffManager reread(700, 710);
  reread.ParseMenu(menu);
  EXPECT_EQ(reread.UseCount(700), 1);
  EXPECT_EQ(reread.GetFreeId(), 701u);
  destroyMenu(menu);
}

TEST(TearOffManager, APopupMenuTakesItsSubmenusIdsAndTellsLongSubmenusFromSeparators) {
  UxLibrary library;
  TearOffManager ids(700, 710);
  setTearOffManager(&ids);
  QWidget window;
  window.show();
  // Eight items put the separator's bit into a submenu's item count.
  const MenuHandle eight = createPopupMenu();
  for (unsigned i = 0; i < 8; ++i) appendMenu(eight, MfString, 100 + i, L"Item");
  std::wstring tools = L"&Tools";
  TearOffManager::Build(700, tools);
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 1, L"&Open");
  appendMenu(menu, MfPopup, eight.id(), tools);
  auto* popup = new CUxPopupMenu;
  ASSERT_TRUE(popup->Create(&window, 20, 20, menu));
  ASSERT_EQ(popup->GetMenuItemCount(), 2);
  EXPECT_EQ(popup->GetMenuItem(1)->m_strText, L"&Tools");
  EXPECT_EQ(ids.UseCount(700), 1);
  const MenuHandle exported = popup->GetMenuBar()->ExportToMenu();
  EXPECT_EQ(getMenuString(exported, 1, MfByPosition), tools);
  destroyMenu(exported);
  delete popup;
  setTearOffManager(nullptr);
}

TEST(TearOffManager, MenuButtonsKeepTheirIdsInTheInstalledManager) {
  UxLibrary library;
  const MenuHandle menu = createPopupMenu();
  const MenuHandle tools = createPopupMenu();
  appendMenu(tools, MfString, 1, L"x");
  appendMenu(menu, MfPopup | MfMenuBarBreak, tools.id(), L"Tools");
  appendMenu(menu, MfPopup, createPopupMenu().id(), L"Help");
  TearOffManager ids(700, 710);
  ids.SetupTearOffMenus(menu);
  ASSERT_EQ(ids.UseCount(700), 1);
  {
    // Without an installed manager the title stays as the menu has it and no id is kept.
    CUxToolbarMenuButton unmanaged(0, menu, -1, L"Menu");
    EXPECT_EQ(unmanaged.GetCommands()[0]->m_uiTearOffId, 0u);
    EXPECT_EQ(ids.UseCount(700), 1);
  }

  setTearOffManager(&ids);
  {
    CUxToolbarMenuButton button(0, menu, -1, L"Menu");
    CUxToolbarMenuButton& torn = *button.GetCommands()[0];
    EXPECT_EQ(torn.m_uiTearOffId, 700u);
    EXPECT_EQ(torn.m_strText, L"Tools");
    EXPECT_EQ(ids.UseCount(700), 2);
    EXPECT_EQ(button.GetCommands()[1]->m_uiTearOffId, 0u);

    // Exported, the sub-menu's title carries its id again.
    const MenuHandle exported = button.ExportToMenu();
    std::wstring title = getMenuString(exported, 0, MfByPosition);
    EXPECT_EQ(TearOffManager::Parse(title), 700u);
    EXPECT_EQ(title, L"Tools");
    EXPECT_EQ(getMenuString(exported, 1, MfByPosition), L"Help");
    destroyMenu(exported);

    // Another id moves the claim; a copy claims its own.
    torn.SetTearOffId(705);
    EXPECT_EQ(ids.UseCount(700), 1);
    EXPECT_EQ(ids.UseCount(705), 1);
    CUxToolbarMenuButton copy;
    copy.CopyFrom(button);
    EXPECT_EQ(ids.UseCount(705), 2);
  }
  // Buttons that go release their ids.
  EXPECT_EQ(ids.UseCount(705), 0);
  EXPECT_EQ(ids.UseCount(700), 1);
  destroyMenu(menu);

  {
    TearOffManager passing(800, 801);
    setTearOffManager(&passing);
  }
  EXPECT_EQ(tearOffManager(), nullptr);  // a manager that goes uninstalls itself
}

TEST(MouseManager, StoresItsViewsAndKeepsThemWhenALoadFails) {
  std::vector<uint8_t> bytes;
  {
    CUxMouseManager manager;
    EXPECT_EQ(mouseManager(), &manager);
    manager.m_viewIds = {{L"一覧", 1}, {L"Card", 2}};
    manager.m_viewCommands = {{1, 100}, {2, 200}};
    Archive out(Archive::Store, bytes);
    manager.Serialize(out);
  }
  EXPECT_EQ(mouseManager(), nullptr);

  CUxMouseManager manager;
  manager.m_viewCommands = {{9, 900}};
  Archive in(Archive::Load, bytes);
  manager.Serialize(in);
  EXPECT_EQ(manager.m_viewCommands, (std::map<int, unsigned>{{1, 100}, {2, 200}}));
  EXPECT_EQ(manager.m_viewIds.at(L"一覧"), 1);

  const std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
  manager.m_viewIds.clear();
  Archive damaged(Archive::Load, cut);
  EXPECT_THROW(manager.Serialize(damaged), ArchiveException);
  EXPECT_TRUE(manager.m_viewIds.empty());
  EXPECT_EQ(manager.m_viewCommands.size(), 2u);
}

// Before anything has made one, an archive or a caller naming a stored class of the library gets
// one; the names go with the library.
TEST(LibraryClassesAtStartUp, EveryStoredClassIsKnownByNameUntilTheLibraryEnds) {
  const char* const names[] = {
      "CUxOutlookBarPage", "CUxToolBar", "CUxPopupMenu", "CCustomizeButton", "CUxOutlookButton",
      "CUxToolbarMenuButton", "CUxToolbarButton", "CUxUserTool", "CUxToolbarSystemMenuButton",
      "CUxDropDownToolBar", "CUxDropDownFrame", "CUxDropDownToolbarButton", "CUxMenuBar", "CColorButton",
      "CUxColorBar", "CUxToolbarComboBoxButton", "CUxToolbarFontCombo", "CUxToolbarFontSizeCombo",
      "CUxPopupMenuBar", "CUxMouseManager", "CUxDialogBar", "CUxColorMenuButton", "CUxToolbarEditBoxButton",
      "CTasksPaneMenuButton", "CTasksPaneToolBar"};
  {
    UxFramesLibrary library;
    for (const char* name : names) {
      const RuntimeClass* record = RuntimeClass::fromName(name);
      ASSERT_NE(record, nullptr) << name;
      EXPECT_NE(record->createObject(), nullptr) << name;
    }
    CUxOutlookBar bar;
    EXPECT_STREQ(bar.GetRuntimeClass()->className, "CUxOutlookBar");
    EXPECT_TRUE(bar.IsKindOf(RuntimeClass::fromName("CUxToolBar")));
  }
  for (const char* name : names) EXPECT_EQ(RuntimeClass::fromName(name), nullptr) << name;
}
