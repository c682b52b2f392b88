#include "uictl/frames/images/buttons_list.h"

#include "platform/windows/command_target.h"
#include "platform/drawing/gdi_dc.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

using platform::Dc;
using platform::Rect;
using platform::Size;

namespace {
constexpr int kRowGap = 5, kColumnGap = 4;

int scrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

// The dialog the list stands in, through any group boxes between them.
void notifyOwner(const QWidget& list) {
  const unsigned id = list.objectName().mid(2).toUInt();
  for (QWidget* owner = list.parentWidget(); owner; owner = owner->parentWidget())
    if (auto* target = dynamic_cast<platform::CommandTarget*>(owner)) {
      target->onCommand(id, 0);
      return;
    }
}

bool overlaps(const Rect& a, const Rect& b) { return !a.intersected(b).isEmpty(); }
}  // namespace

ButtonsList::ButtonsList(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

ButtonsList::~ButtonsList() { RemoveButtons(); }

void ButtonsList::SetImages(ToolbarImages* images) {
  m_pImages = images;
  const Size image = images ? images->GetImageSize() : Size{};
  m_sizeButton = {image.cx + 6, image.cy + 7};
  RemoveButtons();
}

void ButtonsList::AddButton(CUxToolbarButton* button) {
  if (!button) return;
  m_Buttons.push_back(button);
  button->OnChangeParentWnd(this);
  RebuildLocations();
  if (QWidget* hosted = button->GetHwnd()) hosted->setEnabled(false);
}

void ButtonsList::RemoveButtons() {
  m_pSelButton = nullptr;
  for (CUxToolbarButton* button : m_Buttons) button->OnChangeParentWnd(nullptr);
  m_Buttons.clear();
  m_nScrollOffset = m_nScrollTotal = m_nVisibleRows = 0;
  if (m_wndScrollBar) {
    const QSignalBlocker quiet(m_wndScrollBar);
    m_wndScrollBar->setRange(0, 0);
    m_wndScrollBar->hide();
  }
  m_bInitialized = false;
  update();
}

Rect ButtonsList::buttonArea() const {
  Rect client = Rect::fromSize(0, 0, width(), height());
  client.right -= scrollBarWidth() + 1;
  return client.deflated(4, 5);
}

int ButtonsList::rowPitch() const { return m_sizeButton.cy + kRowGap; }

void ButtonsList::RebuildLocations() {
  const Rect area = buttonArea();
  // Laid out once the list has buttons and room for them.
  if (m_Buttons.empty() || area.isEmpty()) return;
  MeasuringDc measure(globalData().fontRegular);
  int x = area.left, y = area.top;
  for (CUxToolbarButton* button : m_Buttons) {
    int width = button->OnCalculateSize(measure.get(), m_sizeButton, true).cx;
    if (x + width > area.right) {
      if (x != area.left) {
        x = area.left;
        y += rowPitch();
      } else {
        width = area.right - x;
      }
    }
    const Rect place{x, y, x + width, y + m_sizeButton.cy};
    if (place != button->m_rect) {
      button->SetRect(place);
      button->OnMove();
    }
    x += width + kColumnGap;
  }

  const int pitch = rowPitch();
  const int visibleRows = pitch > 0 ? area.height() / pitch : 0;
  const int hiddenRows = pitch > 0 ? m_Buttons.back()->m_rect.bottom / pitch - visibleRows : 0;
  m_bInitialized = true;
  if (hiddenRows <= 0) {
    // Everything fits (again): nothing to scroll.
    m_nScrollTotal = 0;
    m_nVisibleRows = visibleRows;
    if (m_wndScrollBar) m_wndScrollBar->hide();
    scrollTo(0);
    return;
  }
  if (!m_wndScrollBar) {
    m_wndScrollBar = new QScrollBar(Qt::Vertical, this);
    m_wndScrollBar->setObjectName(QStringLiteral("id1"));
    // The position changes when the thumb is let go, not while it is dragged.
    m_wndScrollBar->setTracking(false);
    m_wndScrollBar->setFocusPolicy(Qt::NoFocus);
    connect(m_wndScrollBar, &QAbstractSlider::actionTriggered, this, [this](int action) { onScrollAction(action); });
    connect(m_wndScrollBar, &QAbstractSlider::valueChanged, this, [this](int value) { scrollTo(value); });
  }
  const Rect inside = Rect::fromSize(0, 0, width(), height()).deflated(1, 1);
  m_wndScrollBar->setGeometry(inside.right - scrollBarWidth(), inside.top, scrollBarWidth(), inside.height());
  m_nScrollTotal = pitch * hiddenRows;
  m_nVisibleRows = visibleRows;
  {
    const QSignalBlocker quiet(m_wndScrollBar);
    m_wndScrollBar->setRange(0, m_nScrollTotal);
    m_wndScrollBar->setSingleStep(pitch);
    m_wndScrollBar->setPageStep(pitch * std::max(visibleRows, 1));
  }
  m_wndScrollBar->show();
  scrollTo(std::min(m_nScrollOffset, m_nScrollTotal));
}

void ButtonsList::onScrollAction(int action) {
  const int pitch = rowPitch();
  int offset = m_nScrollOffset;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: offset -= pitch; break;
    case QAbstractSlider::SliderSingleStepAdd: offset += pitch; break;
    case QAbstractSlider::SliderPageStepSub: offset -= pitch * m_nVisibleRows; break;
    case QAbstractSlider::SliderPageStepAdd: offset += pitch * m_nVisibleRows; break;
    // A thumb let go lands on the nearest whole row.
    case QAbstractSlider::SliderMove: offset = (m_wndScrollBar->sliderPosition() + pitch / 2) / pitch * pitch; break;
    case QAbstractSlider::SliderToMinimum: offset = 0; break;
    case QAbstractSlider::SliderToMaximum: offset = m_nScrollTotal; break;
    default: return;
  }
  m_wndScrollBar->setSliderPosition(std::clamp(offset, 0, m_nScrollTotal));
}

