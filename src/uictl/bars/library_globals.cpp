#include "uictl/bars/library_globals.h"

#include "platform/drawing/desktop_colours.h"
#include "platform/windows/command_target.h"
#include "platform/settings/runtime_class.h"
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/menus/popup_menu_bar.h"
#include "uictl/bars/toolbar/customize_button.h"
#include "uictl/bars/combos/drop_down_toolbar.h"
#include "uictl/bars/buttons/system_menu_buttons.h"
#include "uictl/bars/toolbar/tasks_pane.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/buttons/toolbar_edit_box.h"
#include "uictl/bars/combos/toolbar_font_combo.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/commands/user_tools.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QtGlobal>
#include <array>
#include <functional>
#include <map>

QEvent::Type UXTOOLBAR_POPUPMENU, UXTOOLBAR_CUSTOMIZE, UXTOOLBAR_CREATE, UXTOOLBAR_DELETE,
    UXTOOLBAR_CUSTOMIZEHELP, UXTOOLBAR_RESETTOOLBAR, UXTOOLBAR_RESETMENU, UXTOOLBAR_SHOWREGULARMENU,
    UXTOOLBAR_RESETCONTEXTMENU, UXTOOLBAR_RESETKEYBAORD, UXM_ONCHANGE_ACTIVE_TAB, UXM_ON_HSCROLL,
    UXM_ON_RENAME_TAB, UXM_ON_BEFOREMOVE_TAB, UXM_ON_MOVE_TAB, WINDOW_HELP, UXTOOLBAR__GETDOCUMENTCOLORS,
    UXM_PROPERTYCHANGED;

// Resources of a static library must be pulled in by name.
static void initLibraryResources() { Q_INIT_RESOURCE(uictl_bars); }

