// A combo box on a horizontal toolbar. The button keeps the item texts, their data, the
// selection and the shown text while no control exists, copies them with itself and stores them
// in archives; every button of the same command shows the same text and selection. The user's
// picks and typing reach the bar's owner as the command with the combo's notification code. On
// a vertical bar the control hides and the button looks plain.
#pragma once

#include "uictl/bars/buttons/toolbar_button.h"

#include <QPointer>
#include <cstdint>

#include <QComboBox>

// Notification codes of a combo box.
enum ComboNotification : int {
  CbnSelChange = 1, CbnDblClk = 2, CbnSetFocus = 3, CbnKillFocus = 4, CbnEditChange = 5, CbnEditUpdate = 6,
  CbnDropDown = 7, CbnCloseUp = 8, CbnSelEndOk = 9, CbnSelEndCancel = 10,
};

class CUxToolbarComboBoxButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarComboBoxButton)

 public:
  CUxToolbarComboBoxButton();
  CUxToolbarComboBoxButton(unsigned commandId, int image, unsigned comboStyle = kDropDownList, int width = 0);
  ~CUxToolbarComboBoxButton() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  bool OnClick(QWidget* wnd, bool delay = true) override;
  void OnChangeParentWnd(QWidget* parent) override;
  bool GetTextFromResource(CUxToolbarButton& target) override;
  void OnMove() override { AdjustRect(); }
  void OnSize(int width) override;
  QWidget* GetHwnd() override;
  bool CanBeResized() const override { return true; }
  bool NotifyCommand(int notifyCode) override;
  void OnAddToCustomizePage() override;
  void* OnCtlColor(platform::Dc* dc, unsigned ctlColor) override;
  void OnGlobalFontsChanged() override;
  int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected) override;
  void OnShow(bool show) override;
  void SetStyle(unsigned style) override;
  bool IsWindowVisible() override;
  bool HasFocus() override;

  virtual QComboBox* CreateComboWindow(QWidget* parent, const platform::Rect& rect);
  virtual void SerializeItems(platform::Archive& ar);
  virtual void DuplicateItemData() {}
  virtual void ReleaseItemData() {}
  virtual bool IsSelectionSynced() const { return true; }

  // Index of the last item.
  int AddItem(const std::wstring& text, uintptr_t data = 0);
  // Null for none; -1 is the current selection. Valid until the items change.
  const wchar_t* GetItem(int index = -1) const;
  // The window's value (kComboError for an index it lacks), or the kept one (0 outside the list).
  uintptr_t GetItemData(int index = -1) const;
  int GetCount() const { return static_cast<int>(m_itemTexts.size()); }
  bool SelectItem(int index, bool notify = true);
  QComboBox* GetComboBox() const { return m_pComboWnd; }
  const std::wstring& GetText() const { return m_strCurrent; }
  void AdjustRect();

  // Child, visible, vertical scroll bar: or-ed into every style given.
  static constexpr unsigned kChildVisibleScroll = 0x50200000u;
  static constexpr unsigned kDropDownList = 0x3;
  static constexpr unsigned kDropDown = 0x2;
  static constexpr unsigned kDefaultStyle = 0x50200403u;
  static constexpr uintptr_t kComboError = static_cast<uintptr_t>(-1);
  // The flat look of every combo button; never on here.
  static bool g_bFlatCombos;

  unsigned m_dwComboStyle = kDefaultStyle;
  QPointer<QComboBox> m_pComboWnd;
  std::vector<std::wstring> m_itemTexts;
  std::vector<uintptr_t> m_itemData;
  int m_nWidth = 150;
  int m_nSelected = -1;
  // Not archived: writer and reader must agree.
  bool m_bStoreItems = true;
  bool m_bOnHorzBar = true;
  std::wstring m_strCurrent;
  platform::Rect m_rectControl;
  int m_nListHeight = 150;

 protected:
  // Width, style, selection, shown text and list height, as both archive forms begin.
  void serializeFields(platform::Archive& ar);
  // The kept lists become the window's items.
  void takeItemsFromWindow();
  // Shows text in the window without notifying.
  void setWindowText(const std::wstring& text);
  void destroyCombo();

 private:
  void connectNotifications();
};
