#include "platform/windows/window_stacking.h"

#include <QWidget>

namespace platform {

bool staysOnTop(const QWidget* owner) {
  return owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void stackWithOwner(QWidget& window) {
  if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) || !staysOnTop(window.parentWidget())) return;
  window.setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace platform
