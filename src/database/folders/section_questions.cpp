#include "database/folders/section_questions.h"

#include <algorithm>

#include "database/records/question.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"

namespace pdb3 {

namespace {

// Questions made in the program start here, clear of the ids an imported file may use.
constexpr int kFirstNewQuestionId = 1000000;

}  // namespace

bool insertEmptyQuestion(const DbObject& accessor, int qid) {
  return execSqlf(accessor, L"INSERT INTO question VALUES( %d, '', '', '', '', '', '', 65535, 0, 0, '', '', '', '', '' )",
                  qid);
}

int createEmptyQuestion(const DbObject& accessor) {
  // Without the largest id the new one could be a question that exists: nothing is inserted then.
  const int qid = querySqlfIntOrMinus1(accessor, L"SELECT max(coalesce((SELECT max(qid) FROM question), 0)+1, %d)", kFirstNewQuestionId);
  if (qid < 1) return -1;
  return insertEmptyQuestion(accessor, qid) ? qid : -1;
}

bool insertSectionRow(const DbObject& accessor, int sid, int qid) {
  return execSqlf(accessor, L"INSERT INTO section VALUES(%d,%d)", sid, qid);
}

void addQuestionToSection(const DbObject& accessor, int sid, int qid) {
  if (querySqlfInt(accessor, L"SELECT count(*) FROM section WHERE sid=%d AND qid=%d", sid, qid) >= 1)
    throw std::wstring(L"すでに問題が存在しています");
  if (!insertSectionRow(accessor, sid, qid)) throw std::wstring(L"問題をバインダーに追加できませんでした");
}

namespace {

constexpr wchar_t kSectionQuestionIds[] = L"SELECT qid FROM section WHERE sid = %d ORDER BY rowid";

}  // namespace

bool sectionQuestionIds(const DbObject& accessor, int sid, std::deque<int>& out) {
  return querySqlfIntList(accessor, out, kSectionQuestionIds, sid);
}

bool sectionQuestionIds(const DbObject& accessor, int sid, std::vector<int>& out) {
  return querySqlfIntList(accessor, out, kSectionQuestionIds, sid);
}

// A question is empty exactly when all five of its text columns are empty (Question::isEmpty).
const wchar_t kQuestionHasText[] =
    L"(coalesce(question,'')!='' OR coalesce(answer,'')!='' OR coalesce(hint,'')!='' OR "
    L"coalesce(description,'')!='' OR coalesce(pronounce,'')!='')";

// One statement instead of one read per question; a question without a row is empty too.
bool nonEmptyQuestionIds(const DbObject& accessor, int sid, std::deque<int>& out) {
  std::deque<int> ids;
  if (!querySqlfIntList(accessor, ids,
                        L"SELECT qid FROM section WHERE sid=%d AND EXISTS (SELECT 1 FROM question q WHERE "
                        L"q.qid=section.qid AND %ls)",
                        sid, kQuestionHasText))
    return false;
  out.insert(out.end(), ids.begin(), ids.end());
  return true;
}

bool dropEmptyQuestions(const DbObject& accessor, std::deque<int>& ids) {
  const ReadTransaction transaction(accessor);
  std::deque<int> kept;
  for (int qid : ids) {
    const Question question = getQuestion(accessor, qid);
    const bool empty = question.isEmpty();
    // A text that could not be read looks empty: the question is not dropped for it.
    for (QuestionColumn column : {QuestionColumn::question, QuestionColumn::answer, QuestionColumn::hint,
                                  QuestionColumn::description, QuestionColumn::pronounce})
      if (question.field(column).loadFailed()) return false;
    if (!empty) kept.push_back(qid);
  }
  ids = std::move(kept);
  return true;
}

int countUsableQuestions(const DbObject& accessor, int sid) {
  try {
    return querySqlfInt(accessor,
                        L"SELECT count(*) FROM question WHERE qid in (SELECT qid FROM section WHERE sid=%d) "
                        L"AND (question!='' AND answer!='')",
                        sid);
  } catch (const std::wstring&) {
    return -1;
  }
}

}  // namespace pdb3
