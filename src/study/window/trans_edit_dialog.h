// Correcting one question in place: its question text, up to five answers each with its
// pronunciation, and its hint. The dialog edits a record its caller owns and has loaded; the
// caller saves it.
#pragma once

#include <QDialog>
#include <array>

#include "database/records/question.h"

class QLineEdit;
class QMenu;
class QPlainTextEdit;

namespace study {

class CTransEditDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kAnswerBoxes = 5;
  // Control ids: the question, the answers and pronunciations, the hint.
  static constexpr int kQuestionBox = 1208, kFirstAnswerBox = 1023, kFirstPronunciationBox = 1028, kHintBox = 1101;
  // The edit commands of a box's context menu.
  enum Command { Copy = 137, Undo = 138, Cut = 139, Paste = 140, Delete = 141 };

  CTransEditDlg(pdb3::Question& question, QWidget* parent = nullptr);

  // The context menu of a box: its commands, greyed where they cannot act on the box now.
  void fillContextMenu(QMenu& menu, int controlId);
  // A menu command on the box whose menu was opened last; false when it is no edit command.
  bool OnCommand(int id);

  // OnOK: writes the boxes into the record, or refuses with a message and stays open.
  void accept() override;

 private:
  void showContextMenu(int controlId, const QPoint& at);

  pdb3::Question& question_;
  int menuControl_ = -1;
  QPlainTextEdit* questionBox_;
  QPlainTextEdit* hintBox_;
  std::array<QLineEdit*, kAnswerBoxes> answerBoxes_{};
  std::array<QLineEdit*, kAnswerBoxes> pronunciationBoxes_{};
};

// Lets the user correct the record in the dialog; true when the boxes were written into it (the
// caller saves it).
bool RunQuestionEditDialog(pdb3::Question& question, QWidget* parent);

enum class EditOutcome { Cancelled, Saved, SaveFailed };
// Lets the user correct the loaded record and, on OK, saves it with its change time stamped.
// The caller tells the user how a save went. A record that cannot be read is not offered for
// editing: the user is told why, and the outcome is Cancelled (nothing changed).
EditOutcome EditAndSaveQuestion(pdb3::Question& question, QWidget* parent);
// The same on the question loaded from the accessor.
EditOutcome EditQuestionRecord(const pdb3::DbObject& accessor, int qid, QWidget* parent);

}  // namespace study
