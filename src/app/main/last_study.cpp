#include "app/main/last_study.h"

#include <deque>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "database/daily_log.h"
#include "database/element_log.h"
#include "platform/windows/notifier.h"

bool LastStudyQuestionIds(KlvApp& app, bool mistakesOnly, std::vector<int>& out, QWidget* owner) {
  const auto notStudied = [owner] {
    platform::messageBox(owner, L"まだ学習していません。", kAppCaption);
    return false;
  };
  const pdb3::StudyContext study = app.studyContext();
  const int lid = pdb3::currentLogId(study);
  if (lid < 0) return notStudied();
  const pdb3::DbObject accessor = pdb3::openQuery(app.db);
  std::deque<int> runs;
  if (!pdb3::roundDailyLogIds(pdb3::getElementLog(accessor, lid), runs) || runs.empty()) return notStudied();
  pdb3::DailyLogRecord latest(accessor, runs.front(), lid);
  latest.Load();  // a run read only in part still offers what was read
  if (!mistakesOnly) return latest.AllQuestionIds(out) || notStudied();
  if (latest.MistakeQuestionIds(out)) return true;
  platform::messageBox(owner, L"前回は全問正解です！", kAppCaption);
  return false;
}
