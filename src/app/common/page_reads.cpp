#include "app/common/page_reads.h"

#include "database/logs/element_log.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "platform/trace.h"

namespace pagereads {

bool readLogId(const pdb3::StudyContext& study, int& lid) {
  int found = -1;
  if (pdb3::findLogId(pdb3::openQuery(study.connection), study.userId, study.setId, study.mode, found) ==
      pdb3::FirstRow::failed)
    return false;
  lid = found;
  return true;
}

bool readInt(const pdb3::DbObject& accessor, const std::wstring& sql, int& out, int missing) {
  int value = missing;
  if (pdb3::readFirstInt(accessor, sql, value) == pdb3::FirstRow::failed) return false;
  out = value;
  return true;
}

bool readText(const pdb3::DbObject& accessor, const std::wstring& sql, std::wstring& out) {
  std::wstring value;
  const pdb3::FirstRow row = pdb3::readFirstRow(accessor, sql, [&](const sqliteplus::SqliteCursor& cursor) {
    value = cursor.isNull(0) ? std::wstring() : cursor.getString(0);
  });
  if (row == pdb3::FirstRow::failed) return false;
  out = std::move(value);
  return true;
}

bool readQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids, std::vector<pdb3::Question>& out) {
  const pdb3::ReadTransaction transaction(accessor);
  static const std::string sql = std::string("SELECT ") + pdb3::kQuestionTextColumns + " FROM question WHERE qid=?";
  std::vector<pdb3::Question> questions;
  questions.reserve(ids.size());
  for (int qid : ids) {
    pdb3::Question& question = questions.emplace_back(accessor, qid);
    pdb3::takeNoQuestionTexts(question);
  }
  for (pdb3::Question& question : questions) {
    const pdb3::FirstRow row = pdb3::readKeptRow(accessor, sql.c_str(), {question.qid()},
                                                 [&](const sqliteplus::SqliteCursor& cursor) {
                                                   pdb3::takeQuestionTexts(cursor, 0, question);
                                                 });
    if (row == pdb3::FirstRow::failed) return false;
  }
  out = std::move(questions);
  return true;
}

bool readChangeCount(const pdb3::DbObject& accessor, int& count) {
  return readInt(accessor, L"PRAGMA data_version", count);
}

std::wstring idList(const std::vector<int>& ids) {
  std::wstring list;
  for (int qid : ids) {
    if (!list.empty()) list += L',';
    list += std::to_wstring(qid);
  }
  return list;
}

namespace {

// The columns after a row's question id: its texts, then its log's counts and key (NULL without a log).
constexpr int kLogFirst = 1 + pdb3::kQuestionTextColumnCount, kLogKey = kLogFirst + pdb3::kQuestionLogCountColumnCount;

std::wstring questionWithLogColumns() {
  return platform::format(L"%s, %s, l.qid", pdb3::kQuestionTextColumns, pdb3::kQuestionLogCountColumns);
}

// Joins to the row `question` (a qid column) its log of the user and mode, as `l`: one log, however
// many rows a file made elsewhere holds for the key (the table does not make it unique), so that
// each question reads as one row. It is the first, as the log's own read takes it.
std::wstring logJoin(const wchar_t* question, int uid, int mid) {
  return platform::format(L"LEFT JOIN question_log AS l ON l.rowid=(SELECT rowid FROM question_log WHERE qid=%ls AND "
                          L"uid=%d AND mid=%d LIMIT 1)",
                          question, uid, mid);
}

// Takes a row of such a read: the question's texts into `questions` (its entry made there) and its
// log, when it has one, into `logs`.
void takeQuestionWithLog(const pdb3::DbObject& accessor, const sqliteplus::SqliteCursor& row, int uid, int mid,
                         std::map<int, pdb3::Question>& questions, std::map<int, pdb3::QuestionLog>& logs) {
  const int qid = row.getInt(0);
  pdb3::takeQuestionTexts(row, 1, questions.try_emplace(qid, accessor, qid).first->second);
  if (row.isNull(kLogKey)) return;
  pdb3::QuestionLog& log = logs.insert_or_assign(qid, pdb3::QuestionLog(accessor, qid, uid, mid)).first->second;
  pdb3::takeQuestionLogCounts(row, kLogFirst, log);
}

}  // namespace

bool readQuestionsWithLogs(const pdb3::DbObject& accessor, const std::vector<int>& ids, int uid, int mid,
                           std::map<int, pdb3::Question>& questions, std::map<int, pdb3::QuestionLog>& logs) {
  std::map<int, pdb3::Question> read = emptyQuestions(accessor, ids);
  std::map<int, pdb3::QuestionLog> readLogs;
  const bool ok = ids.empty() ||
                  pdb3::forEachRow(accessor,
                                   platform::format(L"SELECT q.qid, %ls FROM question AS q %ls WHERE q.qid IN (%ls)",
                                                    questionWithLogColumns().c_str(), logJoin(L"q.qid", uid, mid).c_str(),
                                                    idList(ids).c_str()),
                                   [&](const sqliteplus::SqliteCursor& row) {
                                     takeQuestionWithLog(accessor, row, uid, mid, read, readLogs);
                                   });
  if (!ok) return false;
  keepRangeRead(ids, read, readLogs, questions, logs);
  return true;
}

bool readSetRangeWithLogs(const pdb3::DbObject& accessor, int sid, int first, int count, int uid, int mid,
                          std::vector<int>& ids, std::map<int, pdb3::Question>& questions,
                          std::map<int, pdb3::QuestionLog>& logs) {
  std::vector<int> rangeIds;
  std::map<int, pdb3::Question> read;
  std::map<int, pdb3::QuestionLog> readLogs;
  // A set's row without a question row reads with NULL texts: an empty question, as elsewhere.
  const bool ok = pdb3::forEachRow(
      accessor,
      platform::format(L"SELECT s.qid, %ls FROM (SELECT rowid AS r, qid FROM section WHERE sid=%d ORDER BY rowid "
                       L"LIMIT %d OFFSET %d) AS s LEFT JOIN question AS q ON q.qid=s.qid %ls ORDER BY s.r",
                       questionWithLogColumns().c_str(), sid, count, first, logJoin(L"s.qid", uid, mid).c_str()),
      [&](const sqliteplus::SqliteCursor& row) {
        rangeIds.push_back(row.getInt(0));
        takeQuestionWithLog(accessor, row, uid, mid, read, readLogs);
      });
  if (!ok) return false;
  keepRangeRead(rangeIds, read, readLogs, questions, logs);
  ids = std::move(rangeIds);
  return true;
}

std::map<int, pdb3::Question> emptyQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids) {
  std::map<int, pdb3::Question> questions;
  for (int qid : ids) pdb3::takeNoQuestionTexts(questions.emplace(qid, pdb3::Question(accessor, qid)).first->second);
  return questions;
}

}  // namespace pagereads
