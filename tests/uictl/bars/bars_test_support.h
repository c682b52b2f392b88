// Helpers shared by the control library's tests.
#pragma once

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/gdi_types.h"
#include "uictl/bars/commands/command_manager.h"

#include <QImage>

// Pixels of one colour within an area of the image.
inline int countPixels(const QImage& image, const QRect& area, platform::COLORREF colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += platform::fromPixel(image.pixel(x, y)) == colour;
  return count;
}

inline QImage canvas(int w, int h, platform::COLORREF fill) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(platform::toPixel(fill));
  return image;
}

// User tools 910-919 after the tools entry 900, of which only 911 is set up; its icon is blue.
class FakeUserTools : public UserToolsLookup {
 public:
  unsigned ToolsEntryCommand() const override { return 900; }
  bool IsUserToolCmd(unsigned command) const override { return command >= 910 && command <= 919; }
  bool DrawToolIcon(unsigned command, platform::Dc* dc, const platform::Rect& rect) const override {
    if (!HasTool(command)) return false;
    dc->fillSolidRect(rect, platform::rgb(0, 0, 255));
    return true;
  }
  bool HasTool(unsigned command) const override { return command == 911; }
};
