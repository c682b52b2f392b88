#include "uictl/bars/drawing/visual_manager.h"

#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/trace.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxVisualManager, CObject, kNoSchema, createInstance<CUxVisualManager>)

namespace {
CUxVisualManager* g_current = nullptr;
const RuntimeClass* g_defaultClass = nullptr;

// Classes of later bars and buttons are told apart by name: the visual manager draws them
// differently without depending on them.
bool isKindOfNamed(const CObject* object, const char* name) {
  if (!object) return false;
  for (const RuntimeClass* c = object->GetRuntimeClass(); c; c = c->base)
    if (std::string_view(c->className) == name) return true;
  return false;
}
}  // namespace

CUxVisualManager::CUxVisualManager(bool temporary) : bIsTemporary(temporary) {
  if (!temporary && !g_current) g_current = this;
  globalData().UpdateSysColors();
}

CUxVisualManager::~CUxVisualManager() {
  if (!bIsTemporary && g_current == this) g_current = nullptr;
}

CUxVisualManager* CUxVisualManager::GetInstance() {
  if (g_current) return g_current;
  CUxVisualManager* made = nullptr;
  if (g_defaultClass) {
    std::unique_ptr<CObject> object = g_defaultClass->createObject();
    if (object && object->IsKindOf(KELVARA_RUNTIME_CLASS(CUxVisualManager)))
      made = static_cast<CUxVisualManager*>(object.release());
  }
  if (!made) made = new CUxVisualManager;
  // A manager made while another current one is missing makes itself current.
  g_current = made;
  made->bAutoCreated = true;
  made->OnUpdateSystemColors();
  return made;
}

void CUxVisualManager::SetDefaultManagerClass(const RuntimeClass* record) { g_defaultClass = record; }

void CUxVisualManager::OnFillBarBackground(Dc* dc, UxBarSurface* bar, const Rect& client, const Rect& clip, bool) {
  const Rect area = clip.isEmpty() ? client : clip;
  if (bar && bar->SurfaceKind() == UxBarSurface::Kind::OutlookBar) {
    bar->FillWorkArea(dc, area);
    return;
  }
  if (bar && bar->SurfaceKind() == UxBarSurface::Kind::CaptionBar) {
    const COLORREF own = bar->BackgroundColor();
    dc->fillSolidRect(area, own == kNoColor ? globalData().clrBarShadow : own);
    return;
  }
  dc->fillRect(area, globalData().brBarFace);
}

void CUxVisualManager::OnDrawBarBorder(Dc* dc, unsigned style, bool hasDockContext, Rect& rect) {
  if (!(style & (CbrsBorderLeft | CbrsBorderTop | CbrsBorderRight | CbrsBorderBottom))) return;
  const GlobalDrawData& g = globalData();
  const COLORREF near = (style & CbrsBorder3d) ? g.clrBarHighlight : g.clrBarShadow;
  const int w = rect.width(), h = rect.height();
  if (style & CbrsBorderLeft) dc->fillSolidRect(Rect::fromSize(0, 0, 1, h - 1), near);
  if (style & CbrsBorderTop) dc->fillSolidRect(Rect::fromSize(0, 0, w - 1, 1), near);
  if (style & CbrsBorderRight) dc->fillSolidRect({rect.right - 1, 0, rect.right, h}, g.clrBarShadow);
  if (style & CbrsBorderBottom) dc->fillSolidRect({0, rect.bottom - 1, w - 1, rect.bottom}, g.clrBarShadow);
  if (!hasDockContext) {
    dc->fillSolidRect({0, 0, w, 1}, g.clrBarShadow);
    dc->fillSolidRect({0, 1, w, 2}, g.clrBarHighlight);
  }
  if (style & CbrsBorderLeft) ++rect.left;
  if (style & CbrsBorderTop) ++rect.top;
  if (style & CbrsBorderRight) --rect.right;
  if (style & CbrsBorderBottom) --rect.bottom;
}

void CUxVisualManager::OnDrawMenuBorder(Dc* dc, const Rect& rect) {
  const GlobalDrawData& g = globalData();
  dc->draw3dRect(rect, g.clrBarLight, g.clrBarDarkShadow);
  dc->draw3dRect(rect.deflated(1, 1), g.clrBarHighlight, g.clrBarShadow);
}

