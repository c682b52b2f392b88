// Web dictionaries for the question lists' tests, and the addresses the shell would have opened.
#pragma once

#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include "app/options/web_dictionary.h"
#include "platform/files/file_system.h"
#include "scoped_env.h"

namespace apptest {

// One enabled entry of each type, then a disabled one.
inline WebDictionaryList everyKindOfDictionary() {
  return {{{kEnglishJapanese, true, L"E&J", L"https://ej.example/?q=", L""},
           {kJapaneseEnglish, true, L"JE", L"https://je.example/w/", L".html"},
           {kWebSearch, true, L"Find", L"https://find.example/?q=", L""},
           {kEnglishJapanese, false, L"Off", L"https://off.example/?q=", L""}}};
}

// Logs (decoded) what the shell is asked to open while it lives, instead of opening it.
struct ShellOpenLog {
  QString lines() const {
    return QUrl::fromPercentEncoding(platform::readFileBytes(dir.filePath("log").toStdWString()).value_or("").c_str());
  }
  QTemporaryDir dir;
  testenv::ScopedEnv env{"KELVARA_SHELL_LOG", dir.filePath("log").toUtf8().constData()};
};

// "text = command" for each item of the menu.
inline QStringList menuItems(const QMenu& menu) {
  QStringList items;
  for (const QAction* action : menu.actions()) items << action->text() + " = " + action->data().toString();
  return items;
}

}  // namespace apptest
