// The choices of a desktop shortcut that starts a study of one problem set: how many questions
// each study asks and in which mode.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QSlider;

class CShortcutOptionDlg : public QDialog {
  Q_OBJECT

 public:
  // questionCount: the set's questions, the upper limit of the count (at most 100 are offered).
  CShortcutOptionDlg(std::wstring setName, int questionCount, QWidget* parent = nullptr);

  int DoModal();
  void OnInitDialog();
  // OnOK: takes the chosen mode.
  void accept() override;

  // The count as the dialog shows it.
  std::wstring countText() const;
  // 0 card, 1 four-choice, 2 four-choice reversed, 3 typing, 4 typing reversed, 5 SpeedReply.
  int m_nMode = 0;

 private:
  std::wstring setName_;
  int questionCount_;
  QSlider* slider_;
  QLabel* setLabel_;
  QLabel* countText_;
  QLabel* rangeLabel_;
  QComboBox* modes_;
};
