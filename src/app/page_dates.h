// Times as the main dialog's pages write them.
#pragma once

#include <cstdint>
#include <string>

// "2024-01-01(月) 09:00:00" in local time; "<未設定>" for a time of 0 (never set).
std::wstring pageDateText(int64_t seconds);
