#include "uictl/frames/buttons/button.h"

#include "platform/windows/mouse_capture.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/frames/buttons/button_tooltip.h"
#include "uictl/frames/dialog_group.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>
#include <utility>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxButton, CObject, kNoSchema, ::platform::createInstance<CUxButton>)

bool CUxButton::bBordersByVisualManager = false;

CUxButton::CUxButton(QWidget* parent) : QAbstractButton(parent) {
  // Hovering must reach the button for hot tracking, not only dragging.
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

CUxButton::~CUxButton() {
  CleanUp();
  if (getCapture() == this) releaseCapture();
}

bool CUxButton::Create(const wchar_t* text, unsigned style, const Rect& rect, QWidget* parent, unsigned id) {
  setParent(parent);
  setObjectName(QStringLiteral("id%1").arg(id));
  setText(QString::fromWCharArray(text ? text : L""));
  setGeometry(rect.toQRect());
  setEnabled(!(style & WsDisabled));
  if (style & WsGroup) setProperty(kGroupStartProperty, true);
  if (!(style & WsTabStop)) setFocusPolicy(Qt::ClickFocus);
  setButtonStyle(style);
  setVisible(style & WsVisible);
  return true;
}

void CUxButton::setButtonStyle(unsigned style) {
  m_nButtonStyle = style & (BsTypeMask | BsHorizontalMask);
  readButtonStyle(style);
}

void CUxButton::readButtonStyle(unsigned style) {
  // Whatever type it was given, the button draws itself; a default push button is a plain one.
  m_bCheckBox = m_bRadio = m_bAutoCheck = false;
  switch (style & BsTypeMask) {
    case BsCheckBox: m_bCheckBox = true; break;
    case BsAutoCheckBox: m_bCheckBox = m_bAutoCheck = true; break;
    case BsRadioButton: m_bRadio = true; break;
    case BsAutoRadioButton: m_bRadio = m_bAutoCheck = true; break;
    default: break;
  }
  if (!m_bCheckBox && !m_bRadio) return;
  switch (style & BsHorizontalMask) {
    case BsLeft: m_nTextAlign = TextLeft; break;
    case BsRight: m_nTextAlign = TextRight; break;
    case BsCenter: m_nTextAlign = TextCentre; break;
    default: break;
  }
}

void CUxButton::CleanUp() {
  m_nStdGlyph = m_nStdGlyphDisabled = -1;
  m_sizeImage = {0, 0};
  for (auto& list : m_imageLists) list.clear();
}

void CUxButton::SetTooltip(const wchar_t* text) {
  if (!text) {
    if (m_pToolTip) m_pToolTip->activate(false);
    return;
  }
  if (!m_pToolTip) {
    m_pToolTip = std::make_unique<ButtonToolTip>();
    if (globalData().nMaxToolTipWidth != -1) m_pToolTip->setMaxWidth(globalData().nMaxToolTipWidth);
  }
  m_pToolTip->setText(text);
  m_pToolTip->activate(true);
}

void CUxButton::SetStdImage(int glyph, int disabledGlyph) {
  CleanUp();
  m_sizeImage = GetStdImageSize();
  m_nStdGlyph = glyph;
  m_nStdGlyphDisabled = disabledGlyph;
}

Size CUxButton::GetStdImageSize() {
  MenuImages::Initialize();
  return MenuImages::GlyphSize();
}

void CUxButton::SetHandCursor() {
  m_cursor = globalData().HandCursor();
  setCursor(*m_cursor);
}

void CUxButton::SetAutoTooltip(bool on) {
  m_bAutoTooltip = on;
  m_bTooltipRecheck = on;
}

void CUxButton::SetFont(const Font& font, bool redraw) {
  m_font = font;
  if (redraw) redrawNow();
}

int CUxButton::GetCheck() const { return (m_bCheckBox || m_bRadio) && m_bChecked ? 1 : 0; }

void CUxButton::SetCheck(int check) {
  if (!m_bCheckBox && !m_bRadio) return;
  const bool checked = check != 0;
  if (checked == m_bChecked) return;
  m_bChecked = checked;
  if (m_bRadio && checked) {
    for (QWidget* w : dialogGroupOf(this)) {
      auto* other = qobject_cast<CUxButton*>(w);
      if (other && other != this && other->m_bRadio && other->m_bChecked) other->SetCheck(0);
    }
  }
  redrawNow();
}

unsigned CUxButton::itemState() const {
  unsigned state = 0;
  if (m_bDefaultDown) state |= OdsSelected;
  if (!isEnabled()) state |= OdsDisabled;
  if (hasFocus()) state |= OdsFocus;
  return state;
}

QSize CUxButton::sizeHint() const {
  const Size size = const_cast<CUxButton*>(this)->SizeToContent(true);
  return {size.cx, size.cy};
}

void CUxButton::redrawNow() {
  if (isVisible()) repaint();
  else update();
}

void CUxButton::dropCapture() {
  if (getCapture() == this) releaseCapture();
  m_bCaptured = false;
}

void CUxButton::stopRepeat() {
  if (m_repeatTimer) killTimer(m_repeatTimer);
  m_repeatTimer = 0;
}

void CUxButton::trackDefaultMove(const QPoint& pos) {
  if (!m_bDefaultPressed) return;
  const bool inside = rect().contains(pos);
  if (inside != m_bDefaultDown) {
    m_bDefaultDown = inside;
    redrawNow();
  }
}

void CUxButton::mouseMoveEvent(QMouseEvent* event) {
  m_bMouseInside = false;
  const bool leftDown = event->buttons() & Qt::LeftButton;
  if (leftDown || m_nBorderStyle != BorderStandard || bBordersByVisualManager) {
    bool changed = false;
    if (rect().contains(event->position().toPoint())) {
      m_bMouseInside = true;
      if (!m_bHot) changed = m_bHot = true;
      if (leftDown && m_bPressedInside && !m_bPushed) changed = m_bPushed = true;
      if (!m_bCaptured) {
        setCapture(this);
        changed = m_bCaptured = true;
      }
    } else {
      changed = moveOutside(leftDown, event->buttons() != Qt::NoButton);
    }
    if (changed) redrawNow();
  }
  trackDefaultMove(event->position().toPoint());
}

bool CUxButton::moveOutside(bool leftDown, bool anyDown) {
  bool& state = leftDown ? m_bPushed : m_bHot;
  bool changed = std::exchange(state, false);
  if (!anyDown && m_bCaptured) {
    dropCapture();
    changed = true;
  }
  return changed;
}

void CUxButton::leaveEvent(QEvent* event) {
  // The pointer left for another window, where no further moves reach the button.
  if (m_bCaptured && QApplication::mouseButtons() == Qt::NoButton && (m_bHot || m_bMouseInside)) {
    m_bMouseInside = false;
    moveOutside(false, false);
    redrawNow();
  }
  QAbstractButton::leaveEvent(event);
}

void CUxButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  m_bPushed = m_bPressedInside = m_bHot = true;
  if (!m_bCaptured) {
    setCapture(this);
    m_bCaptured = true;
  }
  m_bDefaultPressed = m_bDefaultDown = true;
  redrawNow();
  if (m_nAutoRepeatPeriod > 0) {
    stopRepeat();
    m_repeatTimer = startTimer(m_nAutoRepeatPeriod);
  }
}

void CUxButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  m_bPushed = m_bPressedInside = m_bHot = true;
  // A double click notifies as one; its release is no second click.
  m_bDefaultPressed = false;
  m_bDefaultDown = true;
  redrawNow();
}

void CUxButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  const bool completed = m_bPushed && m_bPressedInside && m_bHot;
  m_bPushed = m_bPressedInside = m_bHot = false;
  if (completed && m_bAutoCheck) {
    if (m_bCheckBox) m_bChecked = !m_bChecked;
    else if (m_bRadio && !m_bChecked) SetCheck(1);
  }
  const bool notify = m_bDefaultPressed && rect().contains(event->position().toPoint());
  m_bDefaultPressed = m_bDefaultDown = false;
  redrawNow();
  // The mouse is free again before the owner hears of the click: a dialog it opens must get
  // its own clicks.
  dropCapture();
  if (m_nAutoRepeatPeriod > 0) stopRepeat();
  if (m_pToolTip) {
    ButtonToolTip::pop();
    m_pToolTip->setText(m_pToolTip->text());
  }
  if (notify) emit clicked(m_bChecked);
}

void CUxButton::timerEvent(QTimerEvent* event) {
  if (event->timerId() != m_repeatTimer || m_repeatTimer == 0) return QAbstractButton::timerEvent(event);
  if (m_bPushed && m_bHot) emit clicked(m_bChecked);
}

