#include "services/file_write_failure.h"

#include <cerrno>

#include "services/database_failure.h"

namespace {

const wchar_t* causeOf(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return databaseFailureCause(sqliteplus::EngineFailure::full);
    case EACCES:
    case EPERM:
    case EROFS:
      return L"その場所にファイルを書き込む権限がありません。";
    case ENOENT:
    case ENOTDIR:
      return L"出力先のフォルダが見つかりません。";
    case ENAMETOOLONG:
      return L"ファイル名が長すぎます。";
    default:
      return L"ファイルを書き込めませんでした。";
  }
}

}  // namespace

std::wstring fileWriteFailureText(const std::wstring& what, int error) { return what + L"\n" + causeOf(error); }
