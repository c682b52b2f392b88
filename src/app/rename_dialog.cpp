#include "app/rename_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/modal_dialog.h"
#include "platform/notifier.h"

RenameDlg::RenameDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("id154");
  setWindowTitle(QString::fromWCharArray(L"名称の変更"));
  setFixedSize(420, 110);
  auto* prompt = new QLabel(QString::fromWCharArray(L"新しい利用者名を入力してください"), this);
  prompt->setGeometry(10, 10, 400, 20);
  oldName_ = new QLineEdit(this);
  oldName_->setObjectName("id1141");
  oldName_->setReadOnly(true);
  oldName_->setGeometry(10, 36, 180, 24);
  auto* arrow = new QLabel("->", this);
  arrow->setGeometry(198, 36, 24, 24);
  newName_ = new QLineEdit(this);
  newName_->setObjectName("id1023");
  newName_->setGeometry(228, 36, 180, 24);
  auto* ok = new QPushButton(QString::fromWCharArray(L"&OK"), this);
  ok->setObjectName("id1");
  ok->setDefault(true);
  ok->setGeometry(228, 72, 88, 28);
  auto* cancel = new QPushButton(QString::fromWCharArray(L"ｷｬﾝｾﾙ"), this);
  cancel->setObjectName("id2");
  cancel->setGeometry(320, 72, 88, 28);
  connect(ok, &QPushButton::clicked, this, &RenameDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &RenameDlg::reject);
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
