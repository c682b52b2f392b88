#include "uictl/frames/ux_dialog.h"

CUxDialog::CUxDialog(QWidget* parent) : QDialog(parent), m_Impl(this) {}

bool CUxDialog::onCommand(unsigned id, int notifyCode) {
  constexpr unsigned kIdOk = 1, kIdCancel = 2;
  if (m_Impl.OnCommand(id, notifyCode)) return true;
  if (id == kIdOk) accept();
  else if (id == kIdCancel) reject();
  else return false;
  return true;
}

CUxPropertyPage::CUxPropertyPage(QWidget* parent) : QWidget(parent), m_Impl(this) {}

bool CUxPropertyPage::OnSetActive() {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* sheet = dynamic_cast<CUxPropertySheet*>(w)) {
      sheet->OnActivatePage(this);
      break;
    }
  return true;
}
