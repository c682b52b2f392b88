// What menu buttons ask of the tear-off manager, which hands out the ids of menus that can be
// torn off and carries them in sub-menu titles. None exists unless an application installs one
// (the frames' TearOffManager); while none is installed menu buttons keep no ids in it.
#pragma once

#include <string>

class TearOffIds {
 public:
  virtual ~TearOffIds() = default;
  // Counts a use of `id` up or down.
  virtual void SetInUse(unsigned id, bool use) = 0;
  // The id a sub-menu's title carries, the title cut to its text; 0 (title unchanged) for none.
  virtual unsigned TakeIdFromTitle(std::wstring& title) const = 0;
  // Puts the id into a sub-menu's title.
  virtual void PutIdIntoTitle(unsigned id, std::wstring& title) const = 0;
};

// Null uninstalls.
void setTearOffManager(TearOffIds* manager);
TearOffIds* tearOffManager();

// The id a sub-menu's title carries, the title cut to its text; 0 (title unchanged) without a
// manager or an id.
unsigned takeTearOffId(std::wstring& title);
// A sub-menu's title as a menu carries it: with its id, when it has one and a manager is there.
std::wstring titleWithTearOffId(const std::wstring& title, unsigned id);
