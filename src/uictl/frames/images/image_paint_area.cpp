#include "uictl/frames/images/image_paint_area.h"

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

using platform::COLORREF;
using platform::Dc;
using platform::Point;
using platform::Rect;

namespace {
constexpr std::array<unsigned, 6> kCursorOfMode{16144, 16142, 16143, 16140, 16141, 16145};

QCursor toolCursor(unsigned id) {
  const QPixmap pixmap(QStringLiteral(":/uictl/cursor/%1.xpm").arg(id));
  // The hot spot is the drawing tip at the bottom left of every tool cursor.
  return pixmap.isNull() ? QCursor(Qt::CrossCursor) : QCursor(pixmap, 0, pixmap.height() - 1);
}
}  // namespace

ImagePaintArea::ImagePaintArea(QWidget* parent) : QWidget(parent) {
  for (size_t i = 0; i < m_cursors.size(); ++i) m_cursors[i] = toolCursor(kCursorOfMode[i]);
  setCursor(m_cursors[Pen]);
}

void ImagePaintArea::SetMode(int mode) {
  if (mode < Pen || mode > Picker) return;
  m_nMode = mode;
  setCursor(m_cursors[static_cast<size_t>(mode)]);
}

void ImagePaintArea::SetBitmap(QImage* bitmap) {
  m_pBitmap = bitmap && !bitmap->isNull() ? bitmap : nullptr;
  m_sizeImage = m_pBitmap ? platform::Size{m_pBitmap->width(), m_pBitmap->height()} : platform::Size{};
  if (m_pBitmap && m_pBitmap->format() != QImage::Format_RGB32 && m_pBitmap->format() != QImage::Format_ARGB32)
    *m_pBitmap = m_pBitmap->convertToFormat(QImage::Format_RGB32);
  const Rect inner = Rect::fromSize(0, 0, width(), height()).deflated(1, 1);
  // An image wider than the area would make zero-sized cells: one pixel is the least.
  m_nCellWidth = m_pBitmap ? std::max(1, inner.width() / m_sizeImage.cx) : 0;
  m_nCellHeight = m_pBitmap ? std::max(1, inner.height() / m_sizeImage.cy) : 0;
  redrawSurface();
}

Point ImagePaintArea::PointToCell(Point client) const {
  if (!m_pBitmap || m_nCellWidth == 0 || m_nCellHeight == 0) return {};
  return {std::clamp((client.x - 1) / m_nCellWidth, 0, m_sizeImage.cx - 1),
          std::clamp((client.y - 1) / m_nCellHeight, 0, m_sizeImage.cy - 1)};
}

Rect ImagePaintArea::CellToClient(const Rect& cells) const {
  const int hx = m_nCellWidth / 2, hy = m_nCellHeight / 2;
  return {cells.left * m_nCellWidth + 1 + hx, cells.top * m_nCellHeight + 1 + hy,
          cells.right * m_nCellWidth + 1 + hx, cells.bottom * m_nCellHeight + 1 + hy};
}

Rect ImagePaintArea::gridArea() const {
  return Rect::fromSize(1, 1, m_nCellWidth * m_sizeImage.cx, m_nCellHeight * m_sizeImage.cy);
}

void ImagePaintArea::resizeEvent(QResizeEvent*) { SetBitmap(m_pBitmap); }

void ImagePaintArea::redrawSurface() {
  m_surface = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  const GlobalDrawData& colours = globalData();
  Dc dc(m_surface);
  const Rect client = dc.bounds();
  dc.fillRect(client, colours.brBtnFace);
  const Rect inner = client.deflated(1, 1);
  const Rect grid = Rect::fromSize(inner.left, inner.top, m_nCellWidth * m_sizeImage.cx,
                                   m_nCellHeight * m_sizeImage.cy);
  dc.draw3dRect(grid, colours.clrBtnDarkShadow, colours.clrBtnHighlight);
  dc.selectPen(platform::Pen::solid(colours.clrBtnShadow));
  if (m_nCellWidth > 0)
    for (int x = inner.left + m_nCellWidth; x <= inner.right - m_nCellWidth; x += m_nCellWidth) {
      dc.moveTo(x, inner.top + 1);
      dc.lineTo(x, inner.bottom - 1);
    }
  if (m_nCellHeight > 0)
    for (int y = inner.top + m_nCellHeight; y <= inner.bottom - m_nCellHeight; y += m_nCellHeight) {
      dc.moveTo(inner.left + 1, y);
      dc.lineTo(inner.right - 1, y);
    }
  if (m_pBitmap) {
    const Dc image(*m_pBitmap);
    for (int y = 0; y < m_sizeImage.cy; ++y)
      for (int x = 0; x < m_sizeImage.cx; ++x) {
        const COLORREF shown = ToolbarImages::MapToSysColor(image.getPixel(x, y));
        if (shown == platform::kNoColor) continue;
        dc.fillSolidRect(Rect::fromSize(inner.left + x * m_nCellWidth, inner.top + y * m_nCellHeight, m_nCellWidth,
                                        m_nCellHeight).deflated(1, 1),
                         shown);
      }
  }
  update();
}

