#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/shell/klv_app.h"
#include "element_tree_fixture.h"
#include "study/sound/sound_queue.h"
#include "study/window/trans_dialog.h"

using namespace apptest;

TEST(AppSelection, PathsSelectFoldersOrSetsButTheCommandLinesStudyOnlyASet) {
  TreeApp s;
  EXPECT_TRUE(s.app.SelectSectionByPath(L"Alpha/deep"));
  EXPECT_EQ(s.app.currentSetId, kDeep);
  EXPECT_FALSE(s.app.SelectSectionByPath(L"Alpha//Apple"));
  EXPECT_EQ(s.app.currentSetId, kDeep);
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
