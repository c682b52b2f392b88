// Desktop entries (freedesktop .desktop files) that start a program with given arguments.
// Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace desktop_entry {

// A value as a desktop entry stores it: backslash, line feed, tab and carriage return escaped,
// so that no text can end its line and add a key.
std::string escapeValue(const std::string& value);

// One word of Exec: quoted, with the characters that stay special inside quotes escaped and "%"
// doubled, so that a launcher hands it to the program exactly as given.
std::string quoteExecWord(const std::string& word);

// The whole file: an application entry named name that runs program with the arguments, shown
// with the icon file given (none when empty).
std::string applicationEntry(const std::string& name, const std::string& comment, const std::string& program,
                             const std::vector<std::string>& arguments, const std::string& icon = {});

// Writes the text to path through a temporary file and a rename, executable (0755) as launchers
// want a desktop shortcut to be. False when it cannot be written; nothing is left behind then.
bool writeEntryFile(const std::string& path, const std::string& text);

}  // namespace desktop_entry
