// A dark desktop's palette for the time of a benchmark, handed over as a desktop's theme hands it:
// what a paint draws on the desktop's faces is then made for a dark face, as on a learner's dark
// desktop. Made from its button face, as the toolkit derives a whole scheme from one colour.
#pragma once

#include <QApplication>
#include <QPalette>

class DarkDesktopPalette {
 public:
  explicit DarkDesktopPalette(bool dark = true) : previous_(QApplication::palette()) {
    if (dark) QApplication::setPalette(QPalette(QColor(49, 54, 59)));
  }
  ~DarkDesktopPalette() { QApplication::setPalette(previous_); }
  DarkDesktopPalette(const DarkDesktopPalette&) = delete;
  DarkDesktopPalette& operator=(const DarkDesktopPalette&) = delete;

 private:
  QPalette previous_;
};
