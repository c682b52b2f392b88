#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "database/database_file.h"
#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/text_conversion.h"
#include "busy_waits_counted.h"
#include "database_fixture.h"
#include "faulty_vfs.h"
#include "platform/windows/notifier.h"
#include "test_env.h"

using testdb::TempDatabase;

namespace {

struct BoxRecorder : platform::Notifier {
  std::vector<std::wstring> boxes;
  int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
    boxes.push_back(caption + L"|" + text);
    return platform::IdOk;
  }
};

class DatabaseFile : public ::testing::Test {
 protected:
  BoxRecorder recorder;
  platform::NotifierOverride useRecorder{recorder};
  TempDatabase db;

  // Reopens the file on a connection of its own, as the program does at start.
  bool reopen() {
    sqliteplus::SqliteConnection connection;
    return pdb3::openDatabaseFile(connection, db.path(), &found);
  }

  pdb3::FileFindings found;
};

}  // namespace

TEST_F(DatabaseFile, CurrentFileOpensUnchanged) {
  EXPECT_TRUE(reopen());
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(db.value(L"SELECT version || '/' || subversion FROM version"), L"7/2");
}

// The open says nothing itself: its caller says why once, after the splash or at once.
TEST_F(DatabaseFile, OtherVersionIsRefusedWithoutABoxAndNothingWritten) {
  db.run(L"DROP TABLE memory_rate; UPDATE version SET version=6, subversion=0");
  EXPECT_FALSE(reopen());
  EXPECT_EQ(found.refusal, pdb3::FileRefusal::otherVersion);
  EXPECT_EQ(db.value(L"SELECT count(*) FROM sqlite_master WHERE name='memory_rate'"), L"0");
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"0");

  db.run(L"DELETE FROM version");  // no version row reads as -1: refused the same way
  found = {};
  EXPECT_FALSE(reopen());
  EXPECT_EQ(found.refusal, pdb3::FileRefusal::otherVersion);
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(DatabaseFile, EmptyAndForeignFilesAreNamedAsNoDatabaseOfOurs) {
  const std::wstring empty = db.folder() + L"/empty.klvdb7";
  std::ofstream(sqliteplus::WStringToUtf8(empty), std::ios::binary);
  db.run(L"DROP TABLE version");
  for (const std::wstring& path : {empty, db.path()}) {
    sqliteplus::SqliteConnection connection;
    found = {};
    EXPECT_FALSE(pdb3::openDatabaseFile(connection, path, &found));
    EXPECT_EQ(found.refusal, pdb3::FileRefusal::notOurs);
  }
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(std::filesystem::file_size(sqliteplus::WStringToUtf8(empty)), 0u);
}

TEST_F(DatabaseFile, AReadOnlyFileOpensUnlessItNeedsTheUpgrade) {
  testdb::FaultyVfs vfs;
  vfs.openReadOnly(true);
  EXPECT_TRUE(reopen());
  EXPECT_TRUE(recorder.boxes.empty());

  db.run(L"DROP TABLE memory_rate; UPDATE version SET subversion=1");
  EXPECT_FALSE(reopen());
  EXPECT_EQ(found.refusal, pdb3::FileRefusal::cannotUpgrade);
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"1");
}

