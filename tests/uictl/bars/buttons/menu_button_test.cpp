// Menu buttons: menu handles to item trees and back, copies, the archive form and the arrow
// a toolbar shows.
#include "platform/settings/archive.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

#include "bars_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// File (default 11) | separator | 12 in a new column | Recent > (20, 21)
MenuHandle sampleMenu() {
  const MenuHandle recent = createPopupMenu();
  appendMenu(recent, MfString, 20, L"一");
  appendMenu(recent, MfString, 21, L"二");
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 10, L"開く");
  appendMenu(menu, MfString, 11, L"保存(&S)\tCtrl+S");
  appendMenu(menu, MfSeparator, 0);
  appendMenu(menu, MfString | MfMenuBreak, 12, L"閉じる");
  appendMenu(menu, MfPopup, recent.id(), L"最近");
  setMenuDefaultItem(menu, 11);
  return menu;
}

std::vector<uint8_t> store(const CObject& object) {
  std::vector<uint8_t> bytes;
  Archive out(Archive::Store, bytes);
  out.writeObject(&object);
  return bytes;
}

std::unique_ptr<CObject> load(const std::vector<uint8_t>& bytes) {
  Archive in(Archive::Load, bytes);
  return in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton));
}

void appendText(std::vector<uint8_t>& out, const std::u16string& text) {
  out.insert(out.end(), {0xFF, 0xFE, 0xFF, static_cast<uint8_t>(text.size())});
  for (char16_t c : text) out.insert(out.end(), {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8)});
}

void appendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void appendFields(std::vector<uint8_t>& out, uint32_t command, uint32_t style, const std::u16string& text,
                  bool showText, bool showImage) {
  for (uint32_t v : {command, style, 0xFFFFFFFFu}) appendU32(out, v);  // command, style, image -1
  appendText(out, text);
  for (uint32_t v : {0u, 0u, uint32_t(showText), uint32_t(showImage)}) appendU32(out, v);
}

// Rows with at least one black pixel and the widest such row, within `area`.
std::pair<int, int> blackShape(const QImage& image, const QRect& area) {
  int rows = 0, widest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int count = 0;
    for (int x = area.left(); x <= area.right(); ++x) count += fromPixel(image.pixel(x, y)) == 0;
    rows += count > 0;
    widest = std::max(widest, count);
  }
  return {rows, widest};
}

}  // namespace

class MenuButtonTest : public ::testing::Test {
 protected:
  UxLibrary library;
};

TEST_F(MenuButtonTest, MenuToTreeAndBackKeepsIdsTextsDefaultBreaksAndSubMenus) {
  const MenuHandle menu = sampleMenu();
  CUxToolbarMenuButton button(0, menu, -1, L"ファイル");
  destroyMenu(menu);
  const MenuItemList& items = button.GetCommands();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[1]->m_strText, L"保存(&S)\tCtrl+S");
  EXPECT_TRUE(items[1]->m_bDefault);
  EXPECT_FALSE(items[0]->m_bDefault);
  EXPECT_EQ(items[2]->m_nCommandId, 0u);
  EXPECT_EQ(items[3]->m_nStyle & kStyleMenuBreak, kStyleMenuBreak);
  EXPECT_EQ(items[4]->m_nCommandId, kSubMenuCommand);
  ASSERT_EQ(items[4]->GetCommands().size(), 2u);
  EXPECT_EQ(items[4]->GetCommands()[1]->m_strText, L"二");

  const MenuHandle exported = button.ExportToMenu();
  ASSERT_TRUE(exported);
  EXPECT_EQ(getMenuItemCount(exported), 5);
  EXPECT_EQ(getMenuDefaultItem(exported), 11u);
  EXPECT_TRUE(getMenuState(exported, 2, MfByPosition) & MfSeparator);
  EXPECT_TRUE(getMenuState(exported, 3, MfByPosition) & MfMenuBreak);
  EXPECT_FALSE(getMenuState(exported, 0, MfByPosition) & MfMenuBreak);
  EXPECT_EQ(getMenuString(exported, 4, MfByPosition), L"最近");
  EXPECT_EQ(getMenuItemId(getSubMenu(exported, 4), 0), 20u);

  CUxToolbarMenuButton again(0, exported, -1);
  destroyMenu(exported);
  EXPECT_TRUE(again.CompareWith(button));
  EXPECT_TRUE(again.GetCommands()[1]->m_bDefault);
  EXPECT_EQ(again.GetCommands()[3]->m_nStyle, button.GetCommands()[3]->m_nStyle);

  CUxToolbarMenuButton copy;
  copy.CopyFrom(button);
  EXPECT_TRUE(copy.CompareWith(button));
  EXPECT_NE(copy.GetCommands()[4].get(), button.GetCommands()[4].get());
  copy.m_listCommands[4]->RemoveAllItems();
  EXPECT_FALSE(copy.CompareWith(button));

  // A button with a command of its own and no items has no menu; without a command it has an
  // empty one.
  EXPECT_FALSE(CUxToolbarMenuButton(40, {}, -1).ExportToMenu());
  const MenuHandle empty = CUxToolbarMenuButton(0, {}, -1).ExportToMenu();
  EXPECT_EQ(getMenuItemCount(empty), 0);
  destroyMenu(empty);
}

