// A control that shows and edits one colour in one of five looks: a two-half preview (new above,
// initial below), a lightness bar, a hue and saturation plane, a honeycomb of colour hexagons and
// a row of grey hexagons. It works in HLS; every change the user makes is announced by notified(0),
// a double click on the plane or a hexagon by notified(5).
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QImage>
#include <QPolygon>
#include <QWidget>
#include <vector>

struct HexCell {
  HexCell(platform::COLORREF color, int x, int y, int size, int snapTolerance);
  // Six corners, flat sides left and right.
  static QPolygon GetHexagonPoints(int x, int y, int size);
  bool HitTest(const QPoint& point) const { return Points.containsPoint(point, Qt::OddEvenFill); }

  QPolygon Points;
  platform::COLORREF Color;
  platform::COLORREF DrawColor;
  int X, Y, Size;
};

class ColorPickerCtrl : public QWidget {
  Q_OBJECT

 public:
  enum { TypePreview, TypeLightnessBar, TypePlane, TypeColorHexagons, TypeGreyHexagons };
  enum { NotifyChanged = 0, NotifyDoubleClick = 5 };

  explicit ColorPickerCtrl(QWidget* parent = nullptr);

  void SetType(int type);
  void SetInitialColor(platform::COLORREF color);
  void SetColor(platform::COLORREF color);
  void SetRGB(int red, int green, int blue);
  // -1 leaves a value as it is.
  void SetHLS(double hue, double lightness, double saturation, bool redraw = true);
  void GetHLS(double* hue, double* lightness, double* saturation) const;
  void SetBarWidth(int width);
  platform::COLORREF GetColor() const { return Color; }
  int GetType() const { return Type; }
  // The hexagons of the honeycomb or grey row, laid out on first use.
  const std::vector<HexCell>& GetCells();

 signals:
  void notified(int code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Top and bottom of the lightness bar; empty when the control is too small to have one.
  bool barSpan(int* top, int* bottom) const;
  QRect markerRect() const;
  void buildHoneycomb();
  void buildGreyRow();
  void drawBar(QPainter& painter);
  void drawPlane(QPainter& painter);
  void drawCells(QPainter& painter);
  void drawMarker(QPainter& painter, const QRect& rect);
  void trackPoint(QPoint point, Qt::KeyboardModifiers modifiers);
  void markerMoved(const QRect& before);
  void updateColorFromHLS();

  int Type = TypePlane;
  double Lightness = 0.5;
  double Saturation = 0;
  double Hue = 0;
  platform::COLORREF Color = 0;
  platform::COLORREF InitialColor = 0;
  int BarWidth = 20;
  QImage SpectrumCache;
  std::vector<HexCell> Cells;
  bool Tracking = false;
};
