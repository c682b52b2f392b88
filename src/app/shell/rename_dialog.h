// Asks for a new name beside the old one (used to rename a user).
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

class RenameDlg : public QDialog {
  Q_OBJECT

 public:
  explicit RenameDlg(QWidget* parent = nullptr);

  // Shows m_strOldName; after OK m_strNewName holds the name typed.
  int DoModal();
  // Puts the members into the controls (DoModal does it first).
  void OnInitDialog();
  // OnOK: an empty new name is refused with a message and the dialog stays.
  void accept() override;

  std::wstring m_strOldName;
  std::wstring m_strNewName;

 private:
  QLineEdit* oldName_;
  QLineEdit* newName_;
};
