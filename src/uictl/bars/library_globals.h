// The library's shared state: registered messages, the toolbar class's settings and lists,
// the drawing data, the glyph strip and the command manager. UxLibrary builds them in a fixed
// order right after the application object exists and releases them in reverse order.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QEvent>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class CObject;
struct RuntimeClass;
}  // namespace platform
class QWidget;
class CommandManager;
class CmdUsageCount;
class GlobalDrawData;
class MenuImages;
class ToolbarImages;

// Registered messages; zero before start-up.
extern QEvent::Type UXTOOLBAR_POPUPMENU, UXTOOLBAR_CUSTOMIZE, UXTOOLBAR_CREATE, UXTOOLBAR_DELETE,
    UXTOOLBAR_CUSTOMIZEHELP, UXTOOLBAR_RESETTOOLBAR, UXTOOLBAR_RESETMENU, UXTOOLBAR_SHOWREGULARMENU,
    UXTOOLBAR_RESETCONTEXTMENU, UXTOOLBAR_RESETKEYBAORD, UXM_ONCHANGE_ACTIVE_TAB, UXM_ON_HSCROLL,
    UXM_ON_RENAME_TAB, UXM_ON_BEFOREMOVE_TAB, UXM_ON_MOVE_TAB, WINDOW_HELP, UXTOOLBAR__GETDOCUMENTCOLORS,
    UXM_PROPERTYCHANGED;

// System commands the menu bar's window buttons carry.
constexpr unsigned kScMinimize = 0xF020;
constexpr unsigned kScClose = 0xF060;
constexpr unsigned kScRestore = 0xF120;

// Glyphs of the 9 x 9 menu strip that the library draws by number. 16 is the up arrow of scroll,
// roll-up and collapse buttons; 12 the close box of the bars' and tab windows' close buttons.
// Slots without a name are empty.
enum MenuGlyph : int {
  kGlyphArrowDown = 0, kGlyphArrowDownDisabled = 1, kGlyphArrowLeft = 2, kGlyphArrowUp = 3,
  kGlyphArrowRight = 4, kGlyphArrowRightDisabled = 5, kGlyphCheck = 6, kGlyphRadio = 7,
  kGlyphCloseBox = 12, kGlyphMinimizeBar = 14, kGlyphRestoreBox = 15, kGlyphScrollUp = 16, kGlyphMaximize = 17,
  kGlyphShowAll = 18, kGlyphCloseSmall = 19,
  kGlyphClose = 20, kGlyphChevron = 21, kGlyphColorArrow = 24, kGlyphColorArrowDisabled = 25,
  // The tab window's scroll buttons: right, first, last and left, with grey forms for disabled.
  kGlyphTabRight = 26, kGlyphTabRightDisabled = 27, kGlyphTabFirst = 32, kGlyphTabLast = 33, kGlyphTabLeft = 34,
  kGlyphTabLeftDisabled = 39,
  // Grey forms of the menu items' check and radio marks and of the window commands' pictures.
  kGlyphCheckDisabled = 28, kGlyphRadioDisabled = 29, kGlyphCloseBoxDisabled = 30, kGlyphMinimizeBarDisabled = 31,
  kGlyphRestoreBoxDisabled = 35, kGlyphMaximizeDisabled = 36,
  // The sub-menu arrow on a selected row of the customise list, light on the highlight.
  kGlyphArrowRightSelected = 37,
  // The sub-menu arrow of right-to-left menus, which the tab window's left button shares.
  kGlyphArrowLeftDisabled = kGlyphTabLeftDisabled,
  kGlyphCount = 40,
};
constexpr unsigned kMenuGlyphBitmapId = 16129;

// The library's own strings.
enum LibraryString : unsigned {
  kStringNoImageChosen = 16001, kStringNoButtonText = 16002, kStringNewImageFailed = 16003,
  kStringPasteFailed = 16004, kStringCopyError = 16008, kStringClipboardFailed = 16010, kStringHideBar = 16011,
  kStringExpandBar = 16012, kStringContractBar = 16013, kStringShowAllTip = 16025,
  kStringChevronText = 16026, kStringNoFreeToolbarId = 16243,
  kStringTasksPanePages = 17020,
};
std::wstring libraryString(unsigned id);

