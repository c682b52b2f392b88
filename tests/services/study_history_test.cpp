#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "database/engine/busy_wait.h"
#include "database/engine/sql_helpers.h"
#include "services/study_history.h"
#include "database/engine/text_conversion.h"
#include "database_fixture.h"
#include "faulty_vfs.h"
#include "platform/clock.h"
#include "platform/text.h"

using namespace pdb3;
using testdb::TempDatabase;

namespace {

constexpr int kT0 = 1710072000;  // 2024-03-10 12:00 UTC: the studies below stay in one month
constexpr int kDay = 86400;

class StudyHistory : public ::testing::Test {
 protected:
  TempDatabase db;
  DbObject accessor = db.accessor();
  std::vector<std::wstring> notices;
  StudyContext study{db.connection(), 1, 10, 0, [this](const std::wstring& text) { notices.push_back(text); }};
  PointInfoStore store;
  RankingTarget ranking{store, L"taro", db.folder() + L"/irank.dat"};
  int64_t now = kT0;
  platform::ClockOverride clock{[this] { return now; }};

  void SetUp() override {
    db.run(L"INSERT INTO user_info VALUES (1, 'taro')");
    db.run(L"INSERT INTO element_info VALUES (20, 0, 'Eng', '', '', '', 0, 0, '', ''), "
           L"(10, 2, 'Words', '', '', '', 0, 0, '', '')");
    db.run(L"INSERT INTO folder VALUES (20, 0), (10, 20)");
    db.run(L"INSERT INTO question (qid, question, answer) VALUES (1, 'りんご', 'apple'), "
           L"(2, '犬%no' || char(13, 10) || 'いぬ', 'dog'), (3, '猫', 'cat'), (4, 'long', '" +
           std::wstring(200, L'x') + L"')");
    db.run(L"INSERT INTO section VALUES (10, 1), (10, 2), (10, 3), (10, 4)");
  }

  DailyLogRecord record(int did, int lid, int start, int end, int strokes) {
    DailyLogRecord r(accessor);
    r.did = did;
    r.lid = lid;
    r.StartTime = start;
    r.EndTime = end;
    r.Strokes = strokes;
    return r;
  }
  static DailyQuestionResult result(int nc1, int ni1, int nc2, int ni2, double sec, int when, int mistake = 0) {
    return {nc1, ni1, nc2, ni2, sec, when, mistake, 0, 0};
  }
  std::wstring rows(const std::wstring& select) { return db.value(L"SELECT group_concat(r, ' ') FROM (" + select + L")"); }
  std::wstring rates() {
    return rows(L"SELECT qid || ':' || rate || '/' || level AS r FROM memory_rate ORDER BY qid");
  }
};

}  // namespace

