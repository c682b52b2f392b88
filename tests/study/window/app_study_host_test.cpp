#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <optional>

#include "database/engine/sql_helpers.h"
#include "fake_audio_player.h"
#include "app/options/option_dialog.h"
#include "app/options/option_page.h"
#include "app/shell/app_study_host.h"
#include "platform/files/folders.h"
#include "platform/windows/file_dialog.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "study_app_fixture.h"
#include "study_window_support.h"
#include "test_env.h"
#include "patience.h"

using namespace study;
using studytest::StudyApp;

TEST(AppStudyHost, QuestionsSoundsAndVoicesComeFromTheProgram) {
  StudyApp s(ModeJe);
  pdb3::execSql(s.accessor(), L"UPDATE question SET question='教室%no', wavfilename='w\\a.wav' WHERE qid=1");
  FakeAudioPlayer player;
  SoundQueue sounds(player);
  AppStudyHost host(s.app, sounds);
  ASSERT_TRUE(host.openOwnConnection());

  const StudyQuestion q = host.question(1);
  EXPECT_EQ(q.questions, std::vector<std::wstring>{L"教室【名詞】"});
  EXPECT_EQ(q.questionsPlain, std::vector<std::wstring>{L"教室"});
  EXPECT_EQ(q.voiceFile, L"w\\a.wav");
  const std::vector<int> others = host.choiceCandidates(1);
  EXPECT_EQ(others.size(), 22u);  // the rest of the sample set
  EXPECT_EQ(std::count(others.begin(), others.end(), 1), 0);
  // The smart-learning list shares question 1 with the set: its other questions are no wrong
  // answers of it, also while its id is unknown, as after a look-up that met another program's lock.
  pdb3::execSql(s.accessor(), L"INSERT INTO question VALUES (900, 'q', 'listed', '', '', '', '', 0, 0, 0, '', '', '', '', '')");
  pdb3::execSqlf(s.accessor(), L"INSERT INTO section VALUES (%d, 1), (%d, 900)", s.app.smartLearningSetId,
                 s.app.smartLearningSetId);
  s.app.smartLearningSetId = -1;
  EXPECT_EQ(host.choiceCandidates(1), others);

  s.settings.incorrectSound.value = L"/sounds/ng.wav";
  s.settings.correctSound.value = L"/sounds/ok.wav";
  s.settings.soundVolume.value = 80;
  host.playJudgementSound(false);
  host.playJudgementSound(true);  // waits for the first
  s.settings.useWavVoice.value = true;
  s.settings.wavVoiceFolder.value = L"/voices";
  host.speak(q.voiceFile, L"classroom");
  player.finish();
  player.finish();
  EXPECT_EQ(player.started, (std::vector<std::string>{"/sounds/ng.wav 80 80", "/sounds/ok.wav 80 80", "/voices/w/a.wav 100 100"}));
}

// 「学習画面を常に手前に表示する」 on the reply page keeps the next study's window above the others.
TEST(AppStudyHost, TheReplyPagesOnTopChoiceHoldsForTheStudyWindow) {
  StudyApp s(ModeJe);
  for (const bool onTop : {true, false}) {
    FakeAudioPlayer player;
    SoundQueue sounds(player);
    COptionDlg options(s.app, sounds, COptionDlg::kReplyPage);
    auto* check = options.page(COptionDlg::kReplyPage)->findChild<QCheckBox*>("always-on-top");
    ASSERT_NE(check, nullptr);
    ASSERT_NE(check->isChecked(), onTop);
    check->click();
    options.accept();
    ASSERT_EQ(options.result(), QDialog::Accepted);
    ASSERT_EQ(s.settings.alwaysOnTop.value, onTop);

    std::optional<bool> keptOnTop;
    QIcon icon;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      auto* window = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
      if (!window || window->flow().tstate != TurnReply) return;
      keptOnTop = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      icon = window->windowIcon();
      window->done(QDialog::Rejected);
    });
    watcher.start(20);
    s.startStudy(L"on top", {1});
    ASSERT_TRUE(keptOnTop.has_value());
    EXPECT_EQ(*keptOnTop, onTop);
    studytest::expectProgramIcon(icon);
  }
}

