// File and folder choice dialogs behind one interface, so that tests and unattended runs can
// answer them. With KELVARA_AUTOANSWER set no dialog is shown: "cancel" or "no" cancels, any
// other answer takes the dialog's starting path when the dialog would accept it (an existing
// file to open, any file name to save, an existing folder), and each dialog is written to stderr
// as "filedlg: <title>: <starting path>".
#pragma once

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace platform {

struct FileFilter {
  std::wstring description;  // "KLV SkinFile (*.lua)"
  std::wstring pattern;      // "*.lua"; "*.*" means every file
};

struct FileDialogRequest {
  bool open = true;  // an open dialog (the chosen file must exist), else a save dialog
  std::wstring title;
  std::wstring initialPath;
  std::wstring defaultExtension;  // "*.dat" or "dat": added to a saved name that has none
  std::vector<FileFilter> filters;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<std::wstring> chooseFile(QWidget* owner, const FileDialogRequest& request) = 0;
  virtual std::optional<std::wstring> chooseFolder(QWidget* owner, const std::wstring& title,
                                                   const std::wstring& initialFolder) = 0;
};

// Nothing when the user cancels.
std::optional<std::wstring> chooseFile(QWidget* owner, const FileDialogRequest& request);
std::optional<std::wstring> chooseFolder(QWidget* owner, const std::wstring& title, const std::wstring& initialFolder);

// Replaces the dialogs until the guard goes (tests answer dialogs this way).
class FileDialogOverride {
 public:
  explicit FileDialogOverride(FileDialogs& replacement);
  ~FileDialogOverride();
  FileDialogOverride(const FileDialogOverride&) = delete;
  FileDialogOverride& operator=(const FileDialogOverride&) = delete;

 private:
  FileDialogs* previous_;
};

}  // namespace platform
