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

std::wstring idList(const std::vector<int>& ids) {
  std::wstring list;
  for (int qid : ids) {
    if (!list.empty()) list += L',';
    list += std::to_wstring(qid);
  }
  return list;
}

bool readQuestionsWithLogs(const pdb3::DbObject& accessor, const std::vector<int>& ids, int uid, int mid,
                           std::map<int, pdb3::Question>& questions, std::map<int, pdb3::QuestionLog>& logs) {
  std::map<int, pdb3::Question> read = emptyQuestions(accessor, ids);
  std::map<int, pdb3::QuestionLog> readLogs;
  constexpr int kLogFirst = 7, kLogKey = kLogFirst + 11;
  const bool ok = ids.empty() ||
                  pdb3::forEachRow(accessor,
                                   platform::format(L"SELECT q.qid, %s, %s, l.qid FROM question AS q LEFT JOIN "
                                                    L"question_log AS l ON l.qid=q.qid AND l.uid=%d AND l.mid=%d "
                                                    L"WHERE q.qid IN (%ls)",
                                                    pdb3::kQuestionTextColumns, pdb3::kQuestionLogCountColumns, uid,
                                                    mid, idList(ids).c_str()),
                                   [&](const sqliteplus::SqliteCursor& row) {
                                     const int qid = row.getInt(0);
                                     pdb3::takeQuestionTexts(row, 1, read.at(qid));
                                     if (row.isNull(kLogKey)) return;
                                     pdb3::QuestionLog& log =
                                         readLogs.insert_or_assign(qid, pdb3::QuestionLog(accessor, qid, uid, mid))
                                             .first->second;
                                     pdb3::takeQuestionLogCounts(row, kLogFirst, log);
                                   });
  if (!ok) return false;
  keepRangeRead(ids, read, readLogs, questions, logs);
  return true;
}

std::map<int, pdb3::Question> emptyQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids) {
  std::map<int, pdb3::Question> questions;
  for (int qid : ids) pdb3::takeNoQuestionTexts(questions.emplace(qid, pdb3::Question(accessor, qid)).first->second);
  return questions;
}

}  // namespace pagereads
