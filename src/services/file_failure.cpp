#include "services/file_failure.h"

#include <cerrno>

#include "services/database_failure.h"

namespace {

const wchar_t* causeOf(int error) {
  switch (error) {
    // A file past its size limit meets the same end as one on a full disk: no byte more fits.
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return databaseFailureCause(sqliteplus::EngineFailure::full);
    case EACCES:
    case EPERM:
    case EROFS:
      return L"ファイルに書き込めません。書き込みが許可されているか確認してください。";
    case ENOENT:
    case ENOTDIR:
      return L"書き込み先のフォルダが見つかりません。";
    case ENAMETOOLONG:
      return L"ファイル名が長すぎます。";
    default:
      return nullptr;
  }
}

}  // namespace

std::wstring fileFailureText(const std::wstring& what, int error) {
  const wchar_t* cause = causeOf(error);
  return cause ? what + L"\n" + cause : what;
}
