#include "uictl/frames/colour/color_picker.h"

#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/colour/system_palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

int snapChannel(int v, int t) {
  if (v < t) return 0;
  if (v > 255 - t) return 255;
  if (std::abs(v - 128) <= t) return 128;
  if (std::abs(v - 192) <= t) return 192;
  return v;
}

}  // namespace

HexCell::HexCell(COLORREF color, int x, int y, int size, int t) : X(x), Y(y), Size(size) {
  if (t != 0) color = rgb(snapChannel(redOf(color), t), snapChannel(greenOf(color), t), snapChannel(blueOf(color), t));
  Color = color;
  DrawColor = displayedColor(color);
  Points = GetHexagonPoints(x, y, size);
}

QPolygon HexCell::GetHexagonPoints(int x, int y, int size) {
  const int h = static_cast<int>(size * 0.57735026) / 2;
  const int half = size / 2;
  return QPolygon({QPoint(x - half, y - h), QPoint(x, y - half), QPoint(x + half, y - h), QPoint(x + half, y + h),
                   QPoint(x, y + half), QPoint(x - half, y + h)});
}

ColorPickerCtrl::ColorPickerCtrl(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColorPickerCtrl::SetType(int type) {
  Type = type;
  Cells.clear();
  SpectrumCache = QImage();
  setFocusPolicy(type == TypePreview ? Qt::NoFocus : Qt::StrongFocus);
  update();
}

void ColorPickerCtrl::SetInitialColor(COLORREF color) {
  InitialColor = color;
  update();
}

void ColorPickerCtrl::SetColor(COLORREF color) {
  DrawManager::RGBToHLS(color, &Hue, &Saturation, &Lightness);
  Color = color;
  update();
}

void ColorPickerCtrl::SetRGB(int red, int green, int blue) {
  Color = rgb(red, green, blue);
  DrawManager::RGBToHLS(Color, &Hue, &Saturation, &Lightness);
  repaint();
}

void ColorPickerCtrl::SetHLS(double hue, double lightness, double saturation, bool redraw) {
  if (hue != -1) Hue = hue;
  if (lightness != -1) Lightness = lightness;
  if (saturation != -1) Saturation = saturation;
  Color = DrawManager::HLSToRGB(Hue, Lightness, Saturation);
  if (redraw) repaint();
}

void ColorPickerCtrl::GetHLS(double* hue, double* lightness, double* saturation) const {
  if (hue) *hue = Hue;
  if (lightness) *lightness = Lightness;
  if (saturation) *saturation = Saturation;
}

void ColorPickerCtrl::SetBarWidth(int width) {
  BarWidth = std::min(width, this->width() * 3 / 4);
  update();
}

const std::vector<HexCell>& ColorPickerCtrl::GetCells() {
  if (Cells.empty()) {
    if (Type == TypeColorHexagons) buildHoneycomb();
    if (Type == TypeGreyHexagons) buildGreyRow();
  }
  return Cells;
}

bool ColorPickerCtrl::barSpan(int* top, int* bottom) const {
  *top = 5;
  *bottom = height() - 5;
  return *bottom > *top;
}

QRect ColorPickerCtrl::markerRect() const {
  if (Type == TypeLightnessBar) {
    int top, bottom;
    if (!barSpan(&top, &bottom)) return {};
    const QPoint p(BarWidth + 6, top + static_cast<int>((bottom - top) * (1 - Lightness)));
    return QRect(p.x() - 4, p.y() - 4, 9, 9);
  }
  const QPoint p(static_cast<int>(width() * Hue), static_cast<int>((1 - Saturation) * height()));
  return QRect(p.x() - 9, p.y() - 9, 19, 19);
}

void ColorPickerCtrl::buildHoneycomb() {
  const int side = std::min(width(), height());
  const int size = side / 13 + 1;
  const int cx = width() / 2, cy = height() / 2;
  Cells.emplace_back(rgb(255, 255, 255), cx, cy, size, 0);
  static constexpr double kSteps[6][2] = {{-0.5, 0.8660254}, {-1, 0}, {-0.5, -0.8660254},
                                          {0.5, -0.8660254}, {1, 0},  {0.5, 0.8660254}};
  for (int k = 1; k <= 6; ++k) {
    const double lightness = (7.0 - k) / 7.0 + 0.1;
    int x = cx + k * size, y = cy;
    for (const auto& step : kSteps) {
      for (int i = 0; i < k; ++i) {
        const int hue = static_cast<int>(std::atan2(double(y - cy), double(x - cx)) * 57.29577951308239);
        Cells.emplace_back(DrawManager::HLSToRGBDegrees(hue, lightness, 1.0), x, y, size, 16);
        x += static_cast<int>(size * step[0]);
        y += static_cast<int>(size * step[1]);
      }
    }
  }
}

void ColorPickerCtrl::buildGreyRow() {
  int size = std::min(height() / 2 - 2, width() / 13);
  if (size % 2) ++size;
  if (size <= 0) return;
  const int rh = static_cast<int>(size * 0.57735026 * 1.5);
  const int cy = height() / 2;
  const int upper = cy - rh / 2, lower = upper + rh;
  // First pass: the extent of the row, to centre it.
  const int lastGreyX = 3 * size + 14 * (size / 2);
  const int blackX = lastGreyX + size / 2 + size - 1;
  const int left = (width() - (blackX + size)) / 2;
  Cells.emplace_back(rgb(255, 255, 255), left + size, cy, 2 * size, 0);
  int x = left + 3 * size;
  for (int i = 0, level = 240; level >= 30; level -= 15, ++i, x += size / 2)
    Cells.emplace_back(rgb(level, level, level), x, i % 2 ? lower : upper, size, 7);
  Cells.emplace_back(rgb(0, 0, 0), left + blackX, cy, 2 * size, 0);
}

void ColorPickerCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const GlobalDrawData& data = globalData();
  switch (Type) {
    case TypePreview: {
      const int half = height() / 2;
      painter.fillRect(QRect(0, 0, width(), half), toQColor(displayedColor(Color)));
      painter.fillRect(QRect(0, half, width(), height() - half), toQColor(displayedColor(InitialColor)));
      painter.setPen(toQColor(data.clrBtnDarkShadow));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
      break;
    }
    case TypeLightnessBar:
      drawBar(painter);
      break;
    case TypePlane:
      drawPlane(painter);
      break;
    default:
      drawCells(painter);
  }
}

