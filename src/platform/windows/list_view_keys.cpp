#include "platform/windows/list_view_keys.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>

namespace platform {
namespace {

class HomeAndEndInView : public QObject {
 public:
  explicit HomeAndEndInView(QAbstractItemView& view) : QObject(&view), view_(view) { view.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (passing_ || watched != &view_ || event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Home && key != Qt::Key_End) return false;
    // The view moves (or keeps) the current row as it always does; only then is that row known.
    passing_ = true;
    QCoreApplication::sendEvent(&view_, event);
    passing_ = false;
    view_.scrollTo(view_.currentIndex());
    // Delivered whole above, to the view's parents too where the view left it to them.
    event->accept();
    return true;
  }

 private:
  QAbstractItemView& view_;
  bool passing_ = false;
};

}  // namespace

void bringHomeAndEndRowsIntoView(QAbstractItemView& view) {
  static constexpr char kWatched[] = "kelvaraHomeAndEndInView";
  if (view.property(kWatched).toBool()) return;
  view.setProperty(kWatched, true);
  new HomeAndEndInView(view);
}

}  // namespace platform