TEST_F(StudyHistory, ScriptedStudiesLeaveExactlyTheirRows) {
  // Study 1, mode je: q1 right at once, q2 wrong then right on the repeat, q3 wrong once.
  DailyLogRecord first = record(1, 1, kT0 - 300, kT0, 25);
  first.results[1] = result(1, 0, 0, 0, 2.5, kT0);
  first.results[2] = result(0, 1, 1, 0, 4.0, kT0, kT0);
  first.results[3] = result(0, 1, 0, 0, 3.0, kT0, kT0);
  ASSERT_TRUE(SaveStudyHistory(study, ranking, first, true, 30));

  EXPECT_EQ(rows(L"SELECT lid || ',' || uid || ',' || eid || ',' || mid AS r FROM log_id"), L"1,1,10,0");
  const std::wstring totals =
      L"SELECT FirstReplyDate || ',' || nRun || ',' || TotalReplySec || ',' || TotalStrokes || ',' || nAccomplish "
      L"AS r FROM element_log WHERE lid=";
  EXPECT_EQ(rows(totals + L"1"), std::to_wstring(kT0 - 300) + L",1,9,25,0");
  EXPECT_EQ(rates(), L"1:80/2 2:50/0 3:40/0");
  EXPECT_EQ(db.value(L"SELECT l2_time FROM memory_rate WHERE qid=1"), std::to_wstring(kT0));
  EXPECT_EQ(rows(L"SELECT did || ',' || lid || ',' || StartTime || ',' || EndTime || ',' || Strokes AS r FROM daily_log"),
            L"1,1," + std::to_wstring(kT0 - 300) + L"," + std::to_wstring(kT0) + L",25");
  EXPECT_EQ(rows(L"SELECT qid || ':' || nc1 || ni1 || nc2 || ni2 || ':' || ReplySec || ':' || ext1 || '/' || ext2 "
                 L"AS r FROM daily_question_log WHERE did=1 ORDER BY qid"),
            L"1:1000:2.5:2/80 2:0110:4.0:0/50 3:0100:3.0:0/40");
  EXPECT_EQ(rows(L"SELECT qid || ':' || nc1 || ni1 || nc2 || ni2 || ':' || LastStudyTime || ':' || "
                 L"LastMistakeTimeOnFirstReply || ':' || ReplySec AS r FROM question_log ORDER BY qid"),
            L"1:1000:" + std::to_wstring(kT0) + L":0:2.5 2:0110:" + std::to_wstring(kT0) + L":" +
                std::to_wstring(kT0) + L":4.0 3:0100:" + std::to_wstring(kT0) + L":" + std::to_wstring(kT0) + L":3.0");
  EXPECT_EQ(rows(L"SELECT qid AS r FROM looped_questions WHERE lid=1 ORDER BY rowid"), L"1 2");
  EXPECT_EQ(first.results[1].ext1, 2);
  EXPECT_EQ(first.results[1].ext2, 80);

  PointInfoStore saved;
  ASSERT_TRUE(saved.load(ranking.path));
  const PointInfoRecord& points = saved.findByUser(L"taro");
  EXPECT_EQ(points.pendingTotal.nc, 1);
  EXPECT_EQ(points.pendingTotal.ni, 2);
  EXPECT_EQ(points.pendingTotal.p, 30);
  EXPECT_EQ(points.pendingTotal.sec, 9);
  EXPECT_EQ(points.pendingTotal.lt, kT0);
  EXPECT_EQ(PointInfoRecord::text(points.pendingTotal.ls), L"Eng/Words");
  const std::set<std::wstring> texts{L"apple / りんご", L"dog / 犬いぬ", L"cat / 猫"};
  EXPECT_TRUE(texts.count(PointInfoRecord::text(points.pendingTotal.rq)));
  EXPECT_EQ(points.pendingMonthly.nc, 1);

  // Study 2, three days later: q1 has rested its two days at level 2 and climbs by two; q3 decays
  // at level 0 from its first study (40 -> 16) and climbs from 0.
  now = kT0 + 3 * kDay;
  DailyLogRecord second = record(2, 1, now - 100, now, 5);
  second.results[1] = result(1, 0, 0, 0, 1.5, now);
  second.results[3] = result(1, 0, 0, 0, 2.0, now);
  ASSERT_TRUE(SaveStudyHistory(study, ranking, second, true, 12));
  EXPECT_EQ(rates(), L"1:100/4 2:50/0 3:96/2");
  EXPECT_EQ(db.value(L"SELECT l2_time || ',' || l4_time FROM memory_rate WHERE qid=1"),
            std::to_wstring(kT0) + L"," + std::to_wstring(now));
  EXPECT_EQ(rows(totals + L"1"), std::to_wstring(kT0 - 300) + L",2,12,30,0");
  EXPECT_EQ(rows(L"SELECT qid || ':' || ext1 || '/' || ext2 AS r FROM daily_question_log WHERE did=2 ORDER BY qid"),
            L"1:4/100 3:2/96");
  EXPECT_EQ(db.value(L"SELECT nc1 || ',' || ReplySec || ',' || LastStudyTime FROM question_log WHERE qid=1"),
            L"2,4.0," + std::to_wstring(now));
  EXPECT_EQ(rows(L"SELECT qid AS r FROM looped_questions WHERE lid=1 ORDER BY rowid"), L"1 2 1 3");
  EXPECT_EQ(store.findByUser(L"taro").pendingTotal.nc, 3);
  EXPECT_EQ(store.findByUser(L"taro").pendingMonthly.p, 42);

  // Study 3 in mode ej4 (a new study log), not added to the pass: q2 climbs one level.
  study.mode = 1;
  now += 3600;
  DailyLogRecord third = record(3, 2, now - 60, now, 0);
  third.results[2] = result(1, 0, 0, 0, 1.0, now);
  ASSERT_TRUE(SaveStudyHistory(study, ranking, third, false, 5));
  EXPECT_EQ(rows(L"SELECT lid || ',' || mid AS r FROM log_id ORDER BY lid"), L"1,0 2,1");
  EXPECT_EQ(rows(totals + L"2"), std::to_wstring(now - 60) + L",1,1,0,0");
  EXPECT_EQ(rates(), L"1:100/4 2:99/1 3:96/2");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions WHERE lid=2"), L"0");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM question_log WHERE qid=2"), L"2");
  EXPECT_EQ(PointInfoRecord::text(store.findByUser(L"taro").pendingTotal.rq), L"dog / 犬いぬ")
      << "part-of-speech codes are removed";

  // Study 4: the ranking text is cut to 127 characters.
  DailyLogRecord fourth = record(4, 2, now, now, 0);
  fourth.results[4] = result(1, 0, 0, 0, 1.0, now);
  ASSERT_TRUE(SaveStudyHistory(study, ranking, fourth, true, 0));
  EXPECT_EQ(PointInfoRecord::text(store.findByUser(L"taro").pendingTotal.rq), std::wstring(127, L'x'));
  EXPECT_EQ(store.size(), 1u);
  EXPECT_TRUE(notices.empty());
}

