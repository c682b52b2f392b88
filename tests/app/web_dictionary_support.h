// Web dictionaries for the question lists' tests: a list of every kind, the addresses the shell
// would have opened, and the items a menu offers.
#pragma once

#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "app/web_dictionary.h"
#include "platform/file_system.h"
#include "scoped_env.h"

namespace apptest {

// Entry 0 English-Japanese, 1 Japanese-English, 2 a web search, 3 a disabled English-Japanese
// entry, 4 an English-Japanese entry whose address is no web address.
inline WebDictionaryList everyKindOfDictionary() {
  WebDictionaryList list;
  list.entries = {{kEnglishJapanese, true, L"E&J", L"https://ej.example/?q=", L""},
                  {kJapaneseEnglish, true, L"JE", L"https://je.example/w/", L".html"},
                  {kWebSearch, true, L"Find", L"https://find.example/?q=", L""},
                  {kEnglishJapanese, false, L"Off", L"https://off.example/?q=", L""},
                  {kEnglishJapanese, true, L"Local", L"file:///tmp/", L""}};
  return list;
}

// Whatever the shell is asked to open while it lives is logged instead of opened.
class ShellOpenLog {
 public:
  std::string lines() const { return platform::readFileBytes(path()).value_or(""); }

 private:
  std::wstring path() const { return dir_.filePath("shell.log").toStdWString(); }
  QTemporaryDir dir_;
  testenv::ScopedEnv env_{"KELVARA_SHELL_LOG", dir_.filePath("shell.log").toUtf8().constData()};
};

// "text = command" for each item of the menu.
inline QStringList menuItems(const QMenu& menu) {
  QStringList items;
  for (const QAction* action : menu.actions()) items << action->text() + " = " + action->data().toString();
  return items;
}

}  // namespace apptest
