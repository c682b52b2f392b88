// The study window's side commands on a copy of the default database, through the application's
// own host: keys and their states, hints and lengths, the skin keys, editing and saving
// questions, the search and the question list, the clipboard, speaking, the dictionary look-up
// and the pronunciation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/shell/app_study_host.h"
#include "app/export/question_preview_dialog.h"
#include "app/export/search_dialog.h"
#include "database/folders/folders.h"
#include "database/records/question.h"
#include "database/engine/sql_helpers.h"
#include "fake_dictionary_program.h"
#include "recording_speech_engine.h"
#include "services/database_failure.h"
#include "study/window/saved_question_binder.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "study/window/trans_edit_dialog.h"
#include "study_app_fixture.h"
#include "study_window_support.h"
#include "../../platform/scoped_env.h"
#include "test_env.h"
#include "patience.h"

using namespace study;
using studytest::StudyApp;
using studytest::find;
using studytest::setupFor;
using studytest::typeReply;
using studytest::whenOpened;
using studytest::waitForState;

namespace {

void choose(QMenu* menu, int command) {
  for (QAction* action : menu->actions()) {
    if (action->data().toInt() != command) continue;
    menu->setActiveAction(action);
    QTest::keyClick(menu, Qt::Key_Return);
    return;
  }
  ADD_FAILURE() << "no command " << command;
  menu->close();
}

// Opens the edit dialog through the menu command and lets `edit` change its boxes before OK.
void editThrough(int command, std::function<void(CTransEditDlg*)> edit) {
  whenOpened<QMenu>([command](QMenu* menu) { choose(menu, command); });
  whenOpened<CTransEditDlg>([edit](CTransEditDlg* dialog) {
    edit(dialog);
    QTest::mouseClick(find<QPushButton>(*dialog, 1), Qt::LeftButton);
  });
}

void setAnswers(StudyApp& s, int qid, const std::wstring& answers) {
  pdb3::execSqlf(s.accessor(), L"UPDATE question SET answer='%ls' WHERE qid=%d", answers.c_str(), qid);
}

std::wstring stored(StudyApp& s, int qid, bool answer) {
  const pdb3::Question q = pdb3::getQuestion(s.accessor(), qid);
  return answer ? q.answerText(0) : q.questionText(0);
}

std::wstring sampleSetPath(StudyApp& s) {
  std::wstring path;
  pdb3::getElementPath(s.accessor(), path, 2);
  return path;
}

QString sideSkin() { return QString::fromStdString(testenv::sourceDir() + "/tests/study/skins/side_commands.lua"); }

int initCount() {
  QFile log(qEnvironmentVariable("HOME") + "/inits.log");
  return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
}

std::wstring programData(const char* name) {
  return QString::fromStdString(testenv::programDir() + "/data/" + name).toStdWString();
}

QString clipboard() { return QApplication::clipboard()->text(); }

// A je study of questions 1 to 3 through the application's host that shows a right answer for
// 300 ms, long enough to act while it is shown.
struct SlowStudy {
  StudyApp app{ModeJe};
  SoundQueue sounds;
  AppStudyHost host{app.app, sounds};
  CTransDlg window{setupFor(ModeJe, {1, 2, 3}), host};

  SlowStudy() { app.settings.correctWaitMsec.value = 300; }  // read as the answer is judged
  bool start() {
    window.show();
    return waitForState(window, TurnReply);
  }
};

}  // namespace

