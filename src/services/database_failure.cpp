#include "services/database_failure.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "database/busy_wait.h"
#include "database/engine_failure.h"
#include "platform/windows/notifier.h"
#include "services/database_failure_cause.h"

std::wstring databaseFailureText(const std::wstring& what) {
  const std::wstring cause = databaseFailureCause();
  return what + L"\n" + (cause.empty() ? sqliteplus::engineFailureCause(sqliteplus::EngineFailure::other) : cause);
}

std::wstring databaseFailureTextWhenKnown(const std::wstring& what) {
  const std::wstring cause = databaseFailureCause();
  return cause.empty() ? what : what + L"\n" + cause;
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