void ImagePaintArea::paintEvent(QPaintEvent*) {
  if (m_surface.size() != size()) redrawSurface();
  QPainter(this).drawImage(0, 0, m_surface);
}

void ImagePaintArea::changed() {
  if (onImageChanged) onImageChanged();
}

void ImagePaintArea::paintCell(Point cell) {
  Dc screen(m_surface);
  screen.fillSolidRect(Rect::fromSize(1 + cell.x * m_nCellWidth, 1 + cell.y * m_nCellHeight, m_nCellWidth,
                                      m_nCellHeight).deflated(1, 1),
                       m_clrDraw);
  Dc(*m_pBitmap).setPixel(cell.x, cell.y, ToolbarImages::MapFromSysColor(m_clrDraw));
  update();
  changed();
}

void ImagePaintArea::drawRubberBand() {
  if (m_rectTrack.left == m_rectTrack.right && m_rectTrack.top == m_rectTrack.bottom) return;
  Dc dc(m_surface);
  dc.setClipRect(gridArea());
  dc.selectPen(platform::Pen::solid(globalData().clrBtnText, std::min(m_nCellWidth, m_nCellHeight)));
  dc.selectBrush(platform::Brush::hollow());
  dc.setPenMix(platform::R2Not);
  const Rect r = CellToClient(m_rectTrack);
  // The thick pen spreads right and down from each point: centre it on the cell centres.
  const int half = std::min(m_nCellWidth, m_nCellHeight) / 2;
  if (m_nMode == Line) {
    dc.moveTo(r.left - half, r.top - half);
    dc.lineTo(r.right - half, r.bottom - half);
  } else {
    const Rect ordered{std::min(r.left, r.right) - half, std::min(r.top, r.bottom) - half,
                       std::max(r.left, r.right) + half + 1, std::max(r.top, r.bottom) + half + 1};
    if (m_nMode == Rectangle) dc.rectangle(ordered);
    else dc.ellipse(ordered);
  }
  update();
}

void ImagePaintArea::mousePressEvent(QMouseEvent* event) {
  if (!m_pBitmap || event->button() != Qt::LeftButton) return;
  const Point cell = PointToCell({event->position().toPoint().x(), event->position().toPoint().y()});
  if (m_nMode == Pen) paintCell(cell);
  else if (tracking()) {
    m_rectTrack = {cell.x, cell.y, cell.x, cell.y};
    m_bTracking = true;
  }
}

void ImagePaintArea::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pBitmap || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint p = event->position().toPoint();
  const Point cell = PointToCell({std::clamp(p.x(), 0, width() - 1), std::clamp(p.y(), 0, height() - 1)});
  if (m_nMode == Pen) {
    paintCell(cell);
  } else if (tracking() && m_bTracking) {
    drawRubberBand();
    m_rectTrack.right = cell.x;
    m_rectTrack.bottom = cell.y;
    drawRubberBand();
  }
}

void ImagePaintArea::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_pBitmap || event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  const Point cell = PointToCell({std::clamp(p.x(), 0, width() - 1), std::clamp(p.y(), 0, height() - 1)});
  if (tracking() && !m_bTracking) return;
  if (tracking()) {
    drawRubberBand();
    m_rectTrack.right = cell.x;
    m_rectTrack.bottom = cell.y;
  }
  Rect track = m_rectTrack;
  const bool moved = track.left != track.right || track.top != track.bottom;
  if (m_nMode == Rectangle || m_nMode == Ellipse) {
    // Both end cells belong to the shape: the far edge of an exclusive rectangle moves out by one.
    track = {std::min(track.left, track.right), std::min(track.top, track.bottom),
             std::max(track.left, track.right) + 1, std::max(track.top, track.bottom) + 1};
  }
  const COLORREF color = ToolbarImages::MapFromSysColor(m_clrDraw);
  bool whole = false;
  switch (m_nMode) {
    case Pen: paintCell(cell); break;
    case Fill: {
      Dc dc(*m_pBitmap);
      dc.selectBrush(platform::Brush::solid(m_clrDraw));
      dc.extFloodFill(cell.x, cell.y, dc.getPixel(cell.x, cell.y), platform::FloodFillSurface);
      whole = true;
      break;
    }
    case Line:
      if (moved) {
        Dc dc(*m_pBitmap);
        dc.selectPen(platform::Pen::solid(color));
        dc.moveTo(track.left, track.top);
        dc.lineTo(track.right, track.bottom);
        whole = true;
      }
      paintCell(cell);
      break;
    case Rectangle:
    case Ellipse:
      if (moved) {
        Dc dc(*m_pBitmap);
        dc.selectPen(platform::Pen::solid(color));
        dc.selectBrush(platform::Brush::hollow());
        if (m_nMode == Rectangle) dc.rectangle(track);
        else dc.ellipse(track);
        whole = true;
      } else {
        paintCell(cell);
      }
      break;
    case Picker:
      if (onColorPicked) onColorPicked(Dc(*m_pBitmap).getPixel(cell.x, cell.y));
      break;
  }
  m_rectTrack = {};
  m_bTracking = false;
  if (whole) {
    redrawSurface();
    changed();
  }
}