// Asks `frame` for the library's context menu of the window `source` at a screen point
// ("UXTOOLBAR_POPUPMENU", the point packed into one word as the message carries it).
void sendPopupMenuRequest(QWidget* frame, const void* source, int screenX, int screenY);

// Class-wide settings of toolbars, read by buttons and the visual manager.
struct ToolbarClassData {
  platform::Size sizeButton{23, 22};
  platform::Size sizeImage{16, 15};
  platform::Size sizeMenuImage{-1, -1};
  platform::Size sizeMenuButton{-1, -1};
  // Inside a button's one-pixel border: where a checked face gets the light colour.
  platform::Size buttonMargins{1, 1};
  platform::COLORREF clrTextColor = platform::kNoColor;
  bool bCustomizeMode = false;
  bool bWrapLabels = true;
  bool bShowTooltips = true;
  bool bMenuShadows = true;
};
ToolbarClassData& toolbarClassData();

// What a toolbar offers the drawing data when the fonts change.
class ToolbarLayoutClient {
 public:
  virtual ~ToolbarLayoutClient() = default;
  virtual void AdjustLayout() = 0;
  // The fonts were made again: hosted controls take the new ones before the layout.
  virtual void OnGlobalFontsChanged() = 0;
};
// Every live toolbar (g_lstToolbars); toolbars add and remove themselves.
std::vector<ToolbarLayoutClient*>& toolbarList();
std::vector<unsigned>& basicCommands();
std::vector<unsigned>& forbiddenCommands();
// The shared image strips of the toolbar class: images, cold, disabled, large, large cold,
// large disabled, menu and disabled menu images.
enum SharedStrip : int { kImages, kColdImages, kDisabledImages, kLargeImages, kLargeColdImages,
                         kLargeDisabledImages, kMenuImages, kDisabledMenuImages, kSharedStripCount };
ToolbarImages& sharedImages(SharedStrip which);
// The strip of user-defined images (g_pUserImages) that buttons with a user image draw from: none
// unless the host gives one, which it keeps alive while the library runs. A button's user image
// index counts in this strip.
ToolbarImages* userImages();
void setUserImages(ToolbarImages* strip);

// Profile sections of the toolbars', the menu bar's and the sizing bars' saved state.
constexpr const wchar_t* kToolbarProfile = L"UxToolBars";
constexpr const wchar_t* kMenuBarProfile = L"UxMenuBar";
constexpr const wchar_t* kSizingBarProfile = L"UxSizingControlBar";

// Every live sizing bar: the array their row layout walks and the list of created ones.
std::vector<QWidget*>& sizingBarArray();
std::vector<QWidget*>& sizingBarList();

// The workspace object; none unless an application makes one. An owned one is deleted at
// shut-down.
void setWorkspace(platform::CObject* workspace, bool owned);
platform::CObject* workspace();

struct FontNames {
  std::wstring tahoma = L"Tahoma";
  std::wstring msSansSerif = L"MS Sans Serif";
  std::wstring arial = L"Arial";
  std::wstring marlett = L"Marlett";
};
const FontNames& fontNames();

// The desktop's colours changed: the drawing data, the visual manager and the shared and user
// image strips take them again. The library does it on the application's notice of a palette
// change, for windows without a bar too, and a bar told of the change does it before its own
// strips.
void updateSystemColours();

// Accessors of the library objects; each aborts with a message when the library is not started.
GlobalDrawData& globalData();
CommandManager& GetCommandManager();
CmdUsageCount& commandUsage();
GlobalDrawData* globalDataIfStarted();
MenuImages* menuImagesIfStarted();

// Run-time classes of the library's upper folders that archives must know from start-up on, as
// the library's own: a stored toolbar state may hold them before anything has made one. The upper
// folder's start-up adds them with a static LibraryClasses in its own file, which every program
// that starts it links, before main; each start-up registers them, and records added while the
// library runs are registered at once.
class LibraryClasses {
 public:
  LibraryClasses(std::initializer_list<const platform::RuntimeClass*> records);
};

// Starts the library once; shuts it down when the last scope ends.
class UxLibrary {
 public:
  UxLibrary();
  ~UxLibrary();
  UxLibrary(const UxLibrary&) = delete;
  UxLibrary& operator=(const UxLibrary&) = delete;
  static bool IsStarted();
};
