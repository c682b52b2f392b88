#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "database/engine/busy_wait.h"
#include "database/engine/engine_failure.h"
#include "database/engine/engine_refusal.h"
#include "database/engine/sql_helpers.h"
#include "database_fixture.h"

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
};

TEST_F(BusyDatabase, OneActionWaitsOnceAndThenGivesUpAtOnceUntilTheNextAction) {
  sqliteplus::countBusyWaitsPerAction();
  EXPECT_GE(failedReadTakes(), milliseconds(550));
  EXPECT_EQ(sqliteplus::lastEngineFailure(), sqliteplus::EngineFailure::busy);
  EXPECT_LT(failedReadTakes(), milliseconds(300));
  EXPECT_LT(failedReadTakes(), milliseconds(300));

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

}  // namespace
