// Speed of a menu button holding a 1,000-item menu tree three levels deep (10 sub-menus of 9
// sub-menus of 10 commands): turning it into a menu handle and building a button back from
// that handle, and storing it in an archive and loading it back.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "offscreen_main.h"
#include "platform/settings/archive.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/toolbar_menu_button.h"

namespace {

std::unique_ptr<CUxToolbarMenuButton> item(unsigned command, const std::wstring& text) {
  auto button = std::make_unique<CUxToolbarMenuButton>();
  button->m_nCommandId = command;
  button->m_strText = text;
  return button;
}

std::unique_ptr<CUxToolbarMenuButton> thousandItems() {
  auto root = std::make_unique<CUxToolbarMenuButton>();
  unsigned command = 1000;
  int count = 0;
  for (int i = 0; i < 10; ++i) {
    auto top = item(kSubMenuCommand, L"メニュー" + std::to_wstring(i));
    for (int j = 0; j < 9; ++j) {
      auto middle = item(kSubMenuCommand, L"項目" + std::to_wstring(j));
      for (int k = 0; k < 10; ++k) middle->AddItem(item(command++, L"コマンド" + std::to_wstring(k) + L"\tCtrl+K"));
      top->AddItem(std::move(middle));
      count += 11;
    }
    root->AddItem(std::move(top));
    ++count;
  }
  if (count != 1000) std::abort();
  return root;
}

void BM_ExportThenCreateFromMenu(benchmark::State& state) {
  const UxLibrary library;
  const std::unique_ptr<CUxToolbarMenuButton> source = thousandItems();
  CUxToolbarMenuButton target;
  for (auto _ : state) {
    const platform::MenuHandle menu = source->ExportToMenu();
    target.CreateFromMenu(menu);
    platform::destroyMenu(menu);
  }
  if (!target.CompareWith(*source)) state.SkipWithError("the tree did not come back");
}
BENCHMARK(BM_ExportThenCreateFromMenu)->Unit(benchmark::kMillisecond);

void BM_ArchiveStoreThenLoad(benchmark::State& state) {
  const UxLibrary library;
  const std::unique_ptr<CUxToolbarMenuButton> source = thousandItems();
  std::unique_ptr<platform::CObject> loaded;
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    {
      platform::Archive out(platform::Archive::Store, bytes);
      out.writeObject(source.get());
    }
    platform::Archive in(platform::Archive::Load, bytes);
    loaded = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarMenuButton));
  }
  if (!loaded || !static_cast<CUxToolbarMenuButton&>(*loaded).CompareWith(*source))
    state.SkipWithError("the tree did not come back");
}
BENCHMARK(BM_ArchiveStoreThenLoad)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
