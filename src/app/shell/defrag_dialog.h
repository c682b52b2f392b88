// Tidying the database: rows that belong to no problem set are deleted from four tables, then
// the file is compacted, and the log tells what went and how much smaller the file became. The
// work runs in short steps on a timer so the dialog keeps painting; the steps are one action of the
// user's, which waits once for a file another program holds and says once what failed.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "services/user_action.h"

class KlvApp;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class CDefragDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDefragDlg(KlvApp& app, QWidget* parent = nullptr);

  int DoModal();
  void OnInitDialog();
  // The Start button: disables both buttons and begins the steps.
  void accept() override;
  void OnTimer();

  QString logText() const;
  // The last step ran: the close button says so.
  bool finished() const { return finished_; }

 private:
  // Deletes the rows of the table whose question is in no problem set, counted first, in one
  // transaction. False (and nothing deleted) when that fails.
  bool purgeOrphans(const wchar_t* table, int& deleted);
  void purgeStep(const wchar_t* table, int& deleted, const wchar_t* what, int progress, const wchar_t* next);
  void appendLog(const QString& text);
  void finish();

  KlvApp& app_;
  QProgressBar* progress_;
  QPlainTextEdit* log_;
  QPushButton* start_;
  QPushButton* close_;
  QTimer timer_;
  int step_ = 0;
  int64_t sizeBefore_ = 0;
  int deletedQuestions_ = 0;
  int deletedDailyQuestionLogs_ = 0;
  int deletedLoopedQuestions_ = 0;
  int deletedQuestionLogs_ = 0;
  bool failed_ = false;
  bool started_ = false;
  bool finished_ = false;
  std::optional<OngoingAction> action_;  // from the Start button to the last step
};
