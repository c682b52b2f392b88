#include "platform/menu_handles.h"

#include <map>
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

// The owning menu and index of an item by position or by command (searched depth first).
std::pair<Menu*, size_t> locate(MenuHandle h, unsigned item, unsigned flags) {
  Menu* menu = find(h);
  if (!menu) return {nullptr, 0};
  if (flags & MfByPosition) return item < menu->items.size() ? std::pair{menu, size_t(item)} : std::pair{nullptr, size_t(0)};
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& it = menu->items[i];
    if (!(it.flags & MfPopup) && it.id == item) return {menu, i};
    if (it.flags & MfPopup)
      if (auto inner = locate(it.submenu, item, flags); inner.first) return inner;
  }
  return {nullptr, 0};
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
  auto [owner, index] = locate(menu, position, flags);
  if (!owner) return insertAt(menu, SIZE_MAX, flags, idOrSubmenu, text);
  for (auto& [id, m] : menus())
    if (&m == owner) return insertAt(MenuHandle(id), index, flags, idOrSubmenu, text);
  return false;
}

bool removeMenu(MenuHandle menu, unsigned item, unsigned flags) {
  auto [owner, index] = locate(menu, item, flags);
  if (!owner) return false;
  owner->items.erase(owner->items.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool deleteMenu(MenuHandle menu, unsigned item, unsigned flags) {
  auto [owner, index] = locate(menu, item, flags);
  if (!owner) return false;
  const MenuItem removed = owner->items[index];
  owner->items.erase(owner->items.begin() + static_cast<std::ptrdiff_t>(index));
  if (removed.flags & MfPopup) destroyMenu(removed.submenu);
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
  auto [owner, index] = locate(menu, item, flags);
  return owner ? owner->items[index].text : std::wstring();
}

unsigned getMenuState(MenuHandle menu, unsigned item, unsigned flags) {
  auto [owner, index] = locate(menu, item, flags);
  if (!owner) return kMenuError;
  const MenuItem& it = owner->items[index];
  unsigned state = it.flags & ~MfPopup;
  if (it.flags & MfPopup) state = (static_cast<unsigned>(getMenuItemCount(it.submenu)) << 8) | (state & 0xFF) | MfPopup;
  return state;
}

unsigned checkMenuItem(MenuHandle menu, unsigned item, unsigned flags) {
  auto [owner, index] = locate(menu, item, flags);
  if (!owner) return kMenuError;
  unsigned& f = owner->items[index].flags;
  const unsigned previous = f & MfChecked;
  f = (f & ~MfChecked) | (flags & MfChecked);
  return previous;
}

unsigned enableMenuItem(MenuHandle menu, unsigned item, unsigned flags) {
  auto [owner, index] = locate(menu, item, flags);
  if (!owner) return kMenuError;
  unsigned& f = owner->items[index].flags;
  const unsigned previous = f & (MfGrayed | MfDisabled);
  f = (f & ~(MfGrayed | MfDisabled)) | (flags & (MfGrayed | MfDisabled));
  return previous;
}

}  // namespace platform