namespace {

struct LibraryState {
  int scopes = 0;
  // Exit functions in the order they were registered; shut-down runs them backwards.
  std::vector<std::function<void()>> exitFunctions;
  std::vector<ToolbarLayoutClient*> toolbars;
  std::array<std::unique_ptr<ToolbarImages>, kSharedStripCount> strips;
  std::vector<unsigned> forbidden;
  std::vector<unsigned> basic;
  std::unique_ptr<CmdUsageCount> usage;
  std::unique_ptr<FontNames> fonts;
  std::unique_ptr<GlobalDrawData> drawData;
  std::unique_ptr<MenuImages> glyphs;
  std::unique_ptr<CommandManager> commands;
  std::vector<QWidget*> sizingBarArray;
  std::vector<QWidget*> sizingBarList;
  platform::CObject* workspace = nullptr;
  bool workspaceOwned = false;
  ButtonAppearanceOpener appearanceOpener;
  ToolbarImages* userImages = nullptr;
};

LibraryState& state() {
  static LibraryState s;
  return s;
}

// Filled during static initialisation, so a function-local static: no order between files.
std::vector<const platform::RuntimeClass*>& upperFolderClasses() {
  static std::vector<const platform::RuntimeClass*> records;
  return records;
}

template <class T>
T& require(const std::unique_ptr<T>& object, const char* what) {
  if (!object) qFatal("the control library is not started (%s)", what);
  return *object;
}

// Registers a message and clears it again at exit.
void message(QEvent::Type& slot, const char* name) {
  slot = platform::registerWindowMessage(name);
  state().exitFunctions.push_back([&slot] { slot = QEvent::None; });
}

void registration(const platform::RuntimeClass& record) {
  platform::registerRuntimeClass(record);
  state().exitFunctions.push_back([&record] { platform::unregisterRuntimeClass(record); });
}

template <class T>
void build(std::unique_ptr<T>& slot) {
  slot = std::make_unique<T>();
  state().exitFunctions.push_back([&slot] { slot.reset(); });
}

// The toolkit tells a palette change to the windows (later, through their event queues) and not to
// the widgets inside them: bars in a dialog would keep the old colours. On the application's own
// notice, given while the palette is being set, the library's colours follow at once and every
// widget is told, as every window and its children are of a change of the system colours. The
// notice is a signal, so the program's other events pass through nothing of the library's.
void followApplicationPalette() {
  updateSystemColours();
  std::vector<QPointer<QWidget>> widgets;
  for (QWidget* widget : QApplication::allWidgets()) widgets.emplace_back(widget);
  for (const QPointer<QWidget>& widget : widgets) {
    QEvent change(QEvent::ApplicationPaletteChange);
    if (widget) QCoreApplication::sendEvent(widget, &change);
  }
}

void startUp() {
  LibraryState& s = state();
  MenuSoundThread::Restart();
  MenuSoundThread::UseDesktopSounds();
  s.exitFunctions.push_back([] { MenuSoundThread::SetPlayer(nullptr); });
  initLibraryResources();
  message(UXTOOLBAR_POPUPMENU, "UXTOOLBAR_POPUPMENU");
  message(UXTOOLBAR_CUSTOMIZE, "UXTOOLBAR_CUSTOMIZE");
  message(UXTOOLBAR_CREATE, "UXTOOLBAR_CREATE");
  message(UXTOOLBAR_DELETE, "UXTOOLBAR_DELETE");
  message(UXTOOLBAR_CUSTOMIZEHELP, "UXTOOLBAR_CUSTOMIZEHELP");
  message(UXTOOLBAR_RESETTOOLBAR, "UXTOOLBAR_RESETTOOLBAR");
  message(UXTOOLBAR_RESETMENU, "UXTOOLBAR_RESETMENU");
  message(UXTOOLBAR_SHOWREGULARMENU, "UXTOOLBAR_SHOWREGULARMENU");
  message(UXTOOLBAR_RESETCONTEXTMENU, "UXTOOLBAR_RESETCONTEXTMENU");
  message(UXTOOLBAR_RESETKEYBAORD, "UXTOOLBAR_RESETKEYBAORD");
  s.exitFunctions.push_back([&s] { s.toolbars.clear(); });
  s.exitFunctions.push_back([&s] { s.appearanceOpener = nullptr; });
  s.exitFunctions.push_back([&s] { s.userImages = nullptr; });
  // Each start reads the menu show delay again; stored menu item lists end with the library.
  CUxPopupMenuBar::m_nMenuShowDelay = -1;
  s.exitFunctions.push_back([] {
    menuHash().RemoveAll();
    menuBarShowAllCommands() = false;
  });
  // The image strips read the drawing data when they are made, so it comes first.
  build(s.fonts);
  build(s.drawData);
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    const QMetaObject::Connection palette = platform::whenPaletteChanges(qGuiApp, followApplicationPalette);
    s.exitFunctions.push_back([palette] { QObject::disconnect(palette); });
  }
  // The fonts, their text heights and every bar's layout follow a change of the desktop's fonts.
  if (qGuiApp) {
    const QMetaObject::Connection fonts =
        QObject::connect(qGuiApp, &QGuiApplication::fontChanged, [] { globalData().UpdateFonts(); });
    s.exitFunctions.push_back([fonts] { QObject::disconnect(fonts); });
  }
  for (auto& strip : s.strips) build(strip);
  s.exitFunctions.push_back([&s] { s.forbidden.clear(); s.basic.clear(); });
  build(s.usage);
  s.exitFunctions.push_back([] { ToolbarImages::CleanUp(); });
  build(s.glyphs);
  registration(CUxToolbarButton::classCUxToolbarButton);
  for (const platform::RuntimeClass* record :
       {KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton), KELVARA_RUNTIME_CLASS(CCustomizeButton),
        KELVARA_RUNTIME_CLASS(CUxShowAllButton), KELVARA_RUNTIME_CLASS(CUxToolbarSystemMenuButton),
        KELVARA_RUNTIME_CLASS(CUxToolbarMenuButtonsButton), KELVARA_RUNTIME_CLASS(CUxToolbarEditBoxButton),
        KELVARA_RUNTIME_CLASS(CTasksPaneMenuButton), KELVARA_RUNTIME_CLASS(CTasksPaneToolBar),
        KELVARA_RUNTIME_CLASS(CUxUserTool)})
    registration(*record);
  s.exitFunctions.push_back([&s] {
    if (s.workspace && s.workspaceOwned) delete s.workspace;
    s.workspace = nullptr;
    s.workspaceOwned = false;
  });
  build(s.commands);
  s.exitFunctions.push_back([] { releaseAcceleratorCaches(); });
  for (const platform::RuntimeClass* record :
       {KELVARA_RUNTIME_CLASS(CUxDropDownToolbarButton), KELVARA_RUNTIME_CLASS(CUxDropDownToolBar),
        KELVARA_RUNTIME_CLASS(CUxDropDownFrame), KELVARA_RUNTIME_CLASS(CUxToolBar), KELVARA_RUNTIME_CLASS(CUxMenuBar),
        KELVARA_RUNTIME_CLASS(CUxPopupMenuBar), KELVARA_RUNTIME_CLASS(CUxPopupMenu)})
    registration(*record);
  message(UXM_ONCHANGE_ACTIVE_TAB, "UXM_ONCHANGE_ACTIVE_TAB");
  message(UXM_ON_HSCROLL, "UXM_ON_HSCROLL");
  message(UXM_ON_RENAME_TAB, "UXM_ON_RENAME_TAB");
  message(UXM_ON_BEFOREMOVE_TAB, "UXM_ON_BEFOREMOVE_TAB");
  message(UXM_ON_MOVE_TAB, "UXM_ON_MOVE_TAB");
  s.exitFunctions.push_back([&s] { s.sizingBarArray.clear(); s.sizingBarList.clear(); });
  for (const platform::RuntimeClass* record :
       {KELVARA_RUNTIME_CLASS(CUxToolbarComboBoxButton), KELVARA_RUNTIME_CLASS(CUxToolbarFontCombo),
        KELVARA_RUNTIME_CLASS(CUxToolbarFontSizeCombo)})
    registration(*record);
  message(WINDOW_HELP, "WINDOW_HELP");
  message(UXTOOLBAR__GETDOCUMENTCOLORS, "UXTOOLBAR__GETDOCUMENTCOLORS");
  for (const platform::RuntimeClass* record : upperFolderClasses()) registration(*record);
  message(UXM_PROPERTYCHANGED, "UXM_PROPERTYCHANGED");
}