void CUxVisualManager::OnDrawBarGripper(Dc* dc, Rect rect, bool horizontal) {
  const GlobalDrawData& g = globalData();
  const int lines = bFlatStyle ? 1 : 2;
  if (horizontal) {
    rect = rect.deflated(0, bFlatStyle ? 3 : 2);
    const int mid = (rect.left + rect.right) / 2;
    rect.left = mid - (bFlatStyle ? 1 : 2);
    rect.right = rect.left + 3;
  } else {
    if (!bFlatStyle) ++rect.top;
    rect = rect.deflated(bFlatStyle ? 3 : 2, 0);
    const int mid = (rect.top + rect.bottom) / 2;
    rect.top = mid - (bFlatStyle ? 1 : 2);
    rect.bottom = rect.top + 3;
  }
  for (int i = 0; i < lines; ++i) {
    dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
    if (!bFlatStyle) {
      if (horizontal) dc->setPixel(rect.left, rect.bottom - 1, g.clrBarHighlight);
      else dc->setPixel(rect.right - 1, rect.top, g.clrBarHighlight);
    }
    rect = horizontal ? rect.offset(4, 0) : rect.offset(0, 4);
  }
}

void CUxVisualManager::OnDrawSeparator(Dc* dc, const Rect& rect, bool horizontal) {
  const GlobalDrawData& g = globalData();
  Rect line = rect;
  if (horizontal) {
    const int mid = rect.left + rect.width() / 2;
    line.left = mid - 1;
    line.right = mid + 1;
  } else {
    const int mid = rect.top + rect.height() / 2;
    line.top = mid - 1;
    line.bottom = mid + 1;
  }
  dc->draw3dRect(line, g.clrBarShadow, g.clrBarHighlight);
}

void CUxVisualManager::OnDrawMenuSystemButton(Dc* dc, const Rect& rect, unsigned command, unsigned style, bool) {
  unsigned state;
  switch (command) {
    case kScMinimize: state = DfcsCaptionMin; break;
    case kScClose: state = DfcsCaptionClose; break;
    case kScRestore: state = DfcsCaptionRestore; break;
    default: return;
  }
  if (style & kStylePressed) state |= DfcsPushed;
  if (style & kStyleDisabled) state |= DfcsInactive;
  dc->drawFrameControl(rect, state);
}

void CUxVisualManager::OnDrawMenuButtonFrame(Dc* dc, const Rect& rect, unsigned flags) {
  const GlobalDrawData& g = globalData();
  if (flags & 0x100) return;
  if (flags & 0x200) dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
  else dc->draw3dRect(rect, g.clrBarShadow, g.clrBarHighlight);
}

void CUxVisualManager::OnDrawStatusBarProgress(Dc* dc, const Rect& rect, int range, int position, COLORREF bar,
                                               COLORREF end, COLORREF text, bool showText) {
  if (range == 0) return;
  Rect filled = rect;
  filled.right = rect.left + static_cast<int>(static_cast<long long>(rect.width()) * position / range);
  if (end != kNoColor) DrawManager(*dc).FillGradient(filled, bar, end, false);
  else dc->fillRect(filled, Brush::solid(bar));
  if (!showText) return;
  const std::wstring label = platform::format(L"%d%%", static_cast<int>(static_cast<long long>(position) * 100 / range));
  const TextScope scope(dc, globalData().clrBtnText);
  const std::optional<Rect> oldClip = dc->clipRect();
  Rect area = rect;
  const unsigned flags = DtCenter | DtVCenter | DtSingleLine | DtNoPrefix;
  dc->drawText(label, area, flags);
  dc->setClipRect(oldClip ? oldClip->intersected(filled) : filled);
  dc->setTextColor(text == kNoColor ? getSysColor(ColorHighlightText) : text);
  area = rect;
  dc->drawText(label, area, flags);
  dc->setClipRect(oldClip);
}

void CUxVisualManager::OnDrawStatusBarSizeBox(Dc* dc, const Rect& rect, bool rightToLeft) {
  const Font oldFont = dc->selectFont(globalData().fontMarlett);
  const COLORREF oldColour = dc->setTextColor(globalData().clrBtnShadow);
  const unsigned oldAlign = dc->setTextAlign(TaRight | TaBottom);
  dc->textOut(rect.right, rect.bottom, rightToLeft ? L"x" : L"o", &rect);
  dc->setTextAlign(oldAlign);
  dc->setTextColor(oldColour);
  dc->selectFont(oldFont);
}

void CUxVisualManager::OnDrawComboDropButton(Dc* dc, Rect rect, bool disabled, bool pressed, bool highlighted) {
  const GlobalDrawData& g = globalData();
  dc->fillSolidRect(rect, g.clrBarFace);
  dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarHighlight);
  const Size glyph = MenuImages::GlyphSize();
  Point at{rect.left + (rect.width() - glyph.cx) / 2 + 1, rect.top + (rect.height() - glyph.cy) / 2 + 1};
  if (pressed) {
    rect = rect.offset(1, 1);
    at = {at.x + 1, at.y + 1};
  }
  MenuImages::Draw(dc, disabled ? kGlyphArrowDownDisabled : kGlyphArrowDown, at);
  if (pressed) dc->draw3dRect(rect, g.clrBarShadow, g.clrBarHighlight);
  else if (highlighted) dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarShadow);
}

