#include "services/file_failure.h"

#include <cerrno>

#include "platform/settings/ini_profile.h"
#include "services/database_failure.h"

namespace {

constexpr wchar_t kFolderInThePlace[] = L"ファイルと同じ名前のフォルダがあります。";

const wchar_t* writeCauseOf(int error) {
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
    case EISDIR:
      return kFolderInThePlace;
    case ENOENT:
    case ENOTDIR:
      return L"書き込み先のフォルダが見つかりません。";
    case ENAMETOOLONG:
      return L"ファイル名が長すぎます。";
    // Our own refusal of a name or value the file cannot hold (a line break, a NUL): nothing of
    // the file was changed.
    case EILSEQ:
      return L"ファイルに保存できない文字が含まれています。";
    // The file's own bytes do not decode: written in another encoding, as the text needs, they
    // would be lost, and the file was left as it was.
    case platform::kUndecodableProfile:
      return L"ファイルの中に読み取れない文字があるため、書き込めません。";
    default:
      return nullptr;
  }
}

const wchar_t* readCauseOf(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return L"ファイルを読み込めません。読み込みが許可されているか確認してください。";
    case EISDIR:
      return kFolderInThePlace;
    case ENOENT:
    case ENOTDIR:
      return L"ファイルが見つかりません。";
    case EIO:
      return L"ディスクから読み込めませんでした。";
    default:
      return nullptr;
  }
}

const wchar_t* folderCauseOf(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return databaseFailureCause(sqliteplus::EngineFailure::full);
    case EACCES:
    case EPERM:
    case EROFS:
      return L"フォルダを作成する権限がありません。作成先への書き込みが許可されているか確認してください。";
    case EEXIST:
    case ENOTDIR:
      return L"フォルダと同じ名前のファイルがあります。";
    case ENAMETOOLONG:
      return L"フォルダ名が長すぎます。";
    default:
      return nullptr;
  }
}

std::wstring withCause(const std::wstring& what, const wchar_t* cause) { return cause ? what + L"\n" + cause : what; }

}  // namespace

std::wstring fileFailureText(const std::wstring& what, int error) { return withCause(what, writeCauseOf(error)); }

std::wstring fileReadFailureText(const std::wstring& what, int error) { return withCause(what, readCauseOf(error)); }

std::wstring folderFailureText(const std::wstring& what, int error) { return withCause(what, folderCauseOf(error)); }
