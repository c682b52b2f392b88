// The main window's navigation bar: its two groups of page buttons, and the page the dialog shows
// follows the group the user opens.
#pragma once

#include "uictl/frames/outlook/outlook_bar.h"

class CMainOutlookBar : public CUxOutlookBar {
 public:
  using CUxOutlookBar::CUxOutlookBar;

  // Tells the owner (the main dialog) which group is open now.
  void OnActivatePage() override;
};
