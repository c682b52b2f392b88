#include "app/shell/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "app/common/modal_dialog.h"
#include "app/shell/program_identity.h"
#include "platform/windows/notifier.h"
#include "uictl/frames/buttons/url_link_button.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setUpDialog(this, 100, L"Kelvara のバージョン情報", 300, 130);
  version_ = dialogControl<QLabel>(this, 1027, QRect(60, 16, 230, 18));
  link_ = dialogControl<CUxURLLinkButton>(this, 1012, QRect(60, 40, 230, 20));
  auto* letter = dialogButton(this, 1272, L"アイコンについて", QRect(16, 92, 120, 26));
  connect(letter, &QPushButton::clicked, this, &CAboutDlg::OnIconLetter);
  auto* ok = dialogButton(this, 1, L"OK", QRect(212, 92, 76, 26));
  // The box opens on its default button, so that Enter closes it.
  setTabOrder(ok, letter);
  ok->setFocus();
}

int CAboutDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void CAboutDlg::OnInitDialog() {
  m_strVersion = std::wstring(L"Kelvara  Version ") + kProgramVersion;
  version_->setText(QString::fromStdWString(m_strVersion));
  const std::wstring address = makerAddress();
  // Without an address of the maker there is nothing to link to: the link is not offered.
  link_->setVisible(!address.empty());
  if (address.empty()) return;
  link_->setText(QString::fromStdWString(address));
  link_->SetURL((address + kProgramVersion).c_str());
  link_->SizeToContent();
  link_->SetTooltip(L"作者のサイトをブラウザから開きます");
}

void CAboutDlg::OnIconLetter() {
  platform::messageBox(this, L"アイコンの「K」は Kelvara の頭文字です。", kAppCaption);
}
