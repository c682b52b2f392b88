// The pronouncing dictionary, on files made by the dictionary tool's writer.
#include <gtest/gtest.h>

#include "pronouncing_dictionary_writer.h"
#include "skin_test_support.h"
#include "services/part_of_speech.h"
#include "services/text_edit.h"
#include "study/sound/phoneme_codes.h"
#include "study/sound/pronouncing_dictionary.h"
#include "test_env.h"

#include <filesystem>

using namespace study;

namespace {

const char kWordList[] =
    ";;; test words\n"
    "GOOD  G UH1 D\n"
    "bye  B AY1\n"
    "SIR  S ER1\n"
    "APPLE  AE1 P AH0 L\n"
    "READ  R IY1 D\n"
    "READ(2)  R EH1 D\n"
    "ヂ  JH IY1\n";

PhonemeCodes codesOf(std::initializer_list<const char*> names) {
  PhonemeCodes codes;
  for (const char* name : names) codes.push_back(static_cast<uint8_t>(phonemeCodeOf(name)));
  return codes;
}

struct DictionaryFiles {
  std::string index;
  std::string data;
};

DictionaryFiles makeDictionary(const std::string& wordList = kWordList) {
  const std::string folder = skintest::freshFolder();
  DictionaryFiles files{folder + "/test.kpdidx", folder + "/test.kpddic"};
  std::vector<kpd::WordReadings> words;
  std::string error;
  EXPECT_TRUE(kpd::parseWordList(wordList, words, error)) << error;
  EXPECT_TRUE(kpd::writePronouncingDictionary(words, files.index, files.data, error)) << error;
  return files;
}

}  // namespace

TEST(PronouncingDictionary, FindsWordsAndTheirReadings) {
  const DictionaryFiles files = makeDictionary();
  PronouncingDictionary dictionary;
  ASSERT_TRUE(dictionary.openIndex(files.data, files.index));
  EXPECT_EQ(dictionary.entryCount(), 6u);

  std::vector<PhonemeCodes> records;
  ASSERT_TRUE(dictionary.ReadEntry("apple", records));
  EXPECT_EQ(records, std::vector<PhonemeCodes>{codesOf({"AE1", "P", "AH0", "L"})});
  ASSERT_TRUE(dictionary.ReadEntry("APPLE", records));
  EXPECT_EQ(records.size(), 1u);
  ASSERT_TRUE(dictionary.ReadEntry("Read", records));
  EXPECT_EQ(records, (std::vector<PhonemeCodes>{codesOf({"R", "IY1", "D"}), codesOf({"R", "EH1", "D"})}));
  // The second byte of "ヂ" (0x83 0x61) is the letter a: upper-casing it would look up "ア".
  EXPECT_TRUE(dictionary.ReadEntry("\x83\x61", records));
  EXPECT_FALSE(dictionary.ReadEntry("\x83\x41", records));
  EXPECT_FALSE(dictionary.ReadEntry("pear", records));
  EXPECT_TRUE(records.empty());
  EXPECT_FALSE(dictionary.ReadEntry("APPL", records));

  EXPECT_EQ(dictionary.PhonemeCode("SPC"), 58);
  EXPECT_EQ(dictionary.PhonemeCode("ZH"), 70);
  EXPECT_EQ(dictionary.PhonemeCode("zh"), -1);
}

TEST(PronouncingDictionary, PronouncesSentencesWithWordGaps) {
  const DictionaryFiles files = makeDictionary();
  PronouncingDictionary dictionary;
  ASSERT_TRUE(dictionary.openIndex(files.data, files.index));

  PhonemeCodes codes;
  EXPECT_TRUE(dictionary.LookupPhrase(L"good-bye, sir", codes));
  EXPECT_EQ(codes, codesOf({"G", "UH1", "D", "SPC", "B", "AY1", "SPC", "S", "ER1"}));
  EXPECT_TRUE(dictionary.LookupPhrase(L"  read  pear ", codes));
  EXPECT_EQ(codes, codesOf({"R", "IY1", "D", "SPC", "SPC"}));
  EXPECT_FALSE(dictionary.LookupPhrase(L"pear", codes));
  EXPECT_EQ(codes, codesOf({"SPC"}));

  // Only the first 99 bytes count: the word after them is not looked up.
  EXPECT_TRUE(dictionary.LookupPhrase(std::wstring(95, L'x') + L" sir good", codes));
  EXPECT_EQ(codes, codesOf({"SPC", "SPC", "S", "ER1"}));
}

