// A database file of its own for one test, in a temporary folder that goes with the object.
// Built from the project's own schema script (resources/schema.sql), optionally with the sample
// data the build puts into the default database (resources/sample_data.sql).
#pragma once

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "database/records/db_object.h"
#include "database/engine/sqlite_connection.h"

namespace testdb {

class TempDatabase {
 public:
  enum class Content { empty, schema, sampleData };

  // The file is created with the content asked for and opened on connection().
  explicit TempDatabase(Content content = Content::schema);

  const std::wstring& path() const { return path_; }
  std::wstring folder() const;
  sqliteplus::SqliteConnection& connection() { return connection_; }
  pdb3::DbObject accessor() { return pdb3::openQuery(connection_); }

  // Runs statements directly; a failure fails the test.
  void run(const std::wstring& sql);
  // Column 0 of the first row as text ("" when there is no row); a failure fails the test.
  std::wstring value(const std::wstring& sql);

 private:
  QTemporaryDir dir_;
  std::wstring path_;
  sqliteplus::SqliteConnection connection_;
};

// Another program holding the file with BEGIN EXCLUSIVE, as the problem-set editor does while it
// saves: from construction until `hold` has passed and a statement of the program has given up
// waiting for it since, however late a busy machine lets that statement come; the destructor waits
// until it has let go.
class BriefLock {
 public:
  BriefLock(const std::wstring& path, std::chrono::milliseconds hold);
  ~BriefLock();

 private:
  sqliteplus::SqliteConnection holder_;
  std::thread release_;
};

// Another program that lets go of the file while the program waits for it: `letGo` runs on a thread
// of its own once a wait for a busy file has begun, on any thread, after construction, however late
// a busy machine lets the waiting statement come. A statement that never waits fails its test on
// what it did instead: the destructor lets go then, and returns once `letGo` has run.
class LetGoOnceWaitedFor {
 public:
  explicit LetGoOnceWaitedFor(std::function<void()> letGo);
  ~LetGoOnceWaitedFor();
  LetGoOnceWaitedFor(const LetGoOnceWaitedFor&) = delete;
  LetGoOnceWaitedFor& operator=(const LetGoOnceWaitedFor&) = delete;

 private:
  std::atomic<bool> over_{false};
  std::thread thread_;
};

// The wide string an action throws (the data layer's way of failing), or "<nothing thrown>".
std::wstring thrownText(const std::function<void()>& action);

// The text of a file of resources/ (the schema and sample data scripts).
std::string resourceText(const std::string& name);

}  // namespace testdb
