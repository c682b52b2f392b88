// The font of a template entry: the face and effects as the template file keeps them, a size in
// tenths of a point and a colour. The character height in 96-dpi pixels is kept with them, so a
// template renders the same on every device once scaled.
#pragma once

#include <QFont>
#include <cstdint>
#include <string>

#include "platform/drawing/gdi_types.h"

struct TemplateFont {
  // The character height in pixels at 96 dpi (negative, as the file format's font height is).
  int height = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 128;
  int pitchAndFamily = 0x20;
  std::wstring faceName;
  // Tenths of a point.
  int size = 120;
  platform::COLORREF colour = 0;

  friend bool operator==(const TemplateFont&, const TemplateFont&) = default;
};

// a * b / c rounded half away from zero, as the platform's font arithmetic rounds.
int mulDiv(int a, int b, int c);

// The Japanese fixed-pitch face the built-in templates use (served by IPAGothic here).
inline constexpr wchar_t kDefaultFontFace[] = L"ＭＳ ゴシック";

// A QFont of the template font's face and effects whose characters are `pixelHeight` device
// pixels tall (at least 1).
QFont makeDeviceFont(const TemplateFont& font, int pixelHeight);

class IniSection;

// Reads or writes the font block under `prefix` ("<prefix>_height", "_boldflag", "_italicflag",
// "_underlineflag", "_strikeoutflag", "_facename", "_color"). `heightOfSize` turns a size in
// tenths of a point into the 96-dpi character height. Reading keeps the current size and colour
// for missing keys when `keepMissing` is set, else they read as 0.
void exchangeFontBlock(IniSection& ini, const std::wstring& prefix, TemplateFont& font, int (*heightOfSize)(int),
                       bool keepMissing);