namespace {

// The look-up indexes as a new file has them: their statements, in name order.
std::wstring lookupIndexes(TempDatabase& db) {
  return db.value(L"SELECT group_concat(sql, ';') FROM (SELECT sql FROM sqlite_master WHERE type='index' AND sql "
                  L"IS NOT NULL ORDER BY name)");
}

void dropLookupIndexes(TempDatabase& db) {
  for (const wchar_t* index : {L"question_log_qid_uid", L"section_sid", L"looped_questions_lid", L"log_id_uid_eid_mid",
                               L"folder_fid", L"daily_question_log_did", L"daily_log_lid"})
    db.run(std::wstring(L"DROP INDEX ") + index);
}

std::string bytesOf(const std::wstring& path) {
  std::ifstream in(sqliteplus::WStringToUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// A file another tool made with the program's tables but none of its look-up indexes gets them at
// its open, as a new file has them, whether it needed the upgrade or not; a name another object
// has keeps only that one out. A file the program may not write opens as it is.
TEST_F(DatabaseFile, AFileWithoutTheLookUpIndexesGetsThemAtItsOpenUnlessItIsReadOnly) {
  const std::wstring asMade = lookupIndexes(db);
  ASSERT_NE(asMade.find(L"question_log_qid_uid"), std::wstring::npos);
  dropLookupIndexes(db);
  {
    testdb::FaultyVfs vfs;
    vfs.openReadOnly(true);
    const std::string before = bytesOf(db.path());
    testing::internal::CaptureStderr();
    EXPECT_TRUE(reopen());
    const std::string traced = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bytesOf(db.path()), before);
    EXPECT_EQ(traced.find("cannot add the index"), std::string::npos) << "a read-only file was given a try:\n" << traced;
  }
  EXPECT_EQ(lookupIndexes(db), L"");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(lookupIndexes(db), asMade);

  dropLookupIndexes(db);
  db.run(L"DROP TABLE memory_rate; UPDATE version SET subversion=1; CREATE VIEW folder_fid AS SELECT 1");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::present);
  EXPECT_EQ(db.value(L"SELECT count(*) FROM sqlite_master WHERE type='index' AND sql IS NOT NULL"), L"6");
  EXPECT_EQ(db.value(L"SELECT type FROM sqlite_master WHERE name='folder_fid'"), L"view");
  EXPECT_TRUE(recorder.boxes.empty());
}

// Another program writing the file at the open (it holds the write lock) is not waited for, nor is
// a full disk tried index by index: the open goes on at once without the indexes, after one line,
// and a later open that can write the file makes them all.
TEST_F(DatabaseFile, TheLookUpIndexesAreLeftAtTheFirstRefusalWithoutAWaitForALaterOpen) {
  const std::wstring asMade = lookupIndexes(db);
  dropLookupIndexes(db);
  const std::string before = bytesOf(db.path());
  const auto linesNaming = [](const std::string& traced, const std::string& words) {
    size_t lines = 0;
    for (size_t at = traced.find(words); at != std::string::npos; at = traced.find(words, at + 1)) ++lines;
    return lines;
  };
  {
    sqliteplus::SqliteConnection other;
    other.open(db.path().c_str());
    other.createQuery()->execute(L"BEGIN IMMEDIATE");
    const unsigned long long waits = sqliteplus::busyWaitsBegun();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(reopen());
    const std::string traced = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sqliteplus::busyWaitsBegun(), waits) << "the open waited for the other program";
    EXPECT_EQ(linesNaming(traced, "cannot add the index"), 1u) << traced;
    other.createQuery()->execute(L"ROLLBACK");
  }
  {
    testdb::FaultyVfs disk;
    disk.limitDisk(0);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(reopen());
    const std::string traced = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linesNaming(traced, "cannot add the index"), 1u) << traced;
  }
  EXPECT_EQ(bytesOf(db.path()), before);
  EXPECT_EQ(lookupIndexes(db), L"");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(lookupIndexes(db), asMade);
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(DatabaseFile, OlderSubversionIsUpgradedOnce) {
  db.run(L"DROP TABLE memory_rate; UPDATE version SET subversion=NULL");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"2");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM memory_rate"), L"0");
  const std::wstring schema = db.value(L"SELECT sql FROM sqlite_master WHERE name='memory_rate'");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(reopen());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(db.value(L"SELECT sql FROM sqlite_master WHERE name='memory_rate'"), schema);
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(DatabaseFile, FailedTableCreationLeavesTheSubversionForTheNextStart) {
  // Something else holds the name, so the CREATE fails and no memory_rate table exists. No later
  // open could add it: the file opens without it, and says so through memoryRates alone.
  db.run(L"DROP TABLE memory_rate; UPDATE version SET subversion=1;"
         L"CREATE INDEX memory_rate ON question (qid)");
  {
    // Refused while another program holds the file; what that open noted does not refuse the next.
    sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(50));
    sqliteplus::SqliteConnection other;
    other.open(db.path().c_str());
    other.createQuery()->execute(L"BEGIN EXCLUSIVE");
    EXPECT_FALSE(reopen());
    other.createQuery()->execute(L"ROLLBACK");
    sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  }
  for (const wchar_t* taken : {L"", L"DROP INDEX memory_rate; CREATE VIEW memory_rate AS SELECT qid FROM question"}) {
    db.run(taken);
    testing::internal::CaptureStdout();
    const bool opened = reopen();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "テーブルの追加に失敗しました\n");
    EXPECT_TRUE(opened);
    EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::nameTaken);
    EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"1");
    EXPECT_TRUE(sqlite3_get_autocommit(db.connection().engineHandle()));
  }
  EXPECT_TRUE(recorder.boxes.empty());
  db.run(L"DROP VIEW memory_rate");

  // When the table is already there the CREATE fails too, but the version is still brought up.
  db.run(L"CREATE TABLE memory_rate (qid INTEGER, uid INTEGER)");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(reopen());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"2");
  EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::present);
}

// Another program may drop the table from a current file, or name it in capitals: each open looks,
// and names match as the engine matches them.
TEST_F(DatabaseFile, EveryOpenLooksForTheMemoryRateTableWhateverTheCaseOfItsName) {
  db.run(L"DROP TABLE memory_rate");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::missing);
  db.run(L"CREATE INDEX Memory_Rate ON question (qid)");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::nameTaken);

  // In the upgrade too: the table is there, and the file is brought up to date.
  db.run(L"DROP INDEX memory_rate; CREATE TABLE MEMORY_RATE (qid INTEGER, uid INTEGER); UPDATE version SET subversion=1");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(reopen());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(found.memoryRates, pdb3::MemoryRateTable::present);
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"2");
}

