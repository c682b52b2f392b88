// Files, folders, programs and documents as the shell reaches them. Paths use "/" and are never
// cut to a fixed length.
#pragma once

#include <string>
#include <vector>

#include "platform/windows/file_dialog.h"
#include "platform/files/file_system.h"

class QWidget;

// A path taken apart: drive (always empty here), folder with its trailing "/", file name
// without extension, extension with its dot.
struct PathParts {
  explicit PathParts(const std::wstring& path);
  // Drive and folder without the trailing "/"; empty when both are empty.
  std::wstring GetFolder() const;

  std::wstring drive, directory, fileName, extension;
};

// The program's folder with its trailing "/", ready for a file name to be appended.
std::wstring programFolder();
// The path of a shell folder by the original's number (0 desktop, 5 documents); false when unknown.
bool getSpecialFolder(int csidl, std::wstring& out);

using platform::fileExists;

// The folder of a path ending in "/" exists afterwards, or the user is told why not (a file of
// that name, or a failed creation) and the result is false. "/" itself is always there.
bool createFolder(const std::wstring& path);
// For an absolute path: createFolder on every ancestor and the folder itself, in order,
// stopping at the first failure. Any other path: one createFolder.
bool createFolderTree(const std::wstring& path);

// Starts a program from a command line (the original's quoting) in the working folder.
bool launchProcess(const std::wstring& commandLine, const std::wstring& workingFolder);
// Opens a document or an address with the desktop's handler.
bool ShellOpen(const std::wstring& target);
bool OpenWithShell(const std::wstring& path);

// The folder dialog titled "フォルダを選択してください", starting at the initial folder.
bool browseForFolder(QWidget* owner, const std::wstring& initialFolder, std::wstring& out);
// An open (with open set) or save dialog starting at the initial file. An open succeeds only for
// an existing file.
bool chooseFile(QWidget* owner, const std::wstring& initialFile, std::wstring& out, const std::wstring& defaultExtension,
                const std::wstring& title, const std::vector<platform::FileFilter>& filters, bool open);
