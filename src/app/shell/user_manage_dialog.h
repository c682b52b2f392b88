// Managing the users: add, rename, delete, and choosing who studies (the setting user-name).
// Changes to the users are made at once; OK also switches to the selected user, after which the
// caller reloads everything for that user.
#pragma once

#include <QDialog>
#include <string>

class KlvApp;
class QListWidget;

class CUserManageDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CUserManageDlg(KlvApp& app, QWidget* parent = nullptr);

  int DoModal();
  void OnInitDialog();
  // OnOK: the selected user becomes the current one and user-name (after a confirmation when it
  // changes) and the settings are saved. Without a selection, or when the database could not give
  // the user, the dialog stays and the user before stays current.
  void accept() override;
  // Every end of the dialog first tries again a ranking change the file could not take.
  void done(int result) override;

  void OnAddUser();
  void OnRenameUser();
  void OnDeleteUser();
  void OnHelp();

  // The current user's name as the dialog knows it (it follows a rename).
  const std::wstring& currentName() const { return m_strCurrentName; }

 private:
  bool listed(const std::wstring& name) const;
  // False, after saying why, while the list shown is not the database's.
  bool listReadOrSay();
  std::wstring selectedName() const;

  KlvApp& app_;
  std::wstring m_strCurrentName;
  QListWidget* list_;
  bool listRead_ = false;
};
