// Another program holding the database file as the problem-set editor does while it saves: BEGIN
// EXCLUSIVE on a connection of its own. The window thread's one wait per action is made short.
#pragma once

#include <chrono>
#include <string>

#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/sqlite_connection.h"

namespace apptest {

class HeldDatabase {
 public:
  // begin: BEGIN IMMEDIATE for a program that only writes, which others may still read beside.
  explicit HeldDatabase(const std::wstring& path, const wchar_t* begin = L"BEGIN EXCLUSIVE") {
    sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(50));
    sqliteplus::countBusyWaitsPerAction();
    holder_.open(path.c_str());
    holder_.createQuery()->execute(begin);
    nextAction();
  }
  ~HeldDatabase() {
    release();
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
    nextAction();
  }
  void release() {
    if (held_) holder_.createQuery()->execute(L"ROLLBACK");
    held_ = false;
  }
  // What the event loop does between two user actions.
  static void nextAction() { sqliteplus::endBusyWaitAction(); }

 private:
  sqliteplus::SqliteConnection holder_;
  bool held_ = true;
};

// The cause a box names for each fault, as the learner reads it.
inline const std::wstring kBusyCause = L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";
inline const std::wstring kReadOnlyCause =
    L"データベースファイルに書き込めません。ファイルが読み取り専用になっていないか確認してください。";
inline const std::wstring kFullCause = L"ディスクの空き容量が足りません。";

}  // namespace apptest