TEST_F(StudyHistory, AStudyWithoutAnswersWritesNothing) {
  DailyLogRecord empty = record(1, 1, kT0, kT0, 3);
  ASSERT_TRUE(SaveStudyHistory(study, ranking, empty, true, 10));
  for (const wchar_t* table : {L"log_id", L"element_log", L"daily_log", L"memory_rate", L"question_log"})
    EXPECT_EQ(db.value(std::wstring(L"SELECT count(*) FROM ") + table), L"0") << table;
  EXPECT_EQ(store.size(), 0u);
}

TEST_F(StudyHistory, AFailingStepStopsWithItsMessageAndKeepsTheStepsBefore) {
  db.run(L"CREATE TRIGGER refuse BEFORE INSERT ON question_log BEGIN SELECT RAISE(ABORT, 'refused'); END");
  DailyLogRecord study1 = record(1, 1, kT0, kT0, 0);
  study1.results[1] = result(1, 0, 0, 0, 1.0, kT0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveStudyHistory(study, ranking, study1, true, 10));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"問題毎履歴を保存できませんでした"});
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_log"), L"1");
  EXPECT_EQ(db.value(L"SELECT nRun FROM element_log"), L"1");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions"), L"0");
  EXPECT_EQ(store.size(), 0u) << "the ranking comes after the failed step";
}

