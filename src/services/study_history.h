// Writing a finished study back: study log and totals, memory rates, the daily log with each
// question's result, question logs, the current pass and the user's ranking counts.
// KlvApp::SaveStudyHistory forwards to SaveStudyHistory with its connection, current user, set
// and mode, its notice box and its ranking store.
#pragma once

#include <string>

#include "database/logs/daily_log.h"
#include "database/logs/study_context.h"
#include "services/point_info_store.h"

// Where a study's ranking counts go: the store, the user name that keys its record (the setting
// user-name) and the ranking data file (the setting irank-datafile-path).
struct RankingTarget {
  PointInfoStore& store;
  std::wstring userName;
  std::wstring path;
};

// Runs inside the caller's transaction. Fills each result's ext1/ext2 (level and rate after the
// study) while the file keeps memory rates (study.keepsMemoryRates). A memory rate or a study log total that cannot be saved keeps its old value and the save
// goes on; stderr says so once the rest is written (in the transaction's save, once it is committed). Any other failing step shows its message through the study's
// notice and gives false at once, as does the end of the caller's transaction by the engine; the
// ranking counts are then not added. The caller rolls back.
bool SaveStudyHistory(const pdb3::StudyContext& study, const RankingTarget& ranking, pdb3::DailyLogRecord& record,
                      bool addToPass, int points);

// The study window's save: the study's records (with the pass) in one transaction, saved whole or
// not at all. Any failure that SaveStudyHistory stops at, the COMMIT's included, rolls the
// transaction back (unless the engine did already), says "学習履歴を保存できませんでした" and adds
// no ranking counts. True when everything was saved and committed.
bool SaveStudyHistoryInTransaction(const pdb3::StudyContext& study, const RankingTarget& ranking,
                                   pdb3::DailyLogRecord& record, int points);
