// Speed of the colour button's popup: a click until the popup (twenty colours, automatic and
// other rows) is painted, and one repaint of its bar; the colour dialog opened with both pages
// painted, and one drag step on its plane.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/colour/color_button.h"
#include "uictl/frames/colour/color_picker_dialog.h"

#include <QTabWidget>

using namespace platform;

namespace {

// The press opens the popup; the release after it has nothing left to do.
void press(QWidget* button) {
  const QPointF at(10, 10);
  QMouseEvent event(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(button, &event);
}

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Page {
  Page() {
    frame.setGeometry(0, 0, 400, 300);
    button = new CUxColorButton(&frame);
    button->setGeometry(10, 10, 100, 24);
    button->EnableAutomaticButton(L"Default", rgb(255, 255, 255), true);
    button->EnableOtherButton(L"other", false, true);
    button->SetColor(rgb(0x12, 0x34, 0x56));
    frame.show();
    settle();
  }
  UxLibrary library;
  QWidget frame;
  CUxColorButton* button = nullptr;
};

void BM_ClickUntilColourPopupPainted(benchmark::State& state) {
  Page page;
  for (auto _ : state) {
    press(page.button);
    CColorPopup* popup = page.button->GetPopup();
    if (!popup) {
      state.SkipWithError("no popup");
      break;
    }
    // Painted into an image: an offscreen window may skip a repaint it has no surface for.
    QImage shown(popup->size(), QImage::Format_RGB32);
    popup->render(&shown);
    benchmark::DoNotOptimize(shown.bits());
    state.PauseTiming();
    popup->close();
    settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClickUntilColourPopupPainted)->Unit(benchmark::kMillisecond);

void BM_ColourBarRepaint(benchmark::State& state) {
  Page page;
  press(page.button);
  CColorPopup* popup = page.button->GetPopup();
  if (!popup) {
    state.SkipWithError("no popup");
    return;
  }
  CUxColorBar* bar = popup->GetColorBar();
  QImage shown(bar->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    bar->render(&shown);
    benchmark::DoNotOptimize(shown.bits());
  }
}
BENCHMARK(BM_ColourBarRepaint)->Unit(benchmark::kMicrosecond);

void paint(QWidget* widget, QImage& into) {
  if (into.size() != widget->size()) into = QImage(widget->size(), QImage::Format_RGB32);
  widget->render(&into);
  benchmark::DoNotOptimize(into.bits());
}

void BM_ColourDialogOpenWithBothPagesPainted(benchmark::State& state) {
  UxLibrary library;
  QImage first, second;
  for (auto _ : state) {
    ColorPickerDialog dialog(rgb(0x12, 0x34, 0x56));
    dialog.Page2->Plane->setFixedSize(256, 256);
    dialog.show();
    paint(dialog.Page1, first);
    dialog.Sheet->setCurrentIndex(1);
    paint(dialog.Page2, second);
    state.PauseTiming();
    dialog.hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ColourDialogOpenWithBothPagesPainted)->Unit(benchmark::kMillisecond);

void BM_ColourPlaneDragStep(benchmark::State& state) {
  UxLibrary library;
  ColorPickerDialog dialog(rgb(0x12, 0x34, 0x56));
  ColorPickerCtrl* plane = dialog.Page2->Plane;
  plane->setFixedSize(256, 256);
  dialog.Sheet->setCurrentIndex(1);
  dialog.show();
  settle();
  QImage shown;
  paint(plane, shown);
  const QPointF start(10, 10);
  QMouseEvent down(QEvent::MouseButtonPress, start, plane->mapToGlobal(start), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(plane, &down);
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 256;
    const QPointF at(x, 255 - x);
    QMouseEvent move(QEvent::MouseMove, at, plane->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(plane, &move);
    paint(plane, shown);
  }
}
BENCHMARK(BM_ColourPlaneDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
