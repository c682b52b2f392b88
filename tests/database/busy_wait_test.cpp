#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "busy_waits_counted.h"
#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/engine_refusal.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/text_conversion.h"
#include "database_fixture.h"
#include "faulty_vfs.h"

using namespace std::chrono;
using testdb::TempDatabase;

namespace {

// Another program holding the file as the problem-set editor does while it saves.
class BusyDatabase : public ::testing::Test {
 protected:
  TempDatabase db;
  sqliteplus::SqliteConnection holder;
  void SetUp() override {
    holder.open(db.path().c_str());
    holder.createQuery()->execute(L"BEGIN EXCLUSIVE");
    sqliteplus::setBusyWaitLimit(milliseconds(600));
    sqliteplus::forgetEngineFailure();
  }
  void TearDown() override {
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
    sqliteplus::endBusyWaitAction();
  }
  // How long a read waited before it failed.
  milliseconds failedReadTakes() {
    const auto start = steady_clock::now();
    EXPECT_EQ(pdb3::querySqlfIntOrMinus1(db.accessor(), L"SELECT count(*) FROM section"), -1);
    return duration_cast<milliseconds>(steady_clock::now() - start);
  }
  // Whether a read that failed waited for the file before it did, rather than give up at once.
  bool failedReadWaited() {
    const unsigned long long before = sqliteplus::busyWaitsBegun();
    EXPECT_EQ(pdb3::querySqlfIntOrMinus1(db.accessor(), L"SELECT count(*) FROM section"), -1);
    return sqliteplus::busyWaitsBegun() != before;
  }
};

TEST_F(BusyDatabase, OneActionWaitsOnceAndThenGivesUpAtOnceUntilTheNextAction) {
  sqliteplus::countBusyWaitsPerAction();
  EXPECT_GE(failedReadTakes(), milliseconds(550));
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::busy);
  EXPECT_FALSE(failedReadWaited());
  EXPECT_FALSE(failedReadWaited());

  sqliteplus::endBusyWaitAction();
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::none);
  EXPECT_GE(failedReadTakes(), milliseconds(550));

  // Once the other program lets go, the same action reads again.
  holder.createQuery()->execute(L"COMMIT");
  EXPECT_EQ(pdb3::querySqlfIntOrMinus1(db.accessor(), L"SELECT count(*) FROM section"), 0);
}

TEST_F(BusyDatabase, WithoutActionsEveryStatementWaitsOnItsOwn) {
  std::thread([&] {
    EXPECT_GE(failedReadTakes(), milliseconds(550));
    EXPECT_GE(failedReadTakes(), milliseconds(550));
  }).join();
}

// A wait begun on any thread is seen from every other; a statement that gives up at once, its
// action's wait spent, begins none.
TEST_F(BusyDatabase, WaitsBegunOnAnyThreadAreSeenFromEveryThread) {
  const unsigned long long before = sqliteplus::busyWaitsBegunAnywhere();
  std::thread([&] { failedReadTakes(); }).join();
  const unsigned long long afterTheThread = sqliteplus::busyWaitsBegunAnywhere();
  EXPECT_GT(afterTheThread, before);
  sqliteplus::countBusyWaitsPerAction();
  EXPECT_TRUE(failedReadWaited());
  const unsigned long long afterTheAction = sqliteplus::busyWaitsBegunAnywhere();
  EXPECT_GT(afterTheAction, afterTheThread);
  EXPECT_FALSE(failedReadWaited());
  EXPECT_EQ(sqliteplus::busyWaitsBegunAnywhere(), afterTheAction);
}

// A trigger's words name its own statement's failure, not a later one's.
TEST(EngineFailure, ARefusalNamesOnlyTheFailureOfItsOwnStatement) {
  TempDatabase db;
  db.run(L"CREATE TRIGGER refuse BEFORE INSERT ON section BEGIN SELECT RAISE(ABORT, 'refused'); END");
  sqliteplus::forgetEngineFailure();
  EXPECT_FALSE(pdb3::execSql(db.accessor(), L"INSERT INTO section VALUES (1, 1)"));
  EXPECT_EQ(sqliteplus::lastEngineRefusal(), L"refused");
  EXPECT_EQ(pdb3::querySqlfIntOrMinus1(db.accessor(), L"SELECT count(*) FROM no_such_table"), -1);
  EXPECT_EQ(sqliteplus::lastEngineRefusal(), L"");
  sqliteplus::forgetEngineFailure();
}