void ButtonsList::scrollTo(int offset) {
  offset = std::clamp(offset, 0, m_nScrollTotal);
  if (m_wndScrollBar && m_wndScrollBar->value() != offset) {
    const QSignalBlocker quiet(m_wndScrollBar);
    m_wndScrollBar->setValue(offset);
  }
  if (offset == m_nScrollOffset) return;
  m_nScrollOffset = offset;
  update();
}

Rect ButtonsList::displayedRect(const CUxToolbarButton* button) const {
  return button->m_rect.offset(0, -m_nScrollOffset);
}

CUxToolbarButton* ButtonsList::buttonAt(QPoint point) const {
  for (CUxToolbarButton* button : m_Buttons)
    if (displayedRect(button).contains({point.x(), point.y()})) return button;
  return nullptr;
}

void ButtonsList::repaintButton(const CUxToolbarButton* button) {
  if (button) update(displayedRect(button).inflated(2, 2).toQRect().intersected(rect()));
}

void ButtonsList::SelectButton(CUxToolbarButton* button) {
  if (button == m_pSelButton) {
    repaintButton(button);
    return;
  }
  repaintButton(m_pSelButton);
  repaintButton(button);
  m_pSelButton = button;
  if (button) {
    // Brought into view a whole row at a time: to the top from above, to the bottom from below.
    const Rect area = buttonArea();
    const Rect shown = displayedRect(button);
    if (shown.bottom <= area.top) scrollTo(button->m_rect.top - area.top);
    else if (shown.top >= area.bottom)
      scrollTo(button->m_rect.top - area.top - (std::max(m_nVisibleRows, 1) - 1) * rowPitch());
  }
  repaint();
  notifyOwner(*this);
}

bool ButtonsList::SelectButtonByImage(int image) {
  if (image == -1) {
    SelectButton(nullptr);
    return true;
  }
  for (CUxToolbarButton* button : m_Buttons)
    if (button->GetImage() == image) {
      SelectButton(button);
      return true;
    }
  return false;
}

void ButtonsList::paintEvent(QPaintEvent*) {
  if (!m_bInitialized) RebuildLocations();
  const GlobalDrawData& colours = globalData();
  QImage buffer(size(), QImage::Format_RGB32);
  if (buffer.isNull()) return;
  Dc dc(buffer);
  const Rect item = dc.bounds();
  dc.fillRect(item, colours.brBtnFace);
  ImageDrawState state;
  if (m_pImages && m_pImages->PrepareDrawImage(state)) {
    dc.selectFont(colours.fontRegular);
    for (CUxToolbarButton* button : m_Buttons) {
      const Rect shown = displayedRect(button);
      if (shown.top >= item.bottom) break;
      if (!overlaps(shown, item)) continue;
      const unsigned style = button->m_nStyle;
      if (!isEnabled()) button->m_nStyle |= kStyleDisabled;
      button->OnDraw(&dc, shown, m_pImages, true, false, false, true, true);
      button->m_nStyle = style;
    }
    m_pImages->EndDrawImage(state);
    if (m_pSelButton && isEnabled()) {
      Rect frame = displayedRect(m_pSelButton);
      if (m_pSelButton->GetHwnd()) frame = frame.inflated(0, 2);
      if (m_bFocused) {
        dc.draw3dRect(frame, colours.clrBtnShadow, colours.clrBtnHighlight);
      } else {
        dc.drawFocusRect(frame);
        dc.drawFocusRect(frame.deflated(1, 1));
      }
    }
  }
  dc.draw3dRect(item, colours.clrBtnShadow, colours.clrBtnHighlight);
  QPainter(this).drawImage(0, 0, buffer);
}

void ButtonsList::resizeEvent(QResizeEvent*) { RebuildLocations(); }

void ButtonsList::keyPressEvent(QKeyEvent* event) {
  if (m_Buttons.empty()) return QWidget::keyPressEvent(event);
  const auto selected = std::find(m_Buttons.begin(), m_Buttons.end(), m_pSelButton);
  const bool none = selected == m_Buttons.end();
  switch (event->key()) {
    case Qt::Key_End: SelectButton(m_Buttons.back()); break;
    case Qt::Key_Home: SelectButton(m_Buttons.front()); break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      if (!none && selected != m_Buttons.begin()) SelectButton(*(selected - 1));
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      if (none) SelectButton(m_Buttons.front());
      else if (selected + 1 != m_Buttons.end()) SelectButton(*(selected + 1));
      break;
    default: QWidget::keyPressEvent(event); return;
  }
}

void ButtonsList::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  CUxToolbarButton* hit = buttonAt(event->position().toPoint());
  if (!hit) return;
  SelectButton(hit);
  if (m_bEnableDragFromList) startDrag(hit);
}

void ButtonsList::startDrag(CUxToolbarButton* button) {
  button->m_nStoredFlags = 1;
  auto data = std::make_unique<QMimeData>();
  if (!button->PrepareDrag(*data)) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(data.release());
  drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
}

void ButtonsList::focusInEvent(QFocusEvent*) {
  m_bFocused = true;
  if (!m_pSelButton && !m_Buttons.empty()) SelectButton(m_Buttons.front());
  else repaintButton(m_pSelButton);
}

void ButtonsList::focusOutEvent(QFocusEvent*) {
  m_bFocused = false;
  repaintButton(m_pSelButton);
}

void ButtonsList::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}

bool ButtonsList::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange && m_pImages) {
    m_pImages->OnSysColorChange();
    update();
  }
  return QWidget::event(event);
}
