// Which command a double click runs in each kind of view, with the views' names and icons. While
// one lives it is the library's mouse manager; the views' settings are stored through Serialize.
#pragma once

#include "platform/settings/archive.h"
#include "platform/settings/runtime_class.h"

#include <map>
#include <string>

class CUxMouseManager : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxMouseManager)

 public:
  CUxMouseManager();
  ~CUxMouseManager() override;
  CUxMouseManager(const CUxMouseManager&) = delete;
  CUxMouseManager& operator=(const CUxMouseManager&) = delete;

  // The double-click commands, then the view names; a load replaces both only when it succeeds.
  void Serialize(platform::Archive& ar) override;

  std::map<std::wstring, int> m_viewIds;
  std::map<int, unsigned> m_viewCommands;
  std::map<int, unsigned> m_viewIcons;
};

// The living mouse manager; null when none.
CUxMouseManager* mouseManager();
