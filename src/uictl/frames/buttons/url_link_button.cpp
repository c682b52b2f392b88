#include "uictl/frames/buttons/url_link_button.h"

#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/files/shell_open.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/text_scope.h"

#include <QApplication>
#include <QKeyEvent>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxURLLinkButton, CUxButton, kNoSchema, ::platform::createInstance<CUxURLLinkButton>)

namespace {

// The wait cursor for as long as the desktop takes to open something.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

bool isEnterOrSpace(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space; }

}  // namespace

CUxURLLinkButton::CUxURLLinkButton(QWidget* parent) : CUxButton(parent) {
  m_clrText = globalData().clrHighlight;
  m_clrHotText = rgb(0, 0, 255);
  m_sizePressedOffset = {0, 0};
  m_nBorderStyle = BorderNone;
  m_bTransparent = true;
  SetHandCursor();
  connect(this, &QAbstractButton::clicked, this, &CUxURLLinkButton::OnClicked);
}

void CUxURLLinkButton::SetURL(const wchar_t* url) { m_strURL = url ? url : L""; }

Size CUxURLLinkButton::textSize() const {
  QImage scratch(1, 1, QImage::Format_RGB32);
  Dc dc(scratch);
  dc.selectFont(globalData().fontUnderline);
  Rect measured;
  dc.drawText(text().toStdWString(), measured, DtCalcRect | DtSingleLine);
  return measured.inflated(3, 3).size();
}

QSize CUxURLLinkButton::sizeHint() const {
  if (m_sizeImage.cx > 0 && m_sizeImage.cy > 0) return CUxButton::sizeHint();
  const Size size = textSize();
  return {size.cx, size.cy};
}

Size CUxURLLinkButton::SizeToContent(bool verticalCentre, bool horizontalCentre) {
  if (m_sizeImage.cx > 0 && m_sizeImage.cy > 0) return CUxButton::SizeToContent(false);
  const Size size = textSize();
  QRect place = geometry();
  const QPoint centre = place.center();
  place.setSize({size.cx, size.cy});
  if (verticalCentre) place.moveTop(centre.y() - size.cy / 2);
  if (horizontalCentre) place.moveLeft(centre.x() - size.cx / 2);
  setGeometry(place);
  return size;
}

void CUxURLLinkButton::OnDraw(Dc* dc, const Rect& rect, unsigned) {
  // The link lies on its dialog's face: its blue stays a blue that stands out from it.
  const COLORREF colour = keptReadableOnSysColor(m_bMouseInside ? m_clrHotText : m_clrText, ColorBtnFace);
  TextScope scope(dc, colour, globalData().fontUnderline);
  Rect r = rect;
  dc->drawText(text().toStdWString(), r, DtSingleLine);
}

void CUxURLLinkButton::OnDrawFocusRect(Dc* dc, const Rect& rect) { dc->drawFocusRect(rect); }

void CUxURLLinkButton::OnClicked() {
  if (!isEnabled()) return;
  WaitCursor wait;
  shellOpen(m_strPrefix + (m_strURL.empty() ? text().toStdWString() : m_strURL));
  m_bMouseInside = false;
  redrawNow();
}

void CUxURLLinkButton::keyPressEvent(QKeyEvent* event) {
  if (isEnterOrSpace(event->key())) return;
  CUxButton::keyPressEvent(event);
}

void CUxURLLinkButton::keyReleaseEvent(QKeyEvent* event) {
  const int key = event->key();
  if (!isEnterOrSpace(key)) return CUxButton::keyReleaseEvent(event);
  // A held Enter repeats its release; the link opens once, when the key really comes up.
  if (key != Qt::Key_Space && !event->isAutoRepeat()) OnClicked();
}
