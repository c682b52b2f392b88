#include "uictl/bars/buttons/hosted_control.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QKeyEvent>
#include <algorithm>

using namespace platform;

namespace {

const CUxToolBar* barOf(const QWidget* control) {
  return dynamic_cast<const CUxToolBar*>(control ? control->parentWidget() : nullptr);
}

}  // namespace

QRect hostedRectOnBar(const QWidget* control, const Rect& rect) {
  QPoint corner(rect.left, rect.top);
  if (const CUxToolBar* bar = barOf(control)) corner = bar->ClientToWidget(rect.topLeft());
  return {corner, QSize(rect.width(), rect.height())};
}

Rect hostedControlRect(const QWidget* control) {
  const QRect box = control->geometry();
  Point corner{box.left(), box.top()};
  if (const CUxToolBar* bar = barOf(control)) corner = bar->WidgetToClient(box.topLeft());
  return Rect::fromSize(corner.x, corner.y, box.width(), box.height());
}

std::vector<CUxToolbarButton*> otherButtonsOfCommand(const CUxToolbarButton& button) {
  std::vector<CUxToolbarButton*> same;
  CUxToolBar::UpdateAllButtons(button.m_nCommandId, same);
  same.erase(std::remove(same.begin(), same.end(), &button), same.end());
  return same;
}

void copyFromSameCommand(CUxToolbarButton& button) {
  const std::vector<CUxToolbarButton*> others = otherButtonsOfCommand(button);
  if (!others.empty()) button.CopyFrom(*others.front());
}

COLORREF hostedLabelColour(bool disabled, bool highlight) {
  if (disabled) return globalData().clrGrayText;
  return highlight ? CUxToolBar::GetDefaultTextColor() : globalData().clrBarText;
}

bool isTabOrEscape(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Tab || key == Qt::Key_Escape;
}

void* hostedControlColours(Dc* dc) {
  dc->setTextColor(getSysColor(ColorWindowText));
  dc->setBkColor(getSysColor(ColorWindow));
  return &globalData().hbrWindow;
}
