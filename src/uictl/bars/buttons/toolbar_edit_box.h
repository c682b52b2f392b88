// A single-line edit control on a horizontal toolbar. The button keeps the text while no
// control exists, shows the same text in every box of its command on every bar, and reports
// typing as its command. On a vertical bar the control hides and the button looks plain.
#pragma once

#include "uictl/bars/buttons/toolbar_button.h"

#include <QLineEdit>
#include <QPointer>

class CUxToolbarEditBoxButton;

class ToolbarEditCtrl : public QLineEdit {
 public:
  ToolbarEditCtrl(CUxToolbarEditBoxButton& owner, QWidget* parent);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void setHot(bool hot);
  CUxToolbarEditBoxButton& m_owner;
  bool m_bTracked = false;
};

class CUxToolbarEditBoxButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarEditBoxButton)

 public:
  CUxToolbarEditBoxButton() = default;
  CUxToolbarEditBoxButton(unsigned commandId, int image, unsigned style = kDefaultStyle, int width = 0);
  ~CUxToolbarEditBoxButton() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  bool OnClick(QWidget* wnd, bool delay = true) override;
  void OnChangeParentWnd(QWidget* parent) override;
  void OnGlobalFontsChanged() override;
  void OnMove() override;
  void OnSize(int width) override;
  QWidget* GetHwnd() override { return m_pWndEdit; }
  bool CanBeResized() const override { return true; }
  bool NotifyCommand(int notifyCode) override;
  void OnAddToCustomizePage() override;
  void* OnCtlColor(platform::Dc* dc, unsigned ctlColor) override;
  bool HasBorder() const override { return !m_pWndEdit || m_pWndEdit->isHidden(); }
  int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected) override;
  void OnShow(bool show) override;
  void SetStyle(unsigned style) override;

  virtual QLineEdit* CreateEdit(QWidget* parent, const platform::Rect& rect);
  // Equal text in another letter case leaves the control alone.
  virtual void SetContents(const std::wstring& text);
  virtual void GetEditBorder(platform::Rect& rect) const;

  const std::wstring& GetContents() const { return m_strContents; }
  QLineEdit* GetEditBox() const { return m_pWndEdit; }
  // The box takes the colours its owner answers for it: when made, and again whenever the
  // desktop's colours change, so that it never stays a white box on a bar that has turned dark.
  // Disabled, it writes in the desktop's grey, as a disabled edit control does.
  void TakeOwnerColours();

  // Child, visible, automatic horizontal scrolling.
  static constexpr unsigned kDefaultStyle = 0x50000080u;
  static constexpr unsigned kWsDisabled = 0x08000000u;
  static constexpr int kNotifyUpdate = 0x400;
  // Draw the edit border only while the mouse is over the box or it has the focus.
  static bool hotEditBorderOnly;

  unsigned m_dwStyle = kDefaultStyle;
  QPointer<ToolbarEditCtrl> m_pWndEdit;
  std::wstring m_strContents;
  bool m_bChangingText = false;
  int m_iWidth = 150;
  bool m_bHorz = true;
  bool m_bIsHotEdit = false;

 private:
  friend class ToolbarEditCtrl;
  void destroyEdit();
  void setEditText(const std::wstring& text);
  void repaintOnBar();
};
