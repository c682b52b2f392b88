// Speed of the options dialog: from construction to the first paint, every page filled from the
// settings, with a skin folder of 20 skins, 20 web dictionaries and an agent engine file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/shell/klv_app.h"
#include "app/options/option_dialog.h"
#include "offscreen_main.h"
#include "platform/files/file_system.h"
#include "services/app_settings.h"
#include "study/sound/sound_queue.h"
#include "uictl/bars/library_globals.h"

namespace {

void BM_OptionsDialogUp(benchmark::State& state) {
  const UxLibrary controlLibrary;  // the colour buttons draw through it
  QTemporaryDir folder;
  AppSettings settings{L"KLV7"};
  KlvApp app;
  app.settings = &settings;
  settings.katmodeFilePath.value = (folder.path() + "/katmode.txt").toStdWString();
  platform::writeFileAtomically(settings.katmodeFilePath.value, "Mary\n{AAA}\n409\nSam\n{CCC}\n40a\n");
  for (int i = 0; i < 20; ++i) {
    const std::string name = "skin" + std::to_string(i);
    platform::writeFileAtomically((folder.path() + "/" + QString::fromStdString(name) + ".lua").toStdWString(),
                                  "DesignName = '" + name + "'\nDlgWidth_n = 480\nDlgHeight_n = 320\n"
                                  "KLV.LoadUserVar('TitleFont', 'font', '12, 1, 0, 0, 0, IPAGothic')\n"
                                  "KLV.LoadUserVar('TextColor', 'color', '112233')\n");
  }
  settings.skin7Path.value = (folder.path() + "/skin0.lua").toStdWString();
  settings.skinUserfilePath.value = (folder.path() + "/skinuser.ini").toStdWString();
  for (int i = 0; i < 20; ++i)
    app.webDictionaries.entries.push_back({i % 3, i % 2 == 0, L"辞書 " + std::to_wstring(i),
                                           L"https://dict" + std::to_wstring(i) + L".example/search?q=", L"&lang=ja"});
  SoundQueue sounds;
  for (auto _ : state) {
    COptionDlg dialog(app, sounds);
    dialog.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(dialog.grab());
  }
}
BENCHMARK(BM_OptionsDialogUp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
