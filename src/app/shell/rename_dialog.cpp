#include "app/shell/rename_dialog.h"

#include <QLineEdit>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"

RenameDlg::RenameDlg(QWidget* parent) : QDialog(parent) {
  setUpDialog(this, 154, L"名称の変更", 420, 110);
  dialogText(this, L"新しい利用者名を入力してください", QRect(10, 10, 400, 20));
  oldName_ = readOnlyField(dialogControl<QLineEdit>(this, 1141, QRect(10, 36, 180, 24)));
  dialogText(this, L"->", QRect(198, 36, 24, 24));
  newName_ = dialogControl<QLineEdit>(this, 1023, QRect(228, 36, 180, 24));
  dialogButton(this, 1, L"&OK", QRect(228, 72, 88, 28));
  dialogButton(this, 2, L"ｷｬﾝｾﾙ", QRect(320, 72, 88, 28));
}

void RenameDlg::OnInitDialog() {
  oldName_->setText(QString::fromStdWString(m_strOldName));
  newName_->setText(QString::fromStdWString(m_strNewName));
  newName_->setFocus();
}

int RenameDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void RenameDlg::accept() {
  m_strNewName = newName_->text().toStdWString();
  if (m_strNewName.empty()) {
    platform::messageBox(this, L"新しい利用者名を入力してください。", kAppCaption);
    return;
  }
  QDialog::accept();
}
