// A command button on a page of the outlook bar: a large image with its label under it (or
// beside it on a horizontal bar), belonging to one page of the bar.
#pragma once

#include "uictl/bars/buttons/toolbar_button.h"

class CUxOutlookBar;

class CUxOutlookButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxOutlookButton)

 public:
  CUxOutlookButton();

  void Serialize(platform::Archive& archive) override;
  // Only an outlook bar takes an outlook button.
  bool CanBeDroppedOn(CUxToolBar* bar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  void OnChangeParentWnd(QWidget* parent) override;
  // Equal commands on different pages are different buttons.
  bool CompareWith(const CUxToolbarButton& other) const override;
  // The index is the bar's own image; no command manager is asked.
  void SetImage(int image) override { m_iImage = image; }

  CUxOutlookBar* m_pWndParentBar = nullptr;
  unsigned m_dwPageID = 0;
  // The label is centred and may wrap.
  bool m_bWordWrap = true;
};
