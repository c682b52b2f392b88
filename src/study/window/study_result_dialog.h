// The result of a study, shown before it is saved: a grade with a face, the figures, each
// question's marks and coming level, and the choice to put the studied questions on the
// smart-learning list.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

#include "database/database_file.h"
#include "study/window/result_figures.h"
#include "study/study_host.h"

class AppSettings;
class QCheckBox;
class QTreeWidget;

namespace study {

// The smart-learning list as the end of a study finds it.
struct SmartLearningList {
  int setId = -1;  // -1 while the file has given none
  // The file has no smart learning for as long as it is open: no memory rates, or a list it
  // refuses for good (its own trigger, a file that cannot be written).
  bool unavailable = false;
  // Asks the file again, as OK's own, for a list a cause that passes (another program's lock, a
  // full disk) kept from being made, saying why with its cause when it still cannot: the list's
  // id, or -1.
  std::function<int(QWidget& owner)> askAgain;
};

class CStudyResultDlg : public QDialog {
  Q_OBJECT

 public:
  // The studied questions' levels are those of userId, shown only while the file keeps memory
  // rates; "add to smart learning" puts them in the list, and the settings keep that choice; a file
  // without smart learning offers neither.
  CStudyResultDlg(AppSettings& settings, int userId, SmartLearningList list, pdb3::MemoryRateTable memoryRates,
                  const StudyOutcome& outcome, QWidget* parent = nullptr);

  void accept() override;  // OnOK
  // A study begun on the smart-learning page has nothing to add to that list: the check box is
  // greyed, its state kept.
  void setStartedFromSmartLearningPage(bool started);
  // Questions added to the smart-learning list by the last OK; -1 when that failed.
  int addedCount() const { return added_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void FillResultList();
  void OnAddCheckClicked();
  // Corrects the question of the focused row.
  void OnListDblClk();
  // The list OK adds to: -1, after saying why, when the file still gives none.
  int listToAddTo();
  int addStudiedQuestionsToSmartLearning();

  AppSettings& settings_;
  int userId_;
  SmartLearningList smartList_;
  bool levelsKept_;  // the file has the memory-rate table
  bool listOffered_;  // the file may have a list to add to
  const pdb3::DailyLogRecord& record_;
  int mode_;
  unsigned typedCharacters_;
  unsigned replyMs_;
  AnswerTally all_;
  QPixmap faces_;
  QTreeWidget* list_;
  QCheckBox* addCheck_;
  int added_ = 0;
};

}  // namespace study
