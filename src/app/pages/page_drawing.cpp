#include "app/pages/page_drawing.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>

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
  const QColor window = page.palette().color(QPalette::Window);
  const QColor stockWindow = page.style()->standardPalette().color(QPalette::Window);
  return platform::readableOn(meaning, platform::fromPixel(window.rgb()), platform::fromPixel(stockWindow.rgb()));
}

void paintThroughDc(QWidget& widget, const std::function<void(platform::Dc&)>& draw) {
  QImage surface(widget.size(), QImage::Format_RGB32);
  platform::Dc dc(surface);
  draw(dc);
  QPainter(&widget).drawImage(0, 0, surface);
}
