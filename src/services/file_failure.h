// What the learner is told when one of their files could not be made or written: what failed,
// then the cause the system gave, when it is one the learner can act on.
#pragma once

#include <string>

// "<what>\n<cause>" for a full disk, a file that may not be written, a missing folder or a name too
// long (`error`: the errno of the failed write); "<what>" alone for anything else.
std::wstring fileFailureText(const std::wstring& what, int error);
