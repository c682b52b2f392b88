// The small name-entry dialogs: the first user's name at the first start, a new user's name, and
// the name of a new problem set.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

// The first start's question for a user name: an existing one from the list (userNames of the
// database), or a new one typed.
class CUserSettingDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CUserSettingDlg(std::vector<std::wstring> names, QWidget* parent = nullptr);

  // Unattended, a dialog without a name takes the login name ($USER).
  int DoModal();
  void OnInitDialog();
  // An empty name is refused with the format-error box and the dialog stays.
  void accept() override;

  std::wstring m_strName;

 private:
  std::vector<std::wstring> names_;
  QComboBox* combo_;
};

// A one-line name entry (edit 1023) shared by the two dialogs below. It opens with m_strName,
// wholly selected, and holds the name typed after OK.
class NameEntryDialog : public QDialog {
  Q_OBJECT

 public:
  int DoModal();
  void OnInitDialog();
  std::wstring m_strName;

 protected:
  NameEntryDialog(int templateId, const wchar_t* title, const wchar_t* prompt, QWidget* parent);
  QLineEdit* edit_;
};

// A new user's name; an empty one is refused.
class CAddUserDlg : public NameEntryDialog {
  Q_OBJECT

 public:
  explicit CAddUserDlg(QWidget* parent = nullptr);
  void accept() override;
};

// The name of a new problem set, offered with the whole text selected; taken as it stands.
class CInputNewSectionNameDlg : public NameEntryDialog {
  Q_OBJECT

 public:
  explicit CInputNewSectionNameDlg(QWidget* parent = nullptr);
  void accept() override;
};
