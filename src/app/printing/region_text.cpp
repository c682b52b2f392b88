#include "app/printing/region_text.h"

#include <array>
#include <cwchar>
#include <cwctype>

#include "database/records/question.h"
#include "platform/files/file_system.h"
#include "services/part_of_speech.h"
#include "study/sound/line_reader.h"
#include "study/sound/pronouncing_dictionary.h"

const std::vector<RegionMode>& regionModes() {
  static const std::vector<RegionMode> modes = {
      {0, L"問題（全て）"}, {1, L"解答（全て）"}, {16, L"ヒント（全て）"}, {17, L"備考"}, {18, L"発音記号"},
      {3, L"問題1"},       {4, L"問題2"},       {5, L"問題3"},         {6, L"問題4"},  {7, L"問題5"},
      {8, L"解答1"},       {9, L"解答2"},       {10, L"解答3"},        {11, L"解答4"}, {12, L"解答5"},
      {13, L"ヒント1"},    {14, L"ヒント2"},    {15, L"ヒント3"},      {2, L"指定した文字列"},
  };
  return modes;
}

std::wstring regionModeLabel(int mode) {
  for (const RegionMode& entry : regionModes())
    if (entry.mode == mode) return entry.label;
  return {};
}

std::vector<std::wstring> readPronunciationSymbols(const std::wstring& path) {
  std::vector<std::wstring> lines;
  const platform::UniqueFile file = platform::openFile(path, "rb");
  if (!file) return lines;
  std::array<wchar_t, 1024> buffer{};
  while (readLineNoNewline(buffer.data(), buffer.size(), file.get())) lines.emplace_back(buffer.data());
  return lines;
}

std::wstring joinFieldTexts(const std::vector<std::wstring>& texts, const std::wstring& separator) {
  std::wstring joined;
  for (const std::wstring& text : texts) {
    if (text.empty()) continue;
    if (!joined.empty()) joined += separator;
    joined += text;
  }
  return joined;
}

std::wstring expandPlaceholders(const std::wstring& text, const pdb3::Question& question) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const bool marker =
        text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'q' || text[i + 1] == L'a' || text[i + 1] == L'h');
    size_t end = i + 2;
    while (marker && end < text.size() && iswdigit(text[end]) && end - i < 11) ++end;
    if (!marker || end == i + 2) {
      out += text[i++];
      continue;
    }
    const long number = std::wcstol(text.substr(i + 2, end - i - 2).c_str(), nullptr, 10);
    const pdb3::TextList& list = text[i + 1] == L'q'   ? question.questionTexts()
                                 : text[i + 1] == L'a' ? question.answerTexts()
                                                       : question.hintTexts();
    if (number >= 1 && number <= static_cast<long>(list.size())) out += list[number - 1];
    else out.append(text, i, end - i);
    i = end;
  }
  return out;
}

std::wstring expandLetterPlaceholders(const std::wstring& text,
                                      const std::function<bool(wchar_t letter, std::wstring& out)>& lookup) {
  std::wstring out;
  out.reserve(text.size());
  std::wstring replacement;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 1 < text.size() && lookup(text[i + 1], replacement)) {
      out += replacement;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

namespace {

std::wstring dictionaryPronunciation(const pdb3::Question& question, const RegionTextSources& sources) {
  if (!sources.dictionary || !sources.symbols) return {};
  study::PhonemeCodes codes;
  sources.dictionary->LookupPhrase(joinFieldTexts(question.answerTexts(), L" "), codes);
  std::wstring text;
  for (uint8_t code : codes)
    if (code < sources.symbols->size()) text += (*sources.symbols)[code];
  return text;
}

}  // namespace

std::wstring regionText(int mode, const std::wstring& ownText, const pdb3::Question& question,
                        const RegionTextSources& sources) {
  switch (mode) {
    case 0: return expandPartOfSpeech(joinFieldTexts(question.questionTexts(), L", "));
    case 1: return joinFieldTexts(question.answerTexts(), L", ");
    case kModeOwnText: return expandPlaceholders(ownText, question);
    case 3: case 4: case 5: case 6: case 7: return expandPartOfSpeech(question.questionText(mode - 3));
    case 8: case 9: case 10: case 11: case 12: return question.answerText(mode - 8);
    case 13: case 14: case 15: return pdb3::textListAt(question.hintTexts(), mode - 13);
    case 16: return joinFieldTexts(question.hintTexts(), L", ");
    case 17: return joinFieldTexts(question.descriptionTexts(), L", ");
    case 18: {
      const std::wstring stored = joinFieldTexts(question.pronounceTexts(), L", ");
      return stored.empty() ? dictionaryPronunciation(question, sources) : stored;
    }
    default: return {};
  }
}
