// A dialog to place the frames library's controls on, found again by objectName as the user's
// input reaches them, and the pixels they show.
#pragma once

#include "platform/windows/command_target.h"
#include "platform/drawing/gdi_types.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/measuring_dc.h"
#include "patience.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    dialog.resize(320, 240);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kPatienceMs));
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

// The height of one line of the regular font, and the widest line of a label in it.
inline int regularLineHeight() { return MeasuringDc(globalData().fontRegular)->getTextMetrics().height; }
inline int regularLabelWidth(const std::wstring& label) {
  MeasuringDc measure(globalData().fontRegular);
  platform::Rect r{0, 0, 1, 1};
  measure->drawText(label, r, platform::DtCalcRect | platform::DtWordBreak);
  return r.width();
}

// A dialog that takes commands and the bars' requests for a context menu, and keeps them.
class CommandDialog : public QWidget, public platform::CommandTarget {
 public:
  bool onCommand(unsigned id, int notifyCode) override {
    commands.push_back({id, notifyCode});
    return true;
  }
  bool event(QEvent* e) override {
    if (e->type() == UXTOOLBAR_POPUPMENU) {
      auto* m = static_cast<platform::RegisteredMessageEvent*>(e);
      popups.push_back({m->wParam(), m->lParam()});
    }
    return QWidget::event(e);
  }
  std::vector<std::pair<unsigned, int>> commands;
  std::vector<std::pair<uintptr_t, intptr_t>> popups;
};
