#include "app/common/page_reads.h"

#include "database/element_log.h"
#include "database/read_transaction.h"
#include "database/record_rows.h"
#include "database/sql_helpers.h"
#include "platform/trace.h"

namespace pagereads {

namespace {

constexpr char kQuestionColumns[] = "question, answer, hint, description, pronounce, wavfilename";
constexpr char kLogColumns[] =
    "nc1, ni1, nc2, ni2, nc1pm, ni1pm, nc2pm, ni2pm, LastStudyTime, LastMistakeTimeOnFirstReply, ReplySec";

std::wstring textOrEmpty(const sqliteplus::SqliteCursor& row, int column) {
  return row.isNull(column) ? std::wstring() : row.getString(column);
}

// Columns from `first` on, in the order of kQuestionColumns.
void takeQuestionTexts(const sqliteplus::SqliteCursor& row, int first, pdb3::Question& question) {
  question.setQuestionTexts(pdb3::splitTextList(textOrEmpty(row, first)));
  question.setAnswerTexts(pdb3::splitTextList(textOrEmpty(row, first + 1)));
  question.setHintTexts(pdb3::splitTextList(textOrEmpty(row, first + 2)));
  question.setDescriptionTexts(pdb3::splitTextList(textOrEmpty(row, first + 3)));
  question.setPronounceTexts(pdb3::splitTextList(textOrEmpty(row, first + 4)));
  question.setWavFileName(textOrEmpty(row, first + 5));
}

// A question without a row: empty texts, not a failed read.
void takeNoTexts(pdb3::Question& question) {
  for (auto set : {&pdb3::Question::setQuestionTexts, &pdb3::Question::setAnswerTexts, &pdb3::Question::setHintTexts,
                   &pdb3::Question::setDescriptionTexts, &pdb3::Question::setPronounceTexts})
    (question.*set)({});
  question.setWavFileName({});
}

// Columns from `first` on, in the order of kLogColumns.
void takeLogCounts(const sqliteplus::SqliteCursor& row, int first, pdb3::QuestionLog& log) {
  int* counts[] = {&log.nc1, &log.ni1, &log.nc2, &log.ni2, &log.nc1pm, &log.ni1pm, &log.nc2pm, &log.ni2pm,
                   &log.LastStudyTime, &log.LastMistakeTimeOnFirstReply};
  for (int i = 0; i < 10; ++i) *counts[i] = pdb3::intOrZero(row, first + i);
  log.ReplySec = pdb3::doubleOrZero(row, first + 10);
}

}  // namespace

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
    value = textOrEmpty(cursor, 0);
  });
  if (row == pdb3::FirstRow::failed) return false;
  out = std::move(value);
  return true;
}

bool readQuestions(const pdb3::DbObject& accessor, const std::vector<int>& ids, std::vector<pdb3::Question>& out) {
  const pdb3::ReadTransaction transaction(accessor);
  const std::string sql = std::string("SELECT ") + kQuestionColumns + " FROM question WHERE qid=?";
  std::vector<pdb3::Question> questions;
  questions.reserve(ids.size());
  for (int qid : ids) {
    pdb3::Question& question = questions.emplace_back(accessor, qid);
    takeNoTexts(question);
  }
  for (pdb3::Question& question : questions) {
    const pdb3::FirstRow row = pdb3::readKeptRow(accessor, sql.c_str(), {question.qid()},
                                                 [&](const sqliteplus::SqliteCursor& cursor) {
                                                   takeQuestionTexts(cursor, 0, question);
                                                 });
    if (row == pdb3::FirstRow::failed) return false;
  }
  out = std::move(questions);
  return true;
}

bool readSetQuestions(const pdb3::DbObject& accessor, int sid, std::map<int, pdb3::Question>& out) {
  std::map<int, pdb3::Question> questions;
  const bool read = pdb3::forEachRow(
      accessor,
      platform::format(L"SELECT qid, %s FROM question WHERE qid IN (SELECT qid FROM section WHERE sid=%d)",
                       kQuestionColumns, sid),
      [&](const sqliteplus::SqliteCursor& row) {
        pdb3::Question& question = questions.emplace(row.getInt(0), pdb3::Question(accessor, row.getInt(0))).first->second;
        takeQuestionTexts(row, 1, question);
      });
  if (!read) return false;
  out = std::move(questions);
  return true;
}

bool readSetQuestionLogs(const pdb3::DbObject& accessor, int sid, int uid, int mid,
                         std::map<int, pdb3::QuestionLog>& out) {
  std::map<int, pdb3::QuestionLog> logs;
  const bool read = pdb3::forEachRow(
      accessor,
      platform::format(L"SELECT qid, %s FROM question_log WHERE uid=%d AND mid=%d AND qid IN (SELECT qid FROM section "
                       L"WHERE sid=%d)",
                       kLogColumns, uid, mid, sid),
      [&](const sqliteplus::SqliteCursor& row) {
        const int qid = row.getInt(0);
        pdb3::QuestionLog& log = logs.emplace(qid, pdb3::QuestionLog(accessor, qid, uid, mid)).first->second;
        takeLogCounts(row, 1, log);
      });
  if (!read) return false;
  out = std::move(logs);
  return true;
}

bool readQuestionLog(pdb3::QuestionLog& log, bool& found) {
  const std::wstring sql = platform::format(L"SELECT %s FROM question_log WHERE qid=%d AND uid=%d AND mid=%d",
                                            kLogColumns, log.qid, log.uid, log.mid);
  const pdb3::FirstRow row =
      pdb3::readFirstRow(log, sql, [&](const sqliteplus::SqliteCursor& cursor) { takeLogCounts(cursor, 0, log); });
  found = row == pdb3::FirstRow::found;
  return row != pdb3::FirstRow::failed;
}

}  // namespace pagereads
