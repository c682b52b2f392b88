// Times as the main dialog's pages write them.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// "2024-01-01(月) 09:00:00" in local time; "<未設定>" for a time of 0 (never set).
std::wstring pageDateText(int64_t seconds);

// How long ago a study was, by the time passed: "%d 分前" below an hour, "%d 時間前" below a day,
// else "%d 日前" (whole units, rounded down).
std::wstring pageAgoText(int64_t seconds);

// "[ 1/05 09:00]": month, day, hour and minute in local time, as study runs are listed.
std::wstring pageRunText(int64_t seconds);
// The local time of a stored time; all fields 0 when it cannot be converted.
std::tm pageLocalTime(int64_t seconds);