// A study kept on top owns every window it opens and keeps it on top too, else it opens under
// the study; started as a desktop shortcut starts it, with no main window.
TEST(AppStudyHost, EveryWindowAStudyKeptOnTopOpensShowsAboveIt) {
  StudyApp s(ModeEj4);
  s.settings.alwaysOnTop.value = true;
  s.resultCloser.stop();
  QTemporaryDir folder;
  const platform::ProgramFolderOverride beside(folder.path().toStdWString());
  QDir().mkpath(folder.path() + "/help");
  QFile page(folder.path() + "/help/top.html");
  ASSERT_TRUE(page.open(QIODevice::WriteOnly) && page.write("help") > 0);
  page.close();
  QPointer<CTransDlg> study;
  std::map<QString, bool> above;  // each window that opened, by name
  auto record = [&](QWidget& window) {
    above[window.objectName()] = window.windowHandle()->transientParent() == study->windowHandle() &&
                                 window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  };
  QTimer script, closer;  // a timer does not fire again while its own handler runs
  QObject::connect(&script, &QTimer::timeout, [&] {
    auto* window = qobject_cast<CTransDlg*>(QApplication::activeModalWidget());
    if (study || !window || window->flow().tstate != TurnReply) return;
    study = window;
    for (const Qt::Key key : {Qt::Key_F12, Qt::Key_F7, Qt::Key_F1}) QTest::keyClick(window->focusWidget(), key);
    record(*window->findChild<QWidget*>("helpWindow"));
    QTest::mouseClick(window->findChild<QPushButton*>("id2"), Qt::LeftButton);  // the result at once
  });
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !study || dialog == study) return;
    record(*dialog);
    dialog->reject();
  });
  script.start(10);
  closer.start(10);
  s.startStudy(L"on top", {1, 2});
  EXPECT_EQ(above, (std::map<QString, bool>{{"helpWindow", true}, {"id135", true}, {"id150", true}, {"id260", true}}));
}

namespace {

class ChosenFile : public platform::FileDialogs {
 public:
  explicit ChosenFile(std::wstring path) : path_(std::move(path)) {}
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest&) override { return path_; }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override { return {}; }

 private:
  std::wstring path_;
};

}  // namespace

TEST(SkinMenu, ListsEverySkinOfTheFolderAndChangesOrRefusesTheSkin) {
  StudyApp s(ModeJe);
  const QString folder = QString::fromStdString(testenv::processDir()) + "/skins";
  QDir().mkpath(folder);
  const QString source = QString::fromStdString(testenv::sourceDir()) + "/tests/study/skins/";
  QFile::copy(source + "state_log.lua", folder + "/a_state_log.lua");
  for (int i = 0; i < 24; ++i) QFile::copy(source + "host_calls.lua", folder + QString("/skin%1.lua").arg(i, 2, 10, QChar('0')));
  s.settings.skin7Path.value = (folder + "/a_state_log.lua").toStdWString();
  SoundQueue sounds;
  AppStudyHost host(s.app, sounds);
  CTransDlg dlg(StudySetup{false, L"menu", ModeJe, {1}, 0, 0}, host);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  EXPECT_EQ(dlg.size(), QSize(500, 400));

  QMenu menu;
  dlg.FillSkinMenu(menu);
  ASSERT_EQ(dlg.skinFiles().size(), 25u);
  EXPECT_EQ(menu.actions().at(24)->text(), "&24: skin23.lua");
  EXPECT_TRUE(dlg.ChooseSkinFile(256 + 24));  // beyond the twentieth as well
  EXPECT_EQ(s.settings.skin7Path.value, (folder + "/skin23.lua").toStdWString());
  EXPECT_EQ(dlg.size(), QSize(300, 200));

  ChosenFile notASkin(QString(source + "plain.lua").toStdWString());
  platform::FileDialogOverride answer(notASkin);
  s.notifier.boxes.clear();
  EXPECT_TRUE(dlg.ChooseSkinFile(CTransDlg::kChooseSkinCommand));
  // The skin shown goes on drawing while the box is up (and may say what it could not draw).
  EXPECT_NE(std::find(s.notifier.boxes.begin(), s.notifier.boxes.end(), L"Kelvara: スキンファイルではありません"),
            s.notifier.boxes.end());
  EXPECT_EQ(s.settings.skin7Path.value, (folder + "/skin23.lua").toStdWString());
  EXPECT_FALSE(dlg.ChooseSkinFile(1000));
  dlg.done(0);
}
