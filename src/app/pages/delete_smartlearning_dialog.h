// Takes out of the smart-learning list every question that came from one problem set. The list
// does not remember where its questions came from, so every set that shares a question with it
// is offered.
#pragma once

#include <QDialog>
#include <vector>

class KlvApp;
class QListWidget;

class CDeleteSmartlearningQuestionDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDeleteSmartlearningQuestionDlg(KlvApp& app, QWidget* parent = nullptr);

  // IdOk after a removal, else IdCancel (also when there is nothing to offer).
  int DoModal();
  // Lists the candidate sets; false (after its message) when there are none to offer.
  bool OnInitDialog();
  // OnOK: asks, then removes the chosen set's questions from the list. A removal that fails
  // says so and the dialog stays.
  void accept() override;

  QListWidget& list() { return *list_; }

 private:
  KlvApp& app_;
  QListWidget* list_;
};
