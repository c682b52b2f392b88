#include "services/database_failure.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "database/busy_wait.h"
#include "database/engine_failure.h"
#include "platform/windows/notifier.h"

namespace {

const wchar_t* causeText(sqliteplus::EngineFailure failure) {
  using sqliteplus::EngineFailure;
  switch (failure) {
    case EngineFailure::busy:
      return L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";
    case EngineFailure::readOnly:
      return L"データベースファイルに書き込めません。ファイルが読み取り専用になっていないか確認してください。";
    case EngineFailure::full:
      return L"ディスクの空き容量が足りません。";
    case EngineFailure::other:
    case EngineFailure::none:
      break;
  }
  return L"データベースファイルの読み書きに失敗しました。";
}

}  // namespace

std::wstring databaseFailureText(const std::wstring& what) {
  return what + L"\n" + causeText(sqliteplus::lastEngineFailure());
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
