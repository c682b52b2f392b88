// Speed of the study window on the sample problem set with the default skin: the window up and
// painted (skin loaded, OnInit, first OnUpdate), one full repaint of the default skin, the
// judging of one typed answer, and what the window costs while it waits for an answer. Runs
// offscreen in a private home folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <memory>

#include "app/shell/app_study_host.h"
#include "app/shell/klv_app.h"
#include "database/records/db_object.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/users.h"
#include "services/app_settings.h"
#include "study/judging/answer_judging.h"
#include "study/window/start_study.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"

#include "offscreen_main.h"
#include "fresh_database.h"
#include "source_files.h"

namespace {

// The sample set in a fresh database, a user, and the settings a new user has.
struct BenchApp {
  QTemporaryDir folder;
  std::unique_ptr<AppSettings> settings;
  KlvApp app;

  BenchApp() {
    const std::wstring path = freshDatabaseFile(folder.path() + "/bench.klvdb7");
    app.db.open(path.c_str());
    const pdb3::DbObject accessor = pdb3::openQuery(app.db);
    pdb3::execSql(accessor, scriptText("resources/schema.sql").c_str());
    pdb3::execSql(accessor, scriptText("resources/sample_data.sql").c_str());
    settings = std::make_unique<AppSettings>(L"KLV7");
    settings->databasePath.value = path;
    settings->skin7Path.value = sourcePath("resources/skin7/default.lua");
    settings->skinUserfilePath.value = QString(folder.path() + "/skinuser.ini").toStdWString();
    settings->useVoice.value = false;
    app.settings = settings.get();
    app.currentUserId = pdb3::insertUser(accessor, L"bench");
    app.currentSetId = 2;
    app.studyMode = study::ModeJe;
    app.smartLearningSetId = pdb3::EnsureSmartLearningBinder(app.db);
  }
};

BenchApp& benchApp() {
  static BenchApp instance;
  return instance;
}

study::StudySetup setup() {
  study::StudySetup s;
  s.mode = study::ModeJe;
  s.title = L"bench";
  s.questionIds = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  study::StudyLogIds ids;
  study::allotStudyLogIds(benchApp().app.studyContext(), ids);
  s.lid = ids.lid;
  s.did = ids.did;
  return s;
}

// From the ids to a window that shows its first paint of the skin.
void BM_StudyWindowUpAndPainted(benchmark::State& state) {
  BenchApp& b = benchApp();
  SoundQueue sounds;
  for (auto _ : state) {
    AppStudyHost host(b.app, sounds);
    study::CTransDlg dialog(setup(), host);
    dialog.show();
    for (int i = 0; i < 1000 && dialog.surfaceImage().isNull(); ++i) QApplication::processEvents();
    if (dialog.surfaceImage().isNull() || dialog.size() != QSize(640, 480)) state.SkipWithError("not painted");
    benchmark::DoNotOptimize(dialog.surfaceImage().pixel(5, 5));
    dialog.done(0);
  }
}
BENCHMARK(BM_StudyWindowUpAndPainted)->Unit(benchmark::kMillisecond);

// One paint as after every judgement: erase, the skin's OnUpdate, copy to the screen, and the
// controls on top. Argument 0: the default skin; 1: a skin whose OnUpdate draws nothing (the
// cost of the window itself).
void BM_SkinRepaint(benchmark::State& state) {
  BenchApp& b = benchApp();
  const std::wstring defaultSkin = b.settings->skin7Path.value;
  if (state.range(0) == 1) {
    const QString empty = b.folder.path() + "/empty.lua";
    QFile file(empty);
    file.open(QIODevice::WriteOnly);
    file.write("DesignName = \"empty\"\nDlgWidth_n = 640\nDlgHeight_n = 480\nfunction OnUpdate() end\n");
    file.close();
    b.settings->skin7Path.value = empty.toStdWString();
  }
  SoundQueue sounds;
  AppStudyHost host(b.app, sounds);
  study::CTransDlg dialog(setup(), host);
  dialog.show();
  for (int i = 0; i < 1000 && dialog.surfaceImage().isNull(); ++i) QApplication::processEvents();
  for (auto _ : state) {
    dialog.repaintWindow();
    dialog.repaint();
  }
  dialog.done(0);
  b.settings->skin7Path.value = defaultSkin;
}
BENCHMARK(BM_SkinRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_JudgeTypedAnswer(benchmark::State& state) {
  const study::JudgeSettings settings;
  for (auto _ : state) {
    study::CorrectAnswerList answers;
    answers.assign({L"look after", L"take care of", L"care for"});
    benchmark::DoNotOptimize(study::CheckTypedAnswer(L"Take care of.", answers, study::ModeJe, settings, true));
  }
}
BENCHMARK(BM_JudgeTypedAnswer)->Unit(benchmark::kMicrosecond);

double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The share of a core the window takes while it waits for an answer, over two seconds of it: the
// counter "cpu_percent". Argument 0: the typing start limit off; 1: while it runs (a minute long).
void BM_WaitingForAnAnswer(benchmark::State& state) {
  BenchApp& b = benchApp();
  const bool startLimit = state.range(0) == 1;
  b.settings->useReplyStartLimitJe.value = startLimit;
  b.settings->replyStartLimitCountJe.value = 60000;
  SoundQueue sounds;
  AppStudyHost host(b.app, sounds);
  study::CTransDlg dialog(setup(), host);
  dialog.show();
  for (int i = 0; i < 1000 && dialog.flow().tstate != study::TurnReply; ++i) {
    QEventLoop wait;
    QTimer::singleShot(10, &wait, &QEventLoop::quit);
    wait.exec();
  }
  if (dialog.flow().tstate != study::TurnReply) state.SkipWithError("no question asked");
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double cpuBefore = processCpuSeconds();
    QEventLoop wait;
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);
    wait.exec();
    cpu += processCpuSeconds() - cpuBefore;
    wall += 2.0;
  }
  state.counters["cpu_percent"] = cpu / wall * 100;
  dialog.done(0);
  b.settings->useReplyStartLimitJe.value = true;
  b.settings->replyStartLimitCountJe.value = 5000;
}
BENCHMARK(BM_WaitingForAnAnswer)->Arg(0)->Arg(1)->ArgName("start_limit")->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks(argc, argv); }