// A memory rate or a study log total that cannot be written keeps its old value; the study is
// saved all the same, and the user is not told. A rate step that takes the transaction with it
// still takes the whole study back.
TEST_F(StudyHistory, RatesAndTotalsThatCannotBeWrittenKeepTheirOldValuesAndTheStudyIsSaved) {
  DailyLogRecord first = record(1, 1, kT0 - 300, kT0, 25);
  first.results[1] = result(1, 0, 0, 0, 2.5, kT0);
  first.results[3] = result(0, 1, 0, 0, 3.0, kT0, kT0);
  ASSERT_TRUE(SaveStudyHistoryInTransaction(study, ranking, first, 30));
  const std::wstring ratesBefore = rates();
  const std::wstring totals = L"SELECT nRun || ',' || TotalReplySec || ',' || TotalStrokes AS r FROM element_log";
  const std::wstring totalsBefore = rows(totals);

  db.run(L"CREATE TRIGGER refuse_rate_insert BEFORE INSERT ON memory_rate BEGIN SELECT RAISE(ABORT, 'no'); END");
  db.run(L"CREATE TRIGGER refuse_rate_update BEFORE UPDATE ON memory_rate BEGIN SELECT RAISE(ABORT, 'no'); END");
  db.run(L"CREATE TRIGGER refuse_totals BEFORE UPDATE ON element_log BEGIN SELECT RAISE(ABORT, 'no'); END");
  now = kT0 + 3 * kDay;
  DailyLogRecord second = record(2, 1, now - 100, now, 5);
  second.results[1] = result(1, 0, 0, 0, 1.5, now);
  second.results[2] = result(1, 0, 0, 0, 2.0, now);  // no rate yet: its first one cannot be made
  testing::internal::CaptureStderr();
  EXPECT_TRUE(SaveStudyHistoryInTransaction(study, ranking, second, 12));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(notices.empty()) << platform::toUtf8(notices.front());
  EXPECT_NE(said.find("memory rate of question 1 keeps its old value"), std::string::npos) << said;
  EXPECT_NE(said.find("memory rate of question 2 keeps its old value"), std::string::npos) << said;
  EXPECT_NE(said.find("study log 1 keeps its old value"), std::string::npos) << said;
  EXPECT_FALSE(db.connection().inTransaction());
  EXPECT_EQ(rates(), ratesBefore);
  EXPECT_EQ(rows(totals), totalsBefore);
  EXPECT_EQ(rows(L"SELECT qid AS r FROM daily_question_log WHERE did=2 ORDER BY qid"), L"1 2");
  EXPECT_EQ(db.value(L"SELECT nc1 || ',' || LastStudyTime FROM question_log WHERE qid=1"), L"2," + std::to_wstring(now));
  EXPECT_EQ(db.value(L"SELECT nc1 FROM question_log WHERE qid=2"), L"1");
  EXPECT_EQ(rows(L"SELECT qid AS r FROM looped_questions WHERE lid=1 ORDER BY rowid"), L"1 1 2");
  EXPECT_EQ(store.findByUser(L"taro").pendingTotal.nc, 3) << "the study's ranking counts are added";

  // A database whose upgrade could not make the rate table: every study is still saved.
  db.run(L"DROP TABLE memory_rate");
  DailyLogRecord third = record(3, 1, now, now + 10, 0);
  third.results[3] = result(1, 0, 0, 0, 1.0, now + 10);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(SaveStudyHistoryInTransaction(study, ranking, third, 5));
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_log WHERE did=3"), L"1");

  // A rate write that ends the transaction: nothing of the study stays, and the user is told.
  db.run(L"CREATE TABLE memory_rate (qid INTEGER, uid INTEGER, rate INTEGER, level INTEGER, l1_time INTEGER, "
         L"l2_time INTEGER, l3_time INTEGER, l4_time INTEGER, l5_time INTEGER, l6_time INTEGER, l7_time INTEGER, "
         L"l8_time INTEGER, l9_time INTEGER, l10_time INTEGER)");
  db.run(L"CREATE TRIGGER take_back BEFORE INSERT ON memory_rate BEGIN SELECT RAISE(ROLLBACK, 'gone'); END");
  DailyLogRecord fourth = record(4, 1, now, now + 20, 0);
  fourth.results[4] = result(1, 0, 0, 0, 1.0, now + 20);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveStudyHistoryInTransaction(study, ranking, fourth, 5));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\ngone"}) << "the trigger says why";
  EXPECT_FALSE(db.connection().inTransaction());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_log WHERE did=4"), L"0");
}

