// A sheet template: what one printed study sheet looks like. Up to ten fixed texts, up to ten
// column regions that make one row per question, the row start and a header and a footer.
// Positions and widths are whole millimetres; font sizes tenths of a point.
#pragma once

#include <array>
#include <string>

#include "app/printing/template_font.h"

struct PrintTextItem {
  std::wstring text;
  bool show = false;
  TemplateFont font;
  int x = 0;
  int y = 0;
  friend bool operator==(const PrintTextItem&, const PrintTextItem&) = default;
};

struct PrintRegion {
  int mode = 0;  // what the region shows (see region_text.h)
  std::wstring text;  // the region's own text, for mode 2
  bool show = false;
  TemplateFont font;
  int x = 0;
  bool numbered = false;  // "%3d. " with the question's position in front
  double lineHeightScale = 1.0;
  int width = 100;
  friend bool operator==(const PrintRegion&, const PrintRegion&) = default;
};

inline constexpr int kTemplateTexts = 10;
inline constexpr int kTemplateRegions = 10;
inline constexpr int kMarginTexts = 6;  // left, centre, right header; left, centre, right footer

struct PrintTemplate {
  // The built-in template, fonts included.
  PrintTemplate();

  // The 96-dpi character height of a sheet font of `size` tenths of a point (whole points only).
  static int heightOfSize(int size);

  // Reads the template from the file (missing values read as empty, 0 or false) or writes all of
  // it. A write is whole or not at all. False, with errno telling why, when the write failed or
  // the file exists and cannot be read: the template is then left as it was.
  bool LoadOrSave(const std::wstring& path, bool save);

  // A copy whose fonts are `k` times as large (the sizes truncated, at least 1).
  PrintTemplate CopyScaledFonts(double k) const;

  std::wstring name = L"default";
  std::array<PrintTextItem, kTemplateTexts> texts;
  std::array<PrintRegion, kTemplateRegions> regions;
  int regionY = 20;
  std::array<std::wstring, kMarginTexts> marginTexts;
  TemplateFont marginFont;

  friend bool operator==(const PrintTemplate&, const PrintTemplate&) = default;
};
