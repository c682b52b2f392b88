#include "app/main/last_study.h"

#include <deque>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "database/logs/daily_log.h"
#include "database/logs/element_log.h"
#include "platform/windows/notifier.h"
#include "services/database_failure.h"

bool LastStudyQuestionIds(KlvApp& app, bool mistakesOnly, std::vector<int>& out, QWidget* owner) {
  const auto notStudied = [owner] {
    platform::messageBox(owner, L"まだ学習していません。", kAppCaption);
    return false;
  };
  // A run that cannot be read is not "not studied", and a run read in part would study the
  // wrong questions: either says why and studies nothing.
  const auto unread = [owner] {
    reportFailedRead(owner, L"前回の学習履歴を読み込めませんでした。");
    return false;
  };
  const pdb3::StudyContext study = app.studyContext();
  int lid = -1;
  if (!pagereads::readLogId(study, lid)) return unread();
  if (lid < 0) return notStudied();
  const pdb3::DbObject accessor = pdb3::openQuery(app.db);
  std::deque<int> runs;
  if (!pdb3::roundDailyLogIds(pdb3::getElementLog(accessor, lid), runs)) return unread();
  if (runs.empty()) return notStudied();
  pdb3::DailyLogRecord latest(accessor, runs.front(), lid);
  if (!latest.Load()) return unread();  // the run was just listed: what failed is the read
  if (!mistakesOnly) return latest.AllQuestionIds(out) || notStudied();
  if (latest.MistakeQuestionIds(out)) return true;
  platform::messageBox(owner, L"前回は全問正解です！", kAppCaption);
  return false;
}
