// Speed of sizing bars docked in a 1000 x 700 frame: 20 bars in 4 rows (two rows at the top,
// two at the bottom). A full layout of the frame, and one step of an edge drag between two bars
// (its limits, the row's new lengths and the tracker). Targets: < 5 ms, < 2 ms. The layout runs
// at alternating widths, so that every row shares its length anew.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"
#include "uictl/frames/docking/sizing_control_bar.h"
#include "uictl/frames/window_styles.h"

namespace {

constexpr int kRows = 4;
constexpr int kBarsPerRow = 5;

// Opens the drag between two bars the way the mouse does, at widget points.
class DraggedBar : public CUxSizingControlBar {
 public:
  void pressAt(QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(mapToGlobal(at)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(this, &press);
  }
};

struct BenchFrame {
  UxLibrary library;
  DockFrame frame;
  std::vector<DraggedBar*> bars;

  BenchFrame() {
    frame.EnableDocking(CbrsAlignAny);
    frame.resize(1000, 700);
    frame.show();
    unsigned id = 0xE810;
    for (int row = 0; row < kRows; ++row) {
      const unsigned side = row < 2 ? DockBarTop : DockBarBottom;
      DraggedBar* previous = nullptr;
      for (int i = 0; i < kBarsPerRow; ++i) {
        auto* bar = new DraggedBar;
        bar->Create(QStringLiteral("バー"), &frame, {180, 80}, true, id++, WsChild | WsVisible | CbrsAlignTop);
        bar->EnableDocking(CbrsAlignAny);
        if (previous) {
          const QRect beside(previous->mapToGlobal(QPoint(previous->width(), 0)), QSize(180, 80));
          frame.DockControlBar(bar, side, &beside);
        } else {
          frame.DockControlBar(bar, side);
        }
        frame.RecalcLayout(true);
        bars.push_back(bar);
        previous = bar;
      }
    }
  }
};

void BM_RecalcLayout(benchmark::State& state) {
  BenchFrame bench;
  int step = 0;
  for (auto _ : state) {
    // Ten pixels more or less each time, so that every row shares its length anew.
    bench.frame.resize(++step % 2 ? 1010 : 1000, 700);
    bench.frame.RecalcLayout(true);
  }
}
BENCHMARK(BM_RecalcLayout)->Unit(benchmark::kMillisecond);

void BM_EdgeDragStepBetweenBars(benchmark::State& state) {
  BenchFrame bench;
  DraggedBar* bar = bench.bars[1];
  const QPoint edge(bar->width() - 3, bar->height() / 2);
  int step = 0;
  for (auto _ : state) {
    // Limits and tracker at the press, a row update and the tracker again at the move.
    bar->pressAt(edge);
    bar->OnEdgeDragMove(edge + QPoint(++step % 2 ? 20 : -20, 0));
    bar->EndEdgeDrag();
  }
}
BENCHMARK(BM_EdgeDragStepBetweenBars)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
