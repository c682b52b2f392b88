// The enlarged grid of a button image: one cell per pixel, edited with a pen, flood fill, line,
// rectangle, ellipse and colour picker. The image is the caller's and is changed in place.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QCursor>
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

class ImagePaintArea : public QWidget {
 public:
  enum Mode : int { Pen = 0, Fill = 1, Line = 2, Rectangle = 3, Ellipse = 4, Picker = 5 };

  explicit ImagePaintArea(QWidget* parent = nullptr);

  void SetBitmap(QImage* bitmap);
  void SetColor(platform::COLORREF color) { m_clrDraw = color; }
  platform::COLORREF GetColor() const { return m_clrDraw; }
  void SetMode(int mode);
  int GetMode() const { return m_nMode; }
  platform::Size CellSize() const { return {m_nCellWidth, m_nCellHeight}; }
  platform::Point PointToCell(platform::Point client) const;
  // Cell-centre client coordinates of a rectangle of cells.
  platform::Rect CellToClient(const platform::Rect& cells) const;

  // Where the owner shows the image at its real size; repainted after every change.
  std::function<void()> onImageChanged;
  // A colour taken with the picker.
  std::function<void(platform::COLORREF)> onColorPicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  platform::Rect gridArea() const;
  void redrawSurface();
  void paintCell(platform::Point cell);
  // Draws the tracked shape with the inverting pen: once shows it, twice takes it away.
  void drawRubberBand();
  bool tracking() const { return m_nMode == Line || m_nMode == Rectangle || m_nMode == Ellipse; }
  void changed();

  platform::COLORREF m_clrDraw = 0;
  platform::Size m_sizeImage;
  QImage* m_pBitmap = nullptr;
  int m_nMode = Pen;
  std::array<QCursor, 6> m_cursors;
  int m_nCellWidth = 0, m_nCellHeight = 0;
  platform::Rect m_rectTrack;
  bool m_bTracking = false;
  QImage m_surface;
};
