// One statement run on a connection and thread of their own, none of its rows read: what it is for
// is the file coming into the system's cache while the program goes on. It gives up at once when
// another program holds the file, gives way to any of the program's own connections that wait
// for the file, stops at once when it is destroyed, and closes its connection once it has ended.
#pragma once

#include <atomic>
#include <string>
#include <thread>

struct sqlite3;

namespace sqliteplus {

// Asks every background read still running to stop, so that a connection of the program that
// waits for the file is not kept waiting by one; true when one was running.
bool stopBackgroundReads();

class BackgroundRead {
 public:
  // Opens the file read-only and starts the statement; nothing runs when the file does not open or
  // no thread can be started for it.
  BackgroundRead(const std::wstring& fileName, std::string sql);
  ~BackgroundRead();
  BackgroundRead(const BackgroundRead&) = delete;
  BackgroundRead& operator=(const BackgroundRead&) = delete;

 private:
  sqlite3* db_ = nullptr;  // the thread's once it runs
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace sqliteplus
