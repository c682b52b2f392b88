#include "services/study_history.h"

#include <functional>
#include <iterator>
#include <vector>

#include "database/logs/element_log.h"
#include "database/folders/folders.h"
#include "database/memory/memory_rate.h"
#include "database/records/question.h"
#include "database/logs/question_log.h"
#include "database/engine/sql_helpers.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/trace.h"
#include "services/database_failure.h"
#include "services/part_of_speech.h"

using namespace pdb3;

namespace {

bool ensureStudyLog(const StudyContext& study, const DbObject& accessor, int lid) {
  // A count that could not be read is no proof that the log is missing: inserting it then would
  // write a second log_id and element_log row once the file is free again.
  int logs = 0;
  const FirstRow counted = readFirstInt(accessor, platform::format(L"SELECT count(*) FROM log_id WHERE lid=%d", lid), logs);
  if (counted == FirstRow::failed) {
    study.notifyFailure(L"履歴IDを設定できませんでした");
    return false;
  }
  if (logs > 0) return true;
  if (!execSqlf(accessor, L"INSERT INTO log_id VALUES(%d,%d,%d,%d)", lid, study.userId, study.setId, study.mode)) {
    study.notifyFailure(L"履歴IDを設定できませんでした");
    return false;
  }
  if (!execSqlf(accessor, L"INSERT INTO element_log VALUES(%d,%d,%d,%d,%d,%d,'','')", lid, 0, 0, 0, 0, 0)) {
    study.notifyFailure(L"問題集履歴を追加できませんでした");
    return false;
  }
  return true;
}

// What of a study kept its old value instead. Traced only once the rows the save wrote stand: a
// save taken back whole keeps every old value, and to say one of them then would mislead.
struct KeptOldValues {
  std::vector<int> memoryRates;  // question ids
  bool studyLogTotals = false;

