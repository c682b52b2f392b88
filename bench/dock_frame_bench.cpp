// Speed of a frame's layout with many docked bars: a 1000 x 700 frame with 20 bars in 4 rows
// (two at the top, two at the bottom), laid out again as it stands and while its size changes
// (the bottom side moves, the sides stretch). Once with toolbars of six buttons, once with plain bars of a fixed
// size. Target: RecalcLayout < 5 ms.
#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/frames/docking/dock_bar.h"
#include "uictl/frames/docking/dock_frame.h"

namespace {

constexpr int kRows = 4, kBarsPerRow = 5;

// A bar that is always 150 pixels long and 26 thick.
class FixedBar : public CUxControlBar {
 public:
  using CUxControlBar::CUxControlBar;
  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override {
    const platform::Size least = CUxControlBar::CalcFixedLayout(stretch, horizontal);
    return horizontal ? platform::Size{std::max(150, least.cx), 26} : platform::Size{26, std::max(150, least.cy)};
  }
};

CUxControlBar* makeToolbar(QWidget* frame, unsigned id) {
  if (sharedImages(kImages).GetCount() == 0) {
    QImage strip(160, 15, QImage::Format_RGB32);
    strip.fill(QColor(0, 128, 128));
    sharedImages(kImages).AddImage(strip);
  }
  auto* bar = new CUxToolBar(frame);
  bar->Create(frame, 0x50000000u | CbrsAlignTop | CbrsSizeDynamic, id);
  for (int i = 0; i < 6; ++i) bar->InsertButton(std::make_unique<CUxToolbarButton>(1000 + i, i));
  return bar;
}

CUxControlBar* makeFixedBar(QWidget* frame, unsigned id) {
  auto* bar = new FixedBar(frame);
  bar->SetDlgCtrlID(id);
  bar->SetBarStyle(CbrsAlignTop);
  bar->show();
  return bar;
}

struct BenchFrame {
  UxLibrary library;
  DockFrame frame;

  explicit BenchFrame(CUxControlBar* (*make)(QWidget*, unsigned)) {
    frame.resize(1000, 700);
    frame.EnableDocking(CbrsAlignAny);
    frame.SetCentralWidget(new QWidget);
    frame.show();
    unsigned id = kFirstControlBarId + 1;
    for (int row = 0; row < kRows; ++row) {
      const unsigned side = row < 2 ? DockBarTop : DockBarBottom;
      CUxControlBar* previous = nullptr;
      for (int i = 0; i < kBarsPerRow; ++i) {
        CUxControlBar* bar = make(&frame, id++);
        bar->EnableDocking(CbrsAlignAny);
        if (!previous) {
          frame.DockControlBar(bar, side);
        } else {
          // Next to the previous bar of the row.
          const QRect drop(previous->mapToGlobal(QPoint(previous->width() + 10, 0)), bar->sizeHint());
          frame.DockControlBar(bar, side, &drop);
        }
        frame.RecalcLayout(true);
        previous = bar;
      }
    }
  }
  bool laidOutAsAsked() const {
    const DockBar* top = frame.GetDockBar(DockBarTop);
    return frame.ControlBars().size() == kRows * kBarsPerRow &&
           top->m_arrBars.size() == static_cast<size_t>(2 * (kBarsPerRow + 1) + 1);
  }
};

void runLayout(benchmark::State& state, CUxControlBar* (*make)(QWidget*, unsigned), bool resize) {
  BenchFrame bench(make);
  if (!bench.laidOutAsAsked()) state.SkipWithError("the bars are not in four rows of five");
  int height = 700;
  for (auto _ : state) {
    if (resize) {
      height = height == 700 ? 690 : 700;
      bench.frame.resize(height == 700 ? 1000 : 990, height);  // lays the frame out
    } else {
      bench.frame.RecalcLayout(true);
    }
  }
}

void BM_RecalcLayoutToolbars(benchmark::State& state) { runLayout(state, makeToolbar, false); }
BENCHMARK(BM_RecalcLayoutToolbars)->Unit(benchmark::kMillisecond);

void BM_RecalcLayoutToolbarsWhileResizing(benchmark::State& state) { runLayout(state, makeToolbar, true); }
BENCHMARK(BM_RecalcLayoutToolbarsWhileResizing)->Unit(benchmark::kMillisecond);

void BM_RecalcLayoutFixedBars(benchmark::State& state) { runLayout(state, makeFixedBar, false); }
BENCHMARK(BM_RecalcLayoutFixedBars)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