TEST(SideCommands, KeysActWhileAnsweringOnlyAndAWrongReplyNamesTheQuestionItAnswers) {
  StudyApp s(ModeJe);
  s.settings.multiJudgeCount.value = 1;  // one of the answers is enough
  s.settings.incorrectWaitMsec.value = 600;
  s.settings.useClipboardCopyOnPronounce.value = true;
  s.settings.skin7Path.value = sideSkin().toStdWString();
  setAnswers(s, 1, L"apple\r\npear");
  setAnswers(s, 2, L"one\r\ntwo\r\nthree");
  SoundQueue sounds;
  AppStudyHost host(s.app, sounds);
  CTransDlg dlg(setupFor(ModeJe, {1, 2}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  auto* edit = find<QLineEdit>(dlg, 1026);

  QStringList hints;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(edit, Qt::Key_F2);
    hints << edit->text();
  }
  EXPECT_EQ(hints, QStringList({"a", "ap", "app", "p"}));
  EXPECT_EQ(dlg.timedMessage(), L"答え 2 のヒントです");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.flow().tstate, TurnReply);

  const int inits = initCount();
  QTest::keyClick(edit, Qt::Key_F5);
  EXPECT_EQ(initCount(), inits + 1);
  QStringList skinMenu;
  whenOpened<QMenu>([&](QMenu* menu) {
    for (QAction* action : menu->actions()) skinMenu << action->text();
    menu->close();
  });
  QTest::keyClick(edit, Qt::Key_F6);
  ASSERT_GE(skinMenu.size(), 2);
  EXPECT_EQ(skinMenu[0], QString::fromStdWString(L"ファイル選択... (&C)"));
  EXPECT_TRUE(skinMenu.filter("side_commands.lua").size() == 1);

  typeReply(dlg, "apple");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
  std::vector<std::wstring> lengths;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(edit, Qt::Key_F3);
    lengths.push_back(dlg.timedMessage());
  }
  EXPECT_EQ(lengths, (std::vector<std::wstring>{L"答え 1 は 3 文字です", L"答え 2 は 3 文字です", L"答え 3 は 5 文字です",
                                                 L"答え 1 は 3 文字です"}));

  // The answer of question 1 given to question 2: while the window flashes no key acts.
  typeReply(dlg, "apple");
  ASSERT_EQ(dlg.flow().tstate, TurnWaitFlash);
  QTest::keyClick(&dlg, Qt::Key_F2);
  QTest::keyClick(&dlg, Qt::Key_F3);
  EXPECT_EQ(edit->text(), "apple");
  EXPECT_NE(dlg.timedMessage(), L"答え 2 は 3 文字です");
  ASSERT_TRUE(waitForState(dlg, TurnReinput));
  auto* remark = find<QLabel>(dlg, 1102);
  EXPECT_EQ(remark->text().toStdWString(), L"apple … 教室 (" + sampleSetPath(s) + L")");
  EXPECT_EQ(clipboard(), "one two three");
  typeReply(dlg, "app_e");  // no pattern: nothing is the answer of anything
  EXPECT_EQ(dlg.message(), L"ちがう！");
  EXPECT_EQ(remark->text(), "");
  QApplication::clipboard()->clear();
  typeReply(dlg, "one");
  EXPECT_EQ(clipboard(), "one two three");
  EXPECT_EQ(dlg.message(), L"これも入力しなさい！（最初の間違え：apple）");  // the others are asked for too
  dlg.done(0);
}

