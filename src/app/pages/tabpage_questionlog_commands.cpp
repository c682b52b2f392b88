// The per-question log page's commands on the checked or selected questions: adjusting their
// counts, editing and searching, deleting their log, copying them into another set, spell check.
#include <QApplication>
#include <QTableView>

#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/export/search_dialog.h"
#include "app/main/select_section_dialog.h"
#include "app/pages/tabpage_questionlog.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/named_mutex.h"
#include "services/part_of_speech.h"
#include "study/window/trans_edit_dialog.h"
#include "services/database_failure.h"

void CTabpageQuestionlog::AdjustCounts(int step, bool correct) {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int mode = app_.settings->correctrateMode;
  // Every row's log is read and written inside one transaction: a count adjusted from a log that
  // could not be read would overwrite the stored one, and half the rows adjusted would leave the
  // user unsure which were.
  const wchar_t* failure = correct ? L"正解数を変更できませんでした。" : L"不正解数を変更できませんでした。";
  if (!readOrSay(readIdsOfRows(m_selectedRows), failure, reportUnmadeChange)) return;
  std::vector<pdb3::QuestionLog> adjusted;
  const bool done = pdb3::runInTransaction(accessor, [&] {
    for (int row : m_selectedRows) {
      pdb3::QuestionLog log(accessor, m_rows.at(row), app_.currentUserId, app_.studyMode);
      const pdb3::FirstRow stored = pdb3::readQuestionLog(log);
      if (stored == pdb3::FirstRow::failed) return false;
      if (stored == pdb3::FirstRow::missing) continue;
      int& first = correct ? log.nc1 : log.ni1;
      int& again = correct ? log.nc2 : log.ni2;
      int& firstPm = correct ? log.nc1pm : log.ni1pm;
      int& againPm = correct ? log.nc2pm : log.ni2pm;
      if (mode == 1) {
        againPm = step == 0 ? 0 : std::max(againPm + step, 0);
      } else if (step == 0) {
        firstPm = againPm = 0;
      } else {
        firstPm += step;
        if (mode == 2 && first + again + firstPm + againPm < 0) {
          firstPm = -(first + again);
          againPm = 0;
        } else if (mode == 0 && first + firstPm < 0) {
          firstPm = -first;
        }
      }
      if (!log.save()) return false;
      adjusted.push_back(log);
    }
    return true;
  });
  if (!done) {
    reportUnmadeChange(host_.dialogWindow(), failure);
    return;
  }
  for (const pdb3::QuestionLog& log : adjusted) m_logCache.insert_or_assign(log.qid, log);
  redrawList();
}

void CTabpageQuestionlog::OnEditQuestion() {
  const int row = m_listCtrl->currentIndex().row();
  if (row < 0 || row >= m_rows.size()) return;
  if (!readOrSay(readIdsOfRows({row}), L"問題を読み込めませんでした。", reportFailedRead)) return;
  const int qid = m_rows.at(row);
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const study::EditOutcome outcome = study::EditQuestionRecord(accessor, qid, host_.dialogWindow());
  if (outcome == study::EditOutcome::SaveFailed)
    reportUnmadeChange(host_.dialogWindow(), L"データベースの書き込みに失敗しました。");
  // The row shows what is stored now; when that cannot be read, what it showed before stays.
  std::vector<pdb3::Question> edited;
  if (pagereads::readQuestions(accessor, {qid}, edited)) m_questionCache.insert_or_assign(qid, edited.front());
  redrawList();
}

void CTabpageQuestionlog::OnSearch() {
  int row = m_selectedRows.empty() ? m_listCtrl->rowAt(0) : m_selectedRows.front();
  if (!ensureRowsRead({row}, reportFailedRead)) return;
  const pdb3::Question* question = cachedQuestion(row);
  if (!question) return;
  CSearchDlg search(app_, question->answerText(0), host_.dialogWindow());
  runModalDialog(search);
}

void CTabpageQuestionlog::OnDeleteCheckedHistory() {
  // Rows that cannot be read leave every log as it was: said as a deletion not made.
  std::vector<int> ids;
  if (!GetCheckedQuestionIds(ids, reportUnmadeChange)) return;
  // The question asks by what the rows hold: those not read yet are read first.
  const std::vector<int> named(m_checkedRows.begin(), std::next(m_checkedRows.begin(), std::min<size_t>(m_checkedRows.size(), 10)));
  if (!ensureRowsRead(named, reportUnmadeChange)) return;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  std::wstring lines;
  for (int row : named) {
    const pdb3::Question* question = cachedQuestion(row);
    if (!question) continue;  // gone from the set since the list was read
    const pdb3::Question& q = *question;
    lines += L" \"" + expandPartOfSpeech(q.questionText(0)) + L" = " + q.answerText(0) + L"\"\n";
  }
  if (ids.size() > 10) lines += L"...\n";
  if (platform::messageBox(host_.dialogWindow(), L"問題\n\n" + lines + L"\nの履歴を削除しますか？", L"削除の確認",
                           platform::MbYesNo | platform::MbIconQuestion) != platform::IdYes)
    return;
  // Half a deletion would leave the user unsure which logs are gone.
  const bool deleted = pdb3::runInTransaction(accessor, [&] {
    for (int qid : ids)
      if (!pdb3::execSqlf(accessor, L"DELETE FROM question_log WHERE qid=%d AND uid=%d AND mid=%d", qid,
                          app_.currentUserId, app_.studyMode))
        return false;
    return true;
  });
  if (!deleted) {
    reportUnmadeChange(host_.dialogWindow(), L"消去に失敗しました");
    return;  // the logs and the rows showing them are as they were
  }
  for (int qid : ids) m_logCache.erase(qid);
  redrawList();
}

