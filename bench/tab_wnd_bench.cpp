// Speed of the tab window with many tabs: 200 tabs in the 3-D look with scroll buttons, in a
// 1000 x 700 window; Ctrl+PgDn moves to the next tab, scrolls it into view and repaints the
// window at once. Target: < 5 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>
#include <string>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/tabs/tab_wnd.h"

namespace {

constexpr int kTabs = 200;

void BM_CtrlPageDownScrollAndRepaint(benchmark::State& state) {
  UxLibrary library;
  QWidget frame;
  frame.resize(1000, 700);
  frame.show();
  auto* tabs = new CUxTabWnd;
  tabs->Create(TabStyle3DScrolled, platform::Rect::fromSize(0, 0, 1000, 700), &frame, 1, TabsAtBottom, true);
  for (int i = 0; i < kTabs; ++i) tabs->AppendTab(new QWidget(tabs), L"問題集 " + std::to_wstring(i));
  int64_t scrolled = 0;
  // Painted into an image: an offscreen window may skip a repaint it has no surface for.
  QImage shown(tabs->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    const int offset = tabs->ScrollOffset();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
    QApplication::sendEvent(tabs, &key);
    tabs->render(&shown);
    scrolled += tabs->ScrollOffset() != offset;
  }
  // Most steps must really move the row, or the figure says nothing.
  state.counters["scrolled"] = benchmark::Counter(static_cast<double>(scrolled), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CtrlPageDownScrollAndRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
