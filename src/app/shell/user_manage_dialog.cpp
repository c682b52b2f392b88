#include "app/shell/user_manage_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/common/settings_save.h"
#include "app/shell/rename_dialog.h"
#include "app/shell/user_dialogs.h"
#include "app/shell/user_records.h"
#include "database/logs/users.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/point_info_store.h"

namespace {

QString qs(const std::wstring& text) { return QString::fromStdWString(text); }

void tell(QWidget* owner, const std::wstring& text) { platform::messageBox(owner, text, kAppCaption); }

}  // namespace

CUserManageDlg::CUserManageDlg(KlvApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setUpDialog(this, 153, L"利用者の管理", 420, 260);
  dialogText(this, L"利用者一覧", QRect(10, 8, 220, 20));
  list_ = dialogControl<QListWidget>(this, 1138, QRect(10, 30, 230, 220));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A double-click on a user acts as OK.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  const struct {
    int id;
    const wchar_t* text;
    void (CUserManageDlg::*handler)();
  } buttons[] = {{1012, L"利用者の追加(&A)...", &CUserManageDlg::OnAddUser},
                 {1135, L"利用者の名称変更(&R)...", &CUserManageDlg::OnRenameUser},
                 {1136, L"利用者の削除(&D)...", &CUserManageDlg::OnDeleteUser},
                 {1140, L"ヘルプ", &CUserManageDlg::OnHelp}};
  int y = 30;
  for (const auto& button : buttons) {
    connect(dialogButton(this, button.id, button.text, QRect(252, y, 158, 28)), &QPushButton::clicked, this,
            button.handler);
    y += 34;
  }
  dialogButton(this, 1, L"OK", QRect(252, 186, 158, 28));
  dialogButton(this, 2, L"キャンセル", QRect(252, 222, 158, 28));
}

int CUserManageDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void CUserManageDlg::OnInitDialog() {
  list_->clear();
  m_strCurrentName = app_.settings->userName.value;
  const auto names = userNames(pdb3::openQuery(app_.db));
  listRead_ = names.has_value();
  if (!names) {
    reportFailedRead(this, L"利用者の一覧を読み込めませんでした。");
    return;
  }
  for (const std::wstring& name : *names) list_->addItem(qs(name));
  const QList<QListWidgetItem*> current = list_->findItems(qs(m_strCurrentName), Qt::MatchExactly);
  if (!current.isEmpty()) list_->setCurrentItem(current.front());
}

bool CUserManageDlg::listReadOrSay() {
  if (!listRead_)
    tell(this, L"利用者の一覧を読み込めなかったので、利用者の追加や名称変更はできません。"
               L"ダイアログを開き直してください。");
  return listRead_;
}

