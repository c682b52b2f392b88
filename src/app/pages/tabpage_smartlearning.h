// The main dialog's smart-learning page: the list of the smart-learning binder (or of the next
// study's questions), adding and removing problem sets, the count and share of new questions of
// a study, the level counts and graphs, and the start of a smart-learning study.
#pragma once

#include <QImage>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "app/pages/id_list_model.h"
#include "app/pages/level_calculation.h"
#include "app/pages/level_graphs.h"
#include "app/pages/smart_selection.h"
#include "database/records/question.h"
#include "services/database_failure.h"

class KlvApp;
class MainDialogHost;
class NumberEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTableView;
class WordAfterInput;
namespace platform {
class Dc;
}

class CTabpageSmartlearning : public QWidget, public IdRowSource {
  Q_OBJECT

 public:
  CTabpageSmartlearning(KlvApp& app, MainDialogHost& host, QWidget* parent = nullptr);
  ~CTabpageSmartlearning() override;

  // Questions added to the list from the element (a folder: every set below it); -1 for the root
  // or a failure (after its message).
  int AddToSmartLearning(int eid);
  // The list's question ids read again (the rows in view are read when they are about to show);
  // false (after saying so) when they cannot be read: then they are read again at the next show or
  // refresh. Off screen the page reads nothing: the list is read when the page is next shown.
  bool ReloadQuestionList();
  // False, the chosen set unchanged, when the count is not a number from 0 to 1000, or when the
  // rates cannot be read (after saying so through `say`; the choice is then made again when next
  // needed).
  bool DoAutoSelect(FailureReport say);
  // The chosen questions, shuffled when random-reply is on; true when there are any. False, after
  // saying why through `say`, also when no choice could be made: none is taken for an empty one.
  bool CollectQuestionIds(std::vector<int>& out, FailureReport say);
  // Reads the level counts the page draws and starts the level history's calculation; false
  // (after saying so, the history as it was until the next show or refresh starts it again) when
  // the counts cannot be read, or the file the program has open is no longer the one at its path.
  // Off screen, that waits until the page is next shown.
  bool StartLevelCalcThread();
  // Reads again the rows' questions and figures, the level counts and the bar's, after something
  // outside the page may have changed them (the editor, a study, an edit on another page), and the
  // list, the choice or the level history whole when they could not be read before, or were
  // dropped; false (the counts then shown as unknown) when the counts cannot be read. Off screen it
  // only forgets what it read: the refresh that shows the page reads them.
  bool RefreshFromFile();
  // Another file is open, or another learner chosen: everything the page read (the list, the
  // choice, the rows' figures, the counts, the forgetting curve and the level history, a count
  // under way too) is dropped at once and read again by the refresh that follows, or when the page
  // is next shown.
  void OnFileOrUserChanged();

  void OnAddSet();
  void OnStartSmartLearning();
  void OnToggleAll();
  void OnRemoveSets();
  void OnColumnClick(int column);
  void OnPeriodChange();

  // The page's own drawing (counts, graph, bar) as it appears under its controls.
  QImage paintImage();
  // The display period in days.
  int periodDays() const;

  // The list's rows; the image marks the chosen questions.
  int listRowCount() const override { return static_cast<int>(shownIds_.size()); }
  bool rowText(int row, int column, std::wstring& text) override;
  int rowImage(int row) override;
  bool readRows(int first, int last, RowRead why) override;

  const std::set<int>& chosen() {
    ensureChosen(reportFailedRead);
    return chosen_;
  }
  const std::vector<int>& shownIds() const { return shownIds_; }
  bool allMode() const { return allMode_; }
  smart::LevelCalculator& levelCalculator() { return calculator_; }
  QTableView& list() { return *list_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitDialog();
  // Whether the open file has the smart-learning set and the memory rates it is studied by; while
  // it has not, the page reads neither and shows no list, no counts and no history.
  bool smartLearningOn() const;
  // False, after saying why, when the database holds no smart-learning set to work on (one it could
  // not give before for a cause that passes is asked for again).
  bool smartLearningAvailable();
  // What the page read under the other state is dropped once a reload, or a list made since, has
  // changed it. On screen, a list not had for a cause that passes is asked for first.
  void followSmartLearningState();
  // After sets were added to the list or removed from it: the next study's questions chosen again,
  // then the list and the level history read again.
  void showChangedList();
  // Drops all the page read; it is read again at the next refresh or show.
  void forgetWhatWasRead();
  // The page's first choice is made when it is first needed (shown, listed or studied), so that
  // choosing from a large list does not hold up the main window's start; a choice that could not
  // be read is made again when next needed. False, after saying why, when it cannot be made.
  bool ensureChosen(FailureReport say);
  // The count edit and slider into the members; false after the validation message.
  bool exchangeControls();
  void OnEnChangeNSelectEdit();
  void OnSliderMoved(int position);
  void UpdateAllButtonText();
  const pdb3::Question* cachedQuestion(int row) const;
  // Shows the ids; their questions and memory rates are read for the rows in view.
  void setShownIds(std::vector<int> ids);
  // The forgetting curve's studies of the selected question, read when the selection changes.
  void readCurve();
  // Says why the database refused the action (an action that reads in several steps says it once).
  void tellFailure(const std::wstring& what);
  void layoutControls();
  // Where the hint that points at the add button starts: in the row of controls under the list,
  // just left of the button, when the row has room for it; else on a line of its own above the row.
  QPoint hintPosition(const std::wstring& hint) const;
  void paintPage(platform::Dc& dc);
  // The list's questions of the current user by level group, as the page shows them, and the
  // list's size and learned count for the graph's scale. False when they cannot be read.
  bool readLevelCounts();
  // The counts are not known (drawn as such) until they are read again.
  void forgetLevelCounts();

  KlvApp& app_;
  MainDialogHost& host_;
  IdListModel model_;
  QTableView* list_;
  std::vector<int> shownIds_;
  bool listKnown_ = false;  // false until read, and while it cannot be
  std::set<int> chosen_;
  bool choicePending_ = false;
  // What the list and the drawing show, read when the rows come into view or the page refreshes:
  // a paint never waits for the database.
  std::map<int, pdb3::Question> questionCache_;
  smart::RateMapType rates_;
  bool rowsRefused_ = false;  // the last read of the rows in view failed
  std::vector<int> levelCounts_ = std::vector<int>(7, -1);  // -1: not known
  int listCount_ = -1;
  int learnedCount_ = -1;
  std::vector<smart::StudyPoint> curve_;
  int curveQid_ = -1;
  // Asked for while the page was off screen, or not read for a failure: done when it is shown
  // (the list and the history also at a refresh).
  bool listStale_ = true;
  bool levelsStale_ = true;
  unsigned count_ = 10;
  int slider_ = 1;
  std::wstring sliderText_ = L"中";
  bool allMode_ = true;
  bool initialised_ = false;
  bool readWhileOn_ = true;  // the state the page's contents were read under
  bool hintBeside_ = true;
  smart::LevelCalculator calculator_;
  bool levelsStartedQuietly_ = false;  // the running count was started by a read tried again by itself
  WordAfterInput* afterInput_;  // the page's child: what reading the rows in view finds

  QPushButton* allButton_;
  QPushButton* addButton_;
  QPushButton* removeButton_;
  QPushButton* studyButton_;
  NumberEdit* countEdit_;
  QSlider* sliderControl_;
  QLabel* sliderLabel_;
  QComboBox* period_;
  QRadioButton* levelRadio_;
  QRadioButton* curveRadio_;
  QCheckBox* zoom_;
  std::vector<QWidget*> groups_;
  std::vector<QLabel*> labels_;
};