void CUxVisualManager::OnDrawComboBorder(Dc* dc, const Rect& rect, bool dropped, bool highlighted) {
  if (!dropped && !highlighted) return;
  const GlobalDrawData& g = globalData();
  if (bFlatMenus) dc->frameRect(rect.deflated(1, 1), Brush::solid(g.clrBarDarkShadow));
  else dc->draw3dRect(rect, g.clrBarShadow, g.clrBarHighlight);
}

void CUxVisualManager::OnDrawEditBorder(Dc* dc, Rect rect, bool highlighted) {
  if (highlighted) dc->drawEdge(rect, EdgeSunken, BfRect);
}

void CUxVisualManager::OnDrawTearOffCaption(Dc* dc, const Rect& rect, bool active) {
  dc->fillRect(rect, globalData().brBarFace);
  dc->fillSolidRect(rect.deflated(2, 1), getSysColor(active ? ColorActiveCaption : ColorInactiveCaption));
}

void CUxVisualManager::OnFillButtonInterior(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state) {
  if (!button) return;
  if (isKindOfNamed(button, "CUxShowAllButton")) {
    if (state == ButtonHighlighted) DrawManager(*dc).HighlightRect(rect);
    return;
  }
  if (isKindOfNamed(button, "CUxOutlookButton")) return;
  if (!toolbarClassData().bCustomizeMode && state != ButtonHighlighted &&
      (button->m_nStyle & (kStyleChecked | kStyleIndeterminate))) {
    const Size margin = toolbarClassData().buttonMargins;
    dc->fillRect(rect.deflated(margin.cx, margin.cy), globalData().brLight);
  }
}

void CUxVisualManager::OnDrawButtonBorder(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state) {
  const GlobalDrawData& g = globalData();
  const COLORREF dark = isKindOfNamed(button, "CUxOutlookButton") ? g.clrBarDarkShadow : g.clrBarShadow;
  if (state == ButtonPressed) dc->draw3dRect(rect, dark, g.clrBarHighlight);
  else if (state == ButtonHighlighted) dc->draw3dRect(rect, g.clrBarHighlight, dark);
}

void CUxVisualManager::OnDrawMenuButtonBorder(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state,
                                              bool popupOpen) {
  if (bFlatMenus && popupOpen) return;
  OnDrawButtonBorder(dc, button, rect, state);
}

void CUxVisualManager::OnHighlightMenuItem(Dc* dc, CUxToolbarButton*, const Rect& rect, int) {
  dc->fillRect(rect, globalData().brHighlight);
}

void CUxVisualManager::OnHighlightRarelyUsedMenuItems(Dc* dc, const Rect& rect) {
  DrawManager(*dc).HighlightRect(rect);
  dc->draw3dRect(rect, globalData().clrBarShadow, globalData().clrBarHighlight);
}

COLORREF CUxVisualManager::GetToolbarButtonTextColor(CUxToolbarButton* button, int state) {
  const bool customize = toolbarClassData().bCustomizeMode;
  const bool disabled = button && (customize ? !button->IsEditable() : (button->m_nStyle & kStyleDisabled) != 0);
  // An outlook button's label lies on the bar's shadow colour, as the caption's does.
  if (isKindOfNamed(button, "CUxOutlookButton"))
    return keptReadableOnSysColor(getSysColor(disabled ? ColorBtnFace : ColorWindow), ColorBtnShadow);
  if (disabled) return globalData().clrGrayText;
  if (state == ButtonHighlighted) {
    const COLORREF hot = toolbarClassData().clrTextColor;
    return hot == kNoColor ? globalData().clrBarText : hot;
  }
  return globalData().clrBarText;
}

void CUxVisualManager::OnDrawCustomButtonBorder(Dc* dc, Rect& rect, bool pushed, bool highlighted, unsigned flags) {
  const GlobalDrawData& g = globalData();
  if (!(pushed && highlighted) && !(flags & 0x2)) {
    dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarDarkShadow);
  } else {
    dc->draw3dRect(rect, g.clrBarDarkShadow, g.clrBarHighlight);
    rect.left += 2;
    rect.top += 2;
  }
  rect = rect.deflated(2, 2);
}

COLORREF CUxVisualManager::OnFillCommandsListBackground(Dc* dc, Rect rect, bool selected) {
  GlobalDrawData& g = globalData();
  if (!selected) {
    dc->fillRect(rect, g.brBtnFace);
    return g.clrBarText;
  }
  dc->fillRect(rect, g.brHighlight);
  const Rect in = rect.deflated(1, 1);
  dc->patBlt({in.left, in.top, in.left + 1, in.bottom}, PatInvert);
  dc->patBlt({in.left, in.top, in.right, in.top + 1}, PatInvert);
  dc->patBlt({in.right - 1, in.top, in.right, in.bottom}, PatInvert);
  dc->patBlt({in.left, in.bottom - 1, in.right, in.bottom}, PatInvert);
  return g.clrHighlightText;
}

