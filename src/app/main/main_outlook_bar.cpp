#include "app/main/main_outlook_bar.h"

#include "app/main/main_dialog.h"

void CMainOutlookBar::OnActivatePage() {
  if (auto* dialog = dynamic_cast<MainDialog*>(GetOwner())) dialog->OnOutlookBarSelect(m_nActivePageID);
}
