// Who studies what: the application's connection with its current user, problem set and study
// mode, and the notice box its failures are shown in. The application object hands one of these
// to the selection and history code.
#pragma once

#include <functional>
#include <string>

#include "database/engine/sqlite_connection.h"

namespace pdb3 {

struct StudyContext {
  sqliteplus::SqliteConnection& connection;
  int userId = -1;
  int setId = -1;
  int mode = 1;
  // The application's notice box; without one, a system-modal box captioned "Error!".
  std::function<void(const std::wstring&)> notice;
  // Says what failed with the cause the engine gave, once per action; without one, the notice
  // says what failed alone.
  std::function<void(const StudyContext&, const std::wstring&)> failureNotice = nullptr;
  // False while the file has no memory-rate table: a study then reads and writes no rates.
  bool keepsMemoryRates = true;

  void notify(const std::wstring& text) const;
  // For a read or write the database refused: the notice says why.
  void notifyFailure(const std::wstring& what) const;
};

}  // namespace pdb3
