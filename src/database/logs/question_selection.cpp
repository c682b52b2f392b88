#include "database/logs/question_selection.h"

#include <optional>
#include <string>

#include "database/logs/element_log.h"
#include "database/folders/folders.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/random.h"

namespace pdb3 {
namespace {

// The questions of a set that have some text (Question::isEmpty is false), in the set's own
// order. Deciding emptiness in the statement rather than loading each question keeps a selection
// from a set of thousands to one query.
const std::wstring kHasText =
    L"(ifnull(q.question,'')!='' OR ifnull(q.answer,'')!='' OR ifnull(q.hint,'')!='' OR "
    L"ifnull(q.description,'')!='' OR ifnull(q.pronounce,'')!='')";
const std::wstring kRestOfPass =
    L"SELECT s.qid FROM section s JOIN question q ON q.qid=s.qid WHERE s.sid=(SELECT eid FROM log_id WHERE lid = %d) "
    L"AND s.qid NOT IN (SELECT DISTINCT qid FROM looped_questions WHERE lid=%d) AND " + kHasText + L" ORDER BY s.rowid";
const std::wstring kWholeSet =
    L"SELECT s.qid FROM section s JOIN question q ON q.qid=s.qid WHERE s.sid=%d AND " + kHasText + L" ORDER BY s.rowid";

void takeQuestions(IdQueue& from, IdQueue& out, bool random, int count, int seed) {
  if (random) {
    platform::seedRandom(static_cast<unsigned>(seed));
    for (int i = 0; i < count && !from.empty(); ++i) out.push_back(PickRandomQuestion(from));
    return;
  }
  for (int i = 0; i < count; ++i) {
    const int qid = frontOrNone(from);
    if (qid == -1) break;
    out.push_back(qid);
    from.pop_front();
  }
}

}  // namespace

int frontOrNone(const IdQueue& ids) { return ids.empty() ? -1 : ids.front(); }

int PickRandomQuestion(IdQueue& ids) {
  const auto index = static_cast<size_t>(platform::randomValue()) % ids.size();
  const int qid = ids[index];
  ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(index));
  return qid;
}

bool SelectNextQuestions(const StudyContext& study, IdQueue& out, bool random, int count) {
  const DbObject accessor = openQuery(study.connection);
  int lid = -1;
  int firstReplyDate = 0;
  bool read = true;
  {
    // The reads the pass is judged by share one lock: once the first of them has read the file, the
    // others cannot find it busy, and a count that could not be read is not taken for a pass used up.
    const ReadTransaction reading(accessor);
    const FirstRow found = findLogId(accessor, study.userId, study.setId, study.mode, lid);
    read = found != FirstRow::failed;
    if (found == FirstRow::found) {
      const ElementLogRecord log = getElementLog(accessor, lid);
      IdQueue rest;
      std::deque<int> looped;
      const int usable = countUsableQuestions(accessor, study.setId);
      read = querySqlfIntList(accessor, rest, kRestOfPass.c_str(), lid, lid) && log.loopedQuestionIds(looped) &&
             usable >= 0;
      // A set that shrank below what the pass has asked starts over too.
      const bool usedUp = rest.empty() || static_cast<int>(looped.size()) > usable;
      if (read && !usedUp) {
        takeQuestions(rest, out, random, count, log.nAccomplish());
        return true;
      }
      if (read) firstReplyDate = log.FirstReplyDate();
    }
  }
  // Said once the lock is let go: a box waits for its answer, and another program for the file.
  if (!read) {
    study.notifyFailure(L"次に学習すべき問題を取得できませんでした");
    return false;
  }
  if (lid != -1 && !ResetRound(study.connection, lid)) {
    study.notifyFailure(L"学習済み問題を削除できませんでした");
    return false;
  }
  IdQueue all;
  if (!querySqlfIntList(accessor, all, kWholeSet.c_str(), study.setId)) {
    study.notifyFailure(L"次に学習すべき問題を取得できませんでした");
    return false;
  }
  takeQuestions(all, out, random, count, firstReplyDate);
  return true;
}

bool ResetRound(sqliteplus::SqliteConnection& connection, int lid) {
  const DbObject accessor = openQuery(connection);
  // Counted but not emptied, the pass would be counted again at the next selection. A pass that
  // could not be read is neither counted nor emptied; the count is added by the engine, so a
  // stored count is never replaced by one read as 0.
  return runInTransaction(accessor, [&] {
    std::deque<int> looped;
    if (!getElementLog(accessor, lid).loopedQuestionIds(looped)) return false;
    return (looped.empty() ||
            execSqlf(accessor, L"UPDATE element_log SET nAccomplish=coalesce(nAccomplish,0)+1 WHERE lid=%d", lid)) &&
           execSqlf(accessor, L"DELETE FROM looped_questions WHERE lid=%d", lid);
  });
}

bool SelectSectionByPath(StudyContext& study, const std::wstring& path) {
  const int eid = FindProblemSetByPath(openQuery(study.connection), path);
  if (eid < 0) return false;
  study.setId = eid;
  return true;
}

}  // namespace pdb3
