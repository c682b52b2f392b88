#include "study/skin/font_spec.h"

#include "services/text_helpers.h"

#include <algorithm>
#include <vector>

namespace study {
namespace {

std::wstring trimBlanks(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return L"";
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

uint8_t charsetByName(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    uint8_t charset;
  } kCharsets[] = {{L"ANSI", 0},        {L"BALTIC", 186},  {L"CHINESEBIG5", 136}, {L"DEFAULT", 1},
                   {L"EASTEUROPE", 238}, {L"GB2312", 134},  {L"GREEK", 161},       {L"HANGUL", 129},
                   {L"MAC", 77},         {L"OEM", 255},     {L"RUSSIAN", 204},     {L"SHIFTJIS", 128},
                   {L"SYMBOL", 2},       {L"TURKISH", 162}, {L"VIETNAMESE_", 163}};
  for (const auto& entry : kCharsets)
    if (name == entry.name) return entry.charset;
  return 128;
}

}  // namespace

bool ParseFontSpec(FontSpec& spec, const std::wstring& text) {
  std::vector<std::wstring> fields;
  if (!SplitBracketed(text, fields, L"()''") || fields.size() < 6) return false;
  spec.size = leadingNumber(fields[0]);
  spec.bold = leadingNumber(fields[1]) != 0;
  spec.italic = leadingNumber(fields[2]) != 0;
  spec.underline = leadingNumber(fields[3]) != 0;
  spec.strikeout = leadingNumber(fields[4]) != 0;
  spec.faceName = trimBlanks(fields[5]);
  spec.charset = fields.size() > 6 ? charsetByName(fields[6]) : 128;
  return true;
}

}  // namespace study
