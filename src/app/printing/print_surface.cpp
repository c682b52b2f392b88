#include "app/printing/print_surface.h"

#include <QPaintDevice>
#include <QPainter>

#include "platform/drawing/gdi_types.h"

DeviceFont::DeviceFont(const TemplateFont& template_font, QPaintDevice& device)
    : font(makeDeviceFont(template_font, std::abs(template_font.height)), &device),
      metrics(font, &device),
      colour(platform::toQColor(template_font.colour)) {}

PrintSurface::PrintSurface(QPaintDevice& device, QPainter* painter) : device_(device), painter_(painter) {}

int PrintSurface::dpiX() const { return device_.logicalDpiX(); }
int PrintSurface::dpiY() const { return device_.logicalDpiY(); }

void PrintSurface::select(const DeviceFont& font) {
  current_ = &font;
  if (!painter_) return;
  painter_->setFont(font.font);
  painter_->setPen(font.colour);
}

void PrintSurface::clearPage() {
  if (!painter_) return;
  painter_->fillRect(0, 0, device_.width(), device_.height(), Qt::white);
  rectangle(0, 0, device_.width(), device_.height());
}

void PrintSurface::rectangle(int left, int top, int right, int bottom) {
  if (!painter_ || right <= left || bottom <= top) return;
  painter_->save();
  painter_->setPen(QPen(Qt::black, 0));
  painter_->setBrush(Qt::NoBrush);
  painter_->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
  painter_->restore();
}

void PrintSurface::textOut(int x, int y, const QString& text) {
  if (!painter_ || !current_ || text.isEmpty()) return;
  painter_->drawText(x, y + current_->metrics.ascent(), text);
}

void PrintSurface::drawLine(int left, int top, int right, int bottom, const QString& text, Qt::Alignment alignment) {
  if (!painter_ || text.isEmpty()) return;
  painter_->drawText(QRect(left, top, right - left, bottom - top), static_cast<int>(alignment | Qt::AlignTop) | Qt::TextDontClip,
                     text);
}
