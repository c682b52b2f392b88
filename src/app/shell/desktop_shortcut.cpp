#include "app/shell/desktop_shortcut.h"

#include <cerrno>

#include "app/common/modal_dialog.h"
#include "app/shell/shortcut_option_dialog.h"
#include "app/shell/sibling_library.h"
#include "platform/command_line_words.h"
#include "platform/files/file_system.h"
#include "platform/files/folders.h"
#include "platform/windows/notifier.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/file_failure.h"
#include "services/question_rows.h"
#include "services/shell_files.h"
#include "services/text_helpers.h"

namespace {

struct ShortcutMode {
  const wchar_t* option;
  const wchar_t* label;
};

// By the dialog's mode index; card mode for anything else.
ShortcutMode shortcutMode(int index) {
  static const ShortcutMode kModes[] = {{L" /card", L"【カードモード】"},         {L" /je4", L"【４択モード】"},
                                        {L" /ej4", L"【４択モードR】"},          {L" /je", L"【タイピングモード】"},
                                        {L" /ej", L"【タイピングモードR】"},     {L" /SpeedReply", L"【SpeedReply】"}};
  return index >= 1 && index <= 5 ? kModes[index] : kModes[0];
}

void tell(QWidget* owner, const std::wstring& text) { platform::messageBox(owner, text, kAppCaption); }

}  // namespace

bool MakeDesktopShortcut(QWidget* owner, const std::wstring& setPath, int questionCount) {
  CShortcutOptionDlg dialog(setPath, questionCount, owner);
  if (dialog.DoModal() != platform::IdOk) return false;
  const int count = leadingNumber(dialog.countText());
  std::wstring desktop;
  if (!getSpecialFolder(static_cast<int>(platform::SpecialFolder::Desktop), desktop)) {
    tell(owner, L"デスクトップのフォルダが見つかりません。");
    return false;
  }
  if (!platform::makeFolderTree(desktop)) {
    tell(owner, folderFailureText(L"デスクトップのフォルダを作成できませんでした。\n" + desktop, errno));
    return false;
  }
  const ShortcutMode mode = shortcutMode(dialog.m_nMode);
  const std::wstring link = desktop + L"/" + ReplaceFileNameChars(L"KLV (" + setPath + L" " + mode.label + L").desktop");
  // The path is one argument whatever it holds: blanks, quotes and backslashes are quoted.
  const std::wstring arguments =
      platform::format(L"/Autorun=%d%ls /s ", count, mode.option) + platform::quoteCommandLineWord(setPath);

  const SiblingLibrary library(L"KlvLegacyLib.dll");
  if (!library.loaded()) {
    tell(owner, L"KlvLegacyLib.dll が見つかりません。");
    return false;
  }
  using CreateLinkFile = unsigned char(const char*, const char*, const char*, const char*);
  auto* createLinkFile = library.function<CreateLinkFile>("HDll_CreateLinkFile");
  if (!createLinkFile) {
    tell(owner, L"HDll_CreateLinkFile 関数を取得できませんでした。");
    return false;
  }
  const bool made = createLinkFile(platform::toUtf8(link).c_str(), platform::toUtf8(setPath).c_str(),
                                   platform::toUtf8(platform::programPath()).c_str(),
                                   platform::toUtf8(arguments).c_str()) == 1;
  tell(owner, made ? platform::format(L"%ls へのショートカットをデスクトップに作成しました。\n\n(%ls)", setPath.c_str(),
                                      link.c_str())
                   : L"ショートカットの作成に失敗しました。");
  return made;
}
