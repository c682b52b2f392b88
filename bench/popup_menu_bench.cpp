// Speed of popup menus: a 500-item menu from import to its first paint (scroll buttons and
// shadow included), one Down with its repaint, and the menu hash storing and loading a bar of
// 100 titles while 100 menus are stored.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "offscreen_main.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_hash.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/commands/virtual_keys.h"

using namespace platform;

namespace {

MenuHandle menuOf(int items) {
  const MenuHandle menu = createPopupMenu();
  for (int i = 0; i < items; ++i) {
    if (i % 25 == 24) appendMenu(menu, MfSeparator, 0);
    else appendMenu(menu, MfString, 1000u + static_cast<unsigned>(i), L"コマンド " + std::to_wstring(i) + L"\tCtrl+K");
  }
  return menu;
}

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenFiveHundredItemPopup(benchmark::State& state) {
  const UxLibrary library;
  QWidget frame;
  frame.setGeometry(0, 0, 780, 780);
  frame.show();
  for (auto _ : state) {
    auto* popup = new CUxPopupMenu;
    if (!popup->Create(&frame, 20, 20, menuOf(500))) state.SkipWithError("no popup");
    popup->repaint();
    state.PauseTiming();
    if (!popup->IsScrollable()) state.SkipWithError("the menu should scroll");
    popup->close();
    settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenFiveHundredItemPopup)->Unit(benchmark::kMillisecond);

void BM_DownWithRepaint(benchmark::State& state) {
  const UxLibrary library;
  QWidget frame;
  frame.setGeometry(0, 0, 780, 780);
  frame.show();
  auto* popup = new CUxPopupMenu;
  popup->Create(&frame, 20, 20, menuOf(500));
  for (auto _ : state) {
    popup->OnKeyDown(VkDown);
    popup->repaint();
  }
  popup->close();
  settle();
}
BENCHMARK(BM_DownWithRepaint)->Unit(benchmark::kMicrosecond);

class HashFixture {
 public:
  HashFixture() {
    bar.Create(&frame);
    for (int i = 0; i < 100; ++i) {
      auto title = std::make_unique<CUxToolbarMenuButton>(0, MenuHandle{}, -1, (L"メニュー" + std::to_wstring(i)).c_str());
      bar.InsertButton(std::move(title));
    }
    for (uint32_t i = 1; i <= 100; ++i) hash.SaveMenuBar(MenuHandle{800000 + i}, &bar);
  }
  const UxLibrary library;
  QWidget frame;
  CUxToolBar bar{&frame};
  MenuHash hash;
};

void BM_SaveMenuBar(benchmark::State& state) {
  HashFixture fixture;
  for (auto _ : state)
    if (!fixture.hash.SaveMenuBar(MenuHandle{800050}, &fixture.bar)) state.SkipWithError("not saved");
}
BENCHMARK(BM_SaveMenuBar)->Unit(benchmark::kMillisecond);

void BM_LoadMenuBar(benchmark::State& state) {
  HashFixture fixture;
  for (auto _ : state)
    if (!fixture.hash.LoadMenuBar(MenuHandle{800050}, &fixture.bar)) state.SkipWithError("not loaded");
}
BENCHMARK(BM_LoadMenuBar)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
