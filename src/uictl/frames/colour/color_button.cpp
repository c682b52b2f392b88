// The colour button: its swatch and arrow drawing and the popup it opens.
#include "uictl/frames/colour/color_button.h"

#include "platform/windows/mouse_capture.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/commands/key_focus.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/colour/system_palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxColorButton, CUxButton, kNoSchema, ::platform::createInstance<CUxColorButton>)

CUxColorButton::CUxColorButton(QWidget* parent) : CUxButton(parent) {}

CUxColorButton::~CUxColorButton() {
  // Qt deletes the popup only later: it must not call back into a button already gone.
  if (CColorPopup* popup = Popup) {
    Popup = nullptr;
    if (CUxColorBar* bar = popup->GetColorBar()) bar->ParentButton = nullptr;
    popup->close();
  }
}

int CUxColorButton::ArrowWidth() {
  MenuImages::Initialize();
  return 8 + MenuImages::GlyphSize().cx;
}

void CUxColorButton::SetColor(COLORREF color) {
  CurrentColor = color;
  redrawNow();
}

void CUxColorButton::UpdateColor(COLORREF color) {
  SetColor(color);
  if (parentWidget()) emit clicked(false);
}

void CUxColorButton::EnableAutomaticButton(const wchar_t* label, COLORREF automaticColor, bool) {
  AutomaticLabel = label ? label : L"";
  AutomaticColor = automaticColor;
}

void CUxColorButton::EnableOtherButton(const wchar_t* label, bool useOwnColorDialog, bool) {
  OtherLabel = label ? label : L"";
  UseOwnColorDialog = useOwnColorDialog;
}

void CUxColorButton::PopupClosed() {
  Popup = nullptr;
  setFocus(Qt::PopupFocusReason);
  redrawNow();
}

Size CUxColorButton::SizeToContent(bool calculateOnly) {
  Size size = CUxButton::SizeToContent(true);
  size.cx += MenuImages::GlyphSize().cx;
  if (!calculateOnly) resize(size.cx, size.cy);
  return size;
}

bool CUxColorButton::flatLook() { return bBordersByVisualManager && CUxVisualManager::GetInstance()->IsFlatButtonLook(); }

void CUxColorButton::OnFillBackground(Dc* dc, const Rect& rect) {
  if (flatLook()) dc->fillRect(rect, globalData().hbrWindow);
  else CUxButton::OnFillBackground(dc, rect);
}

void CUxColorButton::OnDrawBorder(Dc* dc, Rect& rect, unsigned) {
  if (bBordersByVisualManager && CUxVisualManager::GetInstance()->OnDrawColorButtonBorder(dc, rect, this, !isEnabled())) {
    rect = rect.deflated(1, 1);
    return;
  }
  const GlobalDrawData& data = globalData();
  dc->draw3dRect(rect, data.clrBtnDarkShadow, data.clrBtnHighlight);
  rect = rect.deflated(1, 1);
  if (m_nBorderStyle == BorderStandard || m_bHot) dc->draw3dRect(rect, data.clrBtnShadow, data.clrBtnLight);
  rect = rect.deflated(1, 1);
}

void CUxColorButton::OnDrawFocusRect(Dc* dc, const Rect& rect) {
  Rect inner = rect;
  inner.right -= ArrowWidth();
  CUxButton::OnDrawFocusRect(dc, inner);
}

