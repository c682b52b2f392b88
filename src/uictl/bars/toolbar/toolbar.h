// The library's customisable toolbar: an ordered list of button objects that the bar lays out
// in rows or columns, paints through the visual manager with images from image strips, routes
// to the owner frame as commands and keeps current through command-UI updates. In customise
// mode the user selects, stretches, drags, copies and deletes buttons; the button list can be
// saved to the registry and read back. Bars that derive from it override the virtual operations.
#pragma once

#include "platform/windows/command_target.h"
#include "platform/drawing/gdi_dc.h"
#include "uictl/bars/toolbar/control_bar.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class CCustomizeButton;
class CUxToolbarMenuButton;
class CUxRegistry;
class CUxToolBar;
class QHelpEvent;
class QMimeData;
class UxObjectList;

using ButtonList = std::vector<std::unique_ptr<CUxToolbarButton>>;

// Computes and paints the bar's border and gripper and the parent's background behind the bar.
class ToolBarImpl {
 public:
  explicit ToolBarImpl(CUxToolBar* bar) : m_pBar(bar) {}
  virtual ~ToolBarImpl() = default;
  void DrawParentBackground(platform::Dc* dc);
  // Shrinks the widget's rectangle to its client rectangle.
  void CalcNcSize(platform::Rect& rect);
  // `dc` draws on the whole widget.
  void DrawNcArea(platform::Dc* dc);

 private:
  CUxToolBar* m_pBar;
};

// Mouse and drag key-state bits.
enum MouseKeyState : unsigned { MkLButton = 0x1, MkShift = 0x4, MkControl = 0x8, MkAlt = 0x20 };
enum DropEffect : unsigned { DropEffectNone = 0, DropEffectCopy = 1, DropEffectMove = 2 };

// The customise commands of the toolbar's context menu.
enum ToolbarCustomizeCommand : unsigned {
  kCmdToolbarReset = 16910, kCmdCopyImage = 16911, kCmdDeleteButton = 16912, kCmdAppearance = 16913,
  kCmdImageOnly = 16914, kCmdTextOnly = 16915, kCmdImageAndText = 16916, kCmdBeginGroup = 16917,
  kCmdNewMenu = 16918,
};
constexpr unsigned kCustomizeMenuId = 16102;
// The customise context menu: one popup holding the commands above.
platform::MenuHandle loadCustomizeMenu();

// The drag source of button drags: which cursor shows, whether Escape ended the drag and
// whether a drag really began.
struct ToolbarDropSource {
  bool bShowDeleteCursor = true;
  bool bEscapePressed = false;
  bool bDragStarted = false;
  // Loaded on the first drag from the library's cursors 16133 (delete), 16146 (move), 16004 (copy).
  void LoadCursors();
  std::optional<QCursor> hcurDelete, hcurMove, hcurCopy;
};

struct ToolbarDragResult {
  unsigned effect = DropEffectNone;
  bool started = false;
  // The left button was still down when the drag ended: it was cancelled.
  bool escapePressed = false;
  // Where the pointer was when the drag ended, in screen coordinates.
  QPoint endPoint;
};

// Runs one drag of button data; the real one waits until the pointer leaves the button before
// the drag begins (a release before that is a click).
class ToolbarDragDriver {
 public:
  virtual ~ToolbarDragDriver() = default;
  virtual ToolbarDragResult DoDragDrop(QWidget* source, std::unique_ptr<QMimeData> data, unsigned allowedEffects,
                                       const QRect& startRect, ToolbarDropSource& dropSource) = 0;
};
// Null puts the real driver back.
void setToolbarDragDriver(ToolbarDragDriver* driver);

// Shows a popup menu at a screen point for `owner` and returns the chosen command, 0 for none.
using ToolbarMenuTracker = std::function<unsigned(platform::MenuHandle menu, const QPoint& screen, QWidget* owner)>;
// An empty tracker puts the real one (a QMenu) back.
void setToolbarMenuTracker(ToolbarMenuTracker tracker);

// Asks the user how one button looks (its image, text and what it shows) in a dialog of the
// library above this one, which installs it at start-up; true when the button was changed.
// Without one the customise commands that need it are unavailable.
using ButtonAppearanceOpener = std::function<bool(CUxToolbarButton& button, CUxToolBar& bar, bool menuMode)>;
// Kept until the library shuts down; an empty opener removes it.
void setButtonAppearanceOpener(ButtonAppearanceOpener opener);
const ButtonAppearanceOpener& buttonAppearanceOpener();

