#include "app/shell/database_backups.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include "app/common/modal_dialog.h"
#include "database/engine/whole_database.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "services/database_failure.h"

namespace {

constexpr qint64 kHeaderSize = 100;
constexpr wchar_t kDatabaseNotWhole[] = L"データベースファイルが壊れているか、データベースとして読み込めません。";

bool copyOrTrace(const std::wstring& from, const std::wstring& to) {
  if (platform::copyFile(from, to, true)) return true;
  platform::traceError(L"backup: cannot copy %ls to %ls\n", from.c_str(), to.c_str());
  return false;
}

// Why no copy of the database may be made: it is not there, or no whole database; "" when it is.
std::wstring databaseUnfitForCopy(const std::wstring& databasePath) {
  if (!platform::fileExists(databasePath)) return missingDatabaseText(databasePath);
  if (!sqliteplus::isWholeDatabase(databasePath)) return kDatabaseNotWhole;
  return {};
}

QByteArray leadingBytes(const std::wstring& path) {
  QFile file(QString::fromStdWString(path));
  return file.open(QIODevice::ReadOnly) ? file.read(kHeaderSize) : QByteArray();
}

// The database has not changed since its copy was made, so that copying it again would write the
// same bytes. A copy that was itself written to since (opened in another program) has a newer
// time still, but no longer the database's header, whose change counter every write moves on.
bool isBackupCurrent(const std::wstring& databasePath, const std::wstring& copy) {
  if (!platform::isCopyCurrent(databasePath, copy)) return false;
  const QByteArray header = leadingBytes(databasePath);
  return header.size() > 0 && header == leadingBytes(copy);
}

// The weekly copy is still fresh: made less than seven days ago.
bool isFresh(const QFileInfo& weekly, const QDateTime& now) {
  return weekly.exists() && weekly.lastModified() >= now.addDays(-7);
}

// Every copy that is due, in order; false when one of them failed.
bool copyAll(const std::wstring& databasePath) {
  const std::wstring lastRun = databasePath + L".bak.klvdb7";
  const bool latest = isBackupCurrent(databasePath, lastRun) || copyOrTrace(databasePath, lastRun);
  const std::wstring firstWeek = databasePath + L".w1bak.klvdb7";
  const QDateTime now = QDateTime::currentDateTime();
  const QFileInfo firstWeekInfo(QString::fromStdWString(firstWeek));
  if (isFresh(firstWeekInfo, now)) return latest;
  // The older week is kept where it is when it cannot move on: it is not lost to the new one. A
  // weekly file that is no whole database has nothing to keep and no right to replace w2.
  if (firstWeekInfo.exists() && sqliteplus::isWholeDatabase(firstWeek) &&
      !copyOrTrace(firstWeek, databasePath + L".w2bak.klvdb7"))
    return false;
  // A copy that failed leaves last week's file, which must not pass for a fresh one.
  if (!copyOrTrace(databasePath, firstWeek)) return false;
  QFile copy(QString::fromStdWString(firstWeek));
  if (copy.open(QIODevice::ReadWrite)) copy.setFileTime(now, QFileDevice::FileModificationTime);
  return latest;
}

}  // namespace

void MakeDatabaseBackups(const std::wstring& databasePath) {
  // Each copy replaces its file whole or not at all, so what was there before a failure stays.
  bool anyBefore = false;
  for (const wchar_t* suffix : {L".bak.klvdb7", L".w1bak.klvdb7", L".w2bak.klvdb7"})
    anyBefore = anyBefore || platform::fileExists(databasePath + suffix);
  // A file another program emptied or cut short, or none at all, never replaces a good copy; nor
  // do the weekly copies move on for it.
  const std::wstring unfit = databaseUnfitForCopy(databasePath);
  if (!unfit.empty()) platform::traceError(L"backup: %ls is no whole database\n", databasePath.c_str());
  if (unfit.empty() && copyAll(databasePath)) return;
  std::wstring text = L"データベースのバックアップを作成できませんでした。";
  if (!unfit.empty()) text += L"\n" + unfit;
  if (anyBefore) text += L"\n前に作成したバックアップはそのまま残っています。";
  platform::messageBox(nullptr, text, kAppCaption, platform::MbIconWarning);
}
