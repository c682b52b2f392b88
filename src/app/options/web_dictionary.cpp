#include "app/options/web_dictionary.h"

#include <QUrl>
#include <array>

#include "app/common/ini_section.h"
#include "services/shell_files.h"
#include "services/text_helpers.h"

namespace {

const std::wstring kSection = L"WebDic";
constexpr std::array<const wchar_t*, 3> kTypeKeys = {L"ej", L"je", L"find"};

// " 0".." 9", "10".."19" followed by the key's own name.
std::wstring entryKey(int index, const wchar_t* name) {
  std::wstring key;
  formatString(key, L"%2d_%ls", index, name);
  return key;
}

int typeOfKey(const std::wstring& key) {
  for (size_t type = 0; type < kTypeKeys.size(); ++type)
    if (key == kTypeKeys[type]) return static_cast<int>(type);
  return -1;
}

// The address to open: as typed when it is a valid one, else as a browser takes it from its
// address bar (blanks around it dropped; blanks, "|" and the other characters an address may not
// hold percent-encoded). Empty for anything that is not an http or https address.
QString webAddress(const QString& typed) {
  QUrl url(typed, QUrl::StrictMode);
  const bool asTyped = url.isValid();
  if (!asTyped) url = QUrl(typed.trimmed(), QUrl::TolerantMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) return {};
  return asTyped ? typed : url.toString(QUrl::FullyEncoded);
}

}  // namespace

std::wstring webDictionaryTypeKey(int type) {
  return type >= 0 && type < static_cast<int>(kTypeKeys.size()) ? kTypeKeys[type] : L"";
}

bool WebDictionaryList::Load(const std::wstring& file) {
  entries.clear();
  const IniSection ini(file, kSection, false);
  for (int index = 0; index < kMaxWebDictionaries; ++index) {
    const int type = typeOfKey(ini.read(entryKey(index, L"dictype")));
    if (type < 0) break;
    WebDictionary entry;
    entry.type = type;
    // A list written before the flag existed has every entry enabled.
    entry.enabled = ini.readInt(entryKey(index, L"enable"), -1) != 0;
    entry.title = ini.read(entryKey(index, L"title"));
    entry.head = ini.read(entryKey(index, L"head"));
    entry.foot = ini.read(entryKey(index, L"foot"));
    entries.push_back(std::move(entry));
  }
  return true;
}

bool WebDictionaryList::Save(const std::wstring& file) const {
  IniSection ini(file, kSection, true);
  int index = 0;
  for (const WebDictionary& entry : entries) {
    if (index >= kMaxWebDictionaries || webDictionaryTypeKey(entry.type).empty()) break;
    ini.write(entryKey(index, L"dictype"), webDictionaryTypeKey(entry.type));
    ini.write(entryKey(index, L"enable"), entry.enabled ? L"1" : L"0");
    ini.write(entryKey(index, L"title"), entry.title);
    ini.write(entryKey(index, L"head"), entry.head);
    ini.write(entryKey(index, L"foot"), entry.foot);
    ++index;
  }
  for (; index < kMaxWebDictionaries; ++index) ini.write(entryKey(index, L"dictype"), L"");
  return ini.commit();
}

bool OpenWebDictionary(const WebDictionaryList& list, const std::wstring& word, int index) {
  if (index < 0 || index >= static_cast<int>(list.entries.size())) return false;
  const WebDictionary& entry = list.entries[index];
  // Encoded, a word can neither end the query early ("&", "#") nor become an address or a path
  // of its own when the head is empty.
  const QString target = QString::fromStdWString(entry.head) +
                         QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdWString(word))) +
                         QString::fromStdWString(entry.foot);
  const QString address = webAddress(target);
  if (address.isEmpty()) return false;
  return ShellOpen(address.toStdWString());
}