TEST(PronouncingDictionary, CutsCodePage932AtCharacterBoundaries) {
  const std::string kana = "\x82\xA0";  // "あ"
  std::string text = "a";
  for (int i = 0; i < 60; ++i) text += kana;
  EXPECT_EQ(cutCp932(text, 99).size(), 99u);
  EXPECT_EQ(cutCp932("a" + text, 99).size(), 98u);
  EXPECT_EQ(cutCp932("ab", 99), "ab");
}

TEST(PronouncingDictionary, RefusesForeignAndDamagedIndexes) {
  const DictionaryFiles files = makeDictionary();
  const std::string good = skintest::readFile(files.index);
  const std::string folder = skintest::freshFolder();
  const auto refuses = [&](const std::string& indexBytes) {
    PronouncingDictionary dictionary;
    const bool opened = dictionary.openIndex(files.data, skintest::writeFile(folder, "bad.kpdidx", indexBytes));
    std::vector<PhonemeCodes> records;
    return !opened && dictionary.entryCount() == 0 && !dictionary.ReadEntry("GOOD", records);
  };
  EXPECT_TRUE(refuses(std::string(kDataFileMagic) + good.substr(kDataFileMagic.size())));
  EXPECT_TRUE(refuses(good.substr(0, 20)));
  EXPECT_TRUE(refuses(good.substr(0, good.size() - 3)));  // the last offset cut short
  std::string hugeCount = good;
  hugeCount.replace(32, 4, "\xFF\xFF\xFF\x7F");
  EXPECT_TRUE(refuses(hugeCount));

  PronouncingDictionary dictionary;
  EXPECT_FALSE(dictionary.openIndex(folder + "/none.kpddic", files.index));
  EXPECT_FALSE(dictionary.openIndex(files.data, folder + "/none.kpdidx"));
}

TEST(PronouncingDictionary, SkipsReadingsBeyondATruncatedDataFile) {
  const DictionaryFiles files = makeDictionary("READ  R IY1 D\nREAD(2)  R EH1 D\nSIR  S ER1\n");
  const std::string data = skintest::readFile(files.data);
  skintest::writeFile(std::filesystem::path(files.data).parent_path().string(), "test.kpddic",
                      data.substr(0, data.size() - 4));  // SIR gone, READ(2) cut after one code
  PronouncingDictionary dictionary;
  ASSERT_TRUE(dictionary.openIndex(files.data, files.index));
  std::vector<PhonemeCodes> records;
  ASSERT_TRUE(dictionary.ReadEntry("READ", records));
  EXPECT_EQ(records, std::vector<PhonemeCodes>{codesOf({"R", "IY1", "D"})});
  EXPECT_FALSE(dictionary.ReadEntry("SIR", records));
  PhonemeCodes codes;
  EXPECT_FALSE(PronounceWord(dictionary, "SIR", codes));
  EXPECT_EQ(codes, codesOf({"SPC"}));
}

TEST(PronouncingDictionary, WordListErrorsNameTheLine) {
  std::vector<kpd::WordReadings> words;
  std::string error;
  EXPECT_FALSE(kpd::parseWordList("GOOD G UH1 D\nBAD B XX1 D\n", words, error));
  EXPECT_EQ(error, "line 2: unknown phoneme \"XX1\"");
}

TEST(PronouncingDictionary, TheShippedDictionaryOpens) {
  PronouncingDictionary dictionary;
  ASSERT_TRUE(dictionary.openIndex(testenv::programDir() + "/data/pronounce.kpddic",
                                   testenv::programDir() + "/data/pronounce.kpdidx"));
  PhonemeCodes codes;
  EXPECT_TRUE(dictionary.LookupPhrase(L"school lunch", codes));
  EXPECT_EQ(codes, codesOf({"S", "K", "UW1", "L", "SPC", "L", "AH1", "N", "CH"}));
}

TEST(TextEdit, ReplaceAllNeverRescansAndJoinSeparates) {
  std::wstring text = L"aaa";
  EXPECT_EQ(replaceAll(text, L"a", L"aa"), 3);
  EXPECT_EQ(text, L"aaaaaa");
  EXPECT_EQ(replaceAll(text, L"", L"x"), 0);
  EXPECT_EQ(text, L"aaaaaa");
  EXPECT_EQ(joinStrings<wchar_t>({L"a", L"b", L"c"}, L", "), L"a, b, c");
}

TEST(PartOfSpeech, CodesBecomeTagsOrVanish) {
  EXPECT_EQ(expandPartOfSpeech(L"%ad %av %nox"), L"【副詞】 【副詞】 【名詞】x");
  std::wstring text = L"run %ve";
  EXPECT_TRUE(StripPartOfSpeechCodes(text));
  EXPECT_EQ(text, L"run ");
  EXPECT_FALSE(expandPartOfSpeechInPlace(text));
}
