// Opening a document, a folder or a web address with the desktop's own handler.
#pragma once

#include <string>

namespace platform {

// Targets with a scheme ("https://...", "mailto:...") are addresses; anything else is a path,
// which must exist. With KELVARA_SHELL_LOG set nothing is opened: the target is appended to that
// file as one UTF-8 line, so that unattended runs can check what the user would have seen.
// False when the target is missing or the desktop cannot open it.
bool shellOpen(const std::wstring& target);

}  // namespace platform
