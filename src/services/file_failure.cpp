#include "services/file_failure.h"

#include <cerrno>

std::wstring fileFailureText(const std::wstring& what, int error) {
  switch (error) {
    // A file past its size limit meets the same end as one on a full disk: no byte more fits.
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return what + L"\nディスクの空き容量が足りません。";
    case EACCES:
    case EPERM:
    case EROFS:
      return what + L"\nファイルに書き込めません。書き込みが許可されているか確認してください。";
    default:
      return what;
  }
}
