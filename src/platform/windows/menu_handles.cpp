#include "platform/windows/menu_handles.h"

#include <map>
#include <optional>
#include <vector>

namespace platform {
namespace {

struct MenuItem {
  unsigned flags = 0;
  unsigned id = 0;
  MenuHandle submenu;
  std::wstring text;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

std::map<uint32_t, Menu>& menus() {
  static std::map<uint32_t, Menu> table;
  return table;
}

Menu* find(MenuHandle h) {
  auto it = menus().find(h.id());
  return it == menus().end() ? nullptr : &it->second;
}

MenuHandle create(bool popup) {
  static uint32_t next = 0x1000;
  const uint32_t id = next++;
  menus()[id].popup = popup;
  return MenuHandle(id);
}

// Where an item stands: its menu (null when there is no such item), that menu's handle and
// the item's index.
struct ItemPlace {
  Menu* owner = nullptr;
  MenuHandle handle;
  size_t index = 0;
};

// Finds an item by position or by command (searched depth first).
ItemPlace locate(MenuHandle h, unsigned item, unsigned flags) {
  Menu* menu = find(h);
  if (!menu) return {};
  if (flags & MfByPosition) return item < menu->items.size() ? ItemPlace{menu, h, item} : ItemPlace{};
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& it = menu->items[i];
    if (!(it.flags & MfPopup) && it.id == item) return {menu, h, i};
    if (it.flags & MfPopup)
      if (ItemPlace inner = locate(it.submenu, item, flags); inner.owner) return inner;
  }
  return {};
}

std::optional<MenuItem> takeItem(MenuHandle menu, unsigned item, unsigned flags) {
  const ItemPlace place = locate(menu, item, flags);
  if (!place.owner) return std::nullopt;
  MenuItem taken = std::move(place.owner->items[place.index]);
  place.owner->items.erase(place.owner->items.begin() + static_cast<std::ptrdiff_t>(place.index));
  return taken;
}

// Sets the item's flags within `mask` from `flags`; returns the previous ones, or kMenuError.
unsigned replaceFlags(MenuHandle menu, unsigned item, unsigned flags, unsigned mask) {
  const ItemPlace place = locate(menu, item, flags);
  if (!place.owner) return kMenuError;
  unsigned& f = place.owner->items[place.index].flags;
  const unsigned previous = f & mask;
  f = (f & ~mask) | (flags & mask);
  return previous;
}

// Whether target is from itself or lies anywhere below it. Insertions keep the menus a forest, so
// the walk ends.
bool reaches(MenuHandle from, MenuHandle target) {
  if (from == target) return true;
  const Menu* menu = find(from);
  if (!menu) return false;
  for (const MenuItem& it : menu->items)
    if ((it.flags & MfPopup) && reaches(it.submenu, target)) return true;
  return false;
}

bool insertAt(MenuHandle h, size_t position, unsigned flags, uintptr_t idOrSubmenu, const std::wstring& text) {
  Menu* menu = find(h);
  if (!menu) return false;
  MenuItem item;
  item.flags = flags & ~MfByPosition;
  item.text = text;
  if (flags & MfPopup) {
    item.submenu = MenuHandle(static_cast<uint32_t>(idOrSubmenu));
    // A menu inside its own submenus would make every walk over it endless.
    if (!find(item.submenu) || reaches(item.submenu, h)) return false;
  } else {
    item.id = static_cast<unsigned>(idOrSubmenu);
  }
  menu->items.insert(menu->items.begin() + static_cast<std::ptrdiff_t>(std::min(position, menu->items.size())), item);
  return true;
}

}  // namespace

MenuHandle createMenu() { return create(false); }
MenuHandle createPopupMenu() { return create(true); }

bool destroyMenu(MenuHandle menu) {
  Menu* m = find(menu);
  if (!m) return false;
  std::vector<MenuItem> items = std::move(m->items);
  menus().erase(menu.id());
  for (const MenuItem& item : items)
    if (item.flags & MfPopup) destroyMenu(item.submenu);
  return true;
}

bool isMenu(MenuHandle menu) { return find(menu) != nullptr; }

bool appendMenu(MenuHandle menu, unsigned flags, uintptr_t idOrSubmenu, const std::wstring& text) {
  return insertAt(menu, SIZE_MAX, flags, idOrSubmenu, text);
}

bool insertMenu(MenuHandle menu, unsigned position, unsigned flags, uintptr_t idOrSubmenu,
                const std::wstring& text) {
  if (flags & MfByPosition) return insertAt(menu, position == kMenuError ? SIZE_MAX : position, flags, idOrSubmenu, text);
  const ItemPlace place = locate(menu, position, flags);
  if (!place.owner) return insertAt(menu, SIZE_MAX, flags, idOrSubmenu, text);
  return insertAt(place.handle, place.index, flags, idOrSubmenu, text);
}

bool removeMenu(MenuHandle menu, unsigned item, unsigned flags) { return takeItem(menu, item, flags).has_value(); }

bool deleteMenu(MenuHandle menu, unsigned item, unsigned flags) {
  const std::optional<MenuItem> removed = takeItem(menu, item, flags);
  if (!removed) return false;
  if (removed->flags & MfPopup) destroyMenu(removed->submenu);
  return true;
}

int getMenuItemCount(MenuHandle menu) {
  const Menu* m = find(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

unsigned getMenuItemId(MenuHandle menu, int position) {
  const Menu* m = find(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return kMenuError;
  const MenuItem& item = m->items[static_cast<size_t>(position)];
  return (item.flags & MfPopup) ? kMenuError : item.id;
}

MenuHandle getSubMenu(MenuHandle menu, int position) {
  const Menu* m = find(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return {};
  const MenuItem& item = m->items[static_cast<size_t>(position)];
  return (item.flags & MfPopup) ? item.submenu : MenuHandle();
}

std::wstring getMenuString(MenuHandle menu, unsigned item, unsigned flags) {
  const ItemPlace place = locate(menu, item, flags);
  return place.owner ? place.owner->items[place.index].text : std::wstring();
}

unsigned getMenuState(MenuHandle menu, unsigned item, unsigned flags) {
  const ItemPlace place = locate(menu, item, flags);
  if (!place.owner) return kMenuError;
  const MenuItem& it = place.owner->items[place.index];
  unsigned state = it.flags & ~MfPopup;
  if (it.flags & MfPopup) state = (static_cast<unsigned>(getMenuItemCount(it.submenu)) << 8) | (state & 0xFF) | MfPopup;
  return state;
}

unsigned checkMenuItem(MenuHandle menu, unsigned item, unsigned flags) {
  return replaceFlags(menu, item, flags, MfChecked);
}

unsigned enableMenuItem(MenuHandle menu, unsigned item, unsigned flags) {
  return replaceFlags(menu, item, flags, MfGrayed | MfDisabled);
}

unsigned getMenuDefaultItem(MenuHandle menu) {
  const Menu* m = find(menu);
  if (!m) return kMenuError;
  for (const MenuItem& item : m->items)
    if ((item.flags & MfDefault) && !(item.flags & MfPopup)) return item.id;
  return kMenuError;
}

bool setMenuDefaultItem(MenuHandle menu, unsigned command) {
  Menu* m = find(menu);
  if (!m) return false;
  bool found = command == kMenuError;
  for (MenuItem& item : m->items) {
    const bool chosen = !(item.flags & MfPopup) && !(item.flags & MfSeparator) && item.id == command;
    item.flags = chosen ? item.flags | MfDefault : item.flags & ~MfDefault;
    found = found || chosen;
  }
  return found;
}

}  // namespace platform
