// A database file for a benchmark to fill. The connection opens only files that are there (a
// missing database is never made in its place): an empty file is an empty database to the engine.
#pragma once

#include <QFile>
#include <QString>
#include <string>

inline std::wstring freshDatabaseFile(const QString& path) {
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  return path.toStdWString();
}
