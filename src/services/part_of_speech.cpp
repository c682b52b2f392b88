#include "services/part_of_speech.h"

#include "services/text_edit.h"

namespace {

struct PartOfSpeech {
  const wchar_t* code;
  const wchar_t* tag;
};

// Replaced in this order.
constexpr PartOfSpeech kPartsOfSpeech[] = {
    {L"%no", L"【名詞】"},   {L"%ve", L"【動詞】"},   {L"%aj", L"【形容詞】"},     {L"%av", L"【副詞】"},
    {L"%ad", L"【副詞】"},   {L"%pp", L"【前置詞】"}, {L"%pn", L"【代名詞】"},     {L"%id", L"【熟語】"},
    {L"%ot", L"【その他】"}, {L"%cj", L"【接続詞】"}, {L"%au", L"【助動詞】"},     {L"%rp", L"【関係代名詞】"},
    {L"%pf", L"【接頭詞】"},
};

bool replaceCodes(std::wstring& text, bool withTags) {
  int replaced = 0;
  for (const PartOfSpeech& part : kPartsOfSpeech) replaced += replaceAll(text, part.code, withTags ? part.tag : L"");
  return replaced > 0;
}

}  // namespace

std::wstring expandPartOfSpeech(const std::wstring& text) {
  std::wstring expanded = text;
  expandPartOfSpeechInPlace(expanded);
  return expanded;
}

bool expandPartOfSpeechInPlace(std::wstring& text) { return replaceCodes(text, true); }

bool StripPartOfSpeechCodes(std::wstring& text) { return replaceCodes(text, false); }