void CUxVisualManager::OnFillSpinButtonBackground(bool classicColours, Dc* dc, const Rect& rect) {
  dc->fillRect(rect, classicColours ? globalData().brBtnFace : globalData().brBarFace);
}

void CUxVisualManager::OnDrawScrollButtonFrame(bool classicColours, Dc* dc, Rect& rect, bool pressed) {
  const GlobalDrawData& g = globalData();
  if (!pressed) {
    dc->draw3dRect(rect, classicColours ? g.clrBtnHighlight : g.clrBarHighlight,
                   classicColours ? g.clrBtnShadow : g.clrBarShadow);
    return;
  }
  const COLORREF frame = classicColours ? g.clrBtnShadow : g.clrBarShadow;
  dc->draw3dRect(rect, frame, frame);
  rect.left += 1;
  rect.top += 1;
}

void CUxVisualManager::OnDrawScrollArrow(bool classicColours, Dc* dc, const Rect& rect, bool up) {
  const GlobalDrawData& g = globalData();
  const Pen first = Pen::solid(classicColours ? g.clrBtnHighlight : g.clrBarHighlight);
  const Pen second = Pen::solid(classicColours ? g.clrBtnDarkShadow : g.clrBarDarkShadow);
  const Pen old = dc->selectPen(first);
  const int mid = (rect.left + rect.right) / 2;
  if (up) {
    dc->moveTo(rect.left, rect.bottom);
    dc->lineTo(rect.right, rect.bottom);
    dc->lineTo(mid, rect.top);
    dc->selectPen(second);
    dc->lineTo(rect.left, rect.bottom);
  } else {
    dc->moveTo(rect.right, rect.top);
    dc->lineTo(mid, rect.bottom);
    dc->selectPen(second);
    dc->lineTo(rect.left, rect.top);
    dc->lineTo(rect.right, rect.top);
  }
  dc->selectPen(old);
}

void CUxVisualManager::OnFillListBackground(Dc* dc, const Rect& rect) { dc->fillRect(rect, globalData().hbrWindow); }

void CUxVisualManager::OnDrawTaskGroupFrame(Dc* dc, int left, int top, int right, int bottom, bool highlighted,
                                            bool open) {
  const Pen old = dc->selectPen(highlighted ? globalData().penHighlight : globalData().penBarFace);
  dc->moveTo(left, top);
  dc->lineTo(left, bottom - 1);
  dc->lineTo(right - 1, bottom - 1);
  dc->lineTo(right - 1, open ? top : top - 1);
  if (open) dc->lineTo(left, top);
  dc->selectPen(old);
}

void CUxVisualManager::OnDrawScrollButton(Dc* dc, const Rect& rect, int topGap, int glyph, bool highlighted) {
  const GlobalDrawData& g = globalData();
  dc->fillRect({rect.left, rect.top - topGap, rect.right, rect.bottom}, g.brBarFace);
  if (highlighted) {
    DrawManager(*dc).HighlightRect(rect);
    dc->draw3dRect(rect, g.clrBarHighlight, g.clrBarDarkShadow);
  }
  MenuImages::DrawCentred(dc, glyph, rect);
}

void CUxVisualManager::OnDrawExpandingBox(Dc* dc, const Rect& rect, bool expanded, COLORREF frame) {
  dc->draw3dRect(rect, frame, frame);
  const Rect in = rect.deflated(2, 2);
  const Pen old = dc->selectPen(Pen::solid(globalData().clrBtnText));
  const int midY = (in.top + in.bottom) / 2, midX = (in.left + in.right) / 2;
  dc->moveTo(in.left, midY);
  dc->lineTo(in.right, midY);
  if (!expanded) {
    dc->moveTo(midX, in.top);
    dc->lineTo(midX, in.bottom);
  }
  dc->selectPen(old);
}

int CUxVisualManager::GetShowAllMenuItemsHeight(Dc*, Size) { return MenuImages::GlyphSize().cy + 6; }

void CUxVisualManager::OnDrawShowAllMenuItems(Dc* dc, const Rect& rect) {
  MenuImages::DrawCentred(dc, kGlyphShowAll, rect);
}

void CUxVisualManager::OnDrawControlBorder(Dc* windowDc) {
  windowDc->draw3dRect(windowDc->bounds(), globalData().clrBarDarkShadow, globalData().clrBarHighlight);
}
