// The read that brings a file into the system's cache beside the program's own work.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <chrono>
#include <memory>
#include <thread>

#include "database/engine/background_read.h"
#include "database_fixture.h"

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
// so the read is started again until one holds the file. None when none does.
std::unique_ptr<sqliteplus::BackgroundRead> startedEndlessRead(const std::wstring& path, const std::string& utf8) {
  for (int start = 0; start < 20; ++start) {
    auto read = std::make_unique<sqliteplus::BackgroundRead>(path, kEndlessRead);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // most reads have begun before the first look
    for (int look = 0; look < 10; ++look) {
      if (!writerGetsTheFile(utf8)) return read;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return nullptr;
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