bool CUserManageDlg::listed(const std::wstring& name) const {
  return !list_->findItems(qs(name), Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
}

std::wstring CUserManageDlg::selectedName() const {
  const QListWidgetItem* item = list_->currentItem();
  return item && item->isSelected() ? item->text().toStdWString() : std::wstring();
}

void CUserManageDlg::OnHelp() {
  platform::messageBox(this,
                       L"・新しい利用者を作るには「利用者の追加」ボタンを押してください。\n"
                       L"・名称を変更するには「利用者の名称変更」ボタンを押してください。\n"
                       L"・既存の利用者を削除するには「利用者の削除」ボタンを押してください。\n"
                       L"・利用者を変更するには、一覧から利用者を選び、OKボタンを押してください。",
                       L"簡易ヘルプ", platform::MbIconInformation);
}

namespace {

// False after telling why the name was not written.
bool writtenOrSay(QWidget* owner, pdb3::UserWrite outcome, const wchar_t* failure) {
  if (outcome == pdb3::UserWrite::nameTaken) tell(owner, L"既にその名前は存在します。");
  if (outcome == pdb3::UserWrite::failed) reportUnmadeChange(owner, failure);
  return outcome == pdb3::UserWrite::done;
}

}  // namespace

void CUserManageDlg::OnAddUser() {
  if (!listReadOrSay()) return;
  CAddUserDlg dialog(this);
  if (dialog.DoModal() != platform::IdOk) return;
  if (listed(dialog.m_strName)) {
    tell(this, L"既にその名前は存在します。");
    return;
  }
  if (!writtenOrSay(this, pdb3::addUserIfNameFree(pdb3::openQuery(app_.db), dialog.m_strName), L"失敗しました。"))
    return;
  list_->addItem(qs(dialog.m_strName));
}

void CUserManageDlg::OnRenameUser() {
  const std::wstring oldName = selectedName();
  if (oldName.empty() || !listReadOrSay()) return;
  RenameDlg dialog(this);
  dialog.m_strOldName = oldName;
  if (dialog.DoModal() != platform::IdOk || dialog.m_strNewName == oldName) return;
  // Two users of one name could no longer be told apart.
  if (listed(dialog.m_strNewName)) {
    tell(this, L"既にその名前は存在します。");
    return;
  }
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  if (!writtenOrSay(this, pdb3::renameUserIfNameFree(accessor, pdb3::userIdByName(accessor, oldName), dialog.m_strNewName),
                    L"変更に失敗しました"))
    return;
  // The ranking account (id, password, unsent points) is the learner's, whatever they are called:
  // the new name gets a copy, and the old name keeps its own for the database files where a learner
  // still has it. A name with an account of its own keeps that one, which the learner should know.
  if (app_.pointInfo.findIndex(dialog.m_strNewName) >= 0)
    tell(this, L"「" + dialog.m_strNewName +
                   L"」にはランキングのアカウントが既にあるので、これからはそのアカウントを使います。");
  else if (app_.pointInfo.copyRecord(oldName, dialog.m_strNewName))
    app_.SaveRankingOrSay(this);
  if (m_strCurrentName == oldName) m_strCurrentName = dialog.m_strNewName;
  // The setting must follow at once: a Cancel later would leave it naming nobody.
  AppSettings& settings = *app_.settings;
  if (settings.userName.value == oldName) {
    settings.userName.value = dialog.m_strNewName;
    saveSettingsOrSay(settings, this);
  }
  list_->currentItem()->setText(qs(dialog.m_strNewName));
  list_->currentItem()->setSelected(true);
}

void CUserManageDlg::OnDeleteUser() {
  if (list_->count() == 1) {
    tell(this, L"利用者が１人しかいないので、削除できません。まず最初に利用者を追加してください。");
    return;
  }
  const std::wstring name = selectedName();
  if (name.empty()) return;
  if (name == m_strCurrentName) {
    tell(this, L"現在の利用者は削除できません。");
    return;
  }
  if (platform::messageBox(this,
                           L"利用者 " + name + L" を削除してもよろしいですか？\n\n＜注意＞" + name +
                               L" さんの履歴は全て削除されます。",
                           L"削除警告", platform::MbYesNo) != platform::IdYes)
    return;
  if (!deleteUserByName(pdb3::openQuery(app_.db), name, app_.memoryRates)) {
    reportUnmadeChange(this, L"削除に失敗しました");
    return;
  }
  // The ranking account stays: the name may still be a learner's in another database file, and an
  // account the server holds could not be had back.
  delete list_->takeItem(list_->currentRow());
}

void CUserManageDlg::done(int result) {
  // A ranking change the file could not take was said then; the learner may have freed the disk
  // since, and a switch of user should not leave it to the end of the run.
  const std::wstring& ranking = app_.settings->irankDatafilePath.value;
  if (app_.pointInfo.saveOwed(ranking)) app_.pointInfo.save(ranking);
  QDialog::done(result);
}

void CUserManageDlg::accept() {
  const std::wstring name = selectedName();
  if (name.empty()) {
    tell(this, L"利用者を選択してください。");
    return;
  }
  if (name != m_strCurrentName) {
    if (platform::messageBox(this, L"利用者を" + name + L"に変更しますか？", L"変更確認", platform::MbYesNo) !=
        platform::IdYes)
      return;
    // Nobody is studied as a user the database could not give: the user before stays, and the
    // learner may try again or cancel.
    if (!app_.SelectUser(name)) {
      reportUnmadeChange(this, L"利用者を変更できませんでした。");
      return;
    }
  }
  app_.settings->userName.value = name;
  // The switch holds for this run even when it cannot be kept for the next.
  saveSettingsOrSay(*app_.settings, this);
  QDialog::accept();
}
