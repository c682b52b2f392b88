// Speed of the program's start: from the start-up routine's first step to the main window's
// first show, on a copy of the shared large file, unattended.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QWidget>

#include "app/shell/klv_app.h"
#include "platform/files/folders.h"
#include "services/app_settings.h"
#include "uictl/bars/library_globals.h"
#include "large_database.h"
#include "offscreen_main.h"

namespace {

// The time of the main window's first show since the watch was started; -1 before.
class FirstShow : public QObject {
 public:
  void start() {
    shownAfterMs = -1;
    clock.start();
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && shownAfterMs < 0 && watched->objectName() == "id102" &&
        static_cast<QWidget*>(watched)->isWindow())
      shownAfterMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return false;
  }
  QElapsedTimer clock;
  double shownAfterMs = -1;
};

std::wstring gDatabase;

// The file is copied, as start-up adds the smart-learning binder to the database it opens.
void prepare() {
  const QString copy = QDir::homePath() + "/large.klvdb7";
  QFile::copy(QString::fromStdString(benchdata::largeDatabase()), copy);
  gDatabase = copy.toStdWString();
  AppSettings settings(L"KLV7");
  settings.loadAll();
  settings.databasePath.value = gDatabase;
  settings.userName.value = L"bench";
  settings.lastSection.value = L"ベンチマーク/問題集 " + std::to_wstring(benchdata::kLargeSetId);
  // The copies made after the window closes are no part of the start.
  settings.makeBackupFlag.value = false;
  settings.saveAll();
}

void BM_StartupToMainWindow(benchmark::State& state) {
  const UxLibrary controlLibrary;
  FirstShow watch;
  qApp->installEventFilter(&watch);
  for (auto _ : state) {
    KlvApp app;
    watch.start();
    app.InitInstance({L"kelvara"});
    app.ExitInstance();
    if (watch.shownAfterMs < 0) {
      state.SkipWithError("the main window was not shown");
      break;
    }
    state.SetIterationTime(watch.shownAfterMs / 1000.0);
  }
  qApp->removeEventFilter(&watch);
}
BENCHMARK(BM_StartupToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  const platform::ProgramFolderOverride beside(QString::fromUtf8(KELVARA_PROGRAM_DIR).toStdWString());
  return runOffscreenBenchmarks(argc, argv, prepare);
}
