// A toolbar button that stands for a whole second toolbar. It shows the image of the command
// last chosen from that toolbar with a small triangle; a short click runs that command, holding
// the mouse for half a second opens a popup frame beside the button with the toolbar laid out
// across the bar. Releasing over one of its commands runs it and makes it the button's command.
#pragma once

#include "uictl/bars/toolbar/toolbar.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class CUxDropDownFrame;

// The toolbar that is dropped down; the application builds it like any toolbar. Its images and
// sizes are its own. Its run-time class lets saved bars be recreated by name.
class CUxDropDownToolBar : public CUxToolBar {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxDropDownToolBar)

 public:
  explicit CUxDropDownToolBar(QWidget* parent = nullptr);
  ~CUxDropDownToolBar() override;

  void Serialize(platform::Archive& ar) override { CUxToolBar::Serialize(ar); }

  void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler) override;
  bool LoadBitmap(unsigned resId, unsigned coldResId = 0, unsigned menuResId = 0, bool locked = false,
                  unsigned disabledResId = 0, unsigned menuDisabledResId = 0) override;
  bool LoadToolBar(unsigned resId, unsigned coldResId = 0, unsigned menuResId = 0, bool locked = false,
                   unsigned disabledResId = 0, unsigned menuDisabledResId = 0, unsigned hotResId = 0) override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  void OnMouseMove(unsigned flags, platform::Point point) override;
  void OnLButtonUp(unsigned flags, platform::Point point) override;

  // The popup frame that shows this bar; null for a bar the application made.
  CUxDropDownFrame* popupFrame() const;
};

class CUxDropDownToolbarButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxDropDownToolbarButton)

 public:
  CUxDropDownToolbarButton();
  CUxDropDownToolbarButton(const std::wstring& name, CUxDropDownToolBar* toolBar);
  ~CUxDropDownToolbarButton() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal) override;
  bool OnClick(QWidget* wnd, bool delay = true) override;
  bool OnClickUp() override;
  void OnChangeParentWnd(QWidget* parent) override;
  // Makes a menu button of `target` whose items are the drop-down toolbar's commands.
  bool GetTextFromResource(CUxToolbarButton& target) override;
  void OnCancelMode() override;
  bool OnContextHelp(QWidget* wnd) override { return OnClick(wnd, false); }
  bool EnableCustomizeItems(void* popupMenu) override;
  int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected) override;
  bool IsExtraSize() const override { return m_bExtraSize && !m_bInternalDraw; }

  void SetDefaultCommand(unsigned command);
  bool DropDownToolbar(QWidget* wnd);
  bool IsTimerRunning() const { return m_uiTimer != 0; }
  // The button whose delay is running; null when none.
  static CUxDropDownToolbarButton* pendingButton();

  static constexpr int kDelayMs = 500;

  QPointer<CUxDropDownToolBar> m_pToolBar;
  std::wstring m_strName;
  QPointer<CUxDropDownFrame> m_pPopupFrame;
  QPointer<QWidget> m_pWndParent;
  unsigned m_uiTimer = 0;
  int m_iDefaultImage = 0;
  bool m_bInternalDraw = false;
  bool m_bDefaultUserImage = false;

 private:
  void stopTimer();
  void closeFrame();
  void invalidateOnParent();
  QTimer m_timer;
};

// The popup frame: a window that is never activated, holding the embedded copy of the drop-down
// toolbar, which lends the source toolbar's own buttons while it is open.
class CUxDropDownFrame : public QWidget, public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxDropDownFrame)

 public:
  CUxDropDownFrame();
  ~CUxDropDownFrame() override;

  // Opens at the screen point (-1, -1: beside the parent's client area).
  virtual bool Create(QWidget* parent, int x, int y, CUxDropDownToolBar* toolBar);
  void RecalcLayout();
  // Closes the frame: the button lets go of it, the parent bar's press ends where the cursor is,
  // the lent buttons go back, and the frame deletes itself.
  void DestroyWindow();
  CUxDropDownToolBar* toolBar() const { return m_wndToolBar; }

  CUxDropDownToolbarButton* m_pParentBtn = nullptr;
  CUxDropDownToolBar* m_wndToolBar = nullptr;
  QPointer<CUxDropDownToolBar> m_pSrcToolBar;
  int m_x = 0;
  int m_y = 0;
  bool m_bOwnsToolBarWnd = true;
  std::wstring m_strCaption;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool onCreate(QWidget* parent);
  void giveButtonsBack();
  QPointer<QWidget> m_pParentWnd;
  bool m_bDestroying = false;
};
