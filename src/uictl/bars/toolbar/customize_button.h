// The chevron at the end of a toolbar, which stands for the buttons that did not fit and for
// the bar's customise entry, and the show-all item at the end of a shortened popup menu.
#pragma once

#include "uictl/bars/buttons/toolbar_menu_button.h"

#include <string>
#include <vector>

class CUxToolBar;

class CCustomizeButton : public CUxToolbarMenuButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CCustomizeButton)

 public:
  CCustomizeButton() = default;
  CCustomizeButton(int customizeCmdId, const std::wstring& customizeText);

  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  void OnChangeParentWnd(QWidget* parent) override;
  void OnCancelMode() override;
  bool CanBeStored() const override { return false; }
  bool IsEditable() const override { return false; }
  bool HasBorder() const override { return false; }
  bool IsEmptyMenuAllowed() const override { return true; }
  CUxPopupMenu* CreatePopupMenu() override;
  // Runs the hidden button the chosen item of the chevron's popup was made from.
  virtual bool InvokeHiddenButton(QWidget* menuBar, const CUxToolbarButton* item);

  platform::Size GetExtraSize() const { return m_bUseExtraSize ? m_sizeExtra : platform::Size{}; }
  void SetExtraSize(platform::Size size) { m_sizeExtra = size; }
  // The bar's buttons that did not fit, in bar order; the bar owns them.
  std::vector<CUxToolbarButton*>& GetInvisibleButtons() { return m_lstInvisibleButtons; }
  // The bar is about to delete one of its buttons: the chevron stops listing it, and an item of
  // the open popup made from it no longer reaches it.
  void ForgetButton(const CUxToolbarButton* button);
  void SetEmpty(bool empty) { m_bIsEmpty = empty; }
  bool IsEmpty() const { return m_bIsEmpty; }
  void SetCustomizeCmd(int id, const std::wstring& text) {
    m_iCustomizeCmdId = id;
    m_strCustomizeText = text;
  }
  // Whether the chevron shows anything: a customise entry or buttons that did not fit.
  bool HasContent() const { return m_iCustomizeCmdId > 0 || !m_lstInvisibleButtons.empty(); }

  int m_iCustomizeCmdId = 0;
  std::wstring m_strCustomizeText;
  CUxToolBar* m_pWndParentToolbar = nullptr;
  bool m_bIsEmpty = false;
  platform::Size m_sizeExtra;
  std::vector<CUxToolbarButton*> m_lstInvisibleButtons;
  bool m_bUseExtraSize = true;
  bool m_bMenuRightAlign = true;

 private:
  // Each item of the open popup, to the hidden button it was made from.
  std::vector<std::pair<const CUxToolbarButton*, CUxToolbarButton*>> m_itemSources;
};

// Whether pausing on the show-all item shows every command (on by default).
bool& showAllOnPause();

class CUxShowAllButton : public CUxToolbarMenuButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxShowAllButton)

 public:
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  bool OnClick(QWidget* wnd, bool delay = true) override;
  bool OnToolHitTest(const QWidget* wnd, ToolInfo* info) const override;
  bool OpenPopupMenu(QWidget* wnd = nullptr) override { return OnClick(wnd, false); }
};
