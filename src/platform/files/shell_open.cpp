#include "platform/files/shell_open.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "platform/files/file_system.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

// Two letters at least, so that a drive-like "C:" is never taken for a scheme.
bool hasScheme(const QString& target) {
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  return scheme.match(target).hasMatch();
}

bool logTarget(const char* logFile, const std::wstring& target) {
  const UniqueFile log(std::fopen(logFile, "a"));
  if (!log) {
    traceError("shell open: cannot append to %s\n", logFile);
    return false;
  }
  return std::fprintf(log.get(), "%s\n", toUtf8(target).c_str()) > 0;
}

}  // namespace

bool shellOpen(const std::wstring& target) {
  const QString text = QString::fromStdWString(target);
  const bool address = hasScheme(text);
  if (!address && !fileExists(target)) {
    traceError("shell open: %s does not exist\n", toUtf8(target).c_str());
    return false;
  }
  if (const char* logFile = std::getenv("KELVARA_SHELL_LOG"); logFile && *logFile) return logTarget(logFile, target);
  return QDesktopServices::openUrl(address ? QUrl(text) : QUrl::fromLocalFile(text));
}

}  // namespace platform
