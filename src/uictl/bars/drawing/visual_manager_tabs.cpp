// The visual manager's tab drawing: classic property-sheet tabs for the tab window, flat tabs
// with cut corners, and plain trapezoids in the label-only mode.
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/visual_manager.h"

using namespace platform;

namespace {
constexpr int kTabTextMargin = 4;
constexpr int kTabIconTextGap = 6;

bool hasColour(COLORREF c) { return c != kNoColor; }

COLORREF activeTabColour(const UxTabWindowLook* tabs) {
  if (!tabs || !tabs->IsFlatTab() || tabs->GetActiveTab() < 0) return kNoColor;
  return tabs->GetTabBackColor(tabs->GetActiveTab());
}

// Tab outlines are worked out for tabs hanging below the window area; tabs on the top edge are
// the same shapes upside down.
struct TabShape {
  Rect rect;
  bool onTop;
  int y(int fromTop) const { return onTop ? rect.bottom - 1 - fromTop : rect.top + fromTop; }
  Point at(int x, int fromTop) const { return {x, y(fromTop)}; }
};

void line(Dc* dc, Point from, Point to) {
  dc->moveTo(from.x, from.y);
  dc->lineTo(to.x, to.y);
}
}  // namespace

void CUxVisualManager::OnEraseTabsArea(Dc* dc, const Rect& rect, const UxTabWindowLook* tabs) {
  dc->fillRect(rect, globalData().brBarFace);
  const COLORREF active = activeTabColour(tabs);
  if (hasColour(active)) dc->fillSolidRect({rect.left, rect.bottom - 2, rect.right, rect.bottom}, active);
}

void CUxVisualManager::OnDrawTab(Dc* dc, const Rect& rect, int tab, bool active, const UxTabWindowLook* tabs) {
  if (!tabs || rect.isEmpty()) return;
  const GlobalDrawData& g = globalData();
  const COLORREF own = tabs->GetTabBackColor(tab);
  const COLORREF face = hasColour(own) ? own : g.clrBtnFace;
  const TabShape shape{rect, tabs->IsTabsOnTop()};
  const int h = rect.height();

  if (tabs->IsLabelOnlyMode()) {
    // The long side faces the window area; the far side is shorter by half the row's height
    // at each end.
    const int inset = tabs->GetTabsHeight() / 2;
    const Brush old = hasColour(own) ? dc->selectBrush(Brush::solid(own)) : dc->brush();
    dc->polygon({shape.at(rect.left, 0), shape.at(rect.right - 1, 0), shape.at(rect.right - 1 - inset, h - 1),
                 shape.at(rect.left + inset, h - 1)});
    dc->selectBrush(old);
    OnDrawTabContent(dc, rect, tab, active, tabs);
    return;
  }

  if (tabs->IsFlatTab()) {
    const int l = rect.left, r = rect.right - 1, b = h - 1;
    const Brush old = dc->selectBrush(Brush::solid(face));
    dc->polygon({shape.at(l, 0), shape.at(r, 0), shape.at(r, b - 4), shape.at(r - 2, b - 2), shape.at(r - 4, b),
                 shape.at(l + 4, b), shape.at(l + 2, b - 2), shape.at(l, b - 4)});
    dc->selectBrush(old);
  } else {
    dc->fillSolidRect(rect, face);
    const int l = rect.left, r = rect.right - 1, b = h - 1;
    const Pen old = dc->selectPen(Pen::solid(g.clrBarHighlight));
    line(dc, shape.at(l, 0), shape.at(l, b - 1));
    line(dc, shape.at(l, b - 1), shape.at(l + 2, b + 1));
    dc->selectPen(Pen::solid(g.clrBarShadow));
    line(dc, shape.at(l + 2, b - 1), shape.at(r - 1, b - 1));
    line(dc, shape.at(r - 1, 0), shape.at(r - 1, b - 1));
    dc->selectPen(Pen::solid(0));
    line(dc, shape.at(l + 2, b), shape.at(r - 1, b));
    line(dc, shape.at(r, 0), shape.at(r, b - 1));
    line(dc, shape.at(r, b - 1), shape.at(r - 2, b + 1));
    // The active tab opens into the window area: no edge on that side.
    if (!active) {
      dc->selectPen(Pen::solid(g.clrBarShadow));
      line(dc, shape.at(l, 0), shape.at(r + 1, 0));
    }
    dc->selectPen(old);
  }
  OnDrawTabContent(dc, rect, tab, active, tabs);
}

void CUxVisualManager::OnDrawTabContent(Dc* dc, Rect rect, int tab, bool active, const UxTabWindowLook* tabs) {
  if (!tabs) return;
  const COLORREF fore = tabs->GetTabForeColor(tab);
  const COLORREF oldColour = hasColour(fore) ? dc->setTextColor(fore) : dc->textColor();
  const unsigned noPrefix = tabs->IsNoPrefix() ? DtNoPrefix : 0u;
  const std::wstring label = tabs->GetTabLabel(tab);

  if (tabs->IsLabelOnlyMode()) {
    dc->drawText(label, rect, DtSingleLine | DtVCenter | DtCenter | noPrefix);
    dc->setTextColor(oldColour);
    return;
  }

  Rect text = rect.deflated(kTabTextMargin, 0);
  const QImage image = tabs->GetTabImage(tab);
  if (!image.isNull() && kTabTextMargin + image.width() <= rect.width()) {
    int y = rect.top + (rect.height() - image.height()) / 2;
    if (active && !tabs->IsTabsOnTop()) --y;
    dc->drawImage(rect.left + kTabTextMargin, y, image);
    text.left = rect.left + kTabTextMargin + image.width() + kTabIconTextGap;
  }
  const unsigned centre = tabs->IsFlatTab() ? DtCenter : 0u;
  dc->drawText(label, text, DtSingleLine | DtVCenter | DtEndEllipsis | noPrefix | centre);
  dc->setTextColor(oldColour);
}

void CUxVisualManager::OnFillTabStripButton(Dc* dc, const Rect& rect, CUxButton*, const UxTabWindowLook*) {
  dc->fillRect(rect, globalData().brBarFace);
}

void CUxVisualManager::GetTabFrameColors(const UxTabWindowLook* tabs, UxTabFrameColors& colors) {
  const GlobalDrawData& g = globalData();
  const COLORREF active = activeTabColour(tabs);
  colors.dark = g.clrBarShadow;
  colors.black = g.clrBarText;
  colors.highlight = g.clrBarHighlight;
  colors.face = hasColour(active) ? active : g.clrBarFace;
  colors.darkShadow = g.clrBarDarkShadow;
  colors.light = g.clrBarLight;
  colors.faceBrush = g.brBarFace;
  colors.blackBrush = g.brDarkShadow;
}

bool CUxVisualManager::OnEraseTabsFrame(Dc* dc, const Rect& rect, const UxTabWindowLook* tabs) {
  const COLORREF active = activeTabColour(tabs);
  if (!hasColour(active)) return false;
  dc->fillSolidRect(rect, active);
  return true;
}
