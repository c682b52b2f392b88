// Files of the source tree that benchmarks build their data from (KELVARA_SOURCE_DIR is set for
// every benchmark program).
#pragma once

#include <QFile>
#include <QString>
#include <string>

inline std::wstring sourcePath(const char* relative) {
  return QString(QString(KELVARA_SOURCE_DIR) + "/" + relative).toStdWString();
}

// The file's text, read as UTF-8; empty when it cannot be read.
inline std::wstring scriptText(const char* relative) {
  QFile file(QString::fromStdWString(sourcePath(relative)));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).toStdWString();
}
