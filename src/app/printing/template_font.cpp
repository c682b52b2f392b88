#include "app/printing/template_font.h"

#include <cmath>
#include <cstdlib>

#include "app/common/ini_section.h"
#include "platform/drawing/system_metrics.h"
#include "services/text_helpers.h"

int mulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  return static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

QFont makeDeviceFont(const TemplateFont& font, int pixelHeight) {
  (void)platform::systemMetrics();  // registers the substitutes of the Japanese face names
  QFont result(QString::fromStdWString(font.faceName));
  result.setPixelSize(std::max(1, pixelHeight));
  result.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
  result.setItalic(font.italic);
  result.setUnderline(font.underline);
  result.setStrikeOut(font.strikeOut);
  result.setStyleStrategy(QFont::PreferAntialias);
  return result;
}

void exchangeFontBlock(IniSection& ini, const std::wstring& prefix, TemplateFont& font, int (*heightOfSize)(int),
                       bool keepMissing) {
  const std::wstring p = prefix + L"_";
  if (ini.saving()) {
    ini.write(p + L"height", std::to_wstring(font.size));
    ini.write(p + L"boldflag", font.weight == 700 ? L"1" : L"0");
    ini.write(p + L"italicflag", font.italic ? L"1" : L"0");
    ini.write(p + L"underlineflag", font.underline ? L"1" : L"0");
    ini.write(p + L"strikeoutflag", font.strikeOut ? L"1" : L"0");
    ini.write(p + L"facename", font.faceName);
    ini.write(p + L"color", std::to_wstring(static_cast<long long>(font.colour)));
    return;
  }
  TemplateFont read;  // every field not in the file starts from zero, as a cleared font record
  read.weight = 0;
  read.size = keepMissing ? ini.readMarkedInt(p + L"height", font.size) : leadingNumber(ini.read(p + L"height"));
  read.height = heightOfSize(read.size);
  read.weight = leadingNumber(ini.read(p + L"boldflag")) > 0 ? 700 : 400;
  read.italic = leadingNumber(ini.read(p + L"italicflag")) != 0;
  read.underline = leadingNumber(ini.read(p + L"underlineflag")) != 0;
  read.strikeOut = leadingNumber(ini.read(p + L"strikeoutflag")) != 0;
  read.faceName = ini.read(p + L"facename").substr(0, 31);
  const std::wstring colour = ini.read(p + L"color", L"default");
  read.colour = colour == L"default" ? (keepMissing ? font.colour : 0)
                                     : static_cast<platform::COLORREF>(std::wcstoll(colour.c_str(), nullptr, 10));
  read.charSet = 128;
  read.pitchAndFamily = 0x20;
  font = read;
}