TEST_F(StudyHistory, TransactionIsNeverLeftOpen) {
  // A deferred foreign key that the study violates makes the COMMIT itself fail.
  db.run(L"PRAGMA foreign_keys = ON");
  db.run(L"CREATE TABLE guard (id INTEGER REFERENCES user_info(uid) DEFERRABLE INITIALLY DEFERRED)");
  db.run(L"CREATE TRIGGER violate AFTER INSERT ON daily_log BEGIN INSERT INTO guard VALUES (99); END");
  DailyLogRecord refused = record(1, 1, kT0, kT0, 0);
  refused.results[1] = result(1, 0, 0, 0, 1.0, kT0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveStudyHistoryInTransaction(study, ranking, refused, 10));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\nデータベースファイルの読み書きに失敗しました。"});
  EXPECT_EQ(store.size(), 0u) << "no ranking counts for a study that was not saved";
  EXPECT_EQ(db.value(L"SELECT count(*) FROM daily_log"), L"0");
  EXPECT_EQ(db.value(L"SELECT count(*) FROM memory_rate"), L"0");
  ASSERT_TRUE(execSql(accessor, L"BEGIN TRANSACTION")) << "no transaction was left open";
  ASSERT_TRUE(execSql(accessor, L"ROLLBACK"));

  db.run(L"DROP TRIGGER violate");
  notices.clear();
  ASSERT_TRUE(execSql(accessor, L"BEGIN TRANSACTION"));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveStudyHistoryInTransaction(study, ranking, refused, 10));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"更新を開始できませんでした\nデータベースファイルの読み書きに失敗しました。"});
  ASSERT_TRUE(execSql(accessor, L"ROLLBACK"));

  notices.clear();
  EXPECT_TRUE(SaveStudyHistoryInTransaction(study, ranking, refused, 10));
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(db.value(L"SELECT count(*) FROM looped_questions"), L"1");
}

TEST_F(StudyHistory, AStepThatFailsWithTheTransactionOpenTakesTheWholeStudyBack) {
  // The engine keeps the transaction open after a statement it aborts: the save must end it.
  db.run(L"CREATE TRIGGER refuse BEFORE INSERT ON question_log BEGIN SELECT RAISE(ABORT, 'refused'); END");
  DailyLogRecord refused = record(1, 1, kT0, kT0, 0);
  refused.results[1] = result(1, 0, 0, 0, 1.0, kT0);
  refused.results[2] = result(0, 1, 1, 0, 2.0, kT0, kT0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveStudyHistoryInTransaction(study, ranking, refused, 10));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\nrefused"});
  EXPECT_FALSE(db.connection().inTransaction());
  for (const wchar_t* table : {L"log_id", L"element_log", L"memory_rate", L"daily_log", L"daily_question_log",
                               L"question_log", L"looped_questions"})
    EXPECT_EQ(db.value(std::wstring(L"SELECT count(*) FROM ") + table), L"0") << table;
  EXPECT_EQ(store.size(), 0u);

  // The next write stands on its own: another connection sees it at once.
  db.run(L"DROP TRIGGER refuse");
  db.run(L"INSERT INTO user_info VALUES (2, 'hanako')");
  sqliteplus::SqliteConnection other;
  other.open(db.path().c_str());
  EXPECT_EQ(querySqlfIntOrMinus1(openQuery(other), L"SELECT count(*) FROM user_info WHERE uid=2"), 1);
}