// Help contexts of context help mode: a command's help, and a window's own when no command is hit.
constexpr unsigned kHidBaseCommand = 0x10000;
constexpr unsigned kHidBaseControl = 0x50000;
// A frame that shows the help the user picked with a click in context help mode.
class ContextHelpTarget {
 public:
  virtual ~ContextHelpTarget() = default;
  virtual void WinHelp(unsigned helpContext, const QPoint& screen) = 0;
};

// The workspace's choice whether toolbars keep the button list of their resource beside their
// saved state; a workspace object that offers it implements this.
class UxOriginalStateOption {
 public:
  virtual ~UxOriginalStateOption() = default;
  virtual bool IsOriginalStateKept() const = 0;
};

// Its run-time class, and those of the bars derived from it, let archives and host programs
// make a bar by name.
class CUxToolBar : public CUxControlBar,
                   public CUxToolbarButtonHost,
                   public ToolbarLayoutClient,
                   public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolBar)

 public:
  explicit CUxToolBar(QWidget* parent = nullptr);
  ~CUxToolBar() override;

  // Framework operations the bar overrides.
  void Serialize(platform::Archive& ar) override;
  virtual int OnToolHitTest(platform::Point point, ToolInfo* info);
  // A hosted control's command: its notification code and the control.
  virtual bool OnCommand(unsigned id, int notifyCode, QWidget* control);
  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
  platform::Size CalcDynamicLayout(int length, unsigned mode) override;
  virtual void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler);
  virtual void DoPaint(platform::Dc* dc);
  void RecalcDelayShow() override;
  void SetBarStyle(unsigned style) override;
  QSize sizeHint() const override;

  // The bar's own operations.
  virtual bool Create(QWidget* parent, unsigned style = 0x50000000u | CbrsAlignTop, unsigned id = 0xE800);
  virtual bool CreateEx(QWidget* parent, unsigned ctrlStyle, unsigned style, platform::Rect borders, unsigned id);
  virtual void ResetAllImages();
  virtual bool LoadBitmap(unsigned resId, unsigned coldResId = 0, unsigned menuResId = 0, bool locked = false,
                          unsigned disabledResId = 0, unsigned menuDisabledResId = 0);
  virtual bool LoadToolBar(unsigned resId, unsigned coldResId = 0, unsigned menuResId = 0, bool locked = false,
                           unsigned disabledResId = 0, unsigned menuDisabledResId = 0, unsigned hotResId = 0);
  // Resource ids of cold, standard, disabled, large cold, large, large disabled, menu and
  // disabled menu images.
  using ImageIds = std::array<unsigned, 8>;
  virtual bool LoadBitmapEx(const ImageIds& ids, bool locked);
  virtual bool LoadToolBarEx(unsigned resId, ImageIds ids, bool locked);
  virtual void RemoveAllButtons();
  virtual int GetRowHeight() const;
  virtual int GetColumnWidth() const;
  bool IsButtonExtraSizeAvailable() const override { return true; }
  virtual void Deactivate();
  virtual void RestoreFocus();
  virtual bool IsResourceChanged() const { return m_bResourceWasChanged; }
  virtual platform::Rect GetItemRect(int index) const;
  virtual platform::Rect GetInvalidateItemRect(int index) const;
  virtual void SetButtonStyle(int index, unsigned style);
  virtual bool AllowChangeTextLabels() const { return true; }
  virtual bool LoadState(const std::wstring& profileName = {}, int index = -1, unsigned id = 0xFFFFFFFFu);
  virtual bool SaveState(const std::wstring& profileName = {}, int index = -1, unsigned id = 0xFFFFFFFFu);
  virtual bool RemoveStateFromRegistry(const std::wstring& profileName = {}, int index = -1,
                                       unsigned id = 0xFFFFFFFFu);
  virtual bool HasResourceId() const { return m_uiOriginalResID != 0; }
  virtual bool CanBeClosed() const { return !m_bPermanent; }
  virtual void ReloadFromResource();
  virtual void OnReset() {}
  void AdjustLayout() override;
  virtual int HitTest(platform::Point point) const;
  virtual bool TranslateChar(unsigned virtualKey);
  virtual void PrevMenu();
  virtual void NextMenu();
  virtual bool SetDefaultButtonText(CUxToolbarButton* button);
  virtual void OnFillBackground(platform::Dc* dc) { (void)dc; }
  void OnGlobalFontsChanged() override;
  virtual platform::Size CalcSize(bool vertical);
  virtual void OnSetHotButton(int hot);
  virtual platform::Size CalcLayout(unsigned mode, int length = -1);
  virtual bool DrawButton(platform::Dc* dc, CUxToolbarButton* button, ToolbarImages* images, bool highlighted,
                          bool drawDisabledImages);
  virtual void DrawDragMarker(platform::Dc* dc);
  // The width a customised button is being stretched to.
  void DrawStretchTrack(platform::Dc* dc);
  virtual QWidget* GetCommandTarget() const;
  virtual bool OnDrop(const QMimeData* data, unsigned dropEffect, platform::Point point);
  virtual unsigned OnDragEnter(const QMimeData* data, unsigned keyState, platform::Point point);
  virtual void OnDragLeave();
  virtual unsigned OnDragOver(const QMimeData* data, unsigned keyState, platform::Point point);
  virtual int FindDropIndex(platform::Point point, platform::Rect& marker) const;
  virtual void AdjustLocations();
  virtual bool OnSendCommand(const CUxToolbarButton* button) { (void)button; return false; }
  virtual bool AllowHighlightDisabled() const { return false; }
  // An option of bars for their users; the library itself never asks it.
  virtual bool ReservedOption() const { return true; }
  virtual void DrawSeparator(platform::Dc* dc, const platform::Rect& rect, bool horizontal);
  virtual std::unique_ptr<CUxToolbarButton> CreateDroppedButton(const QMimeData* data);
  virtual bool OnKey(unsigned key) { (void)key; return false; }
  virtual void OnCustomizeMode(bool set);
  virtual bool EnableContextMenuItems(CUxToolbarButton* button, platform::MenuHandle popup);
  virtual bool IsPureMenuButton(const CUxToolbarButton* button) const { (void)button; return m_bMenuMode; }
  virtual void ShowCommandMessageString(unsigned command);
  virtual int CalcMaxButtonHeight();
  virtual bool GetButtonToolTipText(const CUxToolbarButton* button, std::wstring& text);
  virtual bool SaveOriginalState(CUxRegistry& registry);
  virtual bool LoadLastOriginalState(CUxRegistry& registry);
  virtual bool SmartUpdate(const std::vector<CUxToolbarButton*>& previousOriginal);

  // Buttons.
  int GetCount() const { return static_cast<int>(m_Buttons.size()); }
  CUxToolbarButton* GetButton(int index) const;
  int ButtonToIndex(const CUxToolbarButton* button) const;
  int CommandToIndex(unsigned command, int start = 0) const;
  unsigned GetButtonStyle(int index) const;
  std::wstring GetButtonText(int index) const;
  int GetHighlightedButton() const { return m_iHighlighted; }
  CUxToolbarButton* InvalidateButton(int index);
  void UpdateButton(int index);
  // The bar takes the button; -1 (and the button deleted) when it cannot be inserted.
  int InsertButton(std::unique_ptr<CUxToolbarButton> button, int insertAt = -1);
  int InsertButtonCopy(const CUxToolbarButton& button, int insertAt = -1);
  int InsertSeparator(int insertAt = -1);
  bool RemoveButton(int index);
  // Null ids append `count` separators.
  bool SetButtons(const unsigned* ids, int count, bool remapImages = true);
  void SetLockedSizes(platform::Size button, platform::Size image);
  // The chevron at the end of the bar, with the bar's customise entry (none when the id is 0).
  void EnableCustomizeButton(bool enable, int customizeCmd, const std::wstring& text);
  void EnableTextLabels(bool enable = true);
  void EnableLargeIcons(bool enable) { m_bLargeIconsAllowed = enable; }
  ToolbarImages* GetLockedMenuImages();
  void SetHot(CUxToolbarButton* button);
  // Opens a menu button's popup from the keyboard, its first item highlighted.
  bool DropDownMenu(CUxToolbarButton* button);
  // The first menu button whose popup is open, and its index; null and -1 for none.
  CUxToolbarMenuButton* GetDroppedDownMenu(int* index = nullptr) const;
  bool SendButtonCommand(CUxToolbarButton* button);
  void RebuildAccelerationKeys();
  platform::Size GetButtonSize() const;
  platform::Size GetImageSize() const;
  bool IsLocked() const { return m_bLocked; }
  bool IsMenuMode() const { return m_bMenuMode; }
  int GetSelectedButton() const { return m_iSelected; }
  // Buttons live in client coordinates, which the border and gripper move within the widget.
  QPoint ClientToWidget(platform::Point point) const;
  platform::Point WidgetToClient(const QPoint& point) const;
  platform::Rect ClientRect() const;
  // What the framework's toolbar messages answer: the button's id and state and style bytes.
  struct TbButton {
    unsigned idCommand = 0;
    unsigned char fsState = 0;
    unsigned char fsStyle = 0;
  };
  TbButton GetTbButton(int index) const;
  std::wstring GetButtonTextOfCommand(unsigned command) const;
  // Runs one of the customise commands on the selected button.
  virtual void OnCustomizeCommand(unsigned command);

  // Class-wide.
  static std::vector<CUxToolBar*> GetAllToolbars();
  static void SetSizes(platform::Size button, platform::Size image);
  static platform::Size GetMenuImageSize();
  static COLORREF GetDefaultTextColor();
  static int UpdateAllButtons(unsigned command, std::vector<CUxToolbarButton*>& result);
  static bool SetCustomizeMode(bool set = true);
  static bool IsCustomizeMode();
  static bool IsCommandRarelyUsed(unsigned command);
  static void AddBasicCommand(unsigned command);
  // Command-UI update of every visible bar; the event loop runs it before it waits.
  static void IdleUpdateAll();
  // One bar's part of it: the buttons updated against the owner's command target.
  virtual void OnIdleUpdateCmdUI();
  // While popup menus hold the capture, bars follow the mouse through a hook.
  static void SetHook(bool set);
  static bool isMouseHookSet();
  // WM_COMMAND to a window that takes commands, now or from the event loop.
  static void sendCommand(QWidget* to, unsigned id, int notifyCode);
  static void postCommand(QWidget* to, unsigned id, int notifyCode);
  static platform::Size g_sizeCurButton, g_sizeCurImage;
  static bool g_bShowShortcutKeys;
  static bool g_bLargeIcons;
  static bool g_bAltCustomizing;
  static bool g_bAltCustomization;
  static CUxToolBar* g_pSelToolBar;
  static ToolbarDropSource g_DragSource;

  // The bar's own strips (used when locked): images, cold, disabled, large, large cold, large
  // disabled, menu and disabled menu images.
  std::array<ToolbarImages, kSharedStripCount> m_Images;
  bool m_bLocked = false;
  bool m_bLargeIconsAllowed = true;
  ToolBarImpl m_Impl{this};
  bool m_bPermanent = false;
  bool m_bTextLabels = false;
  bool m_bTallLabels = false;
  int m_nLabelRowHeight = 0;
  platform::Size m_sizeButton{23, 22}, m_sizeImage{16, 15};
  platform::Size m_sizeCurButton{23, 22}, m_sizeCurImage{16, 15};
  int m_iButtonCapture = -1;
  int m_iHighlighted = -1;
  int m_iSelected = -1;
  int m_iHot = -1;
  ButtonList m_Buttons;
  ButtonList m_OrigButtons;
  // The chevron, always the last button when present.
  CCustomizeButton* m_pCustomizeBtn = nullptr;
  bool m_bResourceWasChanged = false;
  int m_iDragIndex = -1;
  platform::Rect m_rectDrag;
  CUxToolbarButton* m_pDragButton = nullptr;
  platform::Point m_ptStartDrag{-1, -1};
  bool m_bIsDragCopy = false;
  bool m_bStretchButton = false;
  platform::Rect m_rectTrack;
  int m_iImagesOffset = 0;
  unsigned m_uiOriginalResID = 0;
  bool m_bTracked = false;
  platform::Point m_ptLastMouse{-1, -1};
  bool m_bMenuMode = false;
  QWidget* m_pWndLastCapture = nullptr;
  QPointer<QWidget> m_hwndLastFocus;
  bool m_bDisableControlsIfNoHandler = true;
  // Buttons whose command no target answers for are disabled; a bar in a dialog, where no frame
  // routes command updates, may keep them usable.
  bool m_bDisableIfNoHandler = true;
  bool m_bFrameTargetOnly = true;
  std::map<wchar_t, CUxToolbarButton*> m_AcellKeys;
  bool m_bShowHotBorder = true;
  bool m_bGrayDisabledButtons = true;
  bool m_bNoTextUpdate = false;
  // Extra window-style bits of the bar (TBSTYLE_TRANSPARENT draws the parent behind it).
  unsigned m_dwCtrlStyle = 0;
  static constexpr unsigned kTbStyleTransparent = 0x8000;

  // Mouse and key handlers; the Qt events call them with client points.
  virtual void OnMouseMove(unsigned flags, platform::Point point);
  virtual void OnLButtonDown(unsigned flags, platform::Point point);
  virtual void OnLButtonUp(unsigned flags, platform::Point point);
  virtual void OnLButtonDblClk(unsigned flags, platform::Point point);
  virtual void OnMouseLeave();
  virtual void OnCancelMode();
  // The stretch cursor while stretching, and in customise mode over the right edge of the
  // selected button that can be resized; otherwise the bar's own.
  void OnSetCursor(platform::Point point);
  virtual void OnContextMenu(platform::Point screen);
  // A click at a client point in context help mode: the help context to show (see
  // kHidBaseCommand), or -1 when the click is answered here (a menu opened, or a beep).
  virtual int OnHelpHitTest(platform::Point point);
  virtual bool PreTranslateKey(int key);
  void OnSysColorChange();

 protected:
  void sendIdlePrompt(QWidget* to);
  int wrapToolBar(int width, int height = 32767);
  // Moves the open menu to the next enabled menu button in `direction`, wrapping around.
  void stepMenu(int direction);
  // The button leaves the bar and is deleted next: whatever still points at it lets go.
  virtual void forgetButton(const CUxToolbarButton* button);
  // Buttons just before the chevron that the bar places itself (the menu bar's window buttons):
  // the layout keeps `extent` pixels free for them in front of the chevron on every row and never
  // lists them in the chevron's menu.
  struct TrailingButtons {
    int count = 0;
    int extent = 0;
  };
  virtual TrailingButtons trailingButtons(bool horizontal) const { (void)horizontal; return {}; }
  // The index of the first of them (the chevron's, or the count, when there are none).
  size_t firstTrailingButton(const TrailingButtons& trailing) const;
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  friend class ToolBarImpl;
  ToolbarImages& imagesFor(SharedStrip strip) { return m_bLocked ? m_Images[strip] : sharedImages(strip); }
  static void connectApplicationSignals();
  void updateNcArea();
  bool ownsCapture() const;
  void releaseBarCapture();
  void beginCustomizePress(unsigned flags, platform::Point point, int hit);
  void dragButton(platform::Point point, int hit);
  void stretchTo(platform::Point point);
  void sizeToolBar(int length, bool vertical);
  void moveButtonGroup(CUxToolbarButton* button, platform::Point start, platform::Point end);
  void removeForbiddenButtons();
  // A copy of the chevron taken before the list is rebuilt, and its return at the end.
  std::unique_ptr<CUxToolbarButton> copyOfCustomizeButton() const;
  void restoreCustomizeButton(std::unique_ptr<CUxToolbarButton> copy);
  // The chevron takes part in the layout: it exists, the bar is docked and not being customised.
  bool chevronActive() const;
  platform::Size chevronSize(platform::Dc* dc, bool horizontal);
  // All buttons but the chevron, with the room kept for the trailing ones, in one row or column no
  // longer than `length`.
  bool fitsWithin(platform::Dc* dc, bool horizontal, int length);
  void placeChevron(bool shown, platform::Size extent, bool horizontal);
  std::wstring stateKeyName(const std::wstring& profileName, int index, unsigned id) const;
  void setSelection(int index);
  bool hasTextOrBeep(CUxToolbarButton* button);
  // The installed appearance dialog's answer for a button of this bar; false without one.
  bool askAppearance(CUxToolbarButton& button);
  bool showToolTip(QHelpEvent* help);
  // Qt's context help events: the cursor over a button, and a click in the mode.
  void queryWhatsThis(QHelpEvent* help);
  void whatsThis(QHelpEvent* help);
  platform::Font barFont() const;
};
