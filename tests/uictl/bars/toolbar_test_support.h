// What the toolbar tests share: a frame that takes commands and answers command-UI requests,
// bars made from the test resources, and a registry of their own.
#pragma once

#include "platform/windows/command_target.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"

#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Test resources: 5000 holds commands 100, 101, a separator and 102 over a red, green and blue
// image; 5003 holds 200 and 201 over yellow and magenta; 5001 promises more items than it holds;
// 5002 has no images.
constexpr unsigned kBarResource = 5000;
constexpr unsigned kOtherResource = 5003;
constexpr unsigned kDamagedResource = 5001;
constexpr unsigned kResourceWithoutImages = 5002;

class TestFrame : public QWidget, public platform::CommandTarget {
 public:
  bool onCommand(unsigned id, int notifyCode) override {
    commands.push_back({id, notifyCode});
    return true;
  }
  void onUpdateCommandUi(platform::CommandUi& ui) override {
    if (unanswered.count(ui.id)) return;
    ui.enable(!disabled.count(ui.id));
    if (auto check = checks.find(ui.id); check != checks.end()) ui.setCheck(check->second);
  }
  bool event(QEvent* e) override {
    if (auto* message = dynamic_cast<platform::RegisteredMessageEvent*>(e)) messages.push_back({e->type(), message->wParam()});
    return QWidget::event(e);
  }
  std::vector<std::pair<unsigned, int>> commands;
  std::set<unsigned> disabled, unanswered;
  std::map<unsigned, int> checks;
  std::vector<std::pair<QEvent::Type, uintptr_t>> messages;
};

// The registry files of one test live in a folder of their own.
class ScopedRegistry {
 public:
  ScopedRegistry() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
    setenv("XDG_CONFIG_HOME", dir_.path().toUtf8().constData(), 1);
  }
  ~ScopedRegistry() {
    if (previous_) setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }

 private:
  QTemporaryDir dir_;
  std::optional<std::string> previous_;
};

// A visible bar of a resource, laid out at its own size in `frame`.
inline CUxToolBar* makeBar(QWidget* frame, unsigned id, unsigned resource = kBarResource,
                           unsigned style = CbrsAlignTop, bool locked = false) {
  auto* bar = new CUxToolBar(frame);
  bar->Create(frame, 0x50000000u | style, id);
  bar->LoadToolBar(resource, 0, 0, locked);
  bar->resize(bar->sizeHint());
  bar->AdjustLayout();
  return bar;
}

// Lays a docked bar out with a client area of this width.
inline void layOutAtClientWidth(CUxToolBar* bar, int clientWidth) {
  bar->resize(clientWidth + bar->width() - bar->ClientRect().width(), bar->height());
  bar->AdjustLocations();
}

// The centre of a button in the bar's widget coordinates.
inline QPoint centreOf(const CUxToolBar* bar, int index) {
  const platform::Rect r = bar->GetItemRect(index);
  return bar->ClientToWidget({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

inline platform::COLORREF pixelAt(const QImage& image, QPoint p) { return platform::fromPixel(image.pixel(p)); }

// The library started and a frame shown for the bars of a test to live on.
class ShownFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.resize(400, 200);
    frame.show();
  }
  UxLibrary library;
  TestFrame frame;
};