namespace {

// Every row of the tables a study writes, in row order.
std::wstring historyRows(sqliteplus::SqliteConnection& connection) {
  std::wstring text;
  const DbObject reader = openQuery(connection);
  for (const wchar_t* table : {L"log_id", L"element_log", L"memory_rate", L"daily_log", L"daily_question_log",
                               L"question_log", L"looped_questions"}) {
    text += std::wstring(table) + L":";
    auto cursor = reader.query().query((std::wstring(L"SELECT * FROM ") + table + L" ORDER BY rowid").c_str());
    while (cursor->next()) {
      for (int column = 0; column < cursor->columnCount(); ++column) text += cursor->getString(column) + L",";
      text += L";";
    }
    text += L"\n";
  }
  return text;
}

// Saves a study of questions 1-4 (daily log `did`, study log 1) on fresh copies of the file at
// `source`, each with more room than the one before (`limit` sets it, nullopt lifts it), until a
// save fits. A save that fails must say why and leave the copy's history as it was. Gives the
// number of failed saves and the history of the copy that was saved. Nothing of a study taken back
// is said to keep its old value: every value does.
std::pair<int, std::wstring> saveUntilItFits(const std::filesystem::path& source, int did, int mode, int64_t step,
                                             const std::function<void(std::optional<int64_t>)>& limit,
                                             const std::string& name) {
  sqliteplus::SqliteConnection original;
  original.open(sqliteplus::Utf8ToWString(source.string()).c_str());
  const std::wstring before = historyRows(original);
  original.close();
  int failures = 0;
  for (int64_t room = 0; room < 1'000'000; room += step) {
    SCOPED_TRACE(room);
    const std::filesystem::path copy = source.parent_path() / (name + std::to_string(room) + ".klvdb7");
    std::filesystem::copy_file(source, copy);
    sqliteplus::SqliteConnection connection;
    connection.open(sqliteplus::Utf8ToWString(copy.string()).c_str());
    std::vector<std::wstring> notices;
    StudyContext onCopy{connection, 1, 10, mode, [&notices](const std::wstring& text) { notices.push_back(text); }};
    PointInfoStore counts;
    RankingTarget target{counts, L"taro", sqliteplus::Utf8ToWString((source.parent_path() / "irank-try.dat").string())};
    DailyLogRecord study(openQuery(connection));
    study.did = did, study.lid = 1, study.StartTime = kT0, study.EndTime = kT0 + 60;
    for (int qid : {1, 2, 3, 4}) study.results[qid] = {qid % 2, 1 - qid % 2, 1 - qid % 2, 0, 1.5, kT0 + 60, 0, 0, 0};
    sqliteplus::endBusyWaitAction();  // each try is an action of its own
    limit(room);
    testing::internal::CaptureStderr();
    const bool savedWhole = SaveStudyHistoryInTransaction(onCopy, target, study, 5);
    const std::string said = testing::internal::GetCapturedStderr();
    limit(std::nullopt);
    EXPECT_FALSE(connection.inTransaction());
    connection.close();

    sqliteplus::SqliteConnection check;
    check.open(sqliteplus::Utf8ToWString(copy.string()).c_str());
    if (savedWhole) {
      EXPECT_TRUE(notices.empty());
      EXPECT_EQ(counts.findByUser(L"taro").pendingTotal.nc, 2);
      return {failures, historyRows(check)};
    }
    ++failures;
    EXPECT_EQ(said.find("keeps its old value"), std::string::npos) << "said of a study taken back whole: " << said;
    EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\nディスクの空き容量が足りません。"});
    EXPECT_EQ(counts.size(), 0u);
    const std::wstring rows = historyRows(check);
    EXPECT_EQ(rows, before) << "a study reported as not saved left rows behind";
    if (rows != before) break;
  }
  return {failures, L""};
}

}  // namespace

