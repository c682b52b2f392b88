// Speed of a customisable toolbar of 200 buttons, 100 of them with text beside the image: the
// dynamic layout of a floating bar (rows wrapped to a length, buttons placed), one full paint,
// saving the bar's state to the registry and loading it back, a change of the desktop's colour
// scheme, and the way of one event of the idle program to a window while the library runs.
// Runs offscreen in a private home folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/ux_registry.h"

namespace {

constexpr int kButtons = 200;

// Ten 16 x 15 images of different colours.
QImage imageStrip() {
  QImage strip(160, 15, QImage::Format_RGB32);
  strip.fill(QColor(192, 192, 192));
  for (int i = 0; i < 10; ++i)
    for (int y = 3; y < 12; ++y)
      for (int x = 3; x < 13; ++x) strip.setPixel(i * 16 + x, y, qRgb(25 * i, 255 - 25 * i, 128));
  return strip;
}

struct BenchBar {
  QWidget frame;
  CUxToolBar* bar;

  BenchBar() : bar(new CUxToolBar(&frame)) {
    if (sharedImages(kImages).GetCount() == 0) sharedImages(kImages).AddImage(imageStrip());
    bar->Create(&frame, 0x50000000u | CbrsAlignTop | CbrsFloating | CbrsSizeDynamic, 0xE800);
    for (int i = 0; i < kButtons; ++i) {
      auto button = std::make_unique<CUxToolbarButton>(1000 + i, i % 10, i % 2 ? L"ボタン" : nullptr);
      button->m_bShowText = i % 2;
      bar->InsertButton(std::move(button));
      if (i % 20 == 19) bar->InsertSeparator();
    }
    bar->setWindowTitle(QStringLiteral("ベンチマーク"));
    const platform::Size size = bar->CalcLayout(LmHorz | LmCommit, 800);
    bar->resize(size.cx, size.cy);
    bar->AdjustLocations();
  }
};

void BM_DynamicLayout(benchmark::State& state) {
  BenchBar bench;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.bar->CalcLayout(LmHorz, 800));
    bench.bar->AdjustLocations();
  }
}
BENCHMARK(BM_DynamicLayout)->Unit(benchmark::kMillisecond);

void BM_FullPaint(benchmark::State& state) {
  BenchBar bench;
  QImage target(bench.bar->size(), QImage::Format_RGB32);
  for (auto _ : state) bench.bar->render(&target);
}
BENCHMARK(BM_FullPaint)->Unit(benchmark::kMillisecond);

void BM_SaveThenLoadState(benchmark::State& state) {
  BenchBar bench;
  for (auto _ : state) {
    if (!bench.bar->SaveState() || !bench.bar->LoadState()) state.SkipWithError("the state did not go round");
  }
}
BENCHMARK(BM_SaveThenLoadState)->Unit(benchmark::kMillisecond);

// The desktop turns dark and back: the drawing data, the strips and every widget follow.
void BM_DesktopSchemeChange(benchmark::State& state) {
  BenchBar bench;
  const QPalette stock = QApplication::palette();
  QPalette dark = stock;
  dark.setColor(QPalette::Button, QColor(49, 54, 59));
  dark.setColor(QPalette::Window, QColor(49, 54, 59));
  dark.setColor(QPalette::ButtonText, QColor(239, 240, 241));
  for (auto _ : state) {
    QApplication::setPalette(dark);
    QApplication::setPalette(stock);
  }
}
BENCHMARK(BM_DesktopSchemeChange)->Unit(benchmark::kMillisecond);

// One event of the idle program (a timer's, say) on its way to a window: what the library adds
// to every event the program handles.
void BM_IdleEventToAWindow(benchmark::State& state) {
  BenchBar bench;
  for (auto _ : state) {
    QEvent idle(QEvent::User);
    QCoreApplication::sendEvent(&bench.frame, &idle);
  }
}
BENCHMARK(BM_IdleEventToAWindow);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) setenv(variable, home.path().toUtf8(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const UxLibrary library;
  UxSetRegistryNames(L"Tarvo Presents", L"KLV7");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
