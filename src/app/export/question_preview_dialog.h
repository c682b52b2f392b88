// A list of questions read over as aligned rows of text (question texts on the left, answers in
// a column to their right, in a fixed-pitch font), with the column width chosen by the user.
// From a row the question can be searched for, pronounced, edited and looked up in a web dictionary.
#pragma once

#include <QDialog>
#include <deque>
#include <string>
#include <vector>

#include "database/records/question.h"

class KlvApp;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;

class QuestionPreviewDlg : public QDialog {
  Q_OBJECT

 public:
  // The questions are read once here; the rows are rebuilt from them without reading again.
  QuestionPreviewDlg(KlvApp& app, const std::deque<int>& ids, const std::wstring& title, QWidget* parent = nullptr);

  int columnWidth() const { return m_nColumnWidth; }
  // Shows the rows; when the questions could not be read, says so instead of showing blank rows.
  int DoModal();

  // Rebuilds the rows with the current width.
  void Refill();

  void OnOptimalWidth();
  void OnEdit();
  void OnSearch();
  void OnPronounce();
  // A command of the rows' pop-up menu, the web dictionaries' among them.
  void OnMenuCommand(int command);
  void done(int result) override;  // keeps the column width for the next opening

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyTypedWidth();
  // The typed width becomes the chosen one (the width edit got the focus).
  void OnWidthEditFocused();
  void OnRadioClicked(int id);
  void OnBlankLineClicked();
  void showContextMenu(const QPoint& globalPos);
  void layoutControls();
  // The selected row, else the top one; null when that row shows no question.
  pdb3::Question* selectedQuestion();

  KlvApp& app_;
  std::vector<pdb3::Question> questions_;
  bool questionsRead_ = false;
  bool m_bInitializing = true;
  bool silenceTold_ = false;  // why the words are not heard, said once
  int m_nColumnWidth = 0;
  std::wstring m_strTitle;
  QListWidget* m_list;
  QCheckBox* blankLine_;
  QButtonGroup* widths_;
  QLineEdit* widthEdit_;
  QWidget* rightColumn_;
};
