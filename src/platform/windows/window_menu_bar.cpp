#include "platform/windows/window_menu_bar.h"

#include <QStyleOptionMenuItem>

namespace platform {

WindowMenuBar::WindowMenuBar(QWidget* parent) : QMenuBar(parent) {
  setNativeMenuBar(false);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void WindowMenuBar::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
  QMenuBar::initStyleOption(option, action);
  // The bar holds the focus only in keyboard mode; the style highlights a current title only
  // when it is pressed down, which a title with its menu still shut is not.
  if ((option->state & QStyle::State_Selected) && hasFocus()) option->state |= QStyle::State_Sunken;
}

}  // namespace platform
