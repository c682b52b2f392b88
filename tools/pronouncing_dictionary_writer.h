// Makes a pronouncing dictionary (index and data file) from a word list, for the shipped data
// and for tests. The list is UTF-8 text, one reading a line:
//   WORD  PH PH PH ...      phoneme names of the dictionary's table ("AA1", "B", "SPC", ...)
//   WORD(2)  PH ...         a further reading (so is the same word on another line)
//   ;;; comment             comments and blank lines are skipped
#pragma once

#include "study/sound/pronouncing_dictionary.h"

#include <string>
#include <string_view>
#include <vector>

namespace kpd {

struct WordReadings {
  std::string word;  // code page 932, upper case
  std::vector<study::PhonemeCodes> readings;
};

// Words in the order of their first line. False with a message naming the line on bad input.
bool parseWordList(std::string_view utf8Text, std::vector<WordReadings>& words, std::string& error);

// Writes both files whole (each through a temporary file renamed into place).
bool writePronouncingDictionary(const std::vector<WordReadings>& words, const std::string& indexPath,
                                const std::string& dataPath, std::string& error);

}  // namespace kpd
