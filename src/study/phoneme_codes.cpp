#include "study/phoneme_codes.h"

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

}  // namespace

std::string_view phonemeName(int code) {
  return code >= 0 && code < kPhonemeCount ? kNames[code] : std::string_view();
}

int phonemeCodeOf(std::string_view name) {
  for (int code = 0; code < kPhonemeCount; ++code)
    if (kNames[code] == name) return code;
  return -1;
}

}  // namespace study
