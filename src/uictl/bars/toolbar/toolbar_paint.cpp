// Painting of a toolbar: the border and gripper around the client area, then the background,
// the buttons with their image strips, separators, the customise selection and the insertion
// marker of a drag, all into one image that is then shown.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QPaintEvent>
#include <QPainter>

using namespace platform;

namespace {
constexpr int kGripperShift = 7;
}

void ToolBarImpl::DrawParentBackground(Dc* dc) { globalData().DrawParentBackground(m_pBar, dc); }

void ToolBarImpl::CalcNcSize(Rect& rect) {
  const unsigned style = m_pBar->GetBarStyle();
  const bool horizontal = style & CbrsOrientHorz;
  Rect inset;
  m_pBar->CalcInsideRect(inset, horizontal);
  // Right to left, the gripper stands on the right: the client area moves left to make room.
  if (horizontal && m_pBar->layoutDirection() == Qt::RightToLeft && (style & (CbrsGripper | CbrsFloating)) == CbrsGripper)
    inset = inset.offset(-kGripperShift, 0);
  rect.left += inset.left;
  rect.top += inset.top;
  rect.right += inset.right;
  rect.bottom += inset.bottom;
}

void ToolBarImpl::DrawNcArea(Dc* dc) {
  const unsigned style = m_pBar->GetBarStyle();
  const bool horizontal = style & CbrsOrientHorz;
  const QRect clientArea = m_pBar->contentsRect();
  const Rect client = Rect::fromQRect(clientArea);
  Rect rect = dc->bounds();
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  // A bar that can be docked and floated has a dock context: it draws no etched line at the top.
  manager->OnDrawBarBorder(dc, style, m_pBar->m_pDockContext != nullptr, rect);
  dc->setClipRect(rect);
  manager->OnFillBarBackground(dc, nullptr, rect, {}, true);
  dc->setClipRect(std::nullopt);
  if ((style & (CbrsGripper | CbrsFloating)) != CbrsGripper) return;
  Rect gripper = dc->bounds();
  if (horizontal) {
    if (m_pBar->layoutDirection() == Qt::RightToLeft) {
      if (client.right > gripper.left) gripper.left = client.right;
    } else if (client.left - 1 < gripper.right) {
      gripper.right = client.left - 1;
    }
  } else if (client.top - 1 < gripper.bottom) {
    gripper.bottom = client.top - 1;
  }
  manager->OnDrawBarGripper(dc, gripper, horizontal);
}

