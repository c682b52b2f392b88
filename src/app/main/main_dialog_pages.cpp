// The main dialog's pages and choosers: which page shows, the problem set chosen (with the list
// of recent ones kept in the settings), the study mode, and the figures of the current round.
#include <QComboBox>
#include <QStatusBar>
#include <algorithm>

#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "app/main/main_outlook_bar.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/common/quiet_retry.h"
#include "app/main/note_browser.h"
#include "app/main/select_section_dialog.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/tabpage_ranking.h"
#include "app/pages/tabpage_selsection.h"
#include "app/pages/tabpage_smartlearning.h"
#include "database/engine/engine_failure.h"
#include "database/logs/element_log.h"
#include "database/records/element_record.h"
#include "database/folders/folders.h"
#include "database/folders/section_questions.h"
#include "platform/trace.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "study/sound/speech_output.h"
#include "uictl/frames/outlook/caption_bar.h"

namespace {

constexpr int kMaxRecentPaths = 6;

struct ModeEntry {
  const wchar_t* name;
  int mode;
};
constexpr ModeEntry kModeEntries[] = {{L"カードモード", 5},      {L"４択モード", 3},        {L"４択モードR", 1},
                                      {L"タイピングモード", 0}, {L"タイピングモードR", 2}, {L"SpeedReply", 4},
                                      {L"ディクテーション", 6}};

}  // namespace

void MainDialog::ShowPage(int page) {
  if (!initialised_ || page < 0 || page >= kPageCount) return;
  m_nCurPage = page;
  for (int i = 0; i < kPageCount; ++i) pages_[i]->setVisible(i == page);
  // The bar's group follows: the normal study's pages, or smart learning; the ranking is in both.
  if (page != 3) {
    showingPage_ = true;
    m_outlookBar->SetActivePage(page == 4 ? 1 : 2, isVisible());  // no one sees a hidden window's slide
    showingPage_ = false;
  }

  takeUpPagesSet();
  RefreshPages();  // the question log's list too, now that it shows
  if (page == 2) m_pageQuestionlog->update();

  // The ranking page hides both choosers; the smart-learning page studies its own list.
  for (int id : {1236, 1234, 1018}) findChild<QWidget*>(QString("id%1").arg(id))->setVisible(page != 3 && page != 4);
  for (int id : {1197, 1196, 1019}) findChild<QWidget*>(QString("id%1").arg(id))->setVisible(page != 3);
  UpdateStatusAndCaption();
}

void MainDialog::takeUpPagesSet() {
  m_pApp.currentSetId = m_nCurPage == 4 ? m_pApp.smartLearningSetId : m_nSetEid;
}

void MainDialog::OnOutlookBarSelect(int barPage) {
  if (showingPage_) return;
  if (barPage == 1) {
    ShowPage(4);
  } else if (barPage == 2 && (m_nCurPage == 3 || m_nCurPage == 4)) {
    ShowPage(1);
  }
}

void MainDialog::UpdateStatusAndCaption() {
  std::wstring text;
  switch (m_nCurPage) {
    case 0:
      text = L"問題集の情報を確認しましょう";
      break;
    case 1:
      text = L"『覚える』ボタンを押して学習を始めましょう";
      break;
    case 2:
      text = L"覚えていない問題を探して、集中的に学習しましょう";
      break;
    case 3:
      text = PointInfoRecord::text(m_pApp.CurrentUserPointInfo().rankingId).empty()
                 ? L"インターネットランキングに参加して、あなたが学習していることを全世界に宣言しよう！"
                 : L"インターネットランキング情報の確認と更新ができます";
      break;
    case 4:
      text = L"忘れてしまった問題が自動的に出題されます";
      break;
  }
  // The chosen set's pages have nothing to offer while none is chosen.
  if (m_nCurPage >= 0 && m_nCurPage <= 2 && !setChosen()) text = L"学習する問題集を選択してください";
  m_statusBar->showMessage(qtext(text));

  std::wstring caption;
  if (m_nCurPage == 3) {
    caption = pageName(3);
  } else if (m_nCurPage >= 0) {
    const wchar_t* group = m_outlookBar->FindPageName(m_outlookBar->GetActivePageID());
    caption = std::wstring(group ? group : L"") + L"/" + pageName(m_nCurPage);
  }
  std::erase(caption, L'\n');
  m_captionBar->SetText(caption, CUxCaptionBar::AlignLeft);
}

