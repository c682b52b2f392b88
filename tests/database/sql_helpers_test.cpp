#include <gtest/gtest.h>

#include "database/engine/sql_helpers.h"
#include "database_fixture.h"

using namespace pdb3;
using testdb::TempDatabase;
using testdb::thrownText;

namespace {

class SqlHelpers : public ::testing::Test {
 protected:
  TempDatabase db{TempDatabase::Content::empty};
  DbObject accessor = db.accessor();
  void SetUp() override { db.run(L"CREATE TABLE users (uid INTEGER PRIMARY KEY, name TEXT, note TEXT)"); }
};

}  // namespace

TEST_F(SqlHelpers, IntReadsTellFailureTheirOwnWay) {
  EXPECT_EQ(querySqlfIntOrMinus1(accessor, L"SELECT max(uid)+1 FROM users"), -1);  // NULL over no rows
  EXPECT_EQ(querySqlfIntOrMinus1(accessor, L"SELECT uid FROM users"), -1);         // no row
  EXPECT_EQ(querySqlfIntOrMinus1(accessor, L"SELEKT 1"), -1);                      // syntax error
  EXPECT_EQ(querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM users WHERE uid > %d", 5), 0);

  EXPECT_EQ(thrownText([&] { querySqlfInt(accessor, L"SELEKT %d", 1); }), L"Exception caught");
  EXPECT_EQ(thrownText([&] { querySqlfInt(accessor, L"SELECT max(uid) FROM users"); }), L"Exception caught");
  EXPECT_EQ(thrownText([&] { queryFirstInt(accessor, L"SELECT uid FROM users"); }), L"Exception caught");
  EXPECT_EQ(querySqlfInt(accessor, L"SELECT %d * 2", 21), 42);
}

TEST_F(SqlHelpers, FailingStatementReturnsFalseTracesTwoLinesAndChangesNothing) {
  ASSERT_TRUE(execSql(accessor, L"INSERT INTO users VALUES (1, 'a', '')"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(execSqlf(accessor, L"INSERT INTO users VALUES (%d, 'b', '')", 1));  // duplicate key
  const std::string trace = testing::internal::GetCapturedStderr();
  EXPECT_EQ(trace.rfind("sql : INSERT INTO users VALUES (1, 'b', '')\nQueryException : ", 0), 0u) << trace;
  EXPECT_EQ(db.value(L"SELECT group_concat(name) FROM users"), L"a");
}

TEST_F(SqlHelpers, QuotesAndJapaneseTravelThroughEveryHelper) {
  const std::wstring name = L"O'Brien の「単語」''";
  ASSERT_TRUE(execSqlf(accessor, L"INSERT INTO users VALUES (NULL, '%ls', '%ls')",
                       escapeSqlQuotesTo(name).c_str(), escapeSqlQuotesCStr(L"it's").c_str()));
  EXPECT_EQ(querySqlfInt(accessor, L"SELECT uid FROM users WHERE name='%ls'", escapeSqlQuotesTo(name).c_str()), 1);
  std::wstring read = L"unchanged";
  EXPECT_TRUE(querySqlfString(accessor, read, L"SELECT name FROM users WHERE uid=%d", 1));
  EXPECT_EQ(read, name);
  EXPECT_FALSE(querySqlfString(accessor, read, L"SELECT name FROM users WHERE uid=%d", 2));
  EXPECT_FALSE(queryFirstString(accessor, read, L"SELEKT"));
  EXPECT_EQ(read, name);  // untouched by the failures
  EXPECT_EQ(db.value(L"SELECT note FROM users"), L"it's");
}

TEST_F(SqlHelpers, LongStatementsAreNeverCut) {
  // Far beyond the 10,240 characters the statement buffer once had: a cut would lose the WHERE.
  const std::wstring longText(30000, L'語');
  db.run(L"INSERT INTO users VALUES (1, 'a', ''), (2, 'b', '')");
  ASSERT_TRUE(execSqlf(accessor, L"UPDATE users SET note='%ls' WHERE uid=%d", longText.c_str(), 2));
  EXPECT_EQ(db.value(L"SELECT length(note) FROM users WHERE uid=2"), L"30000");
  EXPECT_EQ(db.value(L"SELECT note FROM users WHERE uid=1"), L"");
  std::wstring read;
  EXPECT_TRUE(querySqlfString(accessor, read, L"SELECT note FROM users WHERE note='%ls'", longText.c_str()));
  EXPECT_EQ(read, longText);
}

TEST_F(SqlHelpers, IntListsAppendInRowOrderAndKeepWhatWasRead) {
  std::vector<int> list{7};
  EXPECT_TRUE(queryIntList(accessor, list, L"SELECT uid FROM users"));
  EXPECT_EQ(list, std::vector<int>{7});
  db.run(L"INSERT INTO users VALUES (3, 'c', ''), (1, 'a', ''), (2, NULL, '')");
  std::deque<int> ids;
  EXPECT_TRUE(querySqlfIntList(accessor, ids, L"SELECT uid FROM users WHERE uid >= %d ORDER BY name DESC", 1));
  EXPECT_EQ(ids, (std::deque<int>{3, 1, 2}));
  // The NULL of the second row fails the read after one value.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(queryIntList(accessor, list, L"SELECT CASE WHEN uid=2 THEN NULL ELSE uid END FROM users ORDER BY uid"));
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("QueryException : ", 0), 0u);
  EXPECT_EQ(list, (std::vector<int>{7, 1}));
}