  void trace(int lid) const {
    for (int qid : memoryRates)
      platform::traceError("study history: the memory rate of question %d keeps its old value\n", qid);
    if (studyLogTotals) platform::traceError("study history: a total of study log %d keeps its old value\n", lid);
  }
};

// Reports nothing: a rate that cannot be saved keeps its old value, and the study is saved without
// it. That holds only while the transaction lives: once the engine has rolled it back (a full disk
// does), every later write would be committed on its own, so the loop stops there and gives false.
bool updateMemoryRates(const StudyContext& study, const DbObject& accessor, DailyLogRecord& record,
                       const std::function<bool()>& transactionLost, KeptOldValues& kept) {
  // A file whose upgrade could not make the table has no rates, and nothing may take its name's
  // holder (an index, a view) for them.
  if (!study.keepsMemoryRates) return true;
  const int64_t now = platform::nowSeconds();
  for (auto& [qid, result] : record.results) {
    MemoryRate rate(accessor, qid, study.userId, now);
    // A rate that could not be read would be saved as a first study's: the stored one stays.
    if (!rate.load() && rate.readFailed) {
      if (transactionLost()) return false;
      kept.memoryRates.push_back(qid);
      continue;
    }
    rate.update(study.mode, result.nc1 + result.nc2, result.ni1 + result.ni2);
    if (!rate.save()) {
      if (transactionLost()) return false;
      kept.memoryRates.push_back(qid);
    }
    result.ext1 = rate.level;
    result.ext2 = rate.rate;
  }
  return true;
}

bool saveDailyLog(const StudyContext& study, const DailyLogRecord& record) {
  bool saved = false;
  try {
    saved = record.save();
  } catch (const std::wstring&) {
    // ids never set: nothing was written
  }
  if (!saved) study.notifyFailure(L"学習回毎の履歴を保存できませんでした");
  return saved;
}

// Reports nothing: a total that cannot be written keeps its old value (false). Added by the engine
// in one statement: totals read first and written back would, after a read that failed, be written
// as this study's alone.
bool addToStudyLogTotals(const DbObject& accessor, const DailyLogRecord& record) {
  const int replySec = static_cast<int>(record.totalReplySec());
  return execSqlf(accessor,
                  L"UPDATE element_log SET FirstReplyDate=CASE WHEN coalesce(FirstReplyDate,0)=0 THEN %d "
                  L"ELSE FirstReplyDate END, nRun=coalesce(nRun,0)+1, TotalReplySec=coalesce(TotalReplySec,0)+%d, "
                  L"TotalStrokes=coalesce(TotalStrokes,0)+%d WHERE lid=%d",
                  record.StartTime, replySec, record.Strokes, record.lid);
}

bool saveQuestionLogs(const StudyContext& study, const DbObject& accessor, const DailyLogRecord& record) {
  for (const auto& [qid, result] : record.results) {
    QuestionLog log = getQuestionLog(accessor, qid, study.userId, study.mode);
    log.nc1 = result.nc1;
    log.ni1 = result.ni1;
    log.nc2 = result.nc2;
    log.ni2 = result.ni2;
    log.LastStudyTime = result.LastStudyTime;
    log.LastMistakeTimeOnFirstReply = result.LastMistakeTimeOnFirstReply;
    log.ReplySec = result.ReplySec;
    if (!log.addToStoredRow()) {
      study.notifyFailure(L"問題毎履歴を保存できませんでした");
      return false;
    }
  }
  return true;
}

// A question wrongly answered in the first pass and never again has not been learnt in this pass.
bool addToPass(const StudyContext& study, const DbObject& accessor, const DailyLogRecord& record) {
  for (const auto& [qid, result] : record.results) {
    if (result.nc1 <= 0 && result.nc2 + result.ni2 <= 0) continue;
    if (execKept(accessor, "INSERT INTO looped_questions VALUES(?,?)", {record.lid, qid}) < 0) {
      study.notifyFailure(L"学習済み問題を追加できませんでした");
      return false;
    }
  }
  return true;
}

// One question of the study, drawn at random, as the ranking shows what was studied.
std::wstring rankingQuestionText(const DbObject& accessor, const DailyLogRecord& record) {
  const auto drawn = std::next(record.results.begin(),
                               static_cast<std::ptrdiff_t>(static_cast<size_t>(platform::randomValue()) %
                                                           record.results.size()));
  const Question question = getQuestion(accessor, drawn->first);
  std::wstring text = question.answerText(0) + L" / " + question.questionText(0) + question.questionText(1);
  StripPartOfSpeechCodes(text);
  return text;
}

void addRankingRound(const StudyContext& study, const RankingTarget& ranking, const DbObject& accessor,
                     const DailyLogRecord& record, int points) {
  PointInfoRecord::Counters round;
  round.nc = record.totalNc1();
  round.ni = record.totalNi1();
  round.p = points;
  PointInfoRecord::copyText(round.rq, rankingQuestionText(accessor, record));
  std::wstring path;
  getElementPath(accessor, path, study.setId);
  PointInfoRecord::copyText(round.ls, path);
  round.sec = static_cast<int32_t>(record.totalReplySec());
  round.lt = record.EndTime;
  currentUserPointInfo(ranking.store, ranking.userName).AddRound(round);
  ranking.store.saveTellingOnce(ranking.path, [&study](const std::wstring& text) { study.notify(text); });
}

// Every record of the study but the ranking counts, in order; false at the first reporting step
// that fails. The memory rates and the study log's totals report nothing and never stop the save.
// After a failure inside a transaction the engine may have rolled it all back by itself (a full
// disk does that): a step after it would be committed on its own, so the loss of the transaction
// stops the writing as a failure does, after any step.
bool writeStudyRecords(const StudyContext& study, const DbObject& accessor, DailyLogRecord& record, bool addToPassFlag,
                       KeptOldValues& kept) {
  const bool inTransaction = study.connection.inTransaction();
  const auto lost = [&] { return inTransaction && !study.connection.inTransaction(); };
  if (!ensureStudyLog(study, accessor, record.lid) || lost()) return false;
  // Before the question logs are written, so the decay runs from the question's previous study.
  if (!updateMemoryRates(study, accessor, record, lost, kept) || !saveDailyLog(study, record) || lost()) return false;
  if (!addToStudyLogTotals(accessor, record)) kept.studyLogTotals = true;
  if (lost() || !saveQuestionLogs(study, accessor, record) || lost()) return false;
  return (!addToPassFlag || addToPass(study, accessor, record)) && !lost();
}

}  // namespace

bool SaveStudyHistory(const StudyContext& study, const RankingTarget& ranking, DailyLogRecord& record, bool addToPassFlag,
                      int points) {
  if (record.results.empty()) return true;
  const DbObject accessor = openQuery(study.connection);
  KeptOldValues kept;
  if (!writeStudyRecords(study, accessor, record, addToPassFlag, kept)) return false;  // the caller rolls back
  kept.trace(record.lid);
  addRankingRound(study, ranking, accessor, record, points);
  return true;
}

bool SaveStudyHistoryInTransaction(const StudyContext& study, const RankingTarget& ranking, DailyLogRecord& record,
                                   int points) {
  // Either way the study is not saved: said whatever the action said before.
  if (!execSql(record, L"BEGIN TRANSACTION")) {
    notifyUnmadeChange(study, L"更新を開始できませんでした");
    return false;
  }
  // The study is saved whole or not at all: one message for the whole, the failing step traced.
  StudyContext quiet = study;
  quiet.notice = [](const std::wstring& text) { platform::traceError(L"%ls\n", text.c_str()); };
  quiet.failureNotice = nullptr;
  const DbObject accessor = openQuery(study.connection);
  KeptOldValues kept;
  const bool written = record.results.empty() || writeStudyRecords(quiet, accessor, record, true, kept);
  // The connection rolls a failed COMMIT back, so the transaction does not stay open.
  if (!written || !execSql(record, L"COMMIT")) {
    if (study.connection.inTransaction()) execSql(record, L"ROLLBACK");
    notifyUnmadeChange(study, L"学習履歴を保存できませんでした");
    return false;
  }
  kept.trace(record.lid);
  if (!record.results.empty()) addRankingRound(study, ranking, accessor, record, points);
  return true;
}
