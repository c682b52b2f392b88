#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "database/engine/engine_failure.h"
#include "database/records/db_object.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/text_conversion.h"
#include "database_fixture.h"

using namespace sqliteplus;
using testdb::TempDatabase;

namespace {

template <class Exception, class Action>
std::string messageOf(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.message();
  }
  return "<nothing thrown>";
}

class Wrapper : public ::testing::Test {
 protected:
  TempDatabase db{TempDatabase::Content::empty};
  void SetUp() override {
    db.run(L"CREATE TABLE t (i INTEGER, r REAL, s TEXT, n TEXT);"
           L"INSERT INTO t VALUES (42, 2.75, '12abc', NULL);");
  }
  SharedHandle<SqliteQuery> query() { return db.connection().createQuery(); }
};

}  // namespace

TEST_F(Wrapper, CursorWithoutRowsRefusesEveryGetter) {
  auto cursor = query()->query(L"SELECT i FROM t WHERE i < 0");
  EXPECT_FALSE(cursor->next());
  EXPECT_FALSE(cursor->next());  // stays done
  EXPECT_EQ(cursor->rowCount(), 0);
  EXPECT_EQ(messageOf<QueryException>([&] { cursor->getString(0); }), "SqliteCursor has never gotten a row yet.");
  EXPECT_THROW(cursor->getInt(0), QueryException);
}

TEST_F(Wrapper, ValuesAreReadThroughTheirOwnType) {
  auto cursor = query()->query(L"SELECT i, r, s, n FROM t");
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(cursor->getInt(0), 42);
  EXPECT_EQ(cursor->getString(0), L"42");
  EXPECT_EQ(cursor->getInt(1), 2);  // truncated, as reading "2.75" would
  EXPECT_DOUBLE_EQ(cursor->getDouble(1), 2.75);
  EXPECT_EQ(cursor->getInt(2), 12);  // text: its leading number
  EXPECT_EQ(cursor->getString(3), L"");
  EXPECT_TRUE(cursor->isNull(3));
  EXPECT_THROW(cursor->getInt(3), QueryException);
  EXPECT_THROW(cursor->getDouble(3), QueryException);
  EXPECT_EQ(messageOf<OutOfBoundsException>([&] { cursor->getInt(-1); }), "index out of bounds.");
  EXPECT_THROW(cursor->getString(4), OutOfBoundsException);
  EXPECT_FALSE(cursor->next());
  EXPECT_THROW(cursor->getInt(0), QueryException);  // past the last row there is no row again
  EXPECT_EQ(cursor->rowCount(), 1);
}

TEST_F(Wrapper, BadStatementsThrowQueryExceptionWithEngineCode) {
  auto q = query();
  try {
    q->query(L"");
    FAIL() << "an empty statement compiled";
  } catch (const QueryException& e) {
    EXPECT_STREQ(e.what(), "QueryException");
    EXPECT_EQ(e.message(), "Can't compile sql.");
    EXPECT_EQ(e.code(), 0);
  }
  try {
    q->execute(L"INSERT INTO missing VALUES (1)");
    FAIL() << "a statement on a missing table ran";
  } catch (const QueryException& e) {
    EXPECT_NE(e.message().find("missing"), std::string::npos) << e.message();
    EXPECT_EQ(e.code(), SQLITE_ERROR);
  }
  EXPECT_THROW(q->query(L"SELEC 1"), QueryException);
}

TEST_F(Wrapper, JapaneseTextIsStoredAsUtf8AndReadBackUnchanged) {
  const std::wstring text = L"中学校 学校・教室などの単語 — 𠮷";
  query()->execute((L"INSERT INTO t (s) VALUES ('" + text + L"')").c_str());
  auto cursor = query()->query(L"SELECT s, hex(s) FROM t WHERE i IS NULL");
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(cursor->getString(0), text);
  EXPECT_EQ(cursor->getString(1).substr(0, 6), L"E4B8AD");  // 中 in UTF-8
}

TEST_F(Wrapper, CursorKeepsItsStatementWhenTheQueryTakesAnotherText) {
  db.run(L"INSERT INTO t (i) VALUES (43)");
  auto q = query();
  auto cursor = q->query(L"SELECT i FROM t ORDER BY i");
  ASSERT_TRUE(cursor->next());
  q->execute(L"UPDATE t SET s = 'x' WHERE i = 42");
  EXPECT_EQ(q->getSql(), L"UPDATE t SET s = 'x' WHERE i = 42");
  ASSERT_TRUE(cursor->next());
  EXPECT_EQ(cursor->getInt(0), 43);
}

TEST_F(Wrapper, ClosedConnectionRefusesStatementsWithoutCrashing) {
  auto q = query();
  auto cursor = q->query(L"SELECT i FROM t");
  db.connection().close();
  EXPECT_TRUE(cursor->next());  // a live cursor keeps the engine alive until it goes
  EXPECT_EQ(cursor->getInt(0), 42);
  EXPECT_THROW(q->execute(L"SELECT 1"), QueryException);
  EXPECT_THROW(q->query(L"SELECT 1"), QueryException);
}