TEST(SideCommands, EditingAndSavingQuestionsReachTheFileTheScreenAndTheBinder) {
  SlowStudy study;
  StudyApp& s = study.app;
  CTransDlg& dlg = study.window;
  // The settings name another file, not (yet) opened: the study reads and edits the one open.
  QTemporaryDir folder;
  const QString elsewhere = folder.filePath("elsewhere.klvdb7");
  ASSERT_TRUE(QFile::copy(QString::fromStdWString(s.databasePath()), elsewhere));
  {
    sqliteplus::SqliteConnection other;
    other.open(elsewhere.toStdWString().c_str());
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(other), L"UPDATE question SET question='よその問題'"));
  }
  s.settings.databasePath.value = elsewhere.toStdWString();
  ASSERT_TRUE(study.start());
  EXPECT_EQ(find<QLabel>(dlg, 1208)->text().toStdWString(), stored(s, 1, false));
  auto* edit = find<QLineEdit>(dlg, 1026);

  editThrough(CTransDlg::kEditCurrentCommand,
              [](CTransEditDlg* d) { find<QPlainTextEdit>(*d, 1208)->setPlainText(QString::fromStdWString(L"教室の中")); });
  QTest::keyClick(edit, Qt::Key_F4);
  EXPECT_EQ(stored(s, 1, false), L"教室の中");
  EXPECT_EQ(find<QLabel>(dlg, 1208)->text().toStdWString(), L"教室の中");
  EXPECT_EQ(dlg.timedMessage(), L"データの変更を完了しました。");

  // A timer due while the dialog is open fires after it closes.
  typeReply(dlg, "classroom");
  ASSERT_EQ(dlg.flow().tstate, TurnWaitDisplayAnswer);
  bool stoodStill = false;
  editThrough(CTransDlg::kEditCurrentCommand, [&](CTransEditDlg*) {
    QTest::qWait(500);
    stoodStill = dlg.flow().currentId == 1 && dlg.flow().tstate == TurnWaitDisplayAnswer;
  });
  dlg.OnCommand(1220);  // Func04: the edit menu at the cursor
  EXPECT_TRUE(stoodStill);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));

  // The previous question through its own menu, which names it first.
  QStringList lines;
  whenOpened<QMenu>([&](QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (!action->isEnabled()) lines << action->text();
    }
    choose(menu, CTransDlg::kEditPreviousCommand);
  });
  whenOpened<CTransEditDlg>([](CTransEditDlg* d) {
    find<QLineEdit>(*d, 1023)->setText("class room");
    QTest::mouseClick(find<QPushButton>(*d, 1), Qt::LeftButton);
  });
  QTest::keyClick(edit, Qt::Key_B, Qt::AltModifier);  // wins over the button's mnemonic
  EXPECT_EQ(lines, QStringList({QString::fromStdWString(L"《問題》 教室の中"), QString::fromStdWString(L"《解答》 classroom")}));
  EXPECT_EQ(stored(s, 1, true), L"class room");
  EXPECT_EQ(find<QLabel>(dlg, 1208)->text().toStdWString(), L"黒板");

  // The engine refuses the change: the file keeps the old text and the user is told why, on the
  // banner's one line.
  pdb3::execSql(s.accessor(), L"CREATE TRIGGER refuse BEFORE UPDATE ON question BEGIN SELECT RAISE(ABORT, 'refused'); END");
  editThrough(CTransDlg::kEditCurrentCommand,
              [](CTransEditDlg* d) { find<QPlainTextEdit>(*d, 1208)->setPlainText("changed"); });
  QTest::keyClick(edit, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(dlg.timedMessage(), L"データベースの書き込みに失敗しました。 refused");
  EXPECT_EQ(stored(s, 2, false), L"黒板");
  pdb3::execSql(s.accessor(), L"DROP TRIGGER refuse");

  // Saved twice, the previous question is kept once.
  std::vector<std::wstring> messages;
  for (int i = 0; i < 2; ++i) {
    whenOpened<QMenu>([](QMenu* menu) { choose(menu, CTransDlg::kSaveQuestionCommand); });
    QTest::keyClick(edit, Qt::Key_B, Qt::ControlModifier);
    messages.push_back(dlg.timedMessage());
  }
  const int binder = pdb3::FindProblemSetByPath(s.accessor(), kSavedQuestionsBinder);
  ASSERT_GT(binder, 0);
  EXPECT_EQ(s.intValue(L"SELECT count(*) FROM section WHERE qid=1 AND sid=" + std::to_wstring(binder)), 1);
  EXPECT_EQ(messages[0], std::wstring(L"バインダー ") + kSavedQuestionsBinder + L" に追加しました");
  EXPECT_EQ(messages[1].rfind(L"追加失敗：", 0), 0u) << messages[1].size();
  dlg.done(0);
}

TEST(SideCommands, AfterAnEditThroughTheButtonTheNextAnswerIsTypedIntoTheReplyField) {
  SlowStudy study;
  CTransDlg& dlg = study.window;
  ASSERT_TRUE(study.start());
  int edits = 0;
  editThrough(CTransDlg::kEditCurrentCommand, [&](CTransEditDlg*) { ++edits; });
  QTest::mouseClick(find<QPushButton>(dlg, 1209), Qt::LeftButton);
  ASSERT_EQ(edits, 1);
  {
    studytest::OpenedWindowCounter opened(dlg);
    studytest::typeKeys(dlg, "pen-cil");
    EXPECT_EQ(find<QLineEdit>(dlg, 1026)->text(), "pen-cil");
    EXPECT_EQ(opened.count(), 0);
  }
  // The question list through its Func button: the focus comes back to the reply field too.
  whenOpened<QuestionPreviewDlg>([](QuestionPreviewDlg* list) { list->reject(); });
  QTest::mouseClick(find<QPushButton>(dlg, 1223), Qt::LeftButton);
  EXPECT_EQ(dlg.focusWidget(), find<QLineEdit>(dlg, 1026));
  dlg.done(0);
}

