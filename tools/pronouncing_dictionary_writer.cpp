#include "pronouncing_dictionary_writer.h"

#include "platform/byte_order.h"
#include "platform/text.h"
#include "study/sound/phoneme_codes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace kpd {
namespace {

// "WORD(2)" names a further reading of WORD.
std::string baseWord(const std::string& word) {
  const size_t open = word.rfind('(');
  if (open == std::string::npos || open == 0 || word.back() != ')') return word;
  for (size_t i = open + 1; i + 1 < word.size(); ++i)
    if (word[i] < '0' || word[i] > '9') return word;
  return open + 2 < word.size() ? word.substr(0, open) : word;
}

std::string header(std::string_view magic) {
  std::string bytes(magic);
  bytes.resize(study::kDictionaryHeaderSize, '\0');
  return bytes;
}

bool writeWhole(const std::string& path, const std::string& bytes, std::string& error) {
  const std::filesystem::path target(path);
  std::error_code ignored;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ignored);
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      error = "cannot write " + temporary;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot replace " + path;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace

bool parseWordList(std::string_view utf8Text, std::vector<WordReadings>& words, std::string& error) {
  words.clear();
  std::map<std::string, size_t> indexOfWord;
  std::istringstream lines{std::string(utf8Text)};
  std::string line;
  for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
    const auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    };
    if (line.rfind(";;;", 0) == 0) continue;
    std::istringstream fields(line);
    std::string word;
    if (!(fields >> word)) continue;
    const std::string cp932 = study::upperCaseCp932(platform::toCp932(platform::fromUtf8(baseWord(word))));
    if (cp932.size() > 255) return fail("the word is longer than 255 bytes");
    study::PhonemeCodes reading;
    for (std::string name; fields >> name;) {
      const int code = study::phonemeCodeOf(name);
      if (code < 0) return fail("unknown phoneme \"" + name + "\"");
      reading.push_back(static_cast<uint8_t>(code));
    }
    if (reading.empty()) return fail("no phonemes");
    if (reading.size() > 255) return fail("more than 255 phonemes");
    const auto [at, added] = indexOfWord.try_emplace(cp932, words.size());
    if (added) words.push_back({cp932, {}});
    WordReadings& entry = words[at->second];
    if (entry.readings.size() == 255) return fail("more than 255 readings");
    entry.readings.push_back(std::move(reading));
  }
  return true;
}

bool writePronouncingDictionary(const std::vector<WordReadings>& words, const std::string& indexPath,
                                const std::string& dataPath, std::string& error) {
  std::string data = header(study::kDataFileMagic);
  std::string index = header(study::kIndexFileMagic);
  platform::appendLittleEndian<quint32>(index, static_cast<quint32>(words.size()));
  for (const WordReadings& entry : words) {
    if (entry.word.size() > 255 || entry.readings.size() > 255) {
      error = "the entry " + entry.word + " does not fit the format";
      return false;
    }
    index += static_cast<char>(entry.word.size());
    index += entry.word;
    index += static_cast<char>(entry.readings.size());
    for (const study::PhonemeCodes& reading : entry.readings) {
      if (reading.size() > 255 || data.size() > UINT32_MAX) {
        error = "the entry " + entry.word + " does not fit the format";
        return false;
      }
      platform::appendLittleEndian<quint32>(index, static_cast<quint32>(data.size()));
      data += static_cast<char>(reading.size());
      data.append(reading.begin(), reading.end());
    }
  }
  return writeWhole(dataPath, data, error) && writeWhole(indexPath, index, error);
}

}  // namespace kpd
