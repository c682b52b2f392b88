// The ids handed to torn-off menus, and the marker that carries a menu's id in its title:
// character 1, the id, character 1, then the title.
#pragma once

#include "platform/windows/menu_handles.h"
#include "uictl/bars/menus/tear_off_ids.h"

#include <string>
#include <vector>

// Installed with setTearOffManager, it keeps the ids of the library's menu buttons.
class TearOffManager : public TearOffIds {
 public:
  // An empty range (0) hands out nothing.
  TearOffManager(unsigned firstId = 0, unsigned lastId = 0);
  // An installed manager uninstalls itself.
  ~TearOffManager() override;
  TearOffManager(const TearOffManager&) = delete;
  TearOffManager& operator=(const TearOffManager&) = delete;

  // The first unused id of the range, now in use; 0 when the range is unset or full.
  unsigned GetFreeId();
  // Counts a use of `id` up or down; a count never drops below 0.
  void SetInUse(unsigned id, bool use) override;
  int UseCount(unsigned id) const;
  static void Build(unsigned id, std::wstring& text);
  // The id of a marked title, which is cut to the title; 0 (and the text unchanged) otherwise.
  static unsigned Parse(std::wstring& text);
  unsigned TakeIdFromTitle(std::wstring& title) const override { return Parse(title); }
  void PutIdIntoTitle(unsigned id, std::wstring& title) const override { Build(id, title); }
  // Counts the ids of every marked submenu title as used.
  void ParseMenu(platform::MenuHandle menu);
  // Gives every submenu that starts a new column of the menu bar a free id and marks its title.
  void SetupTearOffMenus(platform::MenuHandle menu);

  unsigned m_nFirstId = 0;
  unsigned m_nLastId = 0;
  std::vector<int> m_useCounts;

 private:
  bool inRange(unsigned id) const { return m_nFirstId != 0 && id >= m_nFirstId && id <= m_nLastId; }
};
