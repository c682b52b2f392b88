// Why a file the learner asked for (an export) could not be written, from the system's error
// number, in words that say what to do.
#pragma once

#include <string>

// "<what>\n<why>".
std::wstring fileWriteFailureText(const std::wstring& what, int error);
