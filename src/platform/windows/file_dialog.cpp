#include "platform/windows/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/files/file_system.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "platform/windows/modal_dialog.h"
#include "platform/windows/window_stacking.h"

namespace platform {
namespace {

QString q(const std::wstring& text) { return QString::fromStdWString(text); }

// "*.*" matches only names with a dot here; the original meant every file. A description that
// already ends in its patterns ("Text Files(*.txt)") shows them once: the toolkit's own.
QString nameFilter(const FileFilter& filter) {
  QString pattern = q(filter.pattern).replace(';', ' ');
  if (pattern.trimmed() == "*.*") pattern = "*";
  QString description = q(filter.description);
  if (description.endsWith(')')) {
    const qsizetype open = description.lastIndexOf('(');
    if (open > 0 && description.mid(open + 1).contains('*')) description = description.left(open).trimmed();
  }
  return description + " (" + pattern + ")";
}

class QtFileDialogs : public FileDialogs {
 public:
  std::optional<std::wstring> chooseFile(QWidget* owner, const FileDialogRequest& request) override {
    QFileDialog dialog(owner, q(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    stackWithOwner(dialog);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const FileFilter& filter : request.filters) filters << nameFilter(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    QString suffix = q(request.defaultExtension);
    suffix.remove('*');
    if (suffix.startsWith('.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    const QFileInfo initial(q(request.initialPath));
    if (!request.initialPath.empty()) {
      dialog.setDirectory(initial.isDir() ? initial.filePath() : initial.path());
      if (!initial.isDir()) dialog.selectFile(initial.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdWString();
  }

  std::optional<std::wstring> chooseFolder(QWidget* owner, const std::wstring& title,
                                           const std::wstring& initialFolder) override {
    const QString chosen = QFileDialog::getExistingDirectory(owner, q(title), q(initialFolder),
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdWString();
  }
};

QtFileDialogs gQtDialogs;
FileDialogs* gCurrent = &gQtDialogs;

// Null when the dialog is to be shown; else whether the automatic answer accepts.
std::optional<bool> automaticAcceptance(const std::wstring& title, const std::wstring& initial) {
  const std::optional<bool> answer = automaticDialogAnswer();
  // A dialog that answers itself is seen by nobody: the run's output says what it asked. A user's
  // run keeps standard error to failures.
  if (answer) traceError("filedlg: %s: %s\n", toUtf8(title).c_str(), toUtf8(initial).c_str());
  if (gCurrent != &gQtDialogs) return std::nullopt;
  return answer;
}

}  // namespace

std::optional<std::wstring> chooseFile(QWidget* owner, const FileDialogRequest& request) {
  if (const auto accept = automaticAcceptance(request.title, request.initialPath)) {
    const bool acceptable = request.open ? fileExists(request.initialPath) && !folderExists(request.initialPath)
                                         : !request.initialPath.empty();
    if (*accept && acceptable) return request.initialPath;
    return std::nullopt;
  }
  return gCurrent->chooseFile(owner, request);
}

std::optional<std::wstring> chooseFolder(QWidget* owner, const std::wstring& title, const std::wstring& initialFolder) {
  if (const auto accept = automaticAcceptance(title, initialFolder)) {
    if (*accept && folderExists(initialFolder)) return initialFolder;
    return std::nullopt;
  }
  return gCurrent->chooseFolder(owner, title, initialFolder);
}

FileDialogOverride::FileDialogOverride(FileDialogs& replacement) : previous_(gCurrent) { gCurrent = &replacement; }

FileDialogOverride::~FileDialogOverride() { gCurrent = previous_; }

}  // namespace platform
