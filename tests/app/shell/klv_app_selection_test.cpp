#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/shell/exit_codes.h"
#include "app/shell/klv_app.h"
#include "database/logs/daily_log.h"
#include "element_tree_fixture.h"
#include "held_database.h"
#include "study/sound/sound_queue.h"
#include "study/window/trans_dialog.h"

using namespace apptest;

TEST(AppSelection, TheCommandLinesStudyOnlyASet) {
  TreeApp s;
  s.app.currentSetId = 2;

  SoundQueue sounds;
  s.app.commandLine->mode = 3;
  s.app.commandLine->count = 2;
  for (const wchar_t* refused : {L"Alpha/nothing", L"Alpha/deep"}) {
    s.app.commandLine->path = refused;
    EXPECT_FALSE(s.app.AutorunStudy(sounds));
    EXPECT_EQ(s.takeBoxes(), L"Kelvara: そのような問題集（またはフォルダ）は存在しません。\n");
    EXPECT_EQ(s.app.currentSetId, 2);
    EXPECT_EQ(s.app.studyMode, 0);
  }

  s.app.commandLine->path = L"Alpha/deep/Apple";
  s.settings.randomReply.value = false;
  QString title;
  int firstQuestion = -1;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* window = qobject_cast<study::CTransDlg*>(QApplication::activeModalWidget());
    if (!window || window->flow().currentId < 0) return;
    title = window->windowTitle();
    firstQuestion = window->flow().currentId;
    window->done(QDialog::Rejected);
  });
  closer.start(20);
  EXPECT_FALSE(s.app.AutorunStudy(sounds));  // ran, and was cancelled
  EXPECT_EQ(title, "Alpha/deep/Apple - Kelvara");
  EXPECT_EQ(firstQuestion, 1);
  EXPECT_EQ(s.app.currentSetId, kApple);
  EXPECT_EQ(s.settings.studyMode, 3);
}

// Another program holds the file while the command line's set is looked up: that is no missing
// set, and the learner and the script hear the real cause.
TEST(AppSelection, ACommandLineSetThatCouldNotBeLookedUpIsNotCalledMissing) {
  TreeApp s;
  SoundQueue sounds;
  s.app.commandLine->path = L"Alpha/deep/Apple";
  {
    HeldDatabase held(s.databasePath());
    EXPECT_FALSE(s.app.AutorunStudy(sounds));
  }
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 問題集を読み込めませんでした。\n" + kBusyCause + L"\n");
  EXPECT_EQ(s.app.ExitInstance(), ExitDataUnusable);
}

// A script learns the first failure of a run from its exit status: a later one does not hide it.
TEST(AppSelection, ARunThatFailsInTwoWaysEndsWithTheFirstFailuresStatus) {
  for (const bool setMissingFirst : {true, false}) {
    SCOPED_TRACE(setMissingFirst ? "the set first" : "the save first");
    TreeApp s;
    SoundQueue sounds;
    s.app.commandLine->path = L"Alpha/nothing";
    const auto failToFindTheSet = [&] { EXPECT_FALSE(s.app.AutorunStudy(sounds)); };
    const auto failToSave = [&] {
      s.run(L"CREATE TRIGGER IF NOT EXISTS refuse BEFORE INSERT ON daily_log BEGIN SELECT RAISE(ABORT, 'no'); END");
      pdb3::DailyLogRecord record(s.accessor());
      record.did = 0;
      record.lid = 0;
      record.results[1] = {1, 0, 0, 0, 1.0, 1, 0, 0, 0};
      testing::internal::CaptureStderr();
      EXPECT_FALSE(s.app.SaveStudyInTransaction(record, 5));
      testing::internal::GetCapturedStderr();
    };
    if (setMissingFirst) {
      failToFindTheSet();
      failToSave();
    } else {
      failToSave();
      failToFindTheSet();
    }
    EXPECT_EQ(s.app.ExitInstance(), setMissingFirst ? ExitSetNotFound : ExitStudyNotSaved);
    s.takeBoxes();
  }
}
