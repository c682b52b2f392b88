#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/klv_app.h"
#include "database/sql_helpers.h"
#include "element_tree_fixture.h"
#include "study/sound_queue.h"
#include "study/trans_dialog.h"

using namespace apptest;

TEST(AppSelection, PathsSelectFoldersAndSetsAndKeepTheModeInTheSettings) {
  TreeApp s;
  s.app.studyMode = 4;
  EXPECT_TRUE(s.app.SelectSectionByPath(L"Alpha/deep/Apple"));
  EXPECT_EQ(s.app.currentSetId, kApple);
  EXPECT_EQ(s.settings.studyMode, 4);
  EXPECT_TRUE(s.app.SelectSectionByPath(L"Alpha/deep"));
  EXPECT_EQ(s.app.currentSetId, kDeep);
  EXPECT_FALSE(s.app.SelectSectionByPath(L"Alpha//Apple"));
  EXPECT_EQ(s.app.currentSetId, kDeep);

  s.app.db.close();
  s.settings.databasePath.value = s.databasePath() + L".missing";
  EXPECT_FALSE(s.app.OpenDatabase());
  s.settings.databasePath.value = s.databasePath();
  EXPECT_TRUE(s.app.OpenDatabase());
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM element_info WHERE eid=14"), 1);
}

TEST(AppSelection, ResetRoundCountsAPassOnlyWhenItAskedSomething) {
  TreeApp s;
  s.run(L"INSERT INTO element_log VALUES(5,0,0,0,0,2,'','')");
  s.run(L"INSERT INTO looped_questions VALUES(5,1)");
  EXPECT_TRUE(s.app.ResetRound(5));
  EXPECT_TRUE(s.app.ResetRound(5));
  EXPECT_EQ(s.intValue(L"SELECT nAccomplish FROM element_log WHERE lid=5"), 3);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM looped_questions"), 0);
}

TEST(AppSelection, TheCommandLinesStudyStartsOnItsSetInItsModeAndAnUnknownPathIsRefused) {
  TreeApp s;
  SoundQueue sounds;
  s.app.commandLine->autorun = true;
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
  EXPECT_EQ(s.app.studyMode, 3);
  EXPECT_EQ(s.settings.studyMode, 3);
}
