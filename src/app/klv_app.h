// The application object: the one database connection and who studies what.
#pragma once

#include <cstdint>
#include <string>

#include "app/point_info_store.h"
#include "database/sqlite_connection.h"

class KlvApp {
 public:
  KlvApp() = default;
  KlvApp(const KlvApp&) = delete;
  KlvApp& operator=(const KlvApp&) = delete;

  sqliteplus::SqliteConnection db;
  // The main dialog reaches the application through this pointer.
  KlvApp* self = this;
  int32_t currentSetId = -1;
  int32_t currentUserId = -1;
  int32_t studyMode = 1;
  PointInfoStore pointInfo;
  int32_t smartLearningSetId = 0;
  // The note page in the program folder, deleted at exit.
  std::wstring notePagePath;
};
