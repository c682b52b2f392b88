#include "uictl/frames/colour/system_palette.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/colour/color_bar.h"

using namespace platform;

const std::array<COLORREF, 256>& systemPalette() {
  static const std::array<COLORREF, 256> table = [] {
    std::array<COLORREF, 256> entries{};
    std::vector<COLORREF> standard;
    CUxColorBar::InitColors(standard);
    size_t at = 0;
    for (COLORREF c : standard) entries[at++] = c;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) entries[at++] = rgb(r * 51, g * 51, b * 51);
    const size_t greys = entries.size() - at;
    for (size_t i = 0; i < greys; ++i) {
      const int level = static_cast<int>((i + 1) * 255 / (greys + 1));
      entries[at++] = rgb(level, level, level);
    }
    return entries;
  }();
  return table;
}

COLORREF nearestSystemPaletteColor(COLORREF color) {
  COLORREF best = 0;
  long bestDistance = -1;
  for (COLORREF entry : systemPalette()) {
    const long dr = redOf(entry) - redOf(color), dg = greenOf(entry) - greenOf(color), db = blueOf(entry) - blueOf(color);
    const long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = entry;
    }
  }
  return best;
}

COLORREF displayedColor(COLORREF color) {
  return globalData().nBitsPerPixel == 8 ? nearestSystemPaletteColor(color) : color;
}
