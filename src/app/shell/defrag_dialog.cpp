#include "app/shell/defrag_dialog.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/drawing/dialog_units.h"
#include "platform/trace.h"
#include "services/database_failure.h"

namespace {

constexpr int kLastStep = 6;
constexpr int kSummaryTabStop = 32;

int64_t fileSize(const std::wstring& path) { return QFileInfo(QString::fromStdWString(path)).size(); }

}  // namespace

CDefragDlg::CDefragDlg(KlvApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setUpDialog(this, 279, L"データベースの最適化", 420, 300);
  progress_ = dialogControl<QProgressBar>(this, 1292, QRect(10, 10, 400, 22));
  log_ = readOnlyField(dialogControl<QPlainTextEdit>(this, 1289, QRect(10, 42, 400, 206)));
  // Figures between Japanese words would otherwise be drawn in the fallback's face, not the rest's.
  log_->setFont(platform::japaneseDialogFont(log_->font()));
  // The summary's columns are tab-separated for tab stops every 32 dialog units.
  log_->setTabStopDistance(platform::dialogUnitsAcross(kSummaryTabStop, log_->font()));
  start_ = dialogButton(this, 1, L"開始", QRect(226, 260, 88, 28));
  close_ = dialogButton(this, 2, L"閉じる", QRect(322, 260, 88, 28));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &CDefragDlg::OnTimer);
}

int CDefragDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void CDefragDlg::OnInitDialog() {
  progress_->setRange(0, 100);
  progress_->setValue(0);
  log_->setPlainText("準備完了\n");
}

QString CDefragDlg::logText() const { return log_->toPlainText(); }

void CDefragDlg::appendLog(const QString& text) {
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(text);
  log_->moveCursor(QTextCursor::End);
  log_->ensureCursorVisible();
}

void CDefragDlg::accept() {
  if (started_) return;
  started_ = true;
  action_.emplace();
  start_->setEnabled(false);
  close_->setEnabled(false);
  appendLog("問題の整理中です...\n");
  timer_.start(10);
}

bool CDefragDlg::purgeOrphans(const wchar_t* table, int& deleted) {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  int count = 0;
  const bool done = pdb3::runInTransaction(accessor, [&] {
    count = pdb3::querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM %ls WHERE qid NOT IN (SELECT qid FROM section)",
                                       table);
    return count >= 0 &&
           pdb3::execSqlf(accessor, L"DELETE FROM %ls WHERE qid NOT IN (SELECT qid FROM section)", table);
  });
  deleted = done ? count : 0;
  return done;
}

void CDefragDlg::purgeStep(const wchar_t* table, int& deleted, const wchar_t* what, int progress,
                           const wchar_t* next) {
  if (!purgeOrphans(table, deleted)) {
    failed_ = true;
    appendLog(QString::fromStdWString(databaseFailureText(what + std::wstring(L"の削除に失敗しました")) + L"\n"));
  }
  progress_->setValue(progress);
  appendLog(QString::fromWCharArray(next));
}

void CDefragDlg::OnTimer() {
  switch (step_) {
    case 0:
      sizeBefore_ = fileSize(app_.db.fileName());
      purgeStep(L"question", deletedQuestions_, L"問題", 20, L"各回の学習履歴の整理中です...\n");
      break;
    case 1:
      purgeStep(L"daily_question_log", deletedDailyQuestionLogs_, L"各回の学習履歴", 40,
                L"学習済み問題の整理中です...\n");
      break;
    case 2:
      purgeStep(L"looped_questions", deletedLoopedQuestions_, L"学習済み問題", 60, L"各問題の履歴の整理中です...\n");
      break;
    case kLastStep:
      purgeStep(L"question_log", deletedQuestionLogs_, L"各問題の履歴", 80, L"データベースファイルの整理中です...\n");
      finish();
      return;
    default:
      break;
  }
  ++step_;
  timer_.start(10);
}

void CDefragDlg::finish() {
  // VACUUM takes a while: the line above it shows first.
  log_->repaint();
  if (!pdb3::execSql(pdb3::openQuery(app_.db), L"VACUUM")) {
    failed_ = true;
    appendLog(QString::fromStdWString(databaseFailureText(L"データベースファイルの圧縮に失敗しました") + L"\n"));
  }
  progress_->setValue(100);
  appendLog(failed_ ? "--- 整理の一部に失敗しました ---\n" : "--- 完了 ---\n");
  const int64_t sizeAfter = fileSize(app_.db.fileName());
  const double shrunk = sizeBefore_ > 0 ? 100.0 * (sizeBefore_ - sizeAfter) / sizeBefore_ : 0.0;
  appendLog("\n" + QString::fromStdWString(platform::format(
                       L"・削除した問題数：    \t%d\n・削除した問題履歴数：\t%d\n・ファイルサイズ：   \t\t%lld KB → %lld KB\n"
                       L"                     \t\t%.2f ％減少\n",
                       deletedQuestions_, deletedQuestionLogs_, static_cast<long long>(sizeBefore_ / 1000),
                       static_cast<long long>(sizeAfter / 1000), shrunk)));
  close_->setText(QString::fromWCharArray(L"完了"));
  close_->setEnabled(true);
  finished_ = true;
  // The log says which steps failed; the box says why, for them all.
  if (failed_) reportUnmadeChange(this, L"データベースの整理の一部に失敗しました。");
  action_.reset();
}
