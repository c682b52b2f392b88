#include "app/printing/card_template.h"

#include <cwchar>

#include "app/common/ini_section.h"
#include "platform/trace.h"

namespace {

constexpr wchar_t kSection[] = L"Templete";
constexpr wchar_t kDoubleMarker[] = L"__default__";

void exchangeDouble(IniSection& ini, const std::wstring& key, double& value, double defaultValue) {
  if (ini.saving()) {
    ini.write(key, platform::format(L"%lf", value));
    return;
  }
  const std::wstring text = ini.read(key, kDoubleMarker);
  value = text == kDoubleMarker ? defaultValue : std::wcstod(text.c_str(), nullptr);
}

void exchangeInt(IniSection& ini, const std::wstring& key, int& value, int defaultValue) {
  if (ini.saving()) ini.write(key, std::to_wstring(value));
  else value = ini.readMarkedInt(key, defaultValue);
}

void exchangeFlag(IniSection& ini, const std::wstring& key, bool& value) {
  int number = value ? 1 : 0;
  exchangeInt(ini, key, number, 0);
  value = number > 0;
}

void exchangeItem(IniSection& ini, const std::wstring& prefix, CardItem& item, int index) {
  if (ini.saving()) ini.write(prefix + L"_str", item.text);
  else item.text = ini.read(prefix + L"_str");
  exchangeDouble(ini, prefix + L"_x", item.x, 0);
  exchangeDouble(ini, prefix + L"_y", item.y, 0);
  exchangeInt(ini, prefix + L"_mode", item.mode, 0);
  exchangeDouble(ini, prefix + L"_lineheightscale", item.lineHeightScale, 1.0);
  exchangeFontBlock(ini, prefix + L"_font", item.font, CardTemplate::heightOfSize, true);
  exchangeInt(ini, prefix + L"_width", item.width, 100);
  platform::trace("load %d : %d, %d\n", index, item.font.height, item.font.size);
}

void exchangeSide(IniSection& ini, const wchar_t* side, std::vector<CardItem>& items) {
  if (ini.saving()) {
    const int count = std::min<int>(static_cast<int>(items.size()), kMaxCardItems);
    for (int i = 0; i < kMaxCardItems; ++i) {
      const std::wstring prefix = platform::format(L"%ls%02d", side, i);
      ini.write(prefix + L"_exist", i < count ? L"1" : L"0");
      if (i < count) exchangeItem(ini, prefix, items[i], i);
    }
    return;
  }
  items.clear();
  for (int i = 0; i < kMaxCardItems; ++i) {
    const std::wstring prefix = platform::format(L"%ls%02d", side, i);
    if (ini.readMarkedInt(prefix + L"_exist", 0) <= 0) break;
    CardItem item;
    exchangeItem(ini, prefix, item, i);
    items.push_back(item);
  }
}

}  // namespace

TemplateFont CardItem::emptyFont() {
  TemplateFont font;
  font.weight = 0;
  font.charSet = 0;
  font.pitchAndFamily = 0;
  font.size = 120;
  return font;
}

TemplateFont CardItem::defaultFont(int size) {
  TemplateFont font;
  font.faceName = kDefaultFontFace;
  font.size = size;
  font.height = CardTemplate::heightOfSize(110);
  return font;
}

int CardTemplate::heightOfSize(int size) { return -mulDiv(size, 96, 720); }

void CardTemplate::SetDefaultItems() {
  auto item = [](int mode, double y) {
    CardItem made;
    made.mode = mode;
    made.y = y;
    made.font = CardItem::defaultFont(110);
    return made;
  };
  front = {item(0, 0), item(16, 10)};
  back = {item(1, 10)};
}

bool CardTemplate::LoadOrSave(const std::wstring& path, bool save) {
  IniSection ini(path, kSection, save);
  if (!ini.readable()) return false;
  if (save) ini.write(L"TempleteName", name);
  else name = ini.read(L"TempleteName", L"default");
  exchangeDouble(ini, L"card-width", cardWidth, 50.0);
  exchangeDouble(ini, L"card-height", cardHeight, 30.0);
  exchangeFlag(ini, L"print-border", printBorder);
  exchangeSide(ini, L"front", front);
  exchangeSide(ini, L"back", back);
  return !save || ini.commit();
}
