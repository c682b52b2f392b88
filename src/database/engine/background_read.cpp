#include "database/engine/background_read.h"

#include <sqlite3.h>

#include <algorithm>
#include <mutex>
#include <system_error>
#include <vector>

#include "database/engine/text_conversion.h"

namespace sqliteplus {

namespace {

// How many engine steps run between two looks at the stop flag: a few microseconds' work.
constexpr int kStepsBetweenLooks = 1000;

// The stop flags of the reads still running.
std::mutex runningMutex;
std::vector<std::atomic<bool>*> running;

void setRunning(std::atomic<bool>* stop, bool isRunning) {
  const std::lock_guard<std::mutex> lock(runningMutex);
  if (isRunning) running.push_back(stop);
  else running.erase(std::remove(running.begin(), running.end(), stop), running.end());
}

}  // namespace

bool stopBackgroundReads() {
  const std::lock_guard<std::mutex> lock(runningMutex);
  bool stopped = false;
  for (std::atomic<bool>* stop : running) stopped = !stop->exchange(true) || stopped;
  return stopped;
}

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
  try {
    // Registered by the thread itself: a thread that never runs leaves nothing behind to stop.
    thread_ = std::thread([this, sql = std::move(sql)] {
      setRunning(&stop_, true);
      sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
      setRunning(&stop_, false);
      // Its work done, the connection goes: kept, it would hold a file the program may have left
      // for another one since.
      sqlite3_close_v2(db_);
    });
  } catch (const std::system_error&) {
    // No thread to spare: the file is read when the program asks for it, as without this read.
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

BackgroundRead::~BackgroundRead() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
}

}  // namespace sqliteplus
