// The read that brings a file into the system's cache beside the program's own work.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <chrono>
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

// Waits until a writer finds the file held: the read has begun.
bool readHasBegun(const std::string& path) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    if (!writerGetsTheFile(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
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
    const sqliteplus::BackgroundRead endless(path.toStdWString(), kEndlessRead);
    ASSERT_TRUE(readHasBegun(utf8));
  }
  EXPECT_TRUE(writerGetsTheFile(utf8));
}

// The program's own connections do not wait behind it: a write stops it and goes through.
TEST(BackgroundRead, GivesWayToAWriteOfTheProgramsOwn) {
  testdb::TempDatabase data;
  const std::string utf8 = QString::fromStdWString(data.path()).toStdString();
  const sqliteplus::BackgroundRead endless(data.path(), kEndlessRead);
  ASSERT_TRUE(readHasBegun(utf8));
  data.run(L"CREATE TABLE written (x)");  // fails the test when the file stays held
  EXPECT_EQ(data.value(L"SELECT count(*) FROM sqlite_master WHERE name='written'"), L"1");
}
