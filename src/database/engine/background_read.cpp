#include "database/engine/background_read.h"

#include <sqlite3.h>

#include "database/engine/text_conversion.h"

namespace sqliteplus {

namespace {

// How many engine steps run between two looks at the stop flag: a few microseconds' work.
constexpr int kStepsBetweenLooks = 1000;

}  // namespace

BackgroundRead::BackgroundRead(const std::wstring& fileName, std::string sql) {
  const std::string name = WStringToUtf8(fileName);
  if (name.empty() || sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    return;
  }
  // No busy handler: a file another program holds is not waited for, the read is simply not made.
  sqlite3_progress_handler(
      db_, kStepsBetweenLooks, [](void* stop) { return static_cast<std::atomic<bool>*>(stop)->load() ? 1 : 0; },
      &stop_);
  thread_ = std::thread([db = db_, sql = std::move(sql)] { sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); });
}

BackgroundRead::~BackgroundRead() {
  if (!db_) return;
  stop_ = true;
  thread_.join();
  sqlite3_close_v2(db_);
}

}  // namespace sqliteplus