void CTabpageQuestionlog::OnCopyCheckedQuestions() {
  NamedMutex editorLock;
  if (!editorLock.Create(L"KlvEditor7")) {
    platform::messageBox(host_.dialogWindow(), L"KlvEditor が起動しているので、編集できません", kAppCaption);
    return;
  }
  std::vector<int> ids;
  if (!GetCheckedQuestionIds(ids, reportUnmadeChange)) return;  // no question copied
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  int target = app_.currentSetId;
  std::wstring path;
  for (;;) {
    CSelectSectionDlg dialog(accessor, app_, host_.dialogWindow());
    dialog.m_strPrompt = L"コピー先の問題集を選択してください。";
    dialog.m_nEid = target;
    dialog.m_nKind = CSelectSectionDlg::kProblemSets;
    if (dialog.DoModal() != platform::IdOk) return;
    if (dialog.m_nEid != app_.currentSetId && dialog.m_strPath != host_.setPath()) {
      target = dialog.m_nEid;
      path = dialog.m_strPath;
      break;
    }
    platform::messageBox(host_.dialogWindow(), L"同じ問題集を指定できません。", kAppCaption);
    target = 0;  // open again at the root, so that the same choice is not simply taken again
  }
  const bool copied = pdb3::runInTransaction(accessor, [&] {
    const int heading = pdb3::createEmptyQuestion(accessor);
    if (heading < 0) return false;
    pdb3::Question question = pdb3::getQuestion(accessor, heading);
    question.setQuestionTexts({L""});
    if (!pdb3::saveQuestion(question) || !pdb3::insertSectionRow(accessor, target, heading)) return false;
    for (int qid : ids)
      if (!pdb3::insertSectionRow(accessor, target, qid)) return false;
    return true;
  });
  if (!copied) {
    reportUnmadeChange(host_.dialogWindow(), L"問題の追加に失敗しました");
    return;
  }
  platform::messageBox(host_.dialogWindow(),
                       platform::format(L"%d 個の問題を %ls にコピーしました。", static_cast<int>(ids.size()), path.c_str()),
                       kAppCaption);
}

namespace {

// How many rows the spell check reads at once when it reaches rows not read yet.
constexpr int kSpellCheckRows = 200;

}  // namespace

void CTabpageQuestionlog::SpellCheck() {
  if (platform::messageBox(host_.dialogWindow(), L"簡易スペルチェックを開始しますか？", kAppCaption,
                           platform::MbYesNo | platform::MbIconQuestion) != platform::IdYes)
    return;
  host_.UpdateTitle(L"<< スペルチェック中です >>");
  escapePressed_ = false;
  spellChecking_ = true;
  qApp->installEventFilter(this);
  enum class Outcome { misspelt, stopped, nothingFound, unread, setChanged } outcome = Outcome::nothingFound;
  for (int row = m_listCtrl->currentIndex().row() + 1;; ++row) {
    QCoreApplication::processEvents();
    // The bound is read after the event loop: what it ran may have reloaded the list.
    if (escapePressed_) {
      outcome = Outcome::stopped;  // no message
      break;
    }
    if (row >= m_rows.size()) break;
    // The answers come from the rows read; those not read yet are read a stretch at a time. A
    // stretch that cannot be read ends the check: its answers are not known to be spelt right.
    if (!cachedQuestion(row)) {
      const SetRead read = readRange(row, std::min(row + kSpellCheckRows, m_rows.size()) - 1);
      if (read != SetRead::read) {
        outcome = read == SetRead::changed ? Outcome::setChanged : Outcome::unread;
        break;
      }
    }
    if (m_rows.at(row) < 0) {
      outcome = Outcome::stopped;  // no message
      break;
    }
    const pdb3::Question* question = cachedQuestion(row);
    if (!question) break;
    bool misspelt = false;
    for (const std::wstring& answer : question->answerTexts()) {
      study::PhonemeCodes codes;
      if (!app_.pronouncingDictionary.LookupPhrase(answer, codes)) {
        misspelt = true;
        break;
      }
    }
    // The view follows a screenful at a time: the rows it reads to show are those checked next.
    if (!m_listCtrl->viewport()->rect().contains(m_listCtrl->visualRect(model_.index(row, 0))))
      m_listCtrl->scrollTo(model_.index(row, 0), QAbstractItemView::PositionAtTop);
    if (misspelt) {
      m_listCtrl->selectRow(row);
      m_listCtrl->setCurrentIndex(model_.index(row, 0));
      outcome = Outcome::misspelt;
      break;
    }
  }
  qApp->removeEventFilter(this);
  spellChecking_ = false;
  host_.UpdateTitle();
  if (outcome == Outcome::unread)
    reportFailure(L"問題を読み込めなかったため、スペルチェックを中止しました。", reportFailedRead);
  else if (outcome == Outcome::setChanged)
    reloadChangedSet(true);
  else if (outcome == Outcome::nothingFound)
    platform::messageBox(host_.dialogWindow(), L"スペルミスの単語が見つかりませんでした。", kAppCaption);
}
