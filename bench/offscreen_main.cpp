#include "offscreen_main.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

int runOffscreenBenchmarks(int argc, char** argv, void (*prepare)()) {
  QTemporaryDir home;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) setenv(variable, home.path().toUtf8(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("KELVARA_AUTOANSWER", "ok", 0);
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  if (prepare) prepare();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