TEST_F(MenuButtonTest, ArchiveBytesOfTwoItemsAndDamagedTrees) {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 10, L"開く");
  appendMenu(menu, MfString | MfMenuBreak, 11, L"X");
  CUxToolbarMenuButton button(0, menu, -1);
  destroyMenu(menu);

  std::vector<uint8_t> expected{0xFF, 0xFF, 0x01, 0x00, 0x14, 0x00};
  for (char c : std::string("CUxToolbarMenuButton")) expected.push_back(static_cast<uint8_t>(c));
  appendFields(expected, 0, 0, u"", true, false);
  expected.insert(expected.end(), {0x02, 0x00, 0x01, 0x80});
  appendFields(expected, 10, 0, u"開く", false, true);
  expected.insert(expected.end(), {0x00, 0x00, 0x01, 0x80});
  appendFields(expected, 11, kStyleMenuBreak, u"X", false, true);
  expected.insert(expected.end(), {0x00, 0x00});
  const std::vector<uint8_t> bytes = store(button);
  EXPECT_EQ(bytes, expected);
  const std::unique_ptr<CObject> loaded = load(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(static_cast<CUxToolbarMenuButton&>(*loaded).CompareWith(button));

  // An item that is a plain button is damage, not a menu item.
  CUxToolbarButton plain(10, -1);
  std::vector<uint8_t> foreign{0xFF, 0xFF, 0x01, 0x00, 0x14, 0x00};
  for (char c : std::string("CUxToolbarMenuButton")) foreign.push_back(static_cast<uint8_t>(c));
  appendFields(foreign, 0, 0, u"", true, false);
  foreign.insert(foreign.end(), {0x01, 0x00});
  const std::vector<uint8_t> plainBytes = store(plain);
  foreign.insert(foreign.end(), plainBytes.begin(), plainBytes.end());
  EXPECT_THROW(load(foreign), ArchiveException);

  // Thirty-two levels store and load; a deeper tree is neither written nor read, and neither
  // exhausts the stack.
  const auto nested = [](int depth) {
    auto top = std::make_unique<CUxToolbarMenuButton>();
    CUxToolbarMenuButton* level = top.get();
    for (int i = 1; i < depth; ++i) {
      auto inner = std::make_unique<CUxToolbarMenuButton>();
      inner->m_nCommandId = kSubMenuCommand;
      CUxToolbarMenuButton* next = inner.get();
      level->AddItem(std::move(inner));
      level = next;
    }
    return top;
  };
  // The bytes of a chain of `depth` nested items, as a writer without a limit would make them.
  const auto chainBytes = [](int depth) {
    std::vector<uint8_t> bytes{0xFF, 0xFF, 0x01, 0x00, 0x14, 0x00};
    for (char c : std::string("CUxToolbarMenuButton")) bytes.push_back(static_cast<uint8_t>(c));
    for (int level = 1; level <= depth; ++level) {
      if (level > 1) bytes.insert(bytes.end(), {0x01, 0x80});
      appendFields(bytes, level == 1 ? 0 : kSubMenuCommand, 0, u"", false, true);
      bytes.insert(bytes.end(), {static_cast<uint8_t>(level < depth ? 1 : 0), 0x00});
    }
    return bytes;
  };
  EXPECT_EQ(store(*nested(32)), chainBytes(32));
  EXPECT_NO_THROW(load(chainBytes(32)));
  EXPECT_THROW(store(*nested(33)), ArchiveException);
  EXPECT_THROW(load(chainBytes(33)), ArchiveException);
  EXPECT_THROW(store(*nested(5000)), ArchiveException);
  EXPECT_THROW(load(chainBytes(5000)), ArchiveException);
}

TEST_F(MenuButtonTest, ToolbarArrowsSplitMenuOnlyAndWithoutCommand) {
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 10, L"開く");
  const QRect arrowZone(23, 0, 13, 22);
  const auto draw = [&](CUxToolbarMenuButton& button, bool horizontal) {
    button.OnChangeParentWnd(nullptr);
    QImage image = canvas(36, 22, globalData().clrBtnFace);
    Dc dc(image);
    const Size size = button.OnCalculateSize(&dc, {23, 22}, horizontal);
    EXPECT_EQ(size.cx, button.m_bDrawDownArrow ? 8 + 4 : 4);  // arrow and margins beside an empty face
    button.OnDraw(&dc, {0, 0, 36, 22}, nullptr, horizontal);
    return image;
  };

  CUxToolbarMenuButton split(30, menu, -1, L"");
  const QImage splitImage = draw(split, true);
  EXPECT_TRUE(split.m_bDrawDownArrow);
  EXPECT_EQ(blackShape(splitImage, arrowZone), std::make_pair(4, 7));  // a down-pointing triangle

  CUxToolbarMenuButton menuOnly(30, menu, -1, L"");
  menuOnly.m_bMenuOnly = true;
  EXPECT_EQ(blackShape(draw(menuOnly, true), arrowZone), std::make_pair(7, 4));  // pointing right

  CUxToolbarMenuButton bare(0, {}, -1, L"");
  EXPECT_EQ(blackShape(draw(bare, true), arrowZone), std::make_pair(4, 7));
  destroyMenu(menu);
}
