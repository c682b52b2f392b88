// The main dialog's learning-history page: the current user's figures for the chosen set in the
// current mode, one past study picked from a list (its counts and the trend of correct rates),
// and how the next study is composed: the next questions of the round, a review of a period or
// of the last study, or the questions whose correct rate is low.
#pragma once

#include <QWidget>
#include <deque>
#include <string>
#include <vector>

#include "database/engine/sql_helpers.h"
#include "platform/drawing/gdi_dc.h"
#include "services/database_failure.h"

class KlvApp;
class MainDialogHost;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QMenu;
namespace pdb3 {
class DailyLogRecord;
class ElementLogRecord;
}  // namespace pdb3

// Removes from ids every id of remove (each looked up by value); true when all were found.
bool RemoveIdsFromDeque(std::deque<int>& ids, const std::deque<int>& remove);
// First-answer correct / (correct + incorrect) over the study's results; 0 without answers.
double DailyLogCorrectRate(const pdb3::DailyLogRecord& record);
// A total study time: "%5d 秒" up to 60 seconds, minutes and seconds up to an hour, then hours.
std::wstring StudyTimeText(int totalSeconds);

class CTabpageLoginfo : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kNormal = 1242, kReview = 1243, kFocused = 1244;
  static constexpr int kStudied = 1246, kMistaken = 1247, kNotStudied = 1250;

  CTabpageLoginfo(KlvApp& app, MainDialogHost& host, QWidget* parent = nullptr);

  // The checked study method (kNormal, kReview, kFocused) or review target (kStudied,
  // kMistaken, kNotStudied); 0 when none is checked. The setters take an index 0-2.
  int GetCheckedStudyMethod() const;
  bool SetStudyMethod(int index);
  int GetCheckedReviewTarget() const;
  bool SetReviewTarget(int index);
  // The focused-study threshold in percent; 0 when the text is not a number.
  double GetRateThreshold() const;

  // The questions of a study by each method, as the main dialog's selection for this page asks
  // for them. Normal: the next questions of the round in the number chosen (a number out of
  // range is refused with a box, a set without questions said to have none). Review: those studied, answered wrongly or not studied within
  // the chosen period or in the last study. Focused: those whose correct rate is at most the
  // threshold. Each false when there is nothing to study that way.
  bool SelectNormalQuestions(std::deque<int>& out);
  // Each found when chosen that way (perhaps none for a period), missing when there is nothing to
  // choose from, failed when the database could not be read.
  pdb3::FirstRow SelectQuestionsByPeriod(std::deque<int>& out) const;
  pdb3::FirstRow SelectLowRateQuestions(std::deque<int>& out) const;
  // The selection of the checked method, after the page's data are read; a failure said in `say`'s way.
  bool SelectQuestionsForMethod(std::vector<int>& out, FailureReport say);

  // Dialog data: the question count edit (1198) to m_nQuestionCount and back.
  void readData();
  void writeData();

  // What the main dialog's refresh does to this page: the study list of the current round
  // (newest first, at most 30), the counts and the controls that depend on them. Everything the
  // page draws is read here; false when it cannot be read (the figures are drawn as unknown). A
  // count the learner gave stays when `keepGivenCount`; otherwise the count is proposed afresh.
  bool RefreshFromDialog(bool keepGivenCount = false);
  // After a study of `studied` questions: the count becomes the round's rest, the default count
  // and (for a normal study shown on this page) the number just studied, whichever is least.
  void ApplyCountAfterStudy(int studied);

  void UpdateStudyModeControls();
  void FillCountCombo();

  // Commands.
  void OnStudy();
  void OnAllQuestions();
  void ShowQuestionsOfStudy();
  void OnDeleteThisHistory();
  void OnDeleteAllHistory();
  void OnFunctionMenu();

  // The whole page drawn into dc (the page's own surface or a test's image).
  void OnPaint(platform::Dc& dc);
  // One study of the round as the page lists and draws it.
  struct StudyRun {
    int did = -1;
    int endTime = 0;
    int correct = 0;    // first answers
    int incorrect = 0;
  };
  void DrawStudyCounts(platform::Dc& dc, const StudyRun& run, platform::Rect r);
  void DrawRateChart(platform::Dc& dc, platform::Rect r, int selected);
  void DrawProgressBar(platform::Dc& dc, const std::wstring& label, platform::Rect r, int maximum,
                       platform::COLORREF background, int value, platform::COLORREF bar);

  int m_nQuestionCount = 0;
  platform::Rect chartRect() const { return chartRect_; }
  QComboBox& historyList() { return *m_historyList; }
  QMenu& functionMenu() { return *functionMenu_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildControls();
  void layoutControls();
  void OnCountEditChange(const QString& text);
  void OnThresholdEditChange(const QString& text);
  // The focused selection without the shuffle: the drawing counts it without touching the
  // program's random source.
  pdb3::FirstRow lowRateQuestionIds(std::deque<int>& out) const;
  pdb3::FirstRow selectByPeriod(std::deque<int>& out) const;
  // How many questions the review or focused study would take now, for the drawing's bar.
  void countSelection();
  // The log's figures and its latest studies, into the members the drawing reads.
  struct Figures {
    int lid = -1;
    int runs = 0;
    int seconds = 0;
    int strokes = 0;
    int accomplished = 0;
    std::vector<StudyRun> studies;  // newest first
  };
  bool readFigures(Figures& figures) const;
  // The chosen study read whole: missing when it is gone, failed when it cannot be read (its caller
  // says so, as a read or as the change it keeps from being made).
  pdb3::FirstRow readSelectedRun(pdb3::DailyLogRecord& run);
  // The did of the chosen study run; -1 when none is chosen.
  int selectedRunId() const;
  // Runs the statements in one transaction; a failure rolls back and says so.
  bool deleteInTransaction(const std::wstring& first, const std::wstring& second);

  KlvApp& app_;
  MainDialogHost& host_;
  const int splitX_ = 250;
  const int splitY_ = 230;
  platform::Rect chartRect_;
  int totalCorrects_ = 0;    // first answers of the round, as of the last refresh
  int totalIncorrects_ = 0;
  Figures figures_;
  bool figuresRead_ = true;
  int selectionCount_ = -1;  // -1: not known
  bool countGiven_ = false;    // the learner changed the count since a refresh last proposed one
  bool writingCount_ = false;  // the page itself is writing the count

  QComboBox* m_historyList;
  QPushButton* functionButton_;
  QMenu* functionMenu_;
  QRadioButton* methods_[3];
  QRadioButton* targets_[3];
  QComboBox* m_period;
  QComboBox* m_threshold;
  QComboBox* m_count;
  QSpinBox* m_countSpin;
  QPushButton* allButton_;
  QLineEdit* description_;
  QPushButton* studyButton_;
  std::vector<QWidget*> normalControls_, reviewControls_, focusedControls_, historyControls_;
  QWidget* thresholdLabels_[2];
};
