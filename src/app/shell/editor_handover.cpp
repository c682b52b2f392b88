#include "app/shell/editor_handover.h"

#include <QString>
#include <QWidget>

#include "app/common/modal_dialog.h"
#include "app/shell/klv_app.h"
#include "platform/windows/notifier.h"
#include "platform/files/process.h"
#include "services/app_settings.h"
#include "services/shell_files.h"

namespace {

void setTitle(QWidget* window, const wchar_t* title) {
  if (window) window->setWindowTitle(QString::fromWCharArray(title));
}

}  // namespace

Reopened RunEditor(KlvApp& app, QWidget* window) {
  const std::wstring folder = programFolder();
  // The editor ships apart from the program: without it the command says where it belongs.
  const std::wstring program = folder + kEditorProgram;
  if (!platform::findProgram(program)) {
    platform::messageBox(window, L"問題集の編集プログラムが見つかりません。\nプログラムのフォルダに置いてください。\n" + program,
                         kAppCaption, platform::MbIconInformation);
    return Reopened::keptOpenFile;
  }
  std::optional<platform::Process> editor = platform::startProcess(L"\"" + program + L"\" /RUN_BY_KLV", folder);
  if (!editor) return Reopened::keptOpenFile;
  // The editor reads the settings and writes the database: both go over as they stand.
  app.settings->saveAll();
  const QString title = window ? window->windowTitle() : QString();
  setTitle(window, L"<< 待機中 - KlvEditor の終了を待機しています >>");
  if (window) window->showMinimized();
  editor->wait();
  setTitle(window, L"<< 更新項目の再読込中です >>");
  if (window) window->showNormal();
  app.settings->loadAll(window);
  // The editor may have left another file in the settings: nothing of the one before is kept.
  const Reopened reopened = app.ReopenDatabase(window);
  if (window) window->setWindowTitle(title);
  return reopened;
}