TEST_F(StudyHistory, OnAFullDiskAStudyIsSavedWholeOrNotAtAll) {
  DailyLogRecord first = record(1, 1, kT0 - 300, kT0, 25);
  first.results[1] = result(1, 0, 0, 0, 2.5, kT0);
  first.results[2] = result(0, 1, 1, 0, 4.0, kT0, kT0);
  ASSERT_TRUE(SaveStudyHistoryInTransaction(study, ranking, first, 30));
  // The file as it stands, to be copied for each try; the connection holds no transaction.
  const std::filesystem::path saved = sqliteplus::WStringToUtf8(db.path());

  testdb::FaultyVfs vfs;
  {
    // What the engine does on a full disk: the failing statement takes the whole transaction.
    sqliteplus::SqliteConnection connection;
    connection.open(db.path().c_str());
    const DbObject accessor = openQuery(connection);
    ASSERT_TRUE(execSql(accessor, L"BEGIN TRANSACTION"));
    vfs.limitGrowth(0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(execSql(accessor, L"UPDATE memory_rate SET rate=1 WHERE qid=1 AND uid=1"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("database or disk is full"), std::string::npos);
    EXPECT_FALSE(connection.inTransaction());
    vfs.limitGrowth(std::nullopt);
  }
  // The second study updates rates and logs that exist and inserts new ones.
  const auto [failures, after] =
      saveUntilItFits(saved, 2, 0, 512, [&](std::optional<int64_t> room) { vfs.limitGrowth(room); }, "try");
  EXPECT_GT(failures, 5) << "the save should fail at many points on the way";
  ASSERT_FALSE(after.empty()) << "the save never succeeded";
  EXPECT_NE(after.find(L"daily_log:1,"), std::wstring::npos);
  EXPECT_NE(after.find(L";2,1,"), std::wstring::npos) << "the second study's daily log";
}

// A real disk gives the journal's room back when the engine rolls a transaction back: a write
// after that would find room, and be committed on its own. A first study (its study log new)
// leaves nothing of itself wherever the disk fills.
TEST_F(StudyHistory, AFirstStudyOnADiskThatFillsLeavesNothingOfItselfBehind) {
  testdb::FaultyVfs vfs;
  const auto [failures, after] = saveUntilItFits(sqliteplus::WStringToUtf8(db.path()), 1, 5, 256,
                                                 [&](std::optional<int64_t> room) { vfs.limitDisk(room); }, "first");
  EXPECT_GT(failures, 2) << "the disk should fill at several points of the save";
  EXPECT_NE(after.find(L"log_id:1,"), std::wstring::npos) << "the save never found room enough";
  EXPECT_NE(after.find(L"memory_rate:1,"), std::wstring::npos);
}

TEST_F(StudyHistory, ARankingFileThatCannotBeWrittenIsToldOnceAndCatchesUpLater) {
  ranking.path = db.folder() + L"/no-such-folder/irank.dat";
  for (int did = 1; did <= 3; ++did) {
    DailyLogRecord study1 = record(did, 1, kT0, kT0, 0);
    study1.results[1] = result(1, 0, 0, 0, 1.0, kT0);
    EXPECT_TRUE(SaveStudyHistoryInTransaction(study, ranking, study1, 10));
  }
  EXPECT_EQ(notices, std::vector<std::wstring>{L"ランキングデータを保存できませんでした"});
  ranking.path = db.folder() + L"/irank.dat";
  DailyLogRecord fourth = record(4, 1, kT0, kT0, 0);
  fourth.results[1] = result(1, 0, 0, 0, 1.0, kT0);
  EXPECT_TRUE(SaveStudyHistoryInTransaction(study, ranking, fourth, 10));
  PointInfoStore onDisk;
  ASSERT_TRUE(onDisk.load(ranking.path));
  EXPECT_EQ(onDisk.findByUser(L"taro").pendingTotal.p, 40) << "the counts of the studies the file missed";
  EXPECT_EQ(notices.size(), 1u);
}

// Another program holds the file a while longer than one statement waits: the save's first read
// gives up, and the file is free again before its writes would have.
TEST_F(StudyHistory, ASaveWhoseReadTheFileRefusedWritesNothingAndSaysWhy) {
  DailyLogRecord first = record(1, 1, kT0 - 300, kT0, 25);
  first.results[1] = result(1, 0, 0, 0, 2.5, kT0);
  ASSERT_TRUE(SaveStudyHistoryInTransaction(study, ranking, first, 30));
  const std::wstring before = historyRows(db.connection());
  sqliteplus::setBusyWaitLimit(std::chrono::milliseconds(500));
  DailyLogRecord second = record(2, 1, kT0, kT0 + 60, 5);
  second.results[2] = result(0, 1, 1, 0, 3.0, kT0 + 60, kT0 + 60);
  testing::internal::CaptureStderr();
  {
    testdb::BriefLock lock(db.path(), std::chrono::milliseconds(750));
    EXPECT_FALSE(SaveStudyHistoryInTransaction(study, ranking, second, 12));
  }
  testing::internal::GetCapturedStderr();
  sqliteplus::setBusyWaitLimit(sqliteplus::kDefaultBusyWaitLimit);
  EXPECT_EQ(notices, std::vector<std::wstring>{L"学習履歴を保存できませんでした\nデータベースは他のプログラムが使用中です。"
                                               L"しばらくしてから、もう一度実行してください。"});
  EXPECT_EQ(historyRows(db.connection()), before) << "no second log_id or element_log row, nothing of the study";
  sqliteplus::endBusyWaitAction();
}