void CUxButton::OnCancelMode() {
  m_bDefaultPressed = m_bDefaultDown = m_bSpaceDown = false;
  if (m_bCaptured) {
    dropCapture();
    m_bPushed = m_bPressedInside = m_bHot = m_bMouseInside = false;
    redrawNow();
  }
  if (m_nAutoRepeatPeriod >= 0) stopRepeat();
}

void CUxButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  dropCapture();
  m_bPushed = m_bPressedInside = m_bHot = m_bMouseInside = false;
  m_bDefaultPressed = m_bDefaultDown = m_bSpaceDown = false;
  redrawNow();
}

void CUxButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    m_bPushed = m_bPressedInside = m_bHot = false;
    m_bDefaultPressed = m_bDefaultDown = m_bSpaceDown = false;
    dropCapture();
  }
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) OnCancelMode();
  QAbstractButton::changeEvent(event);
}

void CUxButton::resizeEvent(QResizeEvent* event) {
  m_bTooltipRecheck = m_bAutoTooltip;
  QAbstractButton::resizeEvent(event);
}

bool CUxButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    if (!m_pToolTip || !m_pToolTip->show(this, help->globalPos())) ButtonToolTip::pop();
    return true;
  }
  return QAbstractButton::event(event);
}

void CUxButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !CUxPopupMenu::GetActiveMenu()) {
    emit clicked(m_bChecked);
    return;
  }
  if (m_bAutoCheck) {
    if (key == Qt::Key_Space && m_bCheckBox) {
      m_bChecked = !m_bChecked;
      redrawNow();
      emit clicked(m_bChecked);
      return;
    }
    if (m_bRadio && moveInRadioGroup(key)) return;
  }
  if (key == Qt::Key_Space) {
    // The plain button shows itself pressed while Space is held and clicks on its release.
    if (!event->isAutoRepeat()) {
      m_bSpaceDown = m_bDefaultDown = true;
      redrawNow();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void CUxButton::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat() && m_bSpaceDown) {
      m_bSpaceDown = m_bDefaultDown = false;
      redrawNow();
      emit clicked(m_bChecked);
    }
    return;
  }
  QWidget::keyReleaseEvent(event);
}

bool CUxButton::moveInRadioGroup(int key) {
  bool previous;
  if (key == Qt::Key_Left || key == Qt::Key_Up) previous = true;
  else if (key == Qt::Key_Right || key == Qt::Key_Down) previous = false;
  else return false;
  QWidget* w = this;
  CUxButton* found = nullptr;
  for (size_t step = dialogGroupOf(this).size(); step > 0 && !found; --step) {
    w = nextDialogGroupItem(w, previous);
    auto* button = qobject_cast<CUxButton*>(w);
    if (button && button->m_bRadio && button->isVisible() && button->isEnabled()) found = button;
  }
  if (found && found != this && !found->m_bChecked) {
    found->SetCheck(1);
    found->setFocus(Qt::TabFocusReason);
    emit found->clicked(true);
  }
  return true;
}
