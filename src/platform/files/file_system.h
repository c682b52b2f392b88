// Files and folders as the program sees them. Paths are the program's wide strings; on disk they
// are UTF-8. Nothing here shows a message: callers decide what the user is told.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// True when anything (file or folder) exists at the path.
bool fileExists(const std::wstring& path);
bool folderExists(const std::wstring& path);
// Makes one folder; its parent must exist. False when it cannot be made or something is in the way.
bool makeFolder(const std::wstring& path);
// Makes the folder and those on the way that are missing; true when it is there afterwards. On
// failure errno tells why (ENOTDIR: a file where a folder should be).
bool makeFolderTree(const std::wstring& path);
// Copies a file. Without overwrite an existing target makes the copy fail and stays untouched.
// The target appears whole or not at all.
bool copyFile(const std::wstring& from, const std::wstring& to, bool overwrite);
bool deleteFile(const std::wstring& path);
// True when the copy was written after the original last changed in any way (its content, or the
// file replaced or given older times, which moves its change time), at a time not yet to come
// (a clock set back), and has the original's size: a new copy would hold the same bytes. Anything
// the file system cannot tell makes it false.
bool isCopyCurrent(const std::wstring& original, const std::wstring& copy);

// The whole file, or nothing when it cannot be read (errno tells why: EISDIR for a folder).
std::optional<std::string> readFileBytes(const std::wstring& path);
// Replaces the file through a temporary file and a rename, so that a crash or a full disk leaves
// either the old content or the new one, never a mixture. An existing file keeps its permissions;
// a link keeps leading to the file, which is the one replaced. On failure errno tells the cause.
bool writeFileAtomically(const std::wstring& path, std::string_view bytes);

// A C stream closed when it goes.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;
// fopen with the program's path; null when it cannot be opened.
UniqueFile openFile(const std::wstring& path, const char* mode);

}  // namespace platform
