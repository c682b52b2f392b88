// Speed of filling the font combo box: from a source of 2,000 generated faces (several scripts,
// vertical "@" variants, mixed letter case) and from the fonts installed on this machine.
#include <benchmark/benchmark.h>

#include "dark_desktop.h"
#include "offscreen_main.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/font_source.h"
#include "uictl/bars/combos/font_combo_box.h"
#include "uictl/bars/library_globals.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

class GeneratedFonts : public platform::FontSource {
 public:
  GeneratedFonts() {
    const wchar_t* scripts[] = {L"Latin", L"Japanese", L"Greek", L"Cyrillic"};
    const int charSets[] = {0, 128, 161, 204};
    for (int i = 0; faces_.size() < 2000; ++i) {
      std::wstring name = (i % 3 ? L"Face " : L"face ") + std::to_wstring((i * 7919) % 100000);
      if (i % 10 == 0) name = L"@" + name;
      faces_.push_back({name, scripts[i % 4], charSets[i % 4], 1 + i % 2, i % 5 ? 4 : 1});
    }
  }
  void enumerate(int charSet, const std::function<void(const platform::FontFace&)>& report) const override {
    for (const platform::FontFace& face : faces_)
      if (charSet == 1 || face.charSet == charSet) report(face);
  }

 private:
  std::vector<platform::FontFace> faces_;
};

void BM_SetupInstalled(benchmark::State& state) {
  UxLibrary library;
  // The first fill of the process also reads fontconfig's list.
  const auto start = std::chrono::steady_clock::now();
  FontComboBox box;
  state.counters["first_fill_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  for (auto _ : state) benchmark::DoNotOptimize(box.Setup(7, 1, 0));
  state.counters["items"] = box.count();
}
BENCHMARK(BM_SetupInstalled)->Unit(benchmark::kMillisecond);

void BM_SetupGenerated(benchmark::State& state) {
  UxLibrary library;
  GeneratedFonts fonts;
  const platform::FontSourceOverride source(fonts);
  FontComboBox box;
  for (auto _ : state) benchmark::DoNotOptimize(box.Setup(7, 1, 0));
  state.counters["items"] = box.count();
}
BENCHMARK(BM_SetupGenerated)->Unit(benchmark::kMillisecond);

// Argument: the desktop (0 the classic look, 1 a dark scheme, whose list re-inks the font kinds'
// icons to stand out from its ground). Each iteration draws the 30 items a dropped-down list shows.
void BM_DrawListedItems(benchmark::State& state) {
  const DarkDesktopPalette desktop(state.range(0) == 1);
  UxLibrary library;
  GeneratedFonts fonts;
  const platform::FontSourceOverride source(fonts);
  FontComboBox box;
  box.Setup(7, 1, 0);
  constexpr int kShown = 30, kHeight = 20;
  QImage image(200, kShown * kHeight, QImage::Format_RGB32);
  platform::Dc dc(image);
  for (auto _ : state)
    for (int item = 0; item < kShown; ++item)
      box.DrawItem(&dc, item, {0, item * kHeight, 200, (item + 1) * kHeight}, item == 3 ? FontComboBox::OdsSelected : 0);
  state.counters["items"] = box.count();
}
BENCHMARK(BM_DrawListedItems)->Arg(0)->Arg(1)->ArgName("dark")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
