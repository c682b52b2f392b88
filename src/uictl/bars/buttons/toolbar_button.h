// One item of a toolbar, menu bar, popup menu or outlook bar: a command with an image index, a
// text and state bits that draws, measures, copies and stores itself. Bars call the virtual
// operations below in this order; special items derive and override them.
#pragma once

#include "platform/settings/archive.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"

#include <QString>
#include <memory>
#include <string>
#include <map>
#include <vector>

class QMimeData;
class QWidget;
class ToolbarImages;
class CUxToolBar;
class CUxToolbarButton;

// Style and state bits of a button.
enum ButtonStyleBits : unsigned {
  kStyleSeparator = 0x1, kStyleCheckBox = 0x2, kStyleChecked = 0x10000, kStylePressed = 0x20000,
  kStyleDisabled = 0x40000, kStyleIndeterminate = 0x100000,
};

// A tooltip request for one button: the tool's id, its rectangle and its text.
struct ToolInfo {
  unsigned id = 0;
  platform::Rect rect;
  std::wstring text;
};

// The library's frames answer the tooltip requests of the buttons in their bars.
class ButtonToolTipHook {
 public:
  virtual ~ButtonToolTipHook() = default;
  virtual bool OnButtonToolHitTest(const CUxToolbarButton* button, ToolInfo* info) = 0;
};

// What a bar that holds buttons tells them.
class CUxToolbarButtonHost {
 public:
  virtual ~CUxToolbarButtonHost() = default;
  virtual bool IsButtonExtraSizeAvailable() const = 0;
};

class CUxToolbarButton : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarButton)

 public:
  CUxToolbarButton();
  CUxToolbarButton(unsigned commandId, int image, const wchar_t* text = nullptr, bool userImage = false,
                   bool locked = false);
  ~CUxToolbarButton() override;

  void Serialize(platform::Archive& archive) override;
  virtual bool CanBeDroppedOn(CUxToolBar* bar) { (void)bar; return true; }
  virtual void CopyFrom(const CUxToolbarButton& source);
  virtual void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
                      bool customizeMode = false, bool highlight = false, bool drawBorder = true,
                      bool grayDisabledButtons = true);
  virtual platform::Size OnCalculateSize(platform::Dc* dc, const platform::Size& sizeDefault, bool horizontal);
  virtual bool OnClick(QWidget* wnd, bool delay = true) { (void)wnd; (void)delay; return false; }
  virtual bool OnClickUp() { return false; }
  virtual void OnChangeParentWnd(QWidget* parent);
  virtual bool GetTextFromResource(CUxToolbarButton& target);
  virtual void OnMove() {}
  virtual void OnSize(int width) { (void)width; }
  virtual QWidget* GetHwnd() { return nullptr; }
  virtual bool CanBeResized() const { return false; }
  virtual bool NotifyCommand(int notifyCode) { (void)notifyCode; return false; }
  virtual void OnAddToCustomizePage() {}
  virtual void* OnCtlColor(platform::Dc* dc, unsigned ctlColor) { (void)dc; (void)ctlColor; return nullptr; }
  virtual void OnDblClick(QWidget* wnd) { (void)wnd; }
  virtual bool CanBeStored() const { return true; }
  virtual bool HasBorder() const { return true; }
  virtual void OnCancelMode() {}
  virtual void OnGlobalFontsChanged() {}
  virtual bool IsEditable() const;
  // Shown and handled as disabled: while customising, a button that cannot be edited; else a
  // disabled one.
  bool IsDisabledIn(bool customizeMode) const { return customizeMode ? !IsEditable() : (m_nStyle & kStyleDisabled) != 0; }
  virtual bool OnContextHelp(QWidget* wnd) { (void)wnd; return false; }
  virtual bool EnableCustomizeItems(void* popupMenu) { (void)popupMenu; return false; }
  virtual int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected);
  // Whether a button drawn with this style shows its image one pixel right and down, the
  // pressed look of the current visual manager.
  static bool ShiftsPressedImage(unsigned style, bool customizeMode);
  virtual bool IsDroppedDown() const { return false; }
  virtual bool OnBeforeDrag() const { return true; }
  virtual bool OnToolHitTest(const QWidget* wnd, ToolInfo* info) const;
  virtual void UpdateOwnerMenus() {}
  virtual void OnShow(bool show) { (void)show; }
  virtual platform::Rect GetRect() const { return m_rect; }
  virtual void SetStyle(unsigned style) { m_nStyle = style; }
  virtual void ResetImageToDefault();
  virtual bool CompareWith(const CUxToolbarButton& other) const { return m_nCommandId == other.m_nCommandId; }
  virtual bool EnableWindow(bool enable = true);
  virtual bool IsWindowVisible();
  virtual bool IsOwnerOf(QWidget* widget);
  virtual bool HasFocus();
  virtual void SetImage(int image);
  virtual void SetRadio() {}
  virtual bool IsExtraSize() const { return m_bExtraSize; }

  void SetRect(const platform::Rect& rect);
  void FillInterior(platform::Dc* dc, const platform::Rect& rect, bool highlight);
  // The active image index: the user image for a user-image button, else the standard one.
  int GetImage() const { return m_bUserImage ? m_iUserImage : m_iImage; }
  bool IsLocked() const { return m_bLocked; }

  // Drag data: the button's class and fields under this process's button format.
  bool PrepareDrag(QMimeData& data);
  static std::unique_ptr<CUxToolbarButton> CreateFromOleData(const QMimeData* data);
  static QString GetClipboardFormat();

  bool m_bUserImage = false;
  unsigned m_nCommandId = 0;
  unsigned m_nStyle = 0;
  std::wstring m_strText;
  bool m_bShowText = false;
  bool m_bShowImage = true;
  bool m_bWrap = false;
  bool m_bWholeText = true;
  bool m_bTextBelow = false;
  std::wstring m_strTextCustom;
  unsigned m_nStoredFlags = 0;
  platform::Rect m_rect;
  int m_iImage = -1;
  int m_iUserImage = -1;
  bool m_bLocked = false;
  bool m_bHidden = false;
  platform::Size m_sizeText;
  bool m_bNoFill = false;
  bool m_bExtraSize = false;
  bool m_bHorz = true;

  // Images are registered in the command manager while this is on.
  static bool registerImages;
  // Commands that may not be edited in customise mode.
  static std::vector<unsigned>& nonEditableCommands();

 private:
  void Reset();
};

// The text of a command's string resource (its prompt, a newline, then its short label); the
// application installs the source of its string table.
std::wstring commandString(unsigned command);
// The short label of a command: its string after the first newline; false when there is none.
bool commandShortLabel(unsigned command, std::wstring& out);
void setCommandStringSource(std::wstring (*source)(unsigned command));
// Command id to image index in the shared images (g_DefaultImages).
std::map<unsigned, int>& defaultImages();
