// Every study the main dialog starts, and what it reads again after one.
#include <QScopedValueRollback>

#include "app/common/study_questions.h"
#include "app/shell/app_study_host.h"
#include "app/shell/klv_app.h"
#include "app/main/last_study.h"
#include "app/main/main_dialog.h"
#include "app/main/main_outlook_bar.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/tabpage_ranking.h"
#include "app/pages/tabpage_smartlearning.h"
#include "database/records/db_object.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "study/window/start_study.h"

bool MainDialog::StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) {
  AppStudyHost host(m_pApp, m_soundQueue);
  bool studied = false;
  {
    const QScopedValueRollback during(studying_, true);
    studied = study::StartStudy(host, this, title, ids);
  }
  if (!studied) {
    // No study to read the pages after: the window shown again under it reads them as any show does.
    if (refreshOnShow_ && isVisible() && m_nCurPage >= 0) ShowPage(m_nCurPage);
    return false;
  }
  RefreshPages();
  m_pageLoginfo->ApplyCountAfterStudy(static_cast<int>(ids.size()));
  m_pageSmartlearning->ReloadQuestionList();
  // The study moved questions between levels: the level history follows.
  m_pageSmartlearning->StartLevelCalcThread();
  if (m_pApp.settings->rankingAutoUpdate.value)
    m_pageRanking->UpdateRanking(m_pApp.settings->autopopupEstimatePoint.value);
  update();
  m_outlookBar->repaint();
  return true;
}

bool MainDialog::SelectStudyQuestions(std::vector<int>& ids) { return chooseQuestions(ids, reportFailedRead); }

// The page shown chooses: the learning page by its study method, the question log by its checks,
// every other page through the smart-learning list.
bool MainDialog::chooseQuestions(std::vector<int>& ids, FailureReport say) {
  // Counts the last refresh could not read are read again before a study is chosen from them;
  // when they still cannot be, the refresh has said why. A count typed meanwhile is the learner's.
  if (!m_bPagesRead) {
    RefreshParts(unreadParts_, AfterALock::readOn, Reading::again);
    if (!m_bPagesRead) return false;
  }
  bool chosen = false;
  switch (m_nCurPage) {
    case 1:
      chosen = m_pageLoginfo->SelectQuestionsForMethod(ids, say);
      break;
    case 2:
      chosen = m_pageQuestionlog->GetCheckedQuestionIds(ids, say);
      break;
    case 0:
    case 3:
    case 4:
      chosen = m_pageSmartlearning->CollectQuestionIds(ids, say);
      break;
    default:
      return false;
  }
  return chosen && keepQuestionsWithText(pdb3::openQuery(m_pApp.db), ids, this, say) && !ids.empty();
}

bool MainDialog::StudyLastQuestions(bool mistakesOnly) {
  std::vector<int> ids;
  return LastStudyQuestionIds(m_pApp, mistakesOnly, ids, this) && StartStudyAndRefresh(m_strSetPath, ids);
}
