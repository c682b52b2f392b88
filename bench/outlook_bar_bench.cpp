// Speed of the outlook bar of the main dialog at a larger size: a 120 x 700 bar with two pages
// of 50 labelled 32 x 32 buttons. Adding the 100 buttons one by one (each addition lays the bar
// out again), a page change without animation (layout and full paint), and one step of the
// animated page change without its wait. Targets: < 100 ms, < 5 ms, < 2 ms.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QWidget>
#include <memory>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/outlook/outlook_bar.h"

namespace {

constexpr int kButtonsPerPage = 50;

QImage buttonImage(int i) {
  QImage image(32, 32, QImage::Format_RGB32);
  image.fill(QColor(0, 255, 0));
  for (int y = 8; y < 24; ++y)
    for (int x = 8; x < 24; ++x) image.setPixel(x, y, qRgb(5 * (i % 50), 128, 255 - 5 * (i % 50)));
  return image;
}

struct BenchBar {
  UxLibrary library;
  QWidget dialog;
  CUxOutlookBar* bar = new CUxOutlookBar;

  explicit BenchBar(bool fill = true) {
    dialog.resize(400, 760);
    dialog.show();
    bar->Create(&dialog, 0x50001408, 1700);
    bar->SetTransparentColor(0x00FF00);
    bar->EnableSplitter(false);
    bar->SetColors(0xFFFFFF, 0xC0C0C0);
    bar->EnableTextLabels(true);
    bar->AddPage(1, L"スマート学習");
    bar->AddPage(2, L"通常学習");
    bar->setGeometry(0, 41, 120, 700);
    if (fill) addButtons();
  }
  void addButtons() {
    for (int i = 0; i < 2 * kButtonsPerPage; ++i) {
      const std::wstring label = i % 3 ? L"問題集の情報" : L"インターネット\nランキング";
      bar->InsertOutlookButton(bar->AddImage(buttonImage(i)), label.c_str(), 1000 + i, 1 + i / kButtonsPerPage);
    }
  }
};

void BM_AddHundredButtons(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto bench = std::make_unique<BenchBar>(false);
    state.ResumeTiming();
    bench->addButtons();
    state.PauseTiming();
    bench.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddHundredButtons)->Unit(benchmark::kMillisecond);

void BM_PageChangeLaidOutAndPainted(benchmark::State& state) {
  BenchBar bench;
  int page = 1;
  for (auto _ : state) {
    page = 3 - page;
    bench.bar->SetActivePage(page, false);
  }
}
BENCHMARK(BM_PageChangeLaidOutAndPainted)->Unit(benchmark::kMillisecond);

void BM_AnimationStep(benchmark::State& state) {
  BenchBar bench;
  int64_t steps = 0;
  setOutlookAnimationSleeper([&steps](int) { ++steps; });
  int page = 1;
  for (auto _ : state) {
    page = 3 - page;
    bench.bar->SetActivePage(page, true);
  }
  setOutlookAnimationSleeper(nullptr);
  // Time per step: the whole change (with its final paint) shared among its steps.
  state.counters["per_step"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
