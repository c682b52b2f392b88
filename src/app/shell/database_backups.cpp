#include "app/shell/database_backups.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <optional>
#include <utility>

#include "app/common/modal_dialog.h"
#include "database/engine/busy_wait.h"
#include "database/engine/database_copy.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/whole_database.h"
#include "database/program_tables.h"
#include "platform/files/file_system.h"
#include "platform/trace.h"
#include "services/database_failure.h"
#include "services/file_failure.h"

namespace {

using sqliteplus::CopyOutcome;

constexpr wchar_t kNotMade[] = L"データベースのバックアップを作成できませんでした。";
constexpr wchar_t kDatabaseNotWhole[] = L"データベースファイルが壊れているか、データベースとして読み込めません。";
// Nothing is run again at an exit: the copy is, at the next one.
constexpr wchar_t kBusyAtExit[] =
    L"データベースは他のプログラムが使用中です。バックアップは、次に Kelvara を終了するときにもう一度作成します。";

// What the learner is told of a copy that was not made.
std::wstring failureText(const sqliteplus::DatabaseCopy& copy, CopyOutcome outcome) {
  switch (outcome) {
    case CopyOutcome::notWhole:
      return kNotMade + (L"\n" + std::wstring(kDatabaseNotWhole));
    case CopyOutcome::notWritten:
      return fileFailureText(kNotMade, copy.writeError());
    case CopyOutcome::made:
    case CopyOutcome::moved:  // noted gone or replaced, with the path
    case CopyOutcome::failed:
      break;
  }
  if (sqliteplus::lastEngineFailure() == sqliteplus::EngineFailure::busy)
    return kNotMade + (L"\n" + std::wstring(kBusyAtExit));
  return databaseFailureText(kNotMade);
}

void traceFailedCopy(const std::wstring& from, const std::wstring& to) {
  platform::traceError(L"backup: cannot copy %ls to %ls\n", from.c_str(), to.c_str());
}

// Makes a fresh copy of the open database at `target`; why it could not, if it could not.
std::optional<std::wstring> copyDatabase(sqliteplus::SqliteConnection& db, const std::wstring& target) {
  sqliteplus::DatabaseCopy copy(db, target, pdb3::programTables());
  const CopyOutcome outcome = copy.copy();
  if (outcome == CopyOutcome::made && copy.replaceTarget()) return std::nullopt;
  const int cause = errno;
  traceFailedCopy(db.fileName(), target);
  return outcome == CopyOutcome::made ? fileFailureText(kNotMade, cause) : failureText(copy, outcome);
}

QByteArray leadingBytes(const std::wstring& path) {
  QFile file(QString::fromStdWString(path));
  return file.open(QIODevice::ReadOnly) ? file.read(sqliteplus::kDatabaseHeaderSize) : QByteArray();
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

// Every copy that is due, in order; why the first that failed could not be made.
std::optional<std::wstring> copyAll(sqliteplus::SqliteConnection& db) {
  const std::wstring databasePath = db.fileName();
  const std::wstring lastRun = databasePath + L".bak.klvdb7";
  std::optional<std::wstring> failure;
  if (!isBackupCurrent(databasePath, lastRun)) failure = copyDatabase(db, lastRun);
  // The box tells the first failure: a later one is most often the same cause met again.
  const auto first = [&](std::wstring later) { return failure ? failure : std::move(later); };
  const std::wstring firstWeek = databasePath + L".w1bak.klvdb7";
  const QDateTime now = QDateTime::currentDateTime();
  const QFileInfo firstWeekInfo(QString::fromStdWString(firstWeek));
  if (isFresh(firstWeekInfo, now)) return failure;
  // The new week is copied first, so that nothing moves on for a database that cannot be copied
  // (one that is no whole database, say).
  sqliteplus::DatabaseCopy weekly(db, firstWeek, pdb3::programTables());
  if (const CopyOutcome outcome = weekly.copy(); outcome != CopyOutcome::made) {
    traceFailedCopy(databasePath, firstWeek);
    return first(failureText(weekly, outcome));
  }
  // The older week is kept where it is when it cannot move on: it is not lost to the new one. A
  // weekly file that is no whole database has nothing to keep and no right to replace w2.
  const std::wstring secondWeek = databasePath + L".w2bak.klvdb7";
  if (firstWeekInfo.exists() && sqliteplus::isWholeDatabase(firstWeek) && !platform::copyFile(firstWeek, secondWeek, true)) {
    const int cause = errno;
    traceFailedCopy(firstWeek, secondWeek);
    return first(fileFailureText(kNotMade, cause));
  }
  // A copy that failed leaves last week's file, which must not pass for a fresh one.
  if (!weekly.replaceTarget()) {
    const int cause = errno;
    traceFailedCopy(databasePath, firstWeek);
    return first(fileFailureText(kNotMade, cause));
  }
  QFile copy(QString::fromStdWString(firstWeek));
  if (copy.open(QIODevice::ReadWrite)) copy.setFileTime(now, QFileDevice::FileModificationTime);
  return failure;
}

}  // namespace

void MakeDatabaseBackups(sqliteplus::SqliteConnection& db) {
  if (!db.isOpen()) return;
  // The backups are an action of their own: one wait for another program's lock, and the causes
  // of their own failures only.
  sqliteplus::endBusyWaitAction();
  // Each copy replaces its file whole or not at all, so what was there before a failure stays.
  const std::wstring databasePath = db.fileName();
  bool anyBefore = false;
  for (const wchar_t* suffix : {L".bak.klvdb7", L".w1bak.klvdb7", L".w2bak.klvdb7"}) {
    anyBefore = anyBefore || platform::fileExists(databasePath + suffix);
    // Also when no copy is due this time.
    sqliteplus::removeCopiesLeftBeside(databasePath + suffix);
  }
  const std::optional<std::wstring> failure = copyAll(db);
  if (!failure) return;
  std::wstring text = *failure;
  if (anyBefore) text += L"\n前に作成したバックアップはそのまま残っています。";
  // No copy the learner relies on was made: said even when the run has said a failure already.
  reportUnmadeChangeAsSaid(nullptr, text, kAppCaption);
}
