// A dialog to place the frames library's controls on, found again by objectName as the user's
// input reaches them, and the pixels they show.
#pragma once

#include "platform/gdi_types.h"
#include "uictl/bars/library_globals.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    dialog.resize(320, 240);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }

  template <class Control = QWidget>
  Control* control(unsigned id) {
    return dialog.findChild<Control*>(QStringLiteral("id%1").arg(id));
  }

  static platform::COLORREF pixel(QWidget* widget, int x, int y) {
    return platform::fromPixel(widget->grab().toImage().pixel(x, y));
  }
  // Pixels of one colour in what the widget shows, or in a part of it.
  static int countPixels(QWidget* widget, platform::COLORREF colour, QRect part = {}) {
    QImage image = widget->grab().toImage();
    if (!part.isNull()) image = image.copy(part);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += platform::fromPixel(image.pixel(x, y)) == colour;
    return n;
  }

  UxLibrary library;
  QWidget dialog;
};
