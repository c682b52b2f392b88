#include "app/printing/print_template.h"

#include <cstdio>

#include "app/common/ini_section.h"
#include "platform/trace.h"

namespace {

constexpr wchar_t kSection[] = L"Templete";

TemplateFont builtInFont(int size) {
  TemplateFont font;
  font.faceName = kDefaultFontFace;
  font.size = size;
  font.height = PrintTemplate::heightOfSize(size);
  return font;
}

std::wstring indexed(const wchar_t* format, int i) { return platform::format(format, i); }

}  // namespace

int PrintTemplate::heightOfSize(int size) { return -mulDiv(size / 10, 96, 72); }

PrintTemplate::PrintTemplate() {
  for (PrintTextItem& item : texts) item.font = builtInFont(120);
  texts[0].text = L"暗記シート";
  texts[0].show = true;
  texts[0].x = texts[0].y = 10;
  texts[1].font.underline = true;
  for (int i = 0; i < kTemplateRegions; ++i) regions[i].font = builtInFont(i < 2 ? 110 : 120);
  regions[0] = {0, L"", true, regions[0].font, 10, true, 1.0, 90};
  regions[1] = {1, L"", true, regions[1].font, 105, true, 1.0, 90};
  marginTexts = {L"%S", L"", L"%D %T", L"", L"- %p/%P -", L""};
  marginFont = builtInFont(120);
}

bool PrintTemplate::LoadOrSave(const std::wstring& path, bool save) {
  IniSection ini(path, kSection, save);
  // A file that cannot be read is neither taken for an empty template nor written over.
  if (!ini.readable()) return false;
  ini.exchangeQuoted(L"TempleteName", name);
  for (int i = 0; i < kTemplateTexts; ++i) {
    PrintTextItem& item = texts[i];
    ini.exchangeQuoted(indexed(L"str%02d_str", i), item.text);
    ini.exchangeFlag(indexed(L"str%02d_showflag", i), item.show);
    const std::wstring pointKey = indexed(L"str%02d_point", i);
    if (save) {
      ini.write(pointKey, platform::format(L"(%d,%d)", item.x, item.y));
    } else {
      int x = 0, y = 0;
      if (std::swscanf(ini.read(pointKey).c_str(), L"(%d,%d)", &x, &y) == 2) item.x = x, item.y = y;
    }
    exchangeFontBlock(ini, indexed(L"str%02d_font", i), item.font, heightOfSize, false);
  }
  ini.exchangeInt(L"region_y", regionY);
  for (int i = 0; i < kTemplateRegions; ++i) {
    PrintRegion& region = regions[i];
    ini.exchangeQuoted(indexed(L"region%02d_str", i), region.text);
    ini.exchangeFlag(indexed(L"region%02d_showflag", i), region.show);
    ini.exchangeInt(indexed(L"region%02d_x", i), region.x);
    ini.exchangeInt(indexed(L"region%02d_mode", i), region.mode);
    ini.exchangeFlag(indexed(L"region%02d_shownumflag", i), region.numbered);
    const std::wstring scaleKey = indexed(L"region%02d_lineheightscale", i);
    if (save) ini.write(scaleKey, platform::format(L"%f", region.lineHeightScale));
    else region.lineHeightScale = std::wcstod(ini.read(scaleKey).c_str(), nullptr);
    exchangeFontBlock(ini, indexed(L"region%02d_font", i), region.font, heightOfSize, false);
    ini.exchangeInt(indexed(L"region%02d_width", i), region.width);
  }
  static const wchar_t* const marginKeys[kMarginTexts] = {L"margin_leftheader", L"margin_centerheader",
                                                          L"margin_rightheader", L"margin_leftfooter",
                                                          L"margin_centerfooter", L"margin_rightfooter"};
  for (int i = 0; i < kMarginTexts; ++i) ini.exchangeQuoted(marginKeys[i], marginTexts[i]);
  exchangeFontBlock(ini, L"margin_font", marginFont, heightOfSize, false);
  return !save || ini.commit();
}

PrintTemplate PrintTemplate::CopyScaledFonts(double k) const {
  PrintTemplate scaled = *this;
  auto scale = [k](TemplateFont& font) {
    font.size = std::max(1, static_cast<int>(font.size * k));
    font.height = heightOfSize(font.size);
  };
  for (PrintTextItem& item : scaled.texts) scale(item.font);
  for (PrintRegion& region : scaled.regions) scale(region.font);
  scale(scaled.marginFont);
  return scaled;
}
