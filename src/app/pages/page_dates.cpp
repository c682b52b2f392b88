#include "app/pages/page_dates.h"

#include "platform/trace.h"

std::tm pageLocalTime(int64_t seconds) {
  const time_t time = static_cast<time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&time, &local)) return std::tm{};
  return local;
}

std::wstring pageDateText(int64_t seconds) {
  if (seconds == 0) return L"<未設定>";
  static const wchar_t* const kWeekdays[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
  const time_t time = static_cast<time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&time, &local)) return L"<未設定>";
  return platform::format(L"%4d-%02d-%02d(%ls) %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          kWeekdays[local.tm_wday], local.tm_hour, local.tm_min, local.tm_sec);
}

std::wstring pageAgoText(int64_t seconds) {
  if (seconds < 3600) return platform::format(L"%d 分前", static_cast<int>(seconds / 60));
  if (seconds < 86400) return platform::format(L"%d 時間前", static_cast<int>(seconds / 3600));
  return platform::format(L"%d 日前", static_cast<int>(seconds / 86400));
}

std::wstring pageRunText(int64_t seconds) {
  const std::tm local = pageLocalTime(seconds);
  return platform::format(L"[%2d/%02d %02d:%02d]", local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
}
