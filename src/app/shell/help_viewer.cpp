#include "app/shell/help_viewer.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>

#include "app/common/modal_dialog.h"
#include "platform/notifier.h"
#include "services/shell_files.h"

namespace {

QPointer<QTextBrowser> gHelpWindow;

QTextBrowser* helpWindow() {
  if (gHelpWindow) return gHelpWindow;
  gHelpWindow = new QTextBrowser;
  gHelpWindow->setObjectName("helpWindow");
  gHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
  gHelpWindow->setWindowTitle(QString::fromWCharArray(L"Kelvara ヘルプ"));
  gHelpWindow->resize(640, 480);
  // Pages of the help open in the window; addresses elsewhere go to the desktop's browser.
  gHelpWindow->setOpenLinks(false);
  QObject::connect(gHelpWindow, &QTextBrowser::anchorClicked, gHelpWindow, [](const QUrl& link) {
    const QUrl target = gHelpWindow->source().resolved(link);
    if (target.isLocalFile()) gHelpWindow->setSource(target);
    else ShellOpen(target.toString().toStdWString());
  });
  return gHelpWindow;
}

}  // namespace

QTextBrowser* ShowHelpTopic(const std::wstring& topic) {
  const size_t separator = topic.find(L"::/");
  const std::wstring page = separator == std::wstring::npos ? L"top.html" : topic.substr(separator + 3);
  const std::wstring path = programFolder() + L"help/" + page;
  if (!QFileInfo(QString::fromStdWString(path)).isFile()) {
    platform::messageBox(nullptr, L"ヘルプファイルが見つかりません。\n" + path, kAppCaption);
    return nullptr;
  }
  QTextBrowser* window = helpWindow();
  window->setSource(QUrl::fromLocalFile(QString::fromStdWString(path)));
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

QTextBrowser* ShowHelp() { return ShowHelpTopic(L"Klv.chm::/top.html"); }

bool OpenReadme() { return OpenWithShell(programFolder() + L"Readme.txt"); }
