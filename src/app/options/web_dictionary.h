// The user's web dictionaries: each is an address split into a head and a foot between which a
// word is put. Kept in an INI file (section "WebDic", keys " 0_dictype" ... "19_foot").
#pragma once

#include <string>
#include <vector>

enum WebDictionaryType { kEnglishJapanese = 0, kJapaneseEnglish = 1, kWebSearch = 2 };

inline constexpr int kMaxWebDictionaries = 20;

struct WebDictionary {
  int type = kEnglishJapanese;
  bool enabled = false;
  std::wstring title;
  std::wstring head;
  std::wstring foot;
};

// The type's word in the file ("ej", "je", "find"); empty for a type outside them.
std::wstring webDictionaryTypeKey(int type);

class WebDictionaryList {
 public:
  // Reads the entries in order up to the first index whose type is missing or unknown. A file
  // that cannot be read gives an empty list. Always true.
  bool Load(const std::wstring& file);
  // Writes every entry (up to one of an unknown type) and an empty type for each further index,
  // so that the list ends where it should. The file is replaced in one step: false, and the file
  // as it was, when it cannot be written.
  bool Save(const std::wstring& file) const;

  std::vector<WebDictionary> entries;
};

// Opens entry `index` for the word in the desktop's browser: head + the word percent-encoded as
// UTF-8 + foot, taken as a browser takes a typed address (what an address may not hold, such as
// a blank or "|" in the head or foot, percent-encoded). False for an index outside the list and
// for anything that is not an http or https address (nothing is opened then).
bool OpenWebDictionary(const WebDictionaryList& list, const std::wstring& word, int index);
