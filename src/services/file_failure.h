// What the learner is told when one of their files could not be read, made or written: what
// failed, then the cause the system gave, when it is one the learner can act on.
#pragma once

#include <string>

// "<what>\n<cause>" for a full disk, a file that may not be written, a folder in the file's place,
// a missing folder, a name too long, text the file cannot hold (EILSEQ) or a settings file whose
// own bytes do not decode (platform::kUndecodableProfile) (`error`: the errno of the failed write
// or delete); "<what>" alone for anything else.
std::wstring fileFailureText(const std::wstring& what, int error);

// The same for a file that could not be read: one that may not be read, a folder in its place, a
// missing file or a failing disk.
std::wstring fileReadFailureText(const std::wstring& what, int error);

// The same for a folder that could not be made: one where folders may not be made, a file in its
// place or on its way, a full disk or a name too long.
std::wstring folderFailureText(const std::wstring& what, int error);
