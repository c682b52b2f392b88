// The result of a study, shown before it is saved: a grade with a face, the figures, each
// question's marks and coming level, and the choice to put the studied questions on the
// smart-learning list.
#pragma once

#include <QDialog>
#include <QPixmap>

#include "database/database_file.h"
#include "study/window/result_figures.h"
#include "study/study_host.h"

class AppSettings;
class QCheckBox;
class QTreeWidget;

namespace study {

class CStudyResultDlg : public QDialog {
  Q_OBJECT

 public:
  // The studied questions' levels are those of userId, shown only while the file keeps memory
  // rates; "add to smart learning" puts them in the problem set smartLearningSetId, and the
  // settings keep that choice; a file without memory rates offers neither.
  CStudyResultDlg(AppSettings& settings, int userId, int smartLearningSetId, pdb3::MemoryRateTable memoryRates,
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
  int addStudiedQuestionsToSmartLearning();

  AppSettings& settings_;
  int userId_;
  int smartLearningSetId_;
  bool levelsKept_;  // the file has the memory-rate table
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
