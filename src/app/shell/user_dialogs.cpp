#include "app/shell/user_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/window_helpers.h"

CUserSettingDlg::CUserSettingDlg(std::vector<std::wstring> names, QWidget* parent)
    : QDialog(parent), names_(std::move(names)) {
  setUpDialog(this, 152, L"利用者の設定", 360, 130);
  dialogText(this, L"利用者名を入力するか、一覧から選んでください。", QRect(10, 10, 340, 20));
  combo_ = dialogControl<QComboBox>(this, 1132, QRect(10, 40, 340, 26));
  combo_->setEditable(true);
  dialogButton(this, 1, L"OK", QRect(170, 90, 88, 28));
  dialogButton(this, 2, L"キャンセル", QRect(262, 90, 88, 28));
}

void CUserSettingDlg::OnInitDialog() {
  ForceForegroundWindow(this);
  combo_->clear();
  for (const std::wstring& name : names_) combo_->addItem(QString::fromStdWString(name));
  if (combo_->count() > 0) combo_->setCurrentIndex(0);
}

int CUserSettingDlg::DoModal() {
  OnInitDialog();
  if (std::getenv("KELVARA_AUTOANSWER") && combo_->currentText().isEmpty()) {
    if (const char* login = std::getenv("USER")) combo_->setEditText(QString::fromUtf8(login));
  }
  return runModalDialog(*this);
}

void CUserSettingDlg::accept() {
  m_strName = combo_->currentText().toStdWString();
  if (m_strName.empty()) {
    platform::messageBox(this,
                         L"利用者名が記入されていません\n\n解決策：\n ・新しく始めるときは、利用者名を記入してください。\n"
                         L" ・以前の利用履歴を引き継ぐ場合は、リストから選んでください。",
                         L"利用者名の書式エラー", platform::MbIconWarning);
    return;
  }
  QDialog::accept();
}

NameEntryDialog::NameEntryDialog(int templateId, const wchar_t* title, const wchar_t* prompt, QWidget* parent)
    : QDialog(parent) {
  setUpDialog(this, templateId, title, 320, 120);
  dialogText(this, prompt, QRect(10, 10, 300, 20));
  edit_ = dialogControl<QLineEdit>(this, 1023, QRect(10, 38, 300, 24));
  dialogButton(this, 1, L"OK", QRect(130, 80, 88, 28));
  dialogButton(this, 2, L"キャンセル", QRect(222, 80, 88, 28));
}

void NameEntryDialog::OnInitDialog() {
  offerText(edit_, QString::fromStdWString(m_strName));
}

int NameEntryDialog::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

CAddUserDlg::CAddUserDlg(QWidget* parent)
    : NameEntryDialog(155, L"利用者の追加", L"新しい利用者名を入力してください", parent) {}

void CAddUserDlg::accept() {
  m_strName = edit_->text().toStdWString();
  if (m_strName.empty()) {
    platform::messageBox(this, L"新しい利用者名を入力してください。", kAppCaption);
    return;
  }
  QDialog::accept();
}

CInputNewSectionNameDlg::CInputNewSectionNameDlg(QWidget* parent)
    : NameEntryDialog(283, L"新しい問題集", L"新しい問題集の名前を入力してください", parent) {}

void CInputNewSectionNameDlg::accept() {
  m_strName = edit_->text().toStdWString();
  QDialog::accept();
}
