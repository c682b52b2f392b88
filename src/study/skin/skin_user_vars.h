// The values a user chose for a skin's variables, kept in the skin user file: an INI file with one
// section per user and keys "<skin file name>_<variable>".
#pragma once

#include <map>
#include <string>

namespace study {

class SkinInfo;

// One skin, one user. An empty text means "no value of the user's": the skin's default applies.
struct SkinUserVars {
  std::map<std::wstring, std::wstring> fontValues;
  std::map<std::wstring, std::wstring> colorValues;
  std::wstring backgroundImage;  // a path
  std::wstring backgroundColor;  // RRGGBB
};

// The key prefix of a skin: its file name with the extension ("blue.lua" for ".../blue.lua").
std::wstring skinFileName(const std::wstring& skinPath);

// Reads the user's values for the variables the skin declares (always true; an unreadable file
// reads as no values). A value saved under a variable's former name counts while none is saved
// under its name. A value ends at its first NUL.
bool loadStyle(SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName, const SkinInfo& skin);
// Writes every value, an empty one as "key=", all or none. False, with errno telling why, when the
// file cannot be written or could not be read (it is then not written over), or holds no place
// for a name or value (EILSEQ: a line break, a key with "="; platform::kUndecodableProfile: a
// character its encoding lacks in a file whose own bytes do not decode).
bool saveStyle(const SkinUserVars& values, const std::wstring& userFile, const std::wstring& userName,
               const std::wstring& skinFileName);

}  // namespace study
