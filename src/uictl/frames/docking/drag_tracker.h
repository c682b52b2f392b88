// The outline a drag shows where a bar or frame would go: a frameless window that lets the mouse
// through and paints a half-tone border, on top of everything (or, where the program cannot place
// its own windows, a child of the window the drag began in).
#pragma once

#include <QWidget>

class DragTracker : public QWidget {
 public:
  // `overlayParent` null: a top-level outline at screen positions.
  explicit DragTracker(QWidget* overlayParent = nullptr);
  // `globalRect` in screen coordinates; the border is `thickness` pixels wide.
  void ShowAt(const QRect& globalRect, int thickness);
  QRect TrackedRect() const { return m_globalRect; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect m_globalRect;
  int m_thickness = 0;
};
