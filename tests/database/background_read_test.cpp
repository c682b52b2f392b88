// The read that brings a file into the system's cache beside the program's own work.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>

#include "database/engine/background_read.h"
#include "database/engine/busy_wait.h"
#include "database/engine/sql_helpers.h"
#include "database_fixture.h"
#include "patience.h"

namespace {

// Whether a writer that does not wait can take the file now: not while a read holds it.
bool writerGetsTheFile(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  const bool taken = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (taken) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return taken;
}

constexpr char kEndlessRead[] =
    "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n) "
    "SELECT x FROM n WHERE x < (SELECT count(*) - 1000 FROM sqlite_master)";

// An endless read that has begun: a writer finds the file held. A writer's look holds the file
// for a moment itself, and a read that starts just then gives up (as it does on any held file),
// so the read is started again until one holds the file, however long a busy machine keeps its
// thread from starting. None when none does.
std::unique_ptr<sqliteplus::BackgroundRead> startedEndlessRead(const std::wstring& path, const std::string& utf8) {
  const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
  while (std::chrono::steady_clock::now() < end) {
    auto read = std::make_unique<sqliteplus::BackgroundRead>(path, kEndlessRead);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // most reads have begun before the first look
    for (int look = 0; look < 10; ++look) {
      if (!writerGetsTheFile(utf8)) return read;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return nullptr;
}

// How many of this process's open files are `path`.
int openDescriptorsOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path file = std::filesystem::canonical(path, error);
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error))
    if (std::filesystem::read_symlink(entry.path(), error) == file) ++count;
  return count;
}

// Whether `done` comes true before the test gives up.
bool waitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

constexpr int kAThreadCouldStart = 2;

// Ends the process with 0 when a read that could not start its thread left no read to stop, and
// with kAThreadCouldStart when the memory limit let a thread start after all (it found the stack
// of an ended thread to reuse): the read then proved nothing.
void exitWithReadsLeftRegisteredAfterOneWithoutAThread(const std::wstring& path) {
  const std::string utf8 = QString::fromStdWString(path).toStdString();
  sqlite3* warm = nullptr;  // the allocations an open needs are made once beforehand
  sqlite3_open_v2(utf8.c_str(), &warm, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_close_v2(warm);
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlimit room{static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + (256 << 10), RLIM_INFINITY};
  setrlimit(RLIMIT_AS, &room);  // too little for a thread's stack
  { const sqliteplus::BackgroundRead read(path, kEndlessRead); }
  const bool left = sqliteplus::stopBackgroundReads();
  try {
    std::thread([] {}).join();
    std::exit(kAThreadCouldStart);
  } catch (const std::system_error&) {
  }
  std::exit(left ? 1 : 0);
}

}  // namespace

// A file in a folder with a Japanese name is read, and a read that would never end stops, and
// lets go of the file, when its owner goes.
TEST(BackgroundRead, ReadsAFileUnderAJapaneseNameAndStopsWhenItsOwnerGoes) {
  testdb::TempDatabase data;
  const QString folder = QString::fromStdWString(data.folder()) + QString::fromUtf8("/単語帳");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + QString::fromUtf8("/学習.klvdb7");
  ASSERT_TRUE(QFile::copy(QString::fromStdWString(data.path()), path));
  const std::string utf8 = path.toStdString();
  {
    const auto endless = startedEndlessRead(path.toStdWString(), utf8);
    ASSERT_TRUE(endless);
  }
  EXPECT_TRUE(writerGetsTheFile(utf8));

  // A read that has ended holds the file no longer, while its owner lives on: the program may have
  // left the file for another since.
  const sqliteplus::BackgroundRead ended(path.toStdWString(), "SELECT count(*) FROM sqlite_master");
  EXPECT_TRUE(waitUntil([&] { return openDescriptorsOf(utf8) == 0; }));
}

// The program's own connections do not wait behind it: a write stops it and goes through.
TEST(BackgroundRead, GivesWayToAWriteOfTheProgramsOwn) {
  testdb::TempDatabase data;
  const std::string utf8 = QString::fromStdWString(data.path()).toStdString();
  const auto endless = startedEndlessRead(data.path(), utf8);
  ASSERT_TRUE(endless);
  data.run(L"CREATE TABLE written (x)");  // fails the test when the file stays held
  EXPECT_EQ(data.value(L"SELECT count(*) FROM sqlite_master WHERE name='written'"), L"1");
}

// A thread without actions whose earlier statement spent its wait: a statement that gives way to the
// read and then finds another program holding the file waits its own time for it.
TEST(BackgroundRead, AStatementThatGaveWayWaitsItsOwnTimeAfter) {
  testdb::TempDatabase data;
  const std::string utf8 = QString::fromStdWString(data.path()).toStdString();
  sqliteplus::SqliteConnection other;
  other.open(data.path().c_str());
  std::thread([&] {
    sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(100));
    other.createQuery()->execute(L"BEGIN EXCLUSIVE");
    EXPECT_EQ(pdb3::querySqlfIntOrMinus1(data.accessor(), L"SELECT count(*) FROM section"), -1);
    other.createQuery()->execute(L"ROLLBACK");
    const auto endless = startedEndlessRead(data.path(), utf8);
    ASSERT_TRUE(endless);
    other.createQuery()->execute(L"BEGIN IMMEDIATE");  // held beside the read
    sqliteplus::setBusyWaitLimit(std::chrono::seconds(10));
    {
      const testdb::LetGoOnceWaitedFor release([&] { other.createQuery()->execute(L"ROLLBACK"); });
      EXPECT_TRUE(pdb3::execSql(data.accessor(), L"CREATE TABLE written (x)")) << "failed at once as busy";
    }
  }).join();
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
}

// No thread to spare: the read does not run, and leaves nothing behind for a wait to stop.
TEST(BackgroundRead, AReadWhoseThreadCannotStartLeavesNothingRegistered) {
  // A process of its own, started afresh: a forked one would keep the stacks of the threads that
  // earlier tests ended, and its read's thread would start on one of them.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testdb::TempDatabase data;
  EXPECT_EXIT(exitWithReadsLeftRegisteredAfterOneWithoutAThread(data.path()), testing::ExitedWithCode(0), "");
}