void MainDialog::RefreshPages() {
  refreshOnShow_ = false;  // read now, whatever hid the window before
  RefreshParts(kAllParts, AfterALock::readOn, Reading::afresh);
}

void MainDialog::RefreshParts(unsigned parts, AfterALock afterALock, Reading reading) {
  SelectModeInCombo();
  // Every page reads what it shows now, and draws it from memory until the next refresh. What
  // cannot be read is said once for the whole refresh.
  if (parts & kRoundFigures) parts |= kLearningPage;  // it shows the round's counts
  unreadParts_ &= ~parts;
  unsigned unread = 0;
  bool held = false;  // a part met a cause that may pass (a lock): the file is still held
  const auto readPart = [&](unsigned part, const auto& read) {
    if (!(parts & part)) return;
    // While the file is still held the parts after the first stay unread: each would only meet it.
    if (held && afterALock == AfterALock::stop) {
      unread |= part;
      return;
    }
    if (read()) return;
    unread |= part;
    held = sqliteplus::lastFailureMayPass();
  };
  readPart(kRoundFigures, [&] {
    const bool counted = UpdateRoundCounters();
    if (!counted && afterALock == AfterALock::stop) return false;  // the set's information waits with them
    return m_pageSelsection->FillInfo(m_bFolderSelected, m_nQuestion) && counted;
  });
  readPart(kQuestionLog, [&] { return RefreshQuestionLogPage(); });
  readPart(kDescription, [&] {
    return ShowElementDescription(m_pageSelsection->browser(), pdb3::openQuery(m_pApp.db), m_pApp.currentSetId,
                                  m_pApp.notePagePath);
  });
  readPart(kLearningPage, [&] { return m_pageLoginfo->RefreshFromDialog(reading == Reading::again); });
  // The editor, a study or the question log's edits may have changed the smart-learning list's
  // questions and levels.
  readPart(kSmartPage, [&] { return m_pageSmartlearning->RefreshFromFile(); });
  UpdateCommandStates();
  if (m_nCurPage >= 0) pages_[m_nCurPage]->update();
  unreadParts_ |= unread;
  m_bPagesRead = unreadParts_ == 0;
  if (unread) reportFailedRead(this, kPagesUnread);
  // What a lock kept from being read is read again by itself, once the other program lets go.
  pagesRetry_->follow(unread == 0);
}

void MainDialog::RereadWhenFree(const QWidget& page) {
  // The smart-learning page reads on its own (its list, its level history); another page is read
  // again with the whole window.
  unreadParts_ |= &page == m_pageSmartlearning ? kSmartPage : kAllParts;
  if (pagesRetry_) pagesRetry_->follow(false);  // the pages read nothing before the dialog is made
}

bool MainDialog::RefreshQuestionLogPage() {
  bool read = true;
  // A set of thousands of questions is read only when its list is looked at: the refresh that shows
  // the page reads it. A list not read leaves the refresh unread, to be read again.
  if (!m_bFolderSelected && m_nCurPage == 2)
    read = m_pageQuestionlog->ReloadList();
  else
    m_pageQuestionlog->ClearList();
  m_pageQuestionlog->UpdateCheckedCount();
  return read;
}