void ColorPickerCtrl::drawBar(QPainter& painter) {
  painter.fillRect(rect(), palette().window());
  int top, bottom;
  if (!barSpan(&top, &bottom)) return;
  for (int y = top; y < bottom; ++y) {
    const double lightness = double(bottom - y) / (bottom - top);
    painter.fillRect(QRect(0, y, BarWidth, 1), toQColor(displayedColor(DrawManager::HLSToRGB(Hue, lightness, Saturation))));
  }
  drawMarker(painter, markerRect());
}

void ColorPickerCtrl::drawPlane(QPainter& painter) {
  if (width() <= 0 || height() <= 0) return;
  if (SpectrumCache.isNull()) {
    SpectrumCache = QImage(size(), QImage::Format_RGB32);
    const int step = globalData().nBitsPerPixel <= 8 ? 4 : 1;
    QPainter cache(&SpectrumCache);
    for (int x = 0; x < width(); x += step) {
      for (int y = 0; y < height(); y += step) {
        const int k = height() - 1 - y;
        const COLORREF c = displayedColor(DrawManager::HLSToRGB(double(x) / width(), 0.5, double(k) / height()));
        if (step == 1)
          SpectrumCache.setPixel(x, y, toPixel(c));
        else
          cache.fillRect(QRect(x, y, step, step), toQColor(c));
      }
    }
  }
  painter.drawImage(0, 0, SpectrumCache);
  drawMarker(painter, markerRect());
  const GlobalDrawData& data = globalData();
  painter.setPen(toQColor(data.clrBtnDarkShadow));
  painter.drawLine(0, 0, width() - 1, 0);
  painter.drawLine(0, 0, 0, height() - 1);
  painter.setPen(toQColor(data.clrBtnHighlight));
  painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
  painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void ColorPickerCtrl::drawMarker(QPainter& painter, const QRect& r) {
  if (r.isEmpty()) return;
  const GlobalDrawData& data = globalData();
  if (Type == TypeLightnessBar) {
    painter.setPen(toQColor(data.clrWindow));
    painter.setBrush(toQColor(hasFocus() ? data.clrBtnText : data.clrBtnShadow));
    painter.drawPolygon(QPolygon({QPoint(r.left(), r.top() + r.height() / 2), QPoint(r.right(), r.top()),
                                  QPoint(r.right(), r.bottom())}));
    painter.setBrush(Qt::NoBrush);
    return;
  }
  const QColor bar = hasFocus() ? Qt::black : Qt::white;
  const int mx = r.left() + r.width() / 2, my = r.top() + r.height() / 2;
  painter.fillRect(QRect(mx - 1, r.top(), 3, 5), bar);
  painter.fillRect(QRect(mx - 1, r.bottom() - 4, 3, 5), bar);
  painter.fillRect(QRect(r.left(), my - 1, 5, 3), bar);
  painter.fillRect(QRect(r.right() - 4, my - 1, 5, 3), bar);
}

void ColorPickerCtrl::drawCells(QPainter& painter) {
  painter.fillRect(rect(), palette().window());
  painter.setRenderHint(QPainter::Antialiasing, false);
  const HexCell* chosen = nullptr;
  for (const HexCell& cell : GetCells()) {
    painter.setPen(toQColor(cell.DrawColor));
    painter.setBrush(toQColor(cell.DrawColor));
    painter.drawPolygon(cell.Points);
    if (!chosen && cell.Color == Color) chosen = &cell;
  }
  painter.setBrush(Qt::NoBrush);
  if (chosen) {
    const QPolygon outer = HexCell::GetHexagonPoints(chosen->X, chosen->Y - 1, chosen->Size + 4);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawPolygon(outer);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPolygon(HexCell::GetHexagonPoints(chosen->X, chosen->Y - 1, chosen->Size + 6));
    painter.drawPolygon(HexCell::GetHexagonPoints(chosen->X, chosen->Y, chosen->Size - 2));
  }
}

void ColorPickerCtrl::resizeEvent(QResizeEvent*) {
  SpectrumCache = QImage();
  Cells.clear();
  update();
}

void ColorPickerCtrl::updateColorFromHLS() { Color = DrawManager::HLSToRGB(Hue, Lightness, Saturation); }

void ColorPickerCtrl::markerMoved(const QRect& before) {
  update(before.adjusted(-1, -1, 1, 1));
  update(markerRect().adjusted(-1, -1, 1, 1));
}

void ColorPickerCtrl::trackPoint(QPoint p, Qt::KeyboardModifiers modifiers) {
  p.setX(std::clamp(p.x(), 0, std::max(0, width() - 1)));
  p.setY(std::clamp(p.y(), 0, std::max(0, height() - 1)));
  if (Type == TypeLightnessBar) {
    int top, bottom;
    if (!barSpan(&top, &bottom)) return;  // too small to have a bar
    const QRect before = markerRect();
    Lightness = std::clamp(double(bottom - p.y()) / (bottom - top), 0.0, 1.0);
    updateColorFromHLS();
    markerMoved(before);
  } else if (Type == TypePlane) {
    if (width() <= 1 || height() <= 1) return;
    const QRect before = markerRect();
    const QPoint marker = before.center();
    if (modifiers & Qt::ControlModifier) p.setX(marker.x());
    if (modifiers & Qt::ShiftModifier) p.setY(marker.y());
    Hue = double(p.x()) / width();
    Saturation = 1 - double(p.y()) / height();
    updateColorFromHLS();
    markerMoved(before);
  } else if (Type == TypeColorHexagons || Type == TypeGreyHexagons) {
    const auto& cells = GetCells();
    const auto hit = std::find_if(cells.begin(), cells.end(), [&](const HexCell& c) { return c.HitTest(p); });
    if (hit == cells.end()) return;  // between cells: nothing chosen
    SetColor(hit->Color);
  } else {
    return;
  }
  emit notified(NotifyChanged);
}

void ColorPickerCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Type == TypePreview) return;
  Tracking = true;
  setFocus(Qt::MouseFocusReason);
  trackPoint(event->position().toPoint(), event->modifiers());
}

void ColorPickerCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (Tracking) trackPoint(event->position().toPoint(), event->modifiers());
}

void ColorPickerCtrl::mouseReleaseEvent(QMouseEvent*) { Tracking = false; }

void ColorPickerCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || Type < TypePlane) return;
  if (Type != TypePlane) {
    const auto& cells = GetCells();
    const QPoint p = event->position().toPoint();
    if (std::none_of(cells.begin(), cells.end(), [&](const HexCell& c) { return c.HitTest(p); })) return;
  }
  emit notified(NotifyDoubleClick);
}

void ColorPickerCtrl::keyPressEvent(QKeyEvent* event) {
  double* value = nullptr;
  double delta = 0;
  if (Type == TypeLightnessBar) {
    if (event->key() == Qt::Key_Up) value = &Lightness, delta = 0.05;
    if (event->key() == Qt::Key_Down) value = &Lightness, delta = -0.05;
  } else if (Type == TypePlane) {
    if (event->key() == Qt::Key_Left) value = &Hue, delta = -0.05;
    if (event->key() == Qt::Key_Right) value = &Hue, delta = 0.05;
    if (event->key() == Qt::Key_Up) value = &Saturation, delta = 0.05;
    if (event->key() == Qt::Key_Down) value = &Saturation, delta = -0.05;
  }
  if (!value) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (Type == TypeLightnessBar) {
    int top, bottom;
    if (!barSpan(&top, &bottom)) return;
  } else if (width() <= 1 || height() <= 1) {
    return;
  }
  const double next = std::clamp(*value + delta, 0.0, 1.0);
  if (next == *value) return;  // already at the end of its range
  const QRect before = markerRect();
  *value = next;
  updateColorFromHLS();
  markerMoved(before);
  emit notified(NotifyChanged);
}

void ColorPickerCtrl::focusInEvent(QFocusEvent*) { update(); }
void ColorPickerCtrl::focusOutEvent(QFocusEvent*) { update(); }
