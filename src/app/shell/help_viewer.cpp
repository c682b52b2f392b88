#include "app/shell/help_viewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <algorithm>

#include "app/common/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "platform/windows/window_stacking.h"
#include "platform/text.h"
#include "services/shell_files.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

QPointer<QTextBrowser> gHelpWindow;

// A modal window blocks every window of the program that is not its own, so the help belongs to
// the modal window that runs now (none: it stands alone). As its window it also stays above it,
// kept on top with it when it is.
void giveToRunningModalWindow(QTextBrowser& window) {
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == &window) return;
  const Qt::WindowFlags flags =
      (window.windowFlags() | Qt::Window).setFlag(Qt::WindowStaysOnTopHint, platform::staysOnTop(owner));
  if (window.parentWidget() == owner && window.windowFlags() == flags) return;
  window.setParent(owner, flags);
}

// Wholly on the work area of the screen it shows on, as large as it fits up to its own size.
void keepOnWorkArea(QTextBrowser& window) {
  const QWidget* owner = window.parentWidget();
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QRect frame(window.pos(), window.size());
  frame.setSize(frame.size().boundedTo(area.size()));
  if (!area.contains(frame)) frame.moveCenter(area.center());
  frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width() + 1));
  frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - frame.height() + 1));
  window.resize(frame.size());
  window.move(frame.topLeft());
}

QTextBrowser* helpWindow() {
  if (!gHelpWindow) {
    gHelpWindow = new QTextBrowser(QApplication::activeModalWidget());
    gHelpWindow->setWindowFlag(Qt::Window);
    gHelpWindow->setObjectName("helpWindow");
    gHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
    gHelpWindow->setWindowTitle(QString::fromWCharArray(L"Kelvara ヘルプ"));
    gHelpWindow->resize(kWidth, kHeight);
    gHelpWindow->move(-kWidth, -kHeight);  // placed in the middle of the work area when first shown
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), gHelpWindow), &QShortcut::activated, gHelpWindow,
                     &QWidget::close);
    // Pages of the help open in the window; addresses elsewhere go to the desktop's browser.
    gHelpWindow->setOpenLinks(false);
    QObject::connect(gHelpWindow, &QTextBrowser::anchorClicked, gHelpWindow, [](const QUrl& link) {
      const QUrl target = gHelpWindow->source().resolved(link);
      if (target.isLocalFile()) gHelpWindow->setSource(target);
      else ShellOpen(target.toString().toStdWString());
    });
  }
  giveToRunningModalWindow(*gHelpWindow);
  return gHelpWindow;
}

QTextBrowser* showInFront(QTextBrowser* window) {
  keepOnWorkArea(*window);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

bool isFile(const std::wstring& path) { return QFileInfo(QString::fromStdWString(path)).isFile(); }

// A text file as its writer saved it: UTF-8 (with or without its mark), else code page 932.
QString readText(const std::wstring& path) {
  QFile file(QString::fromStdWString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  std::string bytes = file.readAll().toStdString();
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  return QString::fromStdWString(platform::isValidUtf8(bytes) ? platform::fromUtf8(bytes) : platform::fromCp932(bytes));
}

}  // namespace

QTextBrowser* ShowHelpTopic(const std::wstring& topic) {
  const size_t separator = topic.find(L"::/");
  const std::wstring page = separator == std::wstring::npos ? L"top.html" : topic.substr(separator + 3);
  const std::wstring path = programFolder() + L"help/" + page;
  if (!isFile(path)) {
    platform::messageBox(QApplication::activeModalWidget(), L"ヘルプファイルが見つかりません。\n" + path, kAppCaption);
    return nullptr;
  }
  QTextBrowser* window = helpWindow();
  window->setSource(QUrl::fromLocalFile(QString::fromStdWString(path)));
  return showInFront(window);
}

QTextBrowser* ShowHelp() { return ShowHelpTopic(L"Klv.chm::/top.html"); }

QTextBrowser* ShowReadme() {
  const std::wstring path = programFolder() + L"Readme.txt";
  if (!isFile(path)) {
    platform::messageBox(QApplication::activeModalWidget(), L"ファイルが見つかりません。\n" + path, kAppCaption);
    return nullptr;
  }
  QTextBrowser* window = helpWindow();
  window->setPlainText(readText(path));
  return showInFront(window);
}
