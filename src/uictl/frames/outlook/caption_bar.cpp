#include "uictl/frames/outlook/caption_bar.h"

#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/window_styles.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <vector>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxCaptionBar, CObject, kNoSchema, ::platform::createInstance<CUxCaptionBar>)

namespace {
constexpr int kArrowWidth = 10;
}  // namespace

CUxCaptionBar::CUxCaptionBar(QWidget* parent) : CUxControlBar(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CUxCaptionBar::~CUxCaptionBar() = default;

bool CUxCaptionBar::Create(unsigned style, QWidget* parent, unsigned id, int height) {
  m_dwStyle = CbrsAlignTop;
  m_nDefaultHeight = height;
  if (parent != parentWidget()) setParent(parent);
  SetDlgCtrlID(id);
  setContentsMargins(0, m_nBorderSize, 0, m_nBorderSize);
  setEnabled(!(style & WsDisabled));
  setVisible(style & WsVisible);
  AdjustLayout();
  return true;
}

void CUxCaptionBar::SetText(const std::wstring& text, int alignment) {
  m_strText = text;
  m_nTextAlignment = alignment;
  RecalcLayout();
}

void CUxCaptionBar::SetFont(const Font& font) {
  m_font = font;
  RecalcLayout();
}

Font CUxCaptionBar::textFont() const { return m_font.isNull() ? globalData().fontRegular : m_font; }

Size CUxCaptionBar::imageSize() const {
  if (!m_hIcon.isNull()) {
    const QList<QSize> sizes = m_hIcon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.front();
    return {size.width(), size.height()};
  }
  return m_Image.GetCount() > 0 ? m_Image.GetImageSize() : Size{};
}

Rect CUxCaptionBar::ClientRect() const { return {0, 0, width(), std::max(0, height() - 2 * m_nBorderSize)}; }

void CUxCaptionBar::RecalcLayout() {
  // The parent lays its bars out again from their size hints, then this bar places its items.
  updateGeometry();
  AdjustLayout();
  update();
}

Size CUxCaptionBar::CalcFixedLayout(bool, bool) {
  AdjustLayout();
  return {32767, m_nCurrentHeight};
}

void CUxCaptionBar::AdjustLayout() {
  MeasuringDc measure(textFont());
  const int textHeight = measure->getTextMetrics().height;
  const Size image = imageSize();
  m_nCurrentHeight = m_nDefaultHeight != -1
                         ? m_nDefaultHeight
                         : m_nBorderSize + 2 * m_nMargin + std::max(textHeight + 2, image.cy);
  m_rectImage = m_rectButton = m_rectText = {};
  const Rect client = ClientRect();
  if (client.isEmpty()) return;

  int spanLeft = client.left + m_nMargin, spanRight = client.right - m_nMargin;
  bool leftTaken = false, rightTaken = false;
  const int centreY = client.height() / 2;
  // Items placed at the centre, in order, with their widths.
  std::vector<std::pair<Rect*, int>> centred;
  const auto place = [&](Rect& rect, int alignment, int itemWidth, int top, int bottom, bool fromEdge) {
    if (alignment == AlignRight) {
      const int right = fromEdge && !rightTaken ? client.right : spanRight;
      rect = {right - itemWidth, top, right, bottom};
      spanRight = rect.left - m_nHorzElementOffset;
      rightTaken = true;
    } else if (alignment == AlignCentre) {
      rect = {0, top, itemWidth, bottom};
      centred.emplace_back(&rect, itemWidth);
    } else {
      const int left = fromEdge && !leftTaken ? client.left : spanLeft;
      rect = {left, top, left + itemWidth, bottom};
      spanLeft = rect.right + m_nHorzElementOffset;
      leftTaken = true;
    }
  };

  const bool hasImage = image.cx > 0 && image.cy > 0;
  if (hasImage) {
    const int top = image.cy < client.height() ? centreY - image.cy / 2 : client.top + m_nMargin;
    const int bottom = m_bStretchImage ? client.bottom - m_nMargin : top + image.cy;
    place(m_rectImage, m_nImageAlignment, image.cx, top, bottom, false);
  }
  if (!m_strBtnText.empty()) {
    const int width = measure->getTextExtent(m_strBtnText).cx + 2 * m_nHorzElementOffset +
                      (buttonActive() ? kArrowWidth : 0);
    place(m_rectButton, m_nBtnAlignment, width, client.top, client.bottom, true);
  }
  if (!m_strText.empty()) {
    Rect measured;
    measure->drawText(m_strText, measured, DtCalcRect | DtSingleLine | DtNoPrefix);
    const int top = centreY - measured.height() / 2;
    place(m_rectText, m_nTextAlignment, measured.width(), top, top + measured.height(), false);
  }
  int total = 0;
  for (const auto& item : centred) total += item.second + m_nHorzElementOffset;
  int x = client.width() / 2 - (total - m_nHorzElementOffset) / 2;
  for (const auto& [rect, width] : centred) {
    *rect = {x, rect->top, x + width, rect->bottom};
    x += width + m_nHorzElementOffset;
  }

  // Everything stays inside the margins; the image moves rather than being cut.
  const int minX = client.left + m_nMargin, maxX = client.right - m_nMargin;
  if (hasImage) {
    if (!m_bStretchImage && m_rectImage.right > maxX) m_rectImage = m_rectImage.offset(maxX - m_rectImage.right, 0);
    if (!m_bStretchImage && m_rectImage.left < minX) m_rectImage = m_rectImage.offset(minX - m_rectImage.left, 0);
    m_rectImage.left = std::max(m_rectImage.left, minX);
    m_rectImage.right = std::min(m_rectImage.right, maxX);
  }
  const auto trimAgainst = [](Rect& rect, const Rect& obstacle) {
    if (rect.isEmpty() || obstacle.isEmpty() || rect.intersected(obstacle).isEmpty()) return;
    if (rect.left < obstacle.left) rect.right = obstacle.left;
    else rect.left = obstacle.right;
  };
  const Rect imageZone = m_rectImage.isEmpty() ? Rect{} : m_rectImage.inflated(m_nHorzElementOffset, 0);
  trimAgainst(m_rectButton, imageZone);
  m_rectText.left = std::max(m_rectText.left, minX);
  m_rectText.right = std::min(m_rectText.right, maxX);
  trimAgainst(m_rectText, m_rectImage);
  trimAgainst(m_rectText, m_rectButton);
}

void CUxCaptionBar::resizeEvent(QResizeEvent* event) {
  CUxControlBar::resizeEvent(event);
  AdjustLayout();
}

// Painting.

void CUxCaptionBar::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  {
    Dc whole(buffer);
    OnDrawBorder(&whole, {0, 0, width(), m_nBorderSize});
    OnDrawBorder(&whole, {0, height() - m_nBorderSize, width(), height()});
  }
  const Rect client = ClientRect();
  if (!client.isEmpty()) {
    // The client area is a view into the same image, so that it paints in client coordinates.
    const qsizetype line = buffer.bytesPerLine();
    QImage view(buffer.bits() + m_nBorderSize * line, client.width(), client.height(), line, QImage::Format_RGB32);
    Dc dc(view);
    OnDrawBackground(&dc, client);
    dc.setBkMode(Transparent);
    dc.setTextColor(m_clrBarText == kNoColor ? CUxVisualManager::GetInstance()->GetCaptionBarTextColor(this)
                                             : m_clrBarText);
    dc.selectFont(textFont());
    OnDrawButton(&dc, m_rectButton, m_strBtnText, buttonActive());
    OnDrawText(&dc, m_rectText, m_strText);
    OnDrawImage(&dc, m_rectImage);
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxCaptionBar::OnDrawBackground(Dc* dc, const Rect& rect) {
  CUxVisualManager::GetInstance()->OnFillBarBackground(dc, this, rect, rect);
}

void CUxCaptionBar::OnDrawBorder(Dc* dc, Rect rect) {
  const GlobalDrawData& g = globalData();
  rect = rect.inflated(2, 0);
  if (m_clrBarBorder == kNoColor) dc->fillRect(rect, g.brBarFace);
  else dc->fillSolidRect(rect, m_clrBarBorder);
  if (!m_bFlatBorder) dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
}

void CUxCaptionBar::OnDrawText(Dc* dc, const Rect& rect, const std::wstring& text) {
  Rect r = rect;
  dc->drawText(text, r, DtEndEllipsis | DtNoPrefix | DtSingleLine | DtVCenter);
}

void CUxCaptionBar::OnDrawImage(Dc* dc, const Rect& rect) {
  if (rect.isEmpty()) return;
  if (!m_hIcon.isNull()) {
    dc->drawImage(rect.left, rect.top, m_hIcon.pixmap(rect.width(), rect.height()).toImage().scaled(rect.width(), rect.height()));
    return;
  }
  if (m_Image.GetCount() == 0) return;
  ImageDrawState state;
  if (!m_Image.PrepareDrawImage(state, rect.size())) return;
  m_Image.Draw(dc, rect.left, rect.top, 0);
  m_Image.EndDrawImage(state);
}

void CUxCaptionBar::OnDrawButton(Dc* dc, Rect rect, const std::wstring& text, bool arrow) {
  if (rect.isEmpty()) return;
  const GlobalDrawData& g = globalData();
  const Rect frame = rect;
  rect = rect.deflated(m_nHorzElementOffset, 0);
  Rect arrowStrip;
  if (arrow) {
    arrowStrip = {rect.right - kArrowWidth, rect.top, rect.right, rect.bottom};
    rect.right -= kArrowWidth;
  }
  dc->drawText(text, rect, DtEndEllipsis | DtSingleLine | DtVCenter);
  if (arrow) {
    // A filled triangle pointing down, a third of the strip high, in the text colour.
    const int h = arrowStrip.height() / 3, half = h;
    const int cx = (arrowStrip.left + arrowStrip.right) / 2, top = arrowStrip.top + (arrowStrip.height() - h) / 2;
    const Pen oldPen = dc->selectPen(Pen::solid(dc->textColor()));
    const Brush oldBrush = dc->selectBrush(Brush::solid(dc->textColor()));
    dc->polygon({{cx - half, top}, {cx + half, top}, {cx, top + h}});
    dc->selectBrush(oldBrush);
    dc->selectPen(oldPen);
  }
  if (m_bIsBtnPressed || m_bIsBtnForcePressed) dc->draw3dRect(frame, g.clrBarDarkShadow, g.clrBarHighlight);
  else if (m_bIsBtnHighlighted) dc->draw3dRect(frame, g.clrBarHighlight, g.clrBarDarkShadow);
}

// The button and the context menu.

void CUxCaptionBar::repaintButton() {
  update(m_rectButton.offset(0, m_nBorderSize).toQRect());
}

void CUxCaptionBar::mouseMoveEvent(QMouseEvent* event) {
  if (!buttonActive()) return;
  const QPoint p = event->position().toPoint() - QPoint(0, m_nBorderSize);
  const bool hot = m_rectButton.contains({p.x(), p.y()});
  if (hot != m_bIsBtnHighlighted) {
    m_bIsBtnHighlighted = hot;
    m_bIsBtnPressed = hot && (event->buttons() & Qt::LeftButton);
    repaintButton();
  }
  m_bTracked = true;
}

void CUxCaptionBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !buttonActive() || !m_bIsBtnHighlighted) return;
  m_bIsBtnPressed = true;
  repaintButton();
  // The command goes on the press: the owner may open a menu under the button.
  CUxToolBar::sendCommand(GetOwner(), m_uiBtnID, 0);
}

void CUxCaptionBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    if (toolbarClassData().bCustomizeMode) return;
    QWidget* owner = GetOwner();
    if (!owner) return;
    const QPoint screen = event->globalPosition().toPoint();
    sendPopupMenuRequest(owner, this, screen.x(), screen.y());
    return;
  }
  if (event->button() != Qt::LeftButton || !buttonActive()) return;
  m_bIsBtnPressed = false;
  repaintButton();
}

void CUxCaptionBar::leaveEvent(QEvent* event) {
  m_bTracked = false;
  if (m_bIsBtnPressed || m_bIsBtnHighlighted) {
    m_bIsBtnPressed = m_bIsBtnHighlighted = false;
    repaintButton();
  }
  CUxControlBar::leaveEvent(event);
}