void shutDown() {
  LibraryState& s = state();
  while (!s.exitFunctions.empty()) {
    auto exit = std::move(s.exitFunctions.back());
    s.exitFunctions.pop_back();
    exit();
  }
}

}  // namespace

std::wstring libraryString(unsigned id) {
  switch (id) {
    case kStringNoImageChosen: return L"ボタンのイメージが選ばれていません。イメージを選ぶか、テキストのみを表示してください。";
    case kStringNoButtonText: return L"ボタンのテキストを入力してください。";
    case kStringNewImageFailed: return L"新しいイメージを作成できませんでした。";
    case kStringPasteFailed: return L"クリップボードの画像を貼り付けられませんでした。";
    case kStringCopyError: return L"イメージの処理中にエラーが発生しました。";
    case kStringClipboardFailed: return L"クリップボードにコピーできませんでした。";
    case kStringHideBar: return L"閉じる";
    case kStringExpandBar: return L"最大化";
    case kStringContractBar: return L"元のサイズに戻す";
    case kStringShowAllTip: return L"すべてのメニュー項目を表示 (%s)";
    case kStringChevronText: return L"ツールバー オプション";
    case kStringNoFreeToolbarId: return L"新しいツールバーを作成できません。ユーザー定義ツールバーの ID (%u 個) はすべて使用中です。";
    case kStringTasksPanePages: return L"作業ウィンドウの切り替え";
    default: return {};
  }
}

void sendPopupMenuRequest(QWidget* frame, const void* source, int screenX, int screenY) {
  if (!frame) return;
  platform::RegisteredMessageEvent popup(UXTOOLBAR_POPUPMENU, reinterpret_cast<uintptr_t>(source),
                                         static_cast<intptr_t>((screenX & 0xFFFF) | ((screenY & 0xFFFF) << 16)));
  QCoreApplication::sendEvent(frame, &popup);
}

ToolbarClassData& toolbarClassData() {
  static ToolbarClassData data;
  return data;
}

std::vector<ToolbarLayoutClient*>& toolbarList() { return state().toolbars; }
std::vector<unsigned>& basicCommands() { return state().basic; }
std::vector<unsigned>& forbiddenCommands() { return state().forbidden; }
ToolbarImages& sharedImages(SharedStrip which) { return require(state().strips.at(which), "image strips"); }
ToolbarImages* userImages() { return state().userImages; }
void setUserImages(ToolbarImages* strip) { state().userImages = strip; }
const FontNames& fontNames() {
  static const FontNames defaults;
  return state().fonts ? *state().fonts : defaults;
}
GlobalDrawData& globalData() { return require(state().drawData, "drawing data"); }
CommandManager& GetCommandManager() { return require(state().commands, "command manager"); }
CmdUsageCount& commandUsage() { return require(state().usage, "command usage"); }
std::vector<QWidget*>& sizingBarArray() { return state().sizingBarArray; }
std::vector<QWidget*>& sizingBarList() { return state().sizingBarList; }
void setWorkspace(platform::CObject* workspace, bool owned) {
  if (state().workspace != workspace && state().workspaceOwned) delete state().workspace;
  state().workspace = workspace;
  state().workspaceOwned = workspace && owned;
}
platform::CObject* workspace() { return state().workspace; }
void setButtonAppearanceOpener(ButtonAppearanceOpener opener) { state().appearanceOpener = std::move(opener); }
const ButtonAppearanceOpener& buttonAppearanceOpener() { return state().appearanceOpener; }
void updateSystemColours() {
  globalData().UpdateSysColors();
  CUxVisualManager::GetInstance()->OnUpdateSystemColors();
  for (auto& strip : state().strips)
    if (strip) strip->OnSysColorChange();
  if (ToolbarImages* user = userImages()) user->OnSysColorChange();
}

GlobalDrawData* globalDataIfStarted() { return state().drawData.get(); }
MenuImages* menuImagesIfStarted() { return state().glyphs.get(); }

LibraryClasses::LibraryClasses(std::initializer_list<const platform::RuntimeClass*> records) {
  for (const platform::RuntimeClass* record : records) {
    upperFolderClasses().push_back(record);
    if (UxLibrary::IsStarted()) registration(*record);
  }
}

UxLibrary::UxLibrary() {
  if (state().scopes++ == 0) startUp();
}

UxLibrary::~UxLibrary() {
  if (--state().scopes == 0) shutDown();
}

bool UxLibrary::IsStarted() { return state().scopes > 0; }