// Another program reads the file (the upgrade's COMMIT cannot be made) or writes it (nor can the
// table be added): the open is refused with the cause noted, and the next one upgrades.
TEST_F(DatabaseFile, AnUpgradeThatCannotBeMadeRefusesTheOpenUntilItCanBe) {
  db.run(L"DROP TABLE memory_rate; UPDATE version SET subversion=1");
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(50));
  for (const wchar_t* otherProgram : {L"BEGIN; SELECT count(*) FROM question", L"BEGIN IMMEDIATE"}) {
    sqliteplus::SqliteConnection other;
    other.open(db.path().c_str());
    other.createQuery()->execute(otherProgram);
    sqliteplus::forgetEngineFailure();
    EXPECT_FALSE(reopen()) << sqliteplus::WStringToUtf8(otherProgram);
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::busy);
    other.createQuery()->execute(L"ROLLBACK");
  }
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  {
    // A disk without room for the new table.
    testdb::FaultyVfs vfs;
    vfs.limitDisk(0);
    sqliteplus::forgetEngineFailure();
    EXPECT_FALSE(reopen());
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::full);
  }
  // A system under strain: a disk that fails a write, no memory for the journal, a lock refused.
  // Each passes, and none is the file's: the open is refused with the cause, never made without
  // smart learning for the whole run.
  const std::vector<std::pair<const char*, std::function<void(testdb::FaultyVfs&)>>> passingFaults{
      {"I/O error", [](testdb::FaultyVfs& vfs) { vfs.failWrites(SQLITE_IOERR_WRITE); }},
      {"no memory", [](testdb::FaultyVfs& vfs) { vfs.failJournalOpens(SQLITE_NOMEM); }},
      {"locking protocol", [](testdb::FaultyVfs& vfs) { vfs.failWriteLocks(SQLITE_PROTOCOL); }},
  };
  for (const auto& [fault, arm] : passingFaults) {
    testdb::FaultyVfs vfs;
    arm(vfs);
    sqliteplus::forgetEngineFailure();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(reopen()) << fault;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::other) << fault;
    EXPECT_TRUE(sqliteplus::lastFailureMayPass()) << fault;
    EXPECT_EQ(db.value(L"SELECT count(*) FROM sqlite_master WHERE name='memory_rate'"), L"0") << fault;
  }
  EXPECT_TRUE(recorder.boxes.empty());
  EXPECT_EQ(db.value(L"SELECT subversion FROM version"), L"1");
  EXPECT_TRUE(reopen());
  EXPECT_EQ(db.value(L"SELECT subversion || (SELECT count(*) FROM memory_rate) FROM version"), L"20");
}

TEST_F(DatabaseFile, FilesThatCannotBeUsedGiveFalseWithoutABox) {
  sqliteplus::SqliteConnection connection;
  sqliteplus::forgetEngineFailure();
  EXPECT_FALSE(pdb3::openDatabaseFile(connection, db.folder() + L"/missing.klvdb7"));
  EXPECT_FALSE(std::filesystem::exists(sqliteplus::WStringToUtf8(db.folder() + L"/missing.klvdb7")));
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::gone) << "the caller says the file is gone";
  EXPECT_EQ(sqliteplus::lastMissingDatabase(), db.folder() + L"/missing.klvdb7");
  sqliteplus::forgetEngineFailure();
  EXPECT_FALSE(pdb3::openDatabaseFile(connection, db.folder()));  // a folder
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::none);

  const std::wstring old = db.folder() + L"/old.klvdb7";
  std::ofstream(sqliteplus::WStringToUtf8(old), std::ios::binary)
      << "** This file contains an SQLite 2.1 database **" << std::string(1024, '\0');
  testing::internal::CaptureStderr();
  EXPECT_FALSE(pdb3::openDatabaseFile(connection, old));
  const std::string trace = testing::internal::GetCapturedStderr();
  EXPECT_NE(trace.find("SQLite 2 database"), std::string::npos) << trace;
  EXPECT_NE(trace.find("old.klvdb7"), std::string::npos) << trace;
  EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(DatabaseFile, BuildMakesTheDefaultDatabaseWithTheSampleSet) {
  const std::filesystem::path built = testenv::programDir() + "/database.klvdb7";
  ASSERT_TRUE(std::filesystem::exists(built)) << built;
  const std::filesystem::path copy = sqliteplus::WStringToUtf8(db.folder() + L"/default.klvdb7");
  std::filesystem::copy_file(built, copy);
  sqliteplus::SqliteConnection connection;
  ASSERT_TRUE(pdb3::openDatabaseFile(connection, sqliteplus::Utf8ToWString(copy.string())));
  auto cursor = pdb3::openQuery(connection).query().query(
      L"SELECT v.version, v.subversion, f.name, s.name, (SELECT count(*) FROM section WHERE sid = s.eid) "
      L"FROM version v, element_info f, element_info s, folder fs "
      L"WHERE fs.eid = s.eid AND fs.fid = f.eid AND s.type = 2 AND f.type = 0");
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(cursor->getInt(0), 7);
  EXPECT_EQ(cursor->getInt(1), 2);
  EXPECT_EQ(cursor->getString(2), L"中学生向け問題");
  EXPECT_EQ(cursor->getString(3), L"中学校 学校・教室などの単語");
  EXPECT_GE(cursor->getInt(4), 20);
}