TEST(Connection, FilesThatCannotBeOpenedFailAtOpen) {
  TempDatabase db(TempDatabase::Content::empty);
  SqliteConnection connection;
  const std::wstring missingFolder = db.folder() + L"/no/such/folder/x.klvdb7";
  EXPECT_THROW(connection.open(missingFolder.c_str()), ConnectionException);
  EXPECT_THROW(connection.open(L""), ConnectionException);
  EXPECT_FALSE(connection.isOpen());

  const std::wstring text = db.folder() + L"/notes.klvdb7";
  std::ofstream(sqliteplus::WStringToUtf8(text)) << "plain text, long enough to fill a header of a database file.\n";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(pdb3::openConnection(connection, text.c_str()));
  const std::string trace = testing::internal::GetCapturedStderr();
  EXPECT_EQ(trace.rfind("ConnectionException : ", 0), 0u) << trace;
  EXPECT_FALSE(connection.isOpen());
}

// A file that is not there is never made: an open or a write finds it gone (or another in its
// place), and says where it was.
TEST(Connection, AFileThatIsNotThereIsNeverMadeAndIsNotedGoneOrReplaced) {
  TempDatabase db(TempDatabase::Content::empty);
  db.run(L"CREATE TABLE t (i INTEGER)");
  const std::wstring missing = db.folder() + L"/消えた.klvdb7";
  SqliteConnection connection;
  forgetEngineFailure();
  EXPECT_THROW(connection.open(missing.c_str()), ConnectionException);
  EXPECT_FALSE(std::filesystem::exists(WStringToUtf8(missing)));
  EXPECT_EQ(lastEngineFailure(), EngineFailure::gone);
  EXPECT_EQ(lastMissingDatabase(), missing);

  // Moved away while open: the engine refuses the write as if the file were read-only.
  const std::wstring moved = db.folder() + L"/moved.klvdb7";
  std::filesystem::rename(WStringToUtf8(db.path()), WStringToUtf8(moved));
  forgetEngineFailure();
  EXPECT_THROW(db.connection().createQuery()->execute(L"INSERT INTO t VALUES (1)"), QueryException);
  EXPECT_EQ(lastEngineFailure(), EngineFailure::gone);
  EXPECT_EQ(lastMissingDatabase(), db.path());
  EXPECT_FALSE(std::filesystem::exists(WStringToUtf8(db.path())));

  // Another file put at the path (a sync tool's copy) is no missing file: it is said as replaced.
  std::filesystem::copy_file(WStringToUtf8(moved), WStringToUtf8(db.path()));
  forgetEngineFailure();
  EXPECT_THROW(db.connection().createQuery()->execute(L"INSERT INTO t VALUES (1)"), QueryException);
  EXPECT_EQ(lastEngineFailure(), EngineFailure::replaced);
  EXPECT_EQ(lastMissingDatabase(), db.path());
  forgetEngineFailure();
}

// A connection beside the program's, opened later on another thread (the level history's worker),
// has the program's file only while that is still the one at the path: a copy put there meanwhile
// is refused as replaced, and the connection is left closed.
TEST(Connection, AConnectionBesideOpensTheFileFoundBesideOrNone) {
  TempDatabase db(TempDatabase::Content::empty);
  db.run(L"CREATE TABLE t (i INTEGER)");
  pdb3::OpenFile file;
  ASSERT_TRUE(pdb3::findOpenFile(db.connection(), file));
  SqliteConnection side;
  ASSERT_TRUE(pdb3::openConnectionOn(side, file));
  side.close();
  const std::string path = WStringToUtf8(db.path()), moved = path + ".moved";
  std::filesystem::rename(path, moved);
  std::filesystem::copy_file(moved, path);
  forgetEngineFailure();
  EXPECT_FALSE(pdb3::openConnectionOn(side, file));
  EXPECT_FALSE(side.isOpen());
  EXPECT_EQ(lastEngineFailure(), EngineFailure::replaced);
  EXPECT_EQ(lastMissingDatabase(), db.path());
  forgetEngineFailure();
  EXPECT_FALSE(pdb3::findOpenFile(db.connection(), file));
  EXPECT_EQ(lastEngineFailure(), EngineFailure::replaced);
  forgetEngineFailure();
}

TEST(SharedHandle, CopiesShareOneObjectDeletedOnce) {
  struct Counted {
    int* deletions;
    ~Counted() { ++*deletions; }
  };
  int deletions = 0;
  {
    SharedHandle<Counted> a(new Counted{&deletions});
    SharedHandle<Counted> b(a);
    a = a;
    b = a;  // already sharing: nothing changes
    EXPECT_EQ(a.useCount(), 2);
    SharedHandle<Counted> c;
    c = b;
    EXPECT_EQ(a.useCount(), 3);
    a.release();
    b.release();
    EXPECT_EQ(deletions, 0);
    EXPECT_FALSE(a);
    SharedHandle<Counted> empty;
    c = empty;  // drops the last reference
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(c);
  }
  EXPECT_EQ(deletions, 1);
}
