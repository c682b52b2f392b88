#include "app/pages/page_drawing.h"

#include <QPainter>
#include <QWidget>

#include "platform/drawing/desktop_colours.h"
#include "platform/drawing/readable_colour.h"

platform::Font pageFont(int height) {
  platform::LogFont description;
  description.height = height;
  description.weight = 50;
  description.charSet = platform::ShiftJisCharset;
  description.faceName = L"ＭＳ ゴシック";
  return platform::Font::create(description);
}

void drawLabelAndValue(platform::Dc& dc, platform::Rect labelArea, platform::Rect valueArea, const std::wstring& label,
                       const std::wstring& value, platform::COLORREF colour) {
  dc.setTextColor(colour);
  dc.drawText(label, labelArea, platform::DtLeft | platform::DtNoPrefix);
  dc.drawText(value, valueArea, platform::DtRight | platform::DtNoPrefix);
}

platform::COLORREF pageWindowText(const QWidget& page) {
  return platform::fromPixel(page.palette().color(QPalette::WindowText).rgb());
}

platform::COLORREF readableOnPageWindow(platform::COLORREF meaning, const QWidget& page) {
  // Without a desktop's palette the page is on the classic look, whose colours the meanings were
  // chosen for, whatever shade the style gives its window.
  if (!platform::desktopPalette()) return meaning;
  const platform::COLORREF window = platform::fromPixel(page.palette().color(QPalette::Window).rgb());
  return platform::readableOn(meaning, window, platform::classicSysColor(platform::ColorBtnFace));
}

void paintThroughDc(QWidget& widget, const std::function<void(platform::Dc&)>& draw) {
  QImage surface(widget.size(), QImage::Format_RGB32);
  platform::Dc dc(surface);
  draw(dc);
  QPainter(&widget).drawImage(0, 0, surface);
}
