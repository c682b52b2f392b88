#include "app/shell/database_backups.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "platform/file_system.h"
#include "platform/trace.h"

namespace {

bool copyOrTrace(const std::wstring& from, const std::wstring& to) {
  if (platform::copyFile(from, to, true)) return true;
  platform::traceError(L"backup: cannot copy %ls to %ls\n", from.c_str(), to.c_str());
  return false;
}

// The weekly copy is still fresh: made less than seven days ago.
bool isFresh(const QFileInfo& weekly, const QDateTime& now) {
  return weekly.exists() && weekly.lastModified() >= now.addDays(-7);
}

}  // namespace

void MakeDatabaseBackups(const std::wstring& databasePath) {
  copyOrTrace(databasePath, databasePath + L".bak.klvdb7");
  const std::wstring firstWeek = databasePath + L".w1bak.klvdb7";
  const QDateTime now = QDateTime::currentDateTime();
  const QFileInfo firstWeekInfo(QString::fromStdWString(firstWeek));
  if (isFresh(firstWeekInfo, now)) return;
  // The older week is kept where it is when it cannot move on: it is not lost to the new one.
  if (firstWeekInfo.exists() && !copyOrTrace(firstWeek, databasePath + L".w2bak.klvdb7")) return;
  copyOrTrace(databasePath, firstWeek);
  QFile copy(QString::fromStdWString(firstWeek));
  if (copy.exists() && copy.open(QIODevice::ReadWrite)) copy.setFileTime(now, QFileDevice::FileModificationTime);
}
