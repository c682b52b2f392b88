// The pronouncing dictionary: an index file listing the words and a data file holding, for each
// word, one or more readings as phoneme codes.
//
// Index file, little-endian: a 32-byte header whose first 27 bytes are
// "Klv Pronouncing Dic. Index "; u32 entry count; per entry u8 word length L, L bytes of the word
// (code page 932, upper case), u8 reading count N, N times u32 offset into the data file.
// Data file: a 32-byte header ("Klv Pronouncing Dic. Data  " ...), then at each offset a record:
// u8 length M and M phoneme codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_system.h"

namespace study {

using PhonemeCodes = std::vector<uint8_t>;

inline constexpr std::string_view kIndexFileMagic = "Klv Pronouncing Dic. Index ";
inline constexpr std::string_view kDataFileMagic = "Klv Pronouncing Dic. Data  ";
inline constexpr size_t kDictionaryHeaderSize = 32;

class PronouncingDictionary {
 public:
  // Loads the index and keeps the data file open (paths in UTF-8). False for a missing or foreign
  // file, and for an index that promises more than it holds: then no word is found.
  bool openIndex(const std::string& dataPath, const std::string& indexPath);

  // The readings of a word (code page 932; letters match without regard to case); true when at
  // least one was read. A reading that cannot be read in full is skipped.
  bool ReadEntry(const std::string& word, std::vector<PhonemeCodes>& records);

  int PhonemeCode(std::string_view name) const;

  // The phonemes of a text for display, the text cut to 99 bytes of code page 932 (never inside
  // a character). True when at least one word was found.
  bool LookupPhrase(const std::wstring& text, PhonemeCodes& codes);

  size_t entryCount() const { return entries_.size(); }

 private:
  struct Entry {
    std::string word;
    std::vector<uint32_t> offsets;
  };

  bool readIndex(FILE* index);

  std::vector<Entry> entries_;
  platform::UniqueFile data_;
};

// Appends the codes of the word's first reading (true), or the word gap alone when the word is
// not in the dictionary (false).
bool PronounceWord(PronouncingDictionary& dictionary, const std::string& word, PhonemeCodes& codes);
// Splits the text (code page 932, cut to 1023 bytes) at blanks, tabs, line feeds, ",", "." and
// "-" and appends each word's codes, with a word gap before every word but the first. True when
// at least one word was found.
bool PronounceSentence(PronouncingDictionary& dictionary, const std::string& text, PhonemeCodes& codes);

// The word with its single-byte letters in upper case; double-byte characters stay as they are
// (their second byte may look like a letter).
std::string upperCaseCp932(std::string_view word);

// The longest start of a code page 932 text that fits in maxBytes without splitting a character.
std::string_view cutCp932(std::string_view text, size_t maxBytes);

}  // namespace study
