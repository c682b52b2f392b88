// Item lists of bars built from menus, kept per menu handle in temporary files that vanish when
// they close or the process ends, so a menu's customised items come back without importing it.
#pragma once

#include "platform/windows/menu_handles.h"

#include <map>

class CUxToolBar;

class MenuHash {
 public:
  MenuHash() = default;
  ~MenuHash();
  MenuHash(const MenuHash&) = delete;
  MenuHash& operator=(const MenuHash&) = delete;

  // False for a bar without items (an existing entry stays) or when the file cannot be written.
  bool SaveMenuBar(platform::MenuHandle menu, CUxToolBar* bar);
  // False for an unknown handle or a damaged file; the bar is then left as it was.
  bool LoadMenuBar(platform::MenuHandle menu, CUxToolBar* bar);
  bool RemoveMenu(platform::MenuHandle menu);
  bool Contains(platform::MenuHandle menu) const { return files_.count(menu.id()) != 0; }
  void RemoveAll();

 private:
  std::map<uint32_t, int> files_;  // menu handle to open file descriptor
};

// The process's one hash.
MenuHash& menuHash();
