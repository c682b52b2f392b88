// Menus as trees behind opaque handles, with the original platform's item flags, so that bars
// can be built from menus and turned back into them.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class MenuHandle {
 public:
  MenuHandle() = default;
  explicit MenuHandle(uint32_t id) : id_(id) {}
  uint32_t id() const { return id_; }
  explicit operator bool() const { return id_ != 0; }
  friend bool operator==(MenuHandle, MenuHandle) = default;

 private:
  uint32_t id_ = 0;
};

enum MenuFlags : unsigned {
  MfString = 0x0, MfByCommand = 0x0, MfGrayed = 0x1, MfDisabled = 0x2, MfChecked = 0x8,
  MfPopup = 0x10, MfMenuBarBreak = 0x20, MfMenuBreak = 0x40, MfRadioCheck = 0x200,
  MfByPosition = 0x400, MfSeparator = 0x800, MfDefault = 0x1000,
};
constexpr unsigned kMenuError = 0xFFFFFFFFu;

MenuHandle createMenu();
MenuHandle createPopupMenu();
// Destroys the menu and every submenu it holds.
bool destroyMenu(MenuHandle menu);
bool isMenu(MenuHandle menu);
// With MfPopup, `idOrSubmenu` is a submenu handle the menu takes over.
bool appendMenu(MenuHandle menu, unsigned flags, uintptr_t idOrSubmenu, const std::wstring& text = {});
bool insertMenu(MenuHandle menu, unsigned position, unsigned flags, uintptr_t idOrSubmenu,
                const std::wstring& text = {});
// Takes the item out; a submenu survives (removeMenu) or is destroyed with it (deleteMenu).
bool removeMenu(MenuHandle menu, unsigned item, unsigned flags);
bool deleteMenu(MenuHandle menu, unsigned item, unsigned flags);
// -1 for an invalid handle.
int getMenuItemCount(MenuHandle menu);
// The command of the item at a position; kMenuError for a submenu or a bad position.
unsigned getMenuItemId(MenuHandle menu, int position);
MenuHandle getSubMenu(MenuHandle menu, int position);
std::wstring getMenuString(MenuHandle menu, unsigned item, unsigned flags);
// The item's flags (for a submenu its item count in the high byte); kMenuError when missing.
unsigned getMenuState(MenuHandle menu, unsigned item, unsigned flags);
// Whether a state from getMenuState is a separator's. A submenu's item count shares the high byte
// with the separator bit, so a submenu of 8 to 15 items (24 to 31, ...) is told apart by its
// popup bit.
inline bool isSeparatorState(unsigned state) {
  return state != kMenuError && !(state & MfPopup) && (state & MfSeparator);
}
// Both return the previous check or enable flags, or kMenuError.
unsigned checkMenuItem(MenuHandle menu, unsigned item, unsigned flags);
unsigned enableMenuItem(MenuHandle menu, unsigned item, unsigned flags);
// The command of the menu's own default item (disabled ones count too); kMenuError for none.
unsigned getMenuDefaultItem(MenuHandle menu);
// Makes the item with this command the menu's one default item; kMenuError clears it.
bool setMenuDefaultItem(MenuHandle menu, unsigned command);

}  // namespace platform
