// kelvara_make_pronouncing_dictionary <word list> <index file> <data file>
// Writes the pronouncing dictionary pair from a word list (see pronouncing_dictionary_writer.h).
#include "pronouncing_dictionary_writer.h"

#include <cstdio>
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <word list> <index file> <data file>\n", argv[0]);
    return 2;
  }
  std::ifstream list(argv[1], std::ios::binary);
  if (!list) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(list), std::istreambuf_iterator<char>()};
  std::vector<kpd::WordReadings> words;
  std::string error;
  if (!kpd::parseWordList(text, words, error)) {
    std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], error.c_str());
    return 1;
  }
  if (!kpd::writePronouncingDictionary(words, argv[2], argv[3], error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