void CUxToolBar::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  {
    Dc whole(buffer);
    m_Impl.DrawNcArea(&whole);
  }
  const QRect area = contentsRect();
  if (area.isValid() && !area.isEmpty()) {
    // The client area is a view into the same image, so the buttons paint in client coordinates.
    const qsizetype line = buffer.bytesPerLine();
    QImage client(buffer.bits() + area.y() * line + area.x() * 4, area.width(), area.height(), line,
                  QImage::Format_RGB32);
    Dc dc(client);
    DoPaint(&dc);
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CUxToolBar::DoPaint(Dc* dc) {
  const Rect client = ClientRect();
  const bool horizontal = IsHorizontal();
  const bool customize = toolbarClassData().bCustomizeMode;
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  GlobalDrawData& g = globalData();

  if (m_dwCtrlStyle & kTbStyleTransparent) m_Impl.DrawParentBackground(dc);
  else manager->OnFillBarBackground(dc, nullptr, client, client);
  OnFillBackground(dc);
  dc->setTextColor(g.clrBarText);
  dc->setBkMode(Transparent);

  ToolbarImages* images = &imagesFor(kImages);
  ToolbarImages* cold = &imagesFor(kColdImages);
  ToolbarImages* disabled = &imagesFor(kDisabledImages);
  if (g_bLargeIcons && !m_bMenuMode && imagesFor(kLargeImages).GetCount() > 0) {
    images = &imagesFor(kLargeImages);
    cold = &imagesFor(kLargeColdImages);
    disabled = &imagesFor(kLargeDisabledImages);
  }
  ToolbarImages* menu = &imagesFor(kMenuImages);
  ToolbarImages* disabledMenu = &imagesFor(kDisabledMenuImages);
  if (images->clrTransparent != g.clrBtnFace && !images->IsReadOnly()) images->SetTransparentColor(g.clrBtnFace);
  const Size imageSize = m_bMenuMode ? toolbarClassData().sizeMenuImage : GetImageSize();

  const bool fadeWas = manager->bFadeInactiveImage;
  if (cold->GetCount() > 0) manager->bFadeInactiveImage = false;
  // A bar without images still paints its text buttons.
  ImageDrawState state;
  ToolbarImages* prepared = images->PrepareDrawImage(state, imageSize, manager->bFadeInactiveImage) ? images : nullptr;
  const Font oldFont = dc->selectFont(barFont());

  for (int i = 0; i < GetCount(); ++i) {
    CUxToolbarButton* button = m_Buttons[static_cast<size_t>(i)].get();
    if (button->m_nStyle & kStyleSeparator) {
      if (button->m_bHidden) continue;
      if (horizontal && button->m_bWrap)
        DrawSeparator(dc, {client.left, button->m_rect.bottom, client.right, button->m_rect.bottom + 5}, false);
      else if (!button->m_rect.intersected(client).isEmpty())
        DrawSeparator(dc, button->m_rect, horizontal);
      continue;
    }
    if (button->m_rect.intersected(client).isEmpty()) continue;
    const bool disabledLook = (button->m_nStyle & kStyleDisabled) && !customize;
    bool highlighted = false;
    if (!customize || m_bLocked) {
      if (m_bMenuMode) highlighted = i == m_iHighlighted;
      else highlighted = (i == m_iHighlighted || i == m_iButtonCapture) && (m_iButtonCapture == -1 || i == m_iButtonCapture);
    }
    ToolbarImages* strip;
    if (button->m_bUserImage) {
      strip = userImages();
    } else if (m_bMenuMode) {
      if (disabledLook && disabledMenu->GetCount() > 0) strip = disabledMenu;
      else if (menu->GetCount() > 0) strip = menu;
      else if (disabledLook && disabled->GetCount() > 0) strip = disabled;
      else strip = images;
    } else if (disabledLook && disabled->GetCount() > 0) {
      strip = disabled;
    } else {
      strip = images;
      if (!highlighted && !(button->m_nStyle & kStylePressed) && !button->IsDroppedDown() && cold->GetCount() > 0)
        strip = cold;
    }
    if (strip != prepared) {
      if (prepared) prepared->EndDrawImage(state);
      prepared = strip && strip->PrepareDrawImage(state, imageSize, manager->bFadeInactiveImage) ? strip : nullptr;
    }
    DrawButton(dc, button, prepared, highlighted, prepared && prepared == disabled);
  }

  if (m_iSelected >= GetCount()) m_iSelected = -1;
  if (customize && g_pSelToolBar == this && !m_bLocked && m_iSelected >= 0) {
    CUxToolbarButton* selected = GetButton(m_iSelected);
    Rect frame = selected->m_rect;
    if (selected->GetHwnd()) frame = frame.inflated(0, 1);
    dc->draw3dRect(frame, g.clrBarText, g.clrBarText);
    dc->draw3dRect(frame.deflated(1, 1), g.clrBarText, g.clrBarText);
  }
  if (customize && m_iDragIndex >= 0) DrawDragMarker(dc);
  if (customize && m_bStretchButton && !m_rectTrack.isEmpty()) DrawStretchTrack(dc);

  dc->selectFont(oldFont);
  if (prepared) prepared->EndDrawImage(state);
  manager->bFadeInactiveImage = fadeWas;
}

bool CUxToolBar::DrawButton(Dc* dc, CUxToolbarButton* button, ToolbarImages* images, bool highlighted,
                            bool drawDisabledImages) {
  const Rect visible = dc->clipRect() ? dc->bounds().intersected(*dc->clipRect()) : dc->bounds();
  if (button->m_bHidden || button->m_rect.intersected(visible).isEmpty()) return true;
  const bool customizeLook = toolbarClassData().bCustomizeMode && !g_bAltCustomizing && !m_bLocked;
  button->OnDraw(dc, button->m_rect, images, IsHorizontal(), customizeLook, highlighted, m_bShowHotBorder,
                 m_bGrayDisabledButtons && !drawDisabledImages);
  return true;
}

void CUxToolBar::DrawSeparator(Dc* dc, const Rect& rect, bool horizontal) {
  CUxVisualManager::GetInstance()->OnDrawSeparator(dc, rect, horizontal);
}

void CUxToolBar::DrawStretchTrack(Dc* dc) {
  // A drag rectangle two pixels thick: a half-tone pattern inverted over the button.
  QImage halftone(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) halftone.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
  const Brush old = dc->selectBrush(Brush::pattern(halftone));
  const Rect& r = m_rectTrack;
  constexpr int kThickness = 2;
  dc->patBlt({r.left, r.top, r.right, r.top + kThickness}, PatInvert);
  dc->patBlt({r.left, r.bottom - kThickness, r.right, r.bottom}, PatInvert);
  dc->patBlt({r.left, r.top + kThickness, r.left + kThickness, r.bottom - kThickness}, PatInvert);
  dc->patBlt({r.right - kThickness, r.top + kThickness, r.right, r.bottom - kThickness}, PatInvert);
  dc->selectBrush(old);
}

void CUxToolBar::DrawDragMarker(Dc* dc) {
  const Pen old = dc->selectPen(Pen::solid(globalData().clrBarText));
  const Rect& r = m_rectDrag;
  for (int i = 0; i < 2; ++i) {
    if (IsHorizontal()) {
      const int x = r.left + r.width() / 2 + i - 1;
      dc->moveTo(x, r.top);
      dc->lineTo(x, r.bottom);
      dc->moveTo(r.left + i, r.top + i);
      dc->lineTo(r.right - i, r.top + i);
      dc->moveTo(r.left + i, r.bottom - i - 1);
      dc->lineTo(r.right - i, r.bottom - i - 1);
    } else {
      const int y = r.top + r.height() / 2 + i - 1;
      dc->moveTo(r.left, y);
      dc->lineTo(r.right, y);
      dc->moveTo(r.left + i, r.top + i);
      dc->lineTo(r.left + i, r.bottom - i);
      dc->moveTo(r.right - i - 1, r.top + i);
      dc->lineTo(r.right - i - 1, r.bottom - i);
    }
  }
  dc->selectPen(old);
}
