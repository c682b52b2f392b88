// What a sheet region or a card item shows for one question, by its mode, and the labels of the
// modes in the order the editors list them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pdb3 {
class Question;
}
namespace study {
class PronouncingDictionary;
}

struct RegionMode {
  int mode;
  const wchar_t* label;
};
// The 19 modes in list order ("問題（全て）" first, "指定した文字列" last).
const std::vector<RegionMode>& regionModes();
// The label of a mode; empty for an unknown one.
std::wstring regionModeLabel(int mode);

inline constexpr int kModeOwnText = 2;

// The lines of the pronunciation symbol map (symbol code k is line k); empty when the file
// cannot be read.
std::vector<std::wstring> readPronunciationSymbols(const std::wstring& path);

// Everything a region text needs besides the question.
struct RegionTextSources {
  // May be null: pronunciations are then only those stored with the question.
  study::PronouncingDictionary* dictionary = nullptr;
  const std::vector<std::wstring>* symbols = nullptr;
};

// The non-empty texts joined with the separator.
std::wstring joinFieldTexts(const std::vector<std::wstring>& texts, const std::wstring& separator);

// "%q", "%a" and "%h" with their whole number replaced by that question, answer or hint text
// (1-based) when the question has it; anything else stays. Replaced text is not scanned again.
std::wstring expandPlaceholders(const std::wstring& text, const pdb3::Question& question);

// Replaces, in one pass, every "%" followed by a character the lookup knows.
std::wstring expandLetterPlaceholders(const std::wstring& text,
                                      const std::function<bool(wchar_t letter, std::wstring& out)>& lookup);

std::wstring regionText(int mode, const std::wstring& ownText, const pdb3::Question& question,
                        const RegionTextSources& sources);
