// Page-button mode of the outlook bar: the row of small page icons at the bottom of the bar
// and the chevron at its end, which offers more or fewer large page buttons.
#pragma once

#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <map>

class CUxOutlookBar;

// Commands of the chevron's menu, and of the small page icons (the first one's; one per icon).
enum OutlookPageCommand : unsigned {
  kCmdShowMorePageButtons = 61952, kCmdShowFewerPageButtons = 61953, kCmdFirstPageIcon = 61955,
};

class COutlookCustomizeButton : public CCustomizeButton {
 public:
  COutlookCustomizeButton() : CCustomizeButton(0, std::wstring()) {}
  // The chevron's own items, then "Show More buttons" and "Show Fewer Buttons".
  platform::MenuHandle ExportToMenu() const override;
  // The popup a click on the chevron opens: the same items as the menu above.
  CUxPopupMenu* CreatePopupMenu() override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
};

class COutlookPageToolBar : public CUxToolBar {
 public:
  explicit COutlookPageToolBar(CUxOutlookBar* owner);

  // Empties the row and fills it with the pages from `firstPage` on.
  void Rebuild(int firstPage);
  // The page a button of the row stands for; -1 for none.
  int PageOfButton(int index) const;

  void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler) override;
  bool SaveState(const std::wstring&, int, unsigned) override { return true; }
  bool LoadState(const std::wstring&, int, unsigned) override { return true; }
  void AdjustLocations() override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  bool GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text) override;
  void OnMouseMove(unsigned flags, platform::Point point) override;
  // The row is not customised: it takes no input while customise mode lasts.
  void OnCustomizeMode(bool set) override;

  std::map<int, unsigned> m_pageOfButton;
  CUxOutlookBar* m_pOwnerBar;
};
