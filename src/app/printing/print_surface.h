// The few drawing operations a printed sheet needs, over a QPainter on a printer or the preview
// control: text placed by its top-left corner, frames, and one-line text aligned in a box. Text is
// measured with the metrics of the same device it is drawn on; without a painter the surface only
// measures.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include "app/printing/template_font.h"

class QPaintDevice;
class QPainter;

// A template font made for one device: its character height is |font.height| device pixels.
struct DeviceFont {
  DeviceFont(const TemplateFont& font, QPaintDevice& device);
  QFont font;
  QFontMetrics metrics;
  QColor colour;
};

class PrintSurface {
 public:
  PrintSurface(QPaintDevice& device, QPainter* painter);

  bool drawing() const { return painter_ != nullptr; }
  QPaintDevice& device() const { return device_; }
  int dpiX() const;
  int dpiY() const;

  void select(const DeviceFont& font);
  const QFontMetrics& metrics() const { return current_->metrics; }

  // Fills the whole device white and frames it.
  void clearPage();
  // A one-pixel frame whose right and bottom edges lie outside it.
  void rectangle(int left, int top, int right, int bottom);
  void textOut(int x, int y, const QString& text);
  void drawLine(int left, int top, int right, int bottom, const QString& text, Qt::Alignment alignment);

 private:
  QPaintDevice& device_;
  QPainter* painter_;
  const DeviceFont* current_ = nullptr;
};