void CUxColorButton::OnDraw(Dc* dc, const Rect& rect, unsigned state) {
  const GlobalDrawData& data = globalData();
  const int arrowWidth = ArrowWidth();
  Rect rectArrow = rect;
  rectArrow.left = rect.right - arrowWidth;
  Rect rectColor = rect;
  rectColor.right = rect.right - arrowWidth;

  COLORREF color = CurrentColor;
  if (color == kNoColor) {
    color = AutomaticColor;
    if (!AutomaticLabel.empty()) {
      rectColor.right = rect.left + rect.height();
      Rect text{rect.left + rect.height(), rect.top, rect.right - arrowWidth, rect.bottom};
      const Font old = SelectFont(dc);
      dc->setBkMode(Transparent);
      dc->setTextColor(data.clrBtnText);
      dc->drawText(AutomaticLabel, text, DtCenter | DtVCenter | DtSingleLine | DtEndEllipsis);
      dc->selectFont(old);
    }
  }
  rectColor = rectColor.deflated(2, 2);
  dc->draw3dRect(rectColor, data.clrBtnHighlight, data.clrBtnHighlight);
  rectColor = rectColor.deflated(1, 1);
  dc->draw3dRect(rectColor, data.clrBtnDarkShadow, data.clrBtnDarkShadow);
  rectColor = rectColor.deflated(1, 1);
  const bool disabled = (state & OdsDisabled) != 0;
  if (color != kNoColor && !disabled) {
    dc->fillSolidRect(rectColor, displayedColor(color));
  }

  if (bBordersByVisualManager &&
      CUxVisualManager::GetInstance()->OnDrawColorButtonArrow(dc, rectArrow.deflated(2, 2), this, disabled, m_bPushed,
                                                              m_bHot))
    return;
  dc->fillSolidRect(rectArrow, data.clrBarFace);
  const Size glyph = MenuImages::GlyphSize();
  MenuImages::Draw(dc, disabled ? kGlyphColorArrowDisabled : kGlyphColorArrow,
                   {rectArrow.left + (rectArrow.width() - glyph.cx) / 2,
                    rectArrow.top + (rectArrow.height() - glyph.cy) / 2});
  dc->draw3dRect(rectArrow, data.clrBtnLight, data.clrBtnDarkShadow);
  rectArrow = rectArrow.deflated(1, 1);
  dc->draw3dRect(rectArrow, data.clrBtnHighlight, data.clrBtnShadow);
}

void CUxColorButton::OnShowColorPopup() {
  if (CColorPopup* open = Popup) {
    Popup = nullptr;
    open->close();
    return;
  }
  if (Colors.empty()) CUxColorBar::InitColors(Colors);
  auto* popup = new CColorPopup(this, Colors, CurrentColor, AutomaticLabel.c_str(), OtherLabel.c_str(),
                                DocumentColorsLabel.c_str(), DocumentColors, Columns, AutomaticColor);
  popup->EnabledInCustomizeMode = EnabledInCustomizeMode;
  Popup = popup;
  const QPoint below = mapToGlobal(QPoint(0, height()));
  if (!popup->Create(this, below.x(), below.y(), MenuHandle{}, EnabledInCustomizeMode, false)) {
    Popup = nullptr;
    popup->close();
  } else if (FocusBarOnOpen) {
    // The popup never takes activation: its bar takes the keys through the library key focus.
    setLibraryKeyFocus(popup->GetColorBar());
  }
  if (m_bCaptured) {
    if (getCapture() == this) releaseCapture();
    m_bCaptured = false;
  }
}

void CUxColorButton::mouseMoveEvent(QMouseEvent* event) {
  if (!flatLook()) return CUxButton::mouseMoveEvent(event);
  // A flat look tracks the pointer as a semi-flat button does, whatever the button's own style.
  const int style = std::exchange(m_nBorderStyle, int(BorderSemiFlat));
  CUxButton::mouseMoveEvent(event);
  m_nBorderStyle = style;
}

void CUxColorButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  OnShowColorPopup();
}

// The press opened the popup; a release or second click of it has nothing left to do.
void CUxColorButton::mouseReleaseEvent(QMouseEvent*) {}
void CUxColorButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CUxColorButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Down) {
    OnShowColorPopup();
    return;
  }
  CUxButton::keyPressEvent(event);
}

void CUxColorButton::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) return;
  CUxButton::keyReleaseEvent(event);
}
