// The menu bar of the program's windows. It has no context menu of its own: a dialog would offer
// its "What's This?" over it. While the keyboard works the bar (F10, or Alt pressed and released
// alone) the title it is on is drawn highlighted, as with its menu open, so the user sees where
// the arrow keys and Enter will act.
#pragma once

#include <QMenuBar>

namespace platform {

class WindowMenuBar : public QMenuBar {
 public:
  explicit WindowMenuBar(QWidget* parent = nullptr);

 protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
};

}  // namespace platform