bool MainDialog::UpdateRoundCounters() {
  const pdb3::DbObject accessor = pdb3::openQuery(m_pApp.db);
  // Counts that cannot be read are not zero: they stay unknown (-1) for the pages, and a round is
  // reset only on counts that were read.
  m_nTotalCorrects = m_nTotalIncorrects = 0;
  m_nTranslated = m_nQuestion = m_nRemain = -1;
  const int usable = pdb3::countUsableQuestions(accessor, m_pApp.currentSetId);
  int lid = -1;
  if (usable < 0 || !pagereads::readLogId(m_pApp.studyContext(), lid)) return false;
  int translated = 0;
  pdb3::RoundTotals totals;
  if (lid >= 0) {
    const pdb3::ElementLogRecord log = pdb3::getElementLog(accessor, lid);
    std::deque<int> looped;
    if (!log.loopedQuestionIds(looped)) return false;
    translated = static_cast<int>(looped.size());
    // The set has shrunk below what the round has asked: the round starts again.
    if (translated > usable) {
      looped.clear();
      if (!m_pApp.ResetRound(lid) || !log.loopedQuestionIds(looped)) return false;
      translated = static_cast<int>(looped.size());
    }
    try {
      totals = pdb3::roundTotals(log);
    } catch (const std::wstring&) {
      return false;
    }
  }
  m_nTranslated = translated;
  m_nTotalCorrects = totals.correct;
  m_nTotalIncorrects = totals.incorrect;
  m_nQuestion = m_bFolderSelected ? 0 : usable;
  m_nRemain = m_nQuestion == m_nTranslated ? m_nQuestion : std::max(0, m_nQuestion - m_nTranslated);
  return true;
}

pdb3::FirstRow MainDialog::selectChosenPath(const std::wstring& path) {
  int eid = -1;
  const pdb3::FirstRow row = pdb3::findElement(pdb3::openQuery(m_pApp.db), path, eid);
  return row == pdb3::FirstRow::found ? selectChosenElement(eid, path) : row;
}

pdb3::FirstRow MainDialog::selectChosenElement(int eid, const std::wstring& path) {
  int type = -1;
  const pdb3::FirstRow row = pdb3::readElementType(pdb3::openQuery(m_pApp.db), eid, type);
  if (row != pdb3::FirstRow::found) return row;
  if (type < 0 || type > 2) return pdb3::FirstRow::missing;
  m_nSetEid = eid;
  m_pApp.currentSetId = eid;
  m_pApp.SyncStudyMode();
  m_strSetPath = path;
  m_bFolderSelected = type == pdb3::kFolderElement;
  return pdb3::FirstRow::found;
}

void MainDialog::ChooseNoSet() {
  m_strSetPath.clear();
  m_nSetEid = -1;
  m_bFolderSelected = true;
  takeUpPagesSet();
  showChosenSetInCombo();
}

void MainDialog::showChosenSetInCombo() { m_recentCombo->setCurrentIndex(setChosen() ? 0 : -1); }

MainDialog::SetChoice MainDialog::ChooseSet() {
  bool lookUpFailed = false;
  bool deleted = false;
  for (;;) {
    CSelectSectionDlg dialog(pdb3::openQuery(m_pApp.db), m_pApp, this);
    dialog.m_strPrompt = L"学習する問題集を選択してください";
    dialog.m_strPath = m_strSetPath;
    dialog.m_nEid = m_pApp.currentSetId;
    dialog.m_nKind = CSelectSectionDlg::kAnything;
    const bool chosenNow = dialog.DoModal() == platform::IdOk;
    deleted = deleted || dialog.deletedAny();
    if (!chosenNow) {
      // The set chosen before may have gone with what was deleted: then none is chosen, and the
      // pages show what is left (at start-up, the first page shown reads them).
      if (deleted && setChosen() &&
          pdb3::lookUpElement(pdb3::openQuery(m_pApp.db), m_nSetEid) == pdb3::FirstRow::missing)
        ChooseNoSet();
      showChosenSetInCombo();
      if (deleted && initialised_) {
        RefreshPages();
        UpdateStatusAndCaption();
      }
      return lookUpFailed ? SetChoice::cancelledAfterFailedLookUp : SetChoice::cancelled;
    }
    const pdb3::FirstRow chosen = selectChosenElement(dialog.m_nEid, dialog.m_strPath);
    if (chosen == pdb3::FirstRow::found) {
      AddRecentSet(dialog.m_strPath);
      RefreshPages();
      UpdateStatusAndCaption();
      return SetChoice::chosen;
    }
    // A set that could not be looked up is not said to be missing.
    lookUpFailed = chosen == pdb3::FirstRow::failed;
    if (lookUpFailed)
      reportFailedRead(this, L"問題集を読み込めませんでした。");
    else
      platform::messageBox(this, kNoSuchSet, kAppCaption);
  }
}