TEST(EngineFailure, TheCauseThatExplainsTheOthersIsKept) {
  sqliteplus::forgetEngineFailure();
  sqliteplus::noteEngineFailure(SQLITE_IOERR_WRITE);
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::other);
  sqliteplus::noteEngineFailure(SQLITE_FULL);
  sqliteplus::noteEngineFailure(SQLITE_BUSY);
  sqliteplus::noteEngineFailure(SQLITE_READONLY);
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::busy);
  sqliteplus::forgetEngineFailure();
}

// A failure may pass when it comes of the moment (the system failed a write, the disk is full);
// one that comes of the file (a damaged page, a change its own rules refuse) lasts, and so it stays
// wherever the cause is kept meanwhile.
TEST(EngineFailure, OnlyWhatComesOfTheMomentMayPass) {
  TempDatabase db(TempDatabase::Content::empty);
  db.run(L"CREATE TABLE once (v INTEGER UNIQUE); INSERT INTO once VALUES (1); CREATE TABLE refused (v);"
         L"CREATE TRIGGER refuse BEFORE INSERT ON refused BEGIN SELECT RAISE(ABORT, 'no'); END;"
         L"CREATE TABLE damaged (v); INSERT INTO damaged VALUES (1)");
  const auto mayPassAfter = [&](sqliteplus::SqliteConnection& connection, const wchar_t* statement,
                                 sqliteplus::EngineFailure kind = sqliteplus::EngineFailure::other) {
    sqliteplus::forgetEngineFailure();
    SCOPED_TRACE(sqliteplus::WStringToUtf8(statement));
    EXPECT_FALSE(pdb3::execSql(pdb3::openQuery(connection), statement));
    EXPECT_EQ(sqliteplus::lastEngineFailure(), kind);
    return sqliteplus::lastFailureMayPass();
  };
  EXPECT_FALSE(mayPassAfter(db.connection(), L"INSERT INTO once VALUES (1)")) << "a constraint";
  EXPECT_FALSE(mayPassAfter(db.connection(), L"INSERT INTO refused VALUES (1)")) << "a trigger's words";
  {
    testdb::FaultyVfs disk;
    sqliteplus::SqliteConnection underStrain;
    underStrain.open(db.path().c_str());
    disk.failWrites(SQLITE_IOERR_WRITE);
    EXPECT_TRUE(mayPassAfter(underStrain, L"INSERT INTO once VALUES (2)")) << "an I/O error";
  }
  {
    // A page of the table no kind of page, read by a connection that has not kept it.
    std::fstream file(sqliteplus::WStringToUtf8(db.path()), std::ios::in | std::ios::out | std::ios::binary);
    const std::wstring rootPage = db.value(L"SELECT rootpage FROM sqlite_master WHERE name='damaged'");
    file.seekp(static_cast<std::streamoff>(std::stoi(rootPage) - 1) * 4096);
    file.put(7);
  }
  sqliteplus::SqliteConnection fresh;
  fresh.open(db.path().c_str());
  EXPECT_FALSE(mayPassAfter(fresh, L"UPDATE damaged SET v = 2", sqliteplus::EngineFailure::damaged)) << "a damaged file";
  // The file system, or a page's checksum, finds the file damaged: every read fails alike until it
  // is mended, however often it is tried.
  for (const int damage : {SQLITE_IOERR_CORRUPTFS, SQLITE_IOERR_DATA}) {
    testdb::FaultyVfs disk;
    sqliteplus::SqliteConnection reader;
    reader.open(db.path().c_str());
    disk.failReads(damage);
    EXPECT_FALSE(mayPassAfter(reader, L"SELECT count(*) FROM once", sqliteplus::EngineFailure::damaged))
        << "damage the system found: " << damage;
  }
  // A journal another program left behind, which a connection that may write the file plays back
  // at its next read: a connection that may not write waits for it, and reads once it is done.
  {
    const std::string path = sqliteplus::WStringToUtf8(db.path());
    const std::string left = path + ".left";
    sqliteplus::SqliteConnection writer;
    writer.open(db.path().c_str());
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(writer), L"BEGIN; UPDATE once SET v = 3"));
    std::filesystem::copy_file(path, left);
    std::filesystem::copy_file(path + "-journal", left + "-journal");
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(writer), L"ROLLBACK"));
    {
      // The engine writes the journal's mark once the journal is on the disk, just before it
      // changes the file: a program stopped after that leaves the journal marked.
      std::fstream journal(left + "-journal", std::ios::in | std::ios::out | std::ios::binary);
      const unsigned char mark[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
      journal.write(reinterpret_cast<const char*>(mark), sizeof mark);
    }
    {
      testdb::FaultyVfs readOnly;
      readOnly.openReadOnly(true);
      sqliteplus::SqliteConnection reader;
      sqliteplus::forgetEngineFailure();
      EXPECT_FALSE(pdb3::openConnection(reader, sqliteplus::Utf8ToWString(left).c_str()));
      EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::readOnly);
      EXPECT_TRUE(sqliteplus::lastFailureMayPass()) << "a journal left behind";
    }
    sqliteplus::SqliteConnection mayWrite;
    EXPECT_TRUE(pdb3::openConnection(mayWrite, sqliteplus::Utf8ToWString(left).c_str()));
    EXPECT_FALSE(std::filesystem::exists(left + "-journal"));
    // The log's kin: it waits for a connection that may write the file to recover it, or holds the
    // log's shared memory. A file that may not be written lasts, also noted beside them.
    for (const int waiting : {SQLITE_READONLY_RECOVERY, SQLITE_READONLY_CANTLOCK, SQLITE_READONLY_ROLLBACK}) {
      sqliteplus::forgetEngineFailure();
      sqliteplus::noteEngineFailure(waiting);
      EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::readOnly);
      EXPECT_TRUE(sqliteplus::lastFailureMayPass()) << waiting;
      sqliteplus::noteEngineFailure(SQLITE_READONLY);
      EXPECT_FALSE(sqliteplus::lastFailureMayPass()) << waiting;
    }
  }

  // A read whose transaction (which changed the schema) was taken back under it: read again, it reads.
  {
    sqlite3* handle = db.connection().engineHandle();
    ASSERT_EQ(sqlite3_exec(handle, "BEGIN; CREATE TABLE passing (v)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt* reading = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(handle, "SELECT v FROM once", -1, &reading, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW);
    ASSERT_EQ(sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    const int aborted = sqlite3_step(reading);
    sqlite3_finalize(reading);
    EXPECT_EQ(aborted & 0xff, SQLITE_ABORT);
    sqliteplus::forgetEngineFailure();
    sqliteplus::noteEngineFailure(aborted);
    EXPECT_TRUE(sqliteplus::lastFailureMayPass()) << "a read taken back";
  }

  // A lasting failure set aside for an action of its own, which failed for a passing cause, is
  // taken up again as it was.
  mayPassAfter(db.connection(), L"INSERT INTO once VALUES (1)");
  {
    const sqliteplus::ActionSetAside aside;
    sqliteplus::noteEngineFailure(SQLITE_IOERR_READ);
    EXPECT_TRUE(sqliteplus::lastFailureMayPass());
  }
  EXPECT_FALSE(sqliteplus::lastFailureMayPass());
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::other);
  sqliteplus::noteEngineFailure(SQLITE_FULL);
  EXPECT_TRUE(sqliteplus::lastFailureMayPass()) << "a full disk explains the rest";
  sqliteplus::forgetEngineFailure();
  EXPECT_FALSE(sqliteplus::lastFailureMayPass()) << "nothing noted";
}

}  // namespace
