#include "uictl/frames/outlook/outlook_button.h"

#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/drawing/text_scope.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/outlook/outlook_bar.h"
#include "uictl/frames/workspace_version.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxOutlookButton, CUxToolbarButton, kVersionableSchema | 1,
                                ::platform::createInstance<CUxOutlookButton>)

namespace {
constexpr int kImageTop = 5;
constexpr int kLabelGap = 7;
constexpr int kHorizontalLabelGap = 10;
}  // namespace

CUxOutlookButton::CUxOutlookButton() = default;

void CUxOutlookButton::Serialize(Archive& ar) {
  CUxToolbarButton::Serialize(ar);
  if (!workspaceDataVersionAtLeast(4, 71)) {
    if (ar.IsLoading()) m_dwPageID = 0;
    return;
  }
  if (ar.IsStoring()) ar.writeU32(m_dwPageID);
  else m_dwPageID = ar.readU32();
}

bool CUxOutlookButton::CanBeDroppedOn(CUxToolBar* bar) { return dynamic_cast<CUxOutlookBar*>(bar) != nullptr; }

void CUxOutlookButton::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarButton::CopyFrom(source);
  if (const auto* other = dynamic_cast<const CUxOutlookButton*>(&source)) m_dwPageID = other->m_dwPageID;
}

void CUxOutlookButton::OnChangeParentWnd(QWidget* parent) {
  CUxToolbarButton::OnChangeParentWnd(parent);
  m_pWndParentBar = dynamic_cast<CUxOutlookBar*>(parent);
}

bool CUxOutlookButton::CompareWith(const CUxToolbarButton& other) const {
  const auto* outlook = dynamic_cast<const CUxOutlookButton*>(&other);
  return CUxToolbarButton::CompareWith(other) && outlook && outlook->m_dwPageID == m_dwPageID;
}

Size CUxOutlookButton::OnCalculateSize(Dc* dc, const Size& sizeDefault, bool horizontal) {
  const Size image = m_pWndParentBar ? m_pWndParentBar->m_csImage : Size{};
  if (!horizontal) {
    Rect label{0, 0, sizeDefault.cx - dc->getTextExtent(L"   ").cx, sizeDefault.cy};
    int labelHeight = 0;
    if (m_bTextBelow && !m_strText.empty()) labelHeight = dc->drawText(m_strText, label, DtCalcRect | DtWordBreak);
    else label.right = label.left;
    m_bWordWrap = label.width() <= sizeDefault.cx;
    return {std::max(image.cx, std::min(sizeDefault.cx, label.width())), sizeDefault.cy + labelHeight + 10};
  }
  m_bWordWrap = true;
  if (!m_bTextBelow || m_strText.empty()) return {sizeDefault.cx, std::max(image.cy, sizeDefault.cy)};
  // The label is wrapped as narrow as it must be to fit the button's height, word by word.
  Rect label{0, 0, 1, sizeDefault.cy};
  int height = dc->drawText(m_strText, label, DtCalcRect | DtWordBreak);
  for (int width = 2; height > sizeDefault.cy && width < 32767; width += 8) {
    label = {0, 0, width, sizeDefault.cy};
    height = dc->drawText(m_strText, label, DtCalcRect | DtWordBreak);
  }
  return {sizeDefault.cx + label.width() + 10, std::max(image.cy, std::min(sizeDefault.cy, height))};
}

void CUxOutlookButton::OnDraw(Dc* dc, const Rect& rect, ToolbarImages* images, bool horizontal, bool customizeMode,
                              bool highlight, bool, bool) {
  CUxVisualManager* manager = CUxVisualManager::GetInstance();
  Rect r = rect;
  const Size extra = manager->GetButtonExtraSize();
  if (extra.cx != 0 || extra.cy != 0) r = r.deflated(extra.cx / 2, extra.cy / 2);
  const Size image = m_pWndParentBar ? m_pWndParentBar->m_csImage : images ? images->GetImageSize() : Size{};
  const bool backImage = m_pWndParentBar && m_pWndParentBar->m_bBackImageUsable;

  Rect imageRect, label;
  if (!horizontal) {
    imageRect = Rect::fromSize(r.left + (r.width() - image.cx) / 2, r.top + kImageTop, image.cx, image.cy);
    label = {r.left, imageRect.bottom + kLabelGap, r.right, r.bottom};
  } else {
    imageRect = Rect::fromSize(r.left + kImageTop, r.top + (r.height() - image.cy) / 2, image.cx, image.cy);
    label = {imageRect.right + kHorizontalLabelGap, r.top, r.right, r.bottom};
    Rect measured = label;
    dc->drawText(m_strText, measured, DtCalcRect | DtWordBreak);
    label.top = r.top + (r.height() - measured.height()) / 2;
    label.bottom = label.top + measured.height();
  }
  const Rect frame = imageRect.inflated(2, 2);
  if (!backImage) FillInterior(dc, frame, highlight);
  else if (highlight) DrawManager(*dc).HighlightRect(frame, 85);

  const bool disabled = m_nStyle & kStyleDisabled;
  if (images && GetImage() >= 0) images->Draw(dc, imageRect.left, imageRect.top, GetImage(), false, disabled);

  const bool pressed = m_nStyle & kStylePressed, checked = m_nStyle & kStyleChecked;
  if (!customizeMode && (highlight || pressed || checked))
    manager->OnDrawButtonBorder(dc, this, frame, (pressed && highlight) || checked ? ButtonPressed : ButtonHighlighted);

  if (!m_bTextBelow || m_strText.empty()) return;
  COLORREF colour;
  if (disabled) {
    colour = backImage ? globalData().clrGrayText : manager->GetToolbarButtonTextColor(this, ButtonNormal);
  } else if (m_pWndParentBar && m_pWndParentBar->m_clrRegText != kNoColor) {
    // The owner's colour was chosen for the classic shadow under the labels; on another desktop's
    // shadow a shade of it that stands out takes its place.
    colour = backImage ? m_pWndParentBar->m_clrRegText
                       : keptReadableOnSysColor(m_pWndParentBar->m_clrRegText, ColorBtnShadow);
  } else {
    colour = backImage ? globalData().clrWindowText
                       : manager->GetToolbarButtonTextColor(this, highlight ? ButtonHighlighted : ButtonNormal);
  }
  TextScope scope(dc, colour);
  dc->drawText(m_strText, label, m_bWordWrap ? DtCenter | DtWordBreak : DtWordBreak | DtEndEllipsis);
}