void MainDialog::OnRecentComboChange(int index) {
  // The first entry is the chosen set; while none is, it is a path like the others.
  if (index < 0 || (index == 0 && setChosen())) return;
  if (index == m_recentCombo->count() - 1 && m_recentCombo->itemText(index) == qtext(kChooserEntry)) {
    ChooseSet();
    return;
  }
  const std::wstring path = m_recentCombo->itemText(index).toStdWString();
  const pdb3::FirstRow selected = selectChosenPath(path);
  if (selected != pdb3::FirstRow::found) {
    // The set in use (or none) stays; only one that is not there is said to be missing.
    showChosenSetInCombo();
    if (selected == pdb3::FirstRow::failed)
      reportFailedRead(this, L"問題集を読み込めませんでした。");
    else
      platform::messageBox(this, kNoSuchSet, kAppCaption);
    return;
  }
  AddRecentSet(path);
  RefreshPages();
  UpdateStatusAndCaption();
}

void MainDialog::AddRecentSet(const std::wstring& path) {
  QComboBox& combo = *m_recentCombo;
  const QString entry = qtext(path);
  combo.insertItem(0, entry);
  combo.setCurrentIndex(0);
  const bool hasChooser = combo.count() > 1 && combo.itemText(combo.count() - 1) == qtext(kChooserEntry);
  const auto pathCount = [&] { return combo.count() - (hasChooser ? 1 : 0); };
  for (int i = pathCount() - 1; i >= 1; --i) {
    if (combo.itemText(i) == entry) combo.removeItem(i);
  }
  while (pathCount() > kMaxRecentPaths) combo.removeItem(pathCount() - 1);

  AppSettings& settings = *m_pApp.settings;
  for (size_t i = 0; i < settings.recentSectionPath.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    settings.recentSectionPath[i].value = index < pathCount() ? combo.itemText(index).toStdWString() : std::wstring();
  }
  settings.lastSection.value = path;
  settings.saveGroup();
}

void MainDialog::fillModeCombo() {
  m_modeCombo->clear();
  for (const ModeEntry& entry : kModeEntries) m_modeCombo->addItem(qtext(entry.name), entry.mode);
}

bool MainDialog::SelectModeInCombo() {
  const int index = m_modeCombo->findData(m_pApp.studyMode);
  m_modeCombo->setCurrentIndex(index >= 0 ? index : 0);
  return true;
}

void MainDialog::ApplyStudyMode(int mode) {
  m_pApp.studyMode = mode;
  m_pApp.SyncStudyMode();
  RefreshPages();
  m_pApp.settings->saveGroup();
}

void MainDialog::OnModeComboChange(int index) {
  const int mode = m_modeCombo->itemData(index).toInt();
  if (CanStudyInMode(*m_pApp.settings, m_pApp.speechVoice, m_pApp.notice, mode)) {
    ApplyStudyMode(mode);
  } else {
    SelectModeInCombo();
  }
}

void MainDialog::SetStudyMode(int mode) {
  if (CanStudyInMode(*m_pApp.settings, m_pApp.speechVoice, m_pApp.notice, mode)) ApplyStudyMode(mode);
}

void MainDialog::UpdateRankingPage() {
  m_pageRanking->OnUpdateButton();
  m_pageRanking->update();
}

void MainDialog::OnUserChanged() {
  ForgetWhatThePagesRead();
  RefreshPages();
  ShowUsersOwnParts();
}

void MainDialog::ShowUsersOwnParts() {
  m_pageRanking->LoadRankingAccount();
  UpdateTitle();
}

void MainDialog::ForgetWhatThePagesRead() {
  // The other pages read all they show at every refresh.
  m_pageSmartlearning->OnFileOrUserChanged();
  m_pageQuestionlog->ClearList();
}