// The learner moved the database away during the study: the edit makes no empty file in its
// place and says the file is gone, naming it; another file put in its place is not written either.
TEST(SideCommands, AnEditAfterTheDatabaseWasMovedAwayOrReplacedWritesNoFileAndSaysWhy) {
  SlowStudy study;
  StudyApp& s = study.app;
  CTransDlg& dlg = study.window;
  ASSERT_TRUE(study.start());
  const QString database = QString::fromStdWString(s.databasePath()), moved = database + ".moved";
  ASSERT_TRUE(QFile::rename(database, moved));
  s.notifier.boxes.clear();
  whenOpened<QMenu>([](QMenu* menu) { choose(menu, CTransDlg::kEditCurrentCommand); });
  QTest::keyClick(find<QLineEdit>(dlg, 1026), Qt::Key_F4);
  EXPECT_FALSE(QFile::exists(database)) << "an empty database was made in its place";
  ASSERT_EQ(s.notifier.boxes.size(), 1u);
  EXPECT_NE(s.notifier.boxes[0].find(L"データベースファイルを開けませんでした...\n" + missingDatabaseText(s.databasePath())),
            std::wstring::npos);
  // Another file put at the path, as a sync tool does: the edit would write there while the history
  // goes to the file the program has open. It is refused, and the file at the path keeps its bytes.
  ASSERT_TRUE(QFile::copy(moved, database));
  QFile placed(database);
  ASSERT_TRUE(placed.open(QIODevice::ReadOnly));
  const QByteArray before = placed.readAll();
  placed.close();
  s.notifier.boxes.clear();
  {
    const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");  // an edit window opened would close
    whenOpened<QMenu>([](QMenu* menu) { choose(menu, CTransDlg::kEditCurrentCommand); });
    QTest::keyClick(find<QLineEdit>(dlg, 1026), Qt::Key_F4);
  }
  ASSERT_EQ(s.notifier.boxes.size(), 1u);
  EXPECT_NE(s.notifier.boxes[0].find(replacedDatabaseText(s.databasePath())), std::wstring::npos);
  ASSERT_TRUE(placed.open(QIODevice::ReadOnly));
  EXPECT_EQ(placed.readAll(), before);
  placed.close();
  ASSERT_TRUE(QFile::remove(database));
  ASSERT_TRUE(QFile::rename(moved, database));
  dlg.done(0);
}

TEST(SideCommands, ClipboardSpeechLookUpAndPronunciation) {
  StudyApp s(ModeEj);
  s.settings.multiJudgeCount.value = 1;  // one of the answers is enough
  std::vector<std::wstring> spoken;
  s.settings.useVoice.value = true;
  s.settings.useClipboardCopyOnPronounce.value = true;
  s.settings.skin7Path.value = sideSkin().toStdWString();
  s.settings.cmu2ipaFilePath.value = programData("ipamap.txt");
  s.settings.kpdImagefilePath.value = programData("kpdimage.bmp");
  s.app.speechVoice = SpeechVoice([&spoken] { return std::make_unique<RecordingSpeechEngine>(spoken); });
  ASSERT_TRUE(s.app.speechVoice.prepare(s.settings));
  ASSERT_TRUE(s.app.pronouncingDictionary.openIndex(testenv::programDir() + "/data/pronounce.kpddic",
                                                    testenv::programDir() + "/data/pronounce.kpdidx"));
  pdb3::execSql(s.accessor(), L"UPDATE question SET question='黒板\r\nこくばん' WHERE qid=2");
  setAnswers(s, 3, L"つくえ\r\ndesk");
  SoundQueue sounds;
  AppStudyHost host(s.app, sounds);
  {
    CTransDlg dlg(setupFor(ModeEj, {2, 3}), host);
    dlg.show();
    ASSERT_TRUE(waitForState(dlg, TurnReply));
    EXPECT_EQ(find<QLabel>(dlg, 1103)->text().toStdWString(), L"blˈækbˌɔɹd");
    EXPECT_EQ(clipboard(), "blackboard");
    dlg.OnCommand(CTransDlg::kCopyQuestionCommand);
    EXPECT_EQ(clipboard().toStdWString(), L"黒板\nこくばん");
    spoken.clear();
    QTest::keyClick(find<QLineEdit>(dlg, 1026), Qt::Key_F8);
    EXPECT_EQ(clipboard(), "blackboard");
    EXPECT_EQ(spoken, std::vector<std::wstring>{L"blackboard"});

    typeReply(dlg, QString::fromStdWString(L"黒板"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 3 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
    skintest::FakeDictionaryProgram program;
    QTest::keyClick(find<QLineEdit>(dlg, 1026), Qt::Key_F10);
    EXPECT_EQ(program.requests(),
              (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 \x82\xC2\x82\xAD\x82\xA6") + '\0'}));
    dlg.done(0);
  }

  // As images: no text, and the skin's image 100 draws the glyphs of the codes.
  s.settings.showPronounceByImage.value = true;
  CTransDlg dlg(setupFor(ModeEj, {2}), host);
  dlg.show();
  ASSERT_TRUE(waitForState(dlg, TurnReply));
  EXPECT_EQ(find<QLabel>(dlg, 1103)->text(), "");
  ASSERT_FALSE(dlg.pronunciationCodes().empty());
  QImage strip(QString::fromStdWString(programData("kpdimage.bmp")));
  strip = strip.convertToFormat(QImage::Format_RGB32);
  const int b = dlg.pronunciationCodes().front();  // "B": 11 pixels wide
  const QImage glyph = strip.copy(0, b * 20, 11, 20);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.surfaceImage().copy(10, 10, 11, 20) == glyph; }, testwait::kPatienceMs));

  // An image of the first 18 glyphs only: the codes past its end are left out, the others drawn.
  const QString shortStrip = qEnvironmentVariable("HOME") + "/short.bmp";
  ASSERT_TRUE(strip.copy(0, 0, strip.width(), 18 * 20).save(shortStrip));
  s.settings.kpdImagefilePath.value = shortStrip.toStdWString();
  QTest::keyClick(find<QLineEdit>(dlg, 1026), Qt::Key_F5);
  const int ae1 = 4;  // the first code of "blackboard" below 18, 17 pixels wide
  const QImage vowel = strip.copy(0, ae1 * 20, 17, 20);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.surfaceImage().copy(10, 10, 17, 20) == vowel; }, testwait::kPatienceMs));
  dlg.done(0);
}

