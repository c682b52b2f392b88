#include "study/sound/phoneme_codes.h"

#include <array>

namespace study {
namespace {

constexpr std::array<std::string_view, kPhonemeCount> kNames = {
    "AA0", "AA1", "AA2", "AE0", "AE1", "AE2", "AH0", "AH1", "AH2", "AO0", "AO1", "AO2", "AW0", "AW1", "AW2",
    "AY0", "AY1", "AY2", "B",   "CH",  "D",   "DH",  "E",   "EH0", "EH1", "EH2", "ER0", "ER1", "ER2", "EY0",
    "EY1", "EY2", "F",   "G",   "HH",  "IH0", "IH1", "IH2", "IY0", "IY1", "IY2", "Y",   "JH",  "K",   "L",
    "M",   "N",   "NG",  "OW0", "OW1", "OW2", "OY0", "OY1", "OY2", "P",   "R",   "S",   "SH",  "SPC", "T",
    "TH",  "UH0", "UH1", "UH2", "UW0", "UW1", "UW2", "V",   "W",   "Z",   "ZH"};

static_assert(kNames[kWordGapCode] == "SPC");

constexpr std::array<int, kPhonemeCount> kGlyphWidths = {
    12, 12, 12, 17, 17, 17, 11, 10, 10, 14, 14, 14, 19, 19, 19, 13, 13, 13, 11, 11, 11, 10, 11, 11,
    11, 11, 18, 22, 22, 16, 16, 16, 7,  10, 9,  2,  4,  4,  2,  8,  8,  5,  18, 9,  2,  14, 9,  9,
    21, 21, 21, 13, 13, 13, 11, 6,  9,  8,  7,  7,  11, 9,  9,  9,  13, 13, 13, 10, 15, 9,  9};

}  // namespace

std::string_view phonemeName(int code) {
  return code >= 0 && code < kPhonemeCount ? kNames[code] : std::string_view();
}

int glyphWidth(int code) { return code >= 0 && code < kPhonemeCount ? kGlyphWidths[code] : 0; }

int phonemeCodeOf(std::string_view name) {
  for (int code = 0; code < kPhonemeCount; ++code)
    if (kNames[code] == name) return code;
  return -1;
}

}  // namespace study
