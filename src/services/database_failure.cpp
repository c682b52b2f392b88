#include "services/database_failure.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "database/busy_wait.h"
#include "database/engine_failure.h"
#include "platform/windows/notifier.h"

std::wstring databaseFailureText(const std::wstring& what) {
  return what + L"\n" + sqliteplus::engineFailureCause(sqliteplus::lastEngineFailure());
}

std::wstring databaseFailureTextWhenKnown(const std::wstring& what) {
  using sqliteplus::EngineFailure;
  const EngineFailure failure = sqliteplus::lastEngineFailure();
  return failure == EngineFailure::none || failure == EngineFailure::other ? what : databaseFailureText(what);
}

void reportDatabaseFailure(QWidget* owner, const std::wstring& what) {
  platform::messageBox(owner, databaseFailureText(what), L"Kelvara");
}

bool databaseWasBusy() { return sqliteplus::lastEngineFailure() == sqliteplus::EngineFailure::busy; }

void waitForBusyDatabaseOncePerAction() {
  sqliteplus::countBusyWaitsPerAction();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, [] { sqliteplus::endBusyWaitAction(); });
}