TEST(SideCommands, SearchAndQuestionListOpenOverAStudyHeldStillAndTheirEditsReachTheScreen) {
  SlowStudy study;
  StudyApp& s = study.app;
  CTransDlg& dlg = study.window;
  ASSERT_TRUE(study.start());
  auto* edit = find<QLineEdit>(dlg, 1026);
  auto wordOf = [](CSearchDlg* search) { return find<QPlainTextEdit>(*search, 1261)->toPlainText(); };

  // While the reply is open the answer is not given away.
  QString word = "unset";
  whenOpened<CSearchDlg>([&](CSearchDlg* search) {
    word = wordOf(search);
    search->reject();
  });
  QTest::keyClick(edit, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(word, "");

  QString title;
  whenOpened<QuestionPreviewDlg>([&](QuestionPreviewDlg* list) {
    title = list->windowTitle();
    list->reject();
  });
  QTest::keyClick(edit, Qt::Key_F7);
  EXPECT_EQ(title, QString::fromStdWString(L"テスト [3] - 問題一覧"));

  // With the answer shown, Func12 searches for it; the study waits for the dialog to close.
  typeReply(dlg, "classroom");
  ASSERT_EQ(dlg.flow().tstate, TurnWaitDisplayAnswer);
  bool stoodStill = false;
  whenOpened<CSearchDlg>([&](CSearchDlg* search) {
    word = wordOf(search);
    QTest::qWait(400);
    stoodStill = dlg.flow().currentId == 1 && dlg.flow().tstate == TurnWaitDisplayAnswer;
    search->accept();
  });
  dlg.OnCommand(1228);
  EXPECT_EQ(word, "classroom");
  EXPECT_TRUE(stoodStill);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));

  // The question on screen edited through F12: the file and the screen show the edit.
  whenOpened<CSearchDlg>([&](CSearchDlg* search) {
    find<QPlainTextEdit>(*search, 1261)->setPlainText("blackboard");
    QTest::mouseClick(find<QPushButton>(*search, 1249), Qt::LeftButton);
    auto* hits = find<QTreeWidget>(*search, 1259);
    if (!QTest::qWaitFor([&] { return hits->topLevelItemCount() > 0 && !search->searching(); }, testwait::kPatienceMs)) {
      search->reject();
      return;
    }
    hits->setCurrentItem(hits->topLevelItem(0));
    whenOpened<CTransEditDlg>([](CTransEditDlg* d) {
      find<QPlainTextEdit>(*d, 1208)->setPlainText(QString::fromStdWString(L"黒板の上"));
      QTest::mouseClick(find<QPushButton>(*d, 1), Qt::LeftButton);
    });
    QTest::mouseClick(find<QPushButton>(*search, 1250), Qt::LeftButton);
    search->accept();
  });
  QTest::keyClick(edit, Qt::Key_F12);
  EXPECT_EQ(stored(s, 2, false), L"黒板の上");
  EXPECT_EQ(find<QLabel>(dlg, 1208)->text().toStdWString(), L"黒板の上");
  EXPECT_EQ(dlg.flow().tstate, TurnReply);
  dlg.done(0);
}
