#include "services/database_failure.h"

#include "database/engine/engine_refusal.h"
#include "database/logs/study_context.h"
#include "platform/windows/notifier.h"
#include "services/user_action.h"

using sqliteplus::EngineFailure;

namespace {

constexpr wchar_t kDatabaseMissing[] = L"データベースファイルが見つかりません。移動または削除されていないか確認してください。";
constexpr wchar_t kDatabaseReplaced[] =
    L"データベースファイルが、開いた後で別のファイルに置き換えられました。"
    L"「データベースの再読込」で新しいファイルを開くことができます。";

std::wstring withPath(const wchar_t* cause, const std::wstring& path) { return cause + (L"\n" + path); }

}  // namespace

const wchar_t kSmartLearningUnavailable[] =
    L"スマート学習リスト（SmartLearning/1）か記憶率の表をデータベースに作成できなかったため、スマート学習は使えません。";

std::wstring missingMemoryRatesText(pdb3::MemoryRateTable table) {
  constexpr wchar_t kNotAdded[] = L"データベースに記憶率の表（memory_rate）を追加できなかったため、スマート学習は使えません。\n";
  switch (table) {
    case pdb3::MemoryRateTable::present:
      return {};
    case pdb3::MemoryRateTable::missing:
      return L"データベースに記憶率の表（memory_rate）がないため、スマート学習は使えません。";
    case pdb3::MemoryRateTable::nameTaken:
      return kNotAdded + std::wstring(L"データベースの中で、表ではない別のもの（索引やビュー）が同じ名前 memory_rate を使っています。");
    case pdb3::MemoryRateTable::notMade:
      break;
  }
  return kNotAdded + std::wstring(databaseFailureCause(EngineFailure::other));
}

std::wstring fileRefusalText(pdb3::FileRefusal refusal) {
  switch (refusal) {
    case pdb3::FileRefusal::notOurs:
      return L"Kelvara のデータベースではありません";
    case pdb3::FileRefusal::otherVersion:
      return L"データベースのバージョンが異なります。";
    case pdb3::FileRefusal::cannotUpgrade:
      return L"データベースファイルに書き込めないため、このバージョンのデータベースに更新できません。"
             L"ファイルが読み取り専用になっていないか確認してください。";
    case pdb3::FileRefusal::none:
      break;
  }
  return {};
}

const wchar_t* databaseFailureCause(EngineFailure failure) {
  switch (failure) {
    case EngineFailure::busy:
      return L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。";
    case EngineFailure::readOnly:
      return L"データベースファイルに書き込めません。ファイルが読み取り専用になっていないか確認してください。";
    case EngineFailure::full:
      return L"ディスクの空き容量が足りません。";
    case EngineFailure::unreadable:
      return L"データベースファイルを読み込む権限がありません。ファイルとそのフォルダのアクセス許可を確認してください。";
    case EngineFailure::notADatabase:
      return L"ファイルがデータベースの形式ではありません。Kelvara のデータベースファイルか確認してください。";
    case EngineFailure::damaged:
      return L"データベースファイルが壊れています。バックアップ（同じフォルダの、名前の後に .bak.klvdb7、.w1bak.klvdb7 "
             L"または .w2bak.klvdb7 が付いたファイル）が残っていれば、Kelvara を終了してから、そのコピーを元のファイル名にして"
             L"置き換えてください。";
    case EngineFailure::gone:
      return kDatabaseMissing;
    case EngineFailure::replaced:
      return kDatabaseReplaced;
    case EngineFailure::other:
    case EngineFailure::none:
      break;
  }
  return L"データベースファイルの読み書きに失敗しました。";
}

std::wstring missingDatabaseText(const std::wstring& path) { return withPath(kDatabaseMissing, path); }

std::wstring replacedDatabaseText(const std::wstring& path) { return withPath(kDatabaseReplaced, path); }

namespace {

// Why the thread's last failure happened; "" when the engine noted none since the action began. A
// refused change is "other" to the engine, but the trigger that refused it says why in its own words.
std::wstring lastFailureCause() {
  const EngineFailure failure = sqliteplus::lastEngineFailure();
  if (failure == EngineFailure::none) return {};
  if (failure == EngineFailure::gone) return missingDatabaseText(sqliteplus::lastMissingDatabase());
  if (failure == EngineFailure::replaced) return replacedDatabaseText(sqliteplus::lastMissingDatabase());
  if (failure == EngineFailure::other && !sqliteplus::lastEngineRefusal().empty())
    return sqliteplus::lastEngineRefusal();
  return databaseFailureCause(failure);
}

}  // namespace

std::wstring databaseFailureText(const std::wstring& what) {
  const std::wstring cause = lastFailureCause();
  return what + L"\n" + (cause.empty() ? databaseFailureCause(EngineFailure::other) : cause);
}

std::wstring databaseFailureTextWhenKnown(const std::wstring& what) {
  const std::wstring cause = lastFailureCause();
  return cause.empty() ? what : what + L"\n" + cause;
}

namespace {

using SayGate = bool (*)(const std::wstring& text);

void sayThrough(SayGate toBeSaid, QWidget* owner, const std::wstring& text, const std::wstring& caption) {
  if (toBeSaid(text)) platform::messageBox(owner, text, caption);
}

void reportThrough(SayGate toBeSaid, QWidget* owner, const std::wstring& what, const std::wstring& caption) {
  sayThrough(toBeSaid, owner, databaseFailureText(what), caption);
}

void notifyThrough(SayGate toBeSaid, const pdb3::StudyContext& study, const std::wstring& what) {
  const std::wstring text = databaseFailureTextWhenKnown(what);
  if (toBeSaid(text)) study.notify(text);
}

}  // namespace

void reportFailedRead(QWidget* owner, const std::wstring& what, const std::wstring& caption) {
  reportThrough(failedReadToBeSaid, owner, what, caption);
}

void notifyFailedRead(const pdb3::StudyContext& study, const std::wstring& what) {
  notifyThrough(failedReadToBeSaid, study, what);
}

void reportUnmadeChange(QWidget* owner, const std::wstring& what, const std::wstring& caption) {
  reportThrough(unmadeChangeToBeSaid, owner, what, caption);
}

void reportUnmadeChangeAsSaid(QWidget* owner, const std::wstring& text, const std::wstring& caption) {
  sayThrough(unmadeChangeToBeSaid, owner, text, caption);
}

void notifyUnmadeChange(const pdb3::StudyContext& study, const std::wstring& what) {
  notifyThrough(unmadeChangeToBeSaid, study, what);
}

void reportViewNotReread(QWidget* owner, const std::wstring& what, const std::wstring& caption) {
  reportThrough(unmadeChangeToBeSaid, owner, what, caption);
}

bool offerRetryOfUnmadeChange(QWidget* owner, const std::wstring& what, const std::wstring& caption) {
  const std::wstring text = databaseFailureText(what);
  if (!unmadeChangeToBeSaid(text) ||
      platform::messageBox(owner, text, caption, platform::MbRetryCancel | platform::MbIconWarning) != platform::IdRetry)
    return false;
  endActionUnlessHeld();
  return true;
}

KeptFailureCause KeptFailureCause::noted() { return {sqliteplus::notedFailure()}; }

void KeptFailureCause::noteAgain() const { sqliteplus::restoreNotedFailure(failure); }
