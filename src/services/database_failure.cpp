#include "services/database_failure.h"

#include "database/study_context.h"
#include "platform/windows/notifier.h"
#include "services/user_action.h"

const wchar_t kSmartLearningUnavailable[] =
    L"スマート学習リスト（SmartLearning/1）をデータベースに作成できなかったため、スマート学習は使えません。";

const wchar_t* databaseFailureCause(sqliteplus::EngineFailure failure) {
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

std::wstring databaseFailureText(const std::wstring& what) {
  return what + L"\n" + databaseFailureCause(sqliteplus::lastEngineFailure());
}

std::wstring databaseFailureTextWhenKnown(const std::wstring& what) {
  using sqliteplus::EngineFailure;
  const EngineFailure failure = sqliteplus::lastEngineFailure();
  return failure == EngineFailure::none || failure == EngineFailure::other ? what : databaseFailureText(what);
}

void reportDatabaseFailure(QWidget* owner, const std::wstring& what) {
  const std::wstring text = databaseFailureText(what);
  if (firstFailureOfAction(text)) platform::messageBox(owner, text, L"Kelvara");
}

void notifyDatabaseFailure(const pdb3::StudyContext& study, const std::wstring& what) {
  const std::wstring text = databaseFailureTextWhenKnown(what);
  if (firstFailureOfAction(text)) study.notify(text);
}

bool databaseWasBusy() { return sqliteplus::lastEngineFailure() == sqliteplus::EngineFailure::busy; }
