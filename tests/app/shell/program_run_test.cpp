// The built program run as a user's desktop would run it, offscreen and unattended.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>

#include "database/database_file.h"
#include "database/folders/folders.h"
#include "app/shell/exit_codes.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/whole_database.h"
#include "app_test_support.h"
#include "held_database.h"
#include "patience.h"
#include "scoped_env.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/named_mutex.h"
#include "services/point_info_store.h"
#include "test_env.h"

namespace {

const QString kSetPath = QString::fromWCharArray(L"中学生向け問題/中学校 学校・教室などの単語");
const QString kWelcome = QString::fromWCharArray(L"msgbox: Kelvara: Kelvara をご利用いただきありがとうございます。");

struct ProgramOutcome {
  int exitCode = -1;
  bool finished = false;
  bool crashed = false;  // ended by a signal (an abort, a segmentation fault)
  QStringList said;  // stderr, line by line
};

// A new user's machine whose runtime folder is the test's own, so that locks the test holds are
// the program's locks too.
class ProgramRun : public ::testing::Test {
 protected:
  // fileSizeLimit: no file of the run may grow past that many bytes, as on a disk that is full.
  // meanwhile: what the test does once the program has started.
  ProgramOutcome run(const QStringList& arguments, const QString& answer = "ok", long fileSizeLimit = -1,
                     const std::function<void()>& meanwhile = {}) {
    QProcess program;
    if (fileSizeLimit >= 0)
      program.setChildProcessModifier([fileSizeLimit] {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the program
        const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home_.path());
    environment.insert("XDG_CONFIG_HOME", home_.path() + "/.config");
    environment.insert("XDG_DATA_HOME", home_.path() + "/.local/share");
    environment.insert("XDG_RUNTIME_DIR", runtime_.path());
    environment.insert("USER", "tester");
    environment.insert("KELVARA_AUTOANSWER", answer);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QString::fromStdString(testenv::programDir()) + "/kelvara", arguments);
    if (meanwhile) meanwhile();
    ProgramOutcome result;
    result.finished = program.waitForFinished(60000);
    if (!result.finished) program.kill();
    result.exitCode = program.exitCode();
    result.crashed = program.exitStatus() == QProcess::CrashExit;
    result.said = QString::fromUtf8(program.readAllStandardError()).split('\n');
    return result;
  }
  QString dataFile(const QString& name) const { return home_.path() + "/Documents/Kelvara/" + name; }

  QTemporaryDir home_, runtime_;
  // The test's own view of the registry and locks is the program's.
  testenv::ScopedEnv config_{"XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8().constData()};
  testenv::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", runtime_.path().toUtf8().constData()};
};

// The write end of a named pipe, opened once the program has opened it to read (-1 when it never
// does): the program waits there for what the test does meanwhile, however late a busy machine
// lets it get there.
int writeEndOnceRead(const QString& pipe) {
  const QByteArray path = pipe.toUtf8();
  const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
  int opened = -1;
  while ((opened = ::open(path.constData(), O_WRONLY | O_NONBLOCK)) < 0 && std::chrono::steady_clock::now() < end)
    ::usleep(10000);
  return opened;
}

// The lines that start so, in their order.
QStringList linesStarting(const QStringList& said, const QStringList& starts) {
  QStringList found;
  for (const QString& line : said)
    for (const QString& start : starts)
      if (line.startsWith(start)) found << line;
  return found;
}

}  // namespace

TEST_F(ProgramRun, AFirstAutorunRegistersTheUserStudiesRecordsAndBacksUp) {
  const ProgramOutcome first = run({"/autorun=3", "/card", "/s", kSetPath});
  ASSERT_TRUE(first.finished);
  EXPECT_EQ(first.exitCode, 0);
  const QStringList steps = linesStarting(first.said, {"msgbox:", "dialog:"});
  ASSERT_EQ(steps.size(), 8) << steps.join('\n').toStdString();
  EXPECT_TRUE(steps[0].startsWith(kWelcome));
  EXPECT_EQ(steps[1], QString::fromWCharArray(L"dialog: 利用者の設定: ok"));
  EXPECT_EQ(steps[2], QString::fromWCharArray(L"dialog: 問題集の選択: ok"));  // the chooser keeps its choice
  for (int i = 3; i < 6; ++i) EXPECT_EQ(steps[i], "dialog: " + kSetPath + " - Kelvara: correct");
  // The first run put the whole set on the smart-learning list, so the result adds nothing to it.
  EXPECT_EQ(steps[6], QString::fromWCharArray(L"dialog: 学習結果: ok"));
  EXPECT_EQ(steps[7], QString::fromWCharArray(L"dialog: KLV 7.1.5 【tester】: ok"));
  EXPECT_TRUE(linesStarting(first.said, {"filedlg:"}).isEmpty());

  sqliteplus::SqliteConnection db;
  ASSERT_TRUE(pdb3::openDatabaseFile(db, dataFile("database.klvdb7").toStdWString()));
  const pdb3::DbObject accessor = pdb3::openQuery(db);
  const auto value = [&](const wchar_t* sql) { return pdb3::querySqlfIntOrMinus1(accessor, L"%ls", sql); };
  const int uid = value(L"SELECT uid FROM user_info WHERE name='tester'");
  ASSERT_GE(uid, 0);
  EXPECT_EQ(value(L"SELECT count(*) FROM daily_log JOIN log_id ON daily_log.lid=log_id.lid WHERE log_id.mid=5"), 1);
  EXPECT_EQ(value(L"SELECT count(*) FROM daily_question_log WHERE nc1=1"), 3);
  EXPECT_EQ(value(L"SELECT count(*) FROM daily_question_log"), 3);
  EXPECT_EQ(value(L"SELECT count(*) FROM looped_questions"), 3);
  EXPECT_EQ(value(L"SELECT count(*) FROM question_log WHERE mid=5"), 3);
  EXPECT_EQ(value(L"SELECT count(*) FROM memory_rate"), 3);
  const int binder = pdb3::FindProblemSetByPath(accessor, L"SmartLearning/1");
  const int set = pdb3::FindProblemSetByPath(accessor, kSetPath.toStdWString());
  EXPECT_EQ(pdb3::querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM section WHERE sid=%d", binder),
            pdb3::querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM section WHERE sid=%d", set));
  db.close();

  PointInfoStore ranking;
  ASSERT_TRUE(ranking.load(dataFile("irank.dat").toStdWString()));
  ASSERT_GE(ranking.findIndex(L"tester"), 0);
  EXPECT_EQ(ranking.findByUser(L"tester").pendingTotal.nc, 3);
  for (const char* copy : {"database.klvdb7.bak.klvdb7", "database.klvdb7.w1bak.klvdb7"})
    EXPECT_TRUE(QFileInfo::exists(dataFile(copy))) << copy;
  {
    AppSettings stored(L"KLV7");
    stored.loadOrSaveGroup(false);
    EXPECT_EQ(stored.userName.value, L"tester");
    EXPECT_EQ(stored.studyMode, 5);
    EXPECT_EQ(QString::fromStdWString(stored.lastSection.value), kSetPath);
  }
  EXPECT_FALSE(QFileInfo::exists(runtime_.path() + "/kelvara/___note.html"));

  // Known now: no welcome. The locks refuse a start with their own word only.
  const ProgramOutcome second = run({"/autorun=3", "/card", "/s", kSetPath});
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_TRUE(linesStarting(second.said, {kWelcome}).isEmpty());
  {
    NamedMutex running;
    ASSERT_TRUE(running.Create(L"Kelvara"));
    const ProgramOutcome silent = run({});
    EXPECT_EQ(silent.exitCode, 0);
    EXPECT_TRUE(linesStarting(silent.said, {"msgbox:", "dialog:"}).isEmpty());
  }
  {
    NamedMutex editor;
    ASSERT_TRUE(editor.Create(L"KlvEditor"));
    const ProgramOutcome refused = run({});
    EXPECT_EQ(refused.exitCode, 0);
    EXPECT_EQ(linesStarting(refused.said, {"msgbox:", "dialog:"}),
              QStringList{QString::fromWCharArray(L"msgbox: KLV: KlvEditor を終了させてから KLV を起動してください。")});
  }
}

// A script or a desktop shortcut learns from the exit status alone whether the run did its work.
TEST_F(ProgramRun, EachFailureOfARunEndsWithItsOwnExitCode) {
  ASSERT_EQ(run({"/autorun=3", "/card", "/s", kSetPath}).exitCode, ExitNormal);
  const auto boxes = [](const ProgramOutcome& outcome) { return linesStarting(outcome.said, {"msgbox:"}); };

  const ProgramOutcome wrong = run({"x"});
  EXPECT_EQ(wrong.exitCode, ExitOptionsRefused);
  EXPECT_EQ(boxes(wrong), QStringList{QString::fromWCharArray(L"msgbox: Error!: 起動オプションが正しくありません。")});
  EXPECT_EQ(run({"/autorun=3", "/card"}).exitCode, ExitOptionsRefused) << "an autorun without a set";

  const ProgramOutcome missing = run({"/autorun=3", "/card", "/s", "no such set"});
  EXPECT_EQ(missing.exitCode, ExitSetNotFound);
  EXPECT_EQ(boxes(missing),
            QStringList{QString::fromWCharArray(L"msgbox: Kelvara: そのような問題集（またはフォルダ）は存在しません。")});

  EXPECT_EQ(run({"/autorun=3", "/card", "/s", kSetPath}, "cancel").exitCode, ExitNormal) << "the user's own cancel";

  const QString database = dataFile("database.klvdb7");
  {
    sqliteplus::SqliteConnection db;
    ASSERT_TRUE(pdb3::openDatabaseFile(db, database.toStdWString()));
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(db), L"CREATE TRIGGER refuse BEFORE INSERT ON daily_log "
                                                   L"BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  }
  const ProgramOutcome unsaved = run({"/autorun=3", "/card", "/s", kSetPath});
  EXPECT_EQ(unsaved.exitCode, ExitStudyNotSaved);
  EXPECT_TRUE(boxes(unsaved).contains(QString::fromWCharArray(L"msgbox: Error!: 学習履歴を保存できませんでした")))
      << boxes(unsaved).join('\n').toStdString();

  QFile::remove(database);
  QFile damaged(database);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("not a database");
  damaged.close();
  // The chooser answers with the same file: the user gives up.
  EXPECT_EQ(run({}).exitCode, ExitDatabaseNotOpened);
}

// The file taken as the study window opens, before the first question is read: the run ends with
// the status of data that could not be read.
TEST_F(ProgramRun, AnAutorunWhoseQuestionsAreHeldEndsWithTheStatusOfUnreadableData) {
  ASSERT_EQ(run({"/autorun=3", "/card", "/s", kSetPath}).exitCode, ExitNormal);  // the user is known now
  // The window's skin waits in OnInit until the test has taken the file.
  const QString go = home_.path() + "/go", skin = home_.path() + "/waiting.lua";
  QFile script(skin);
  ASSERT_TRUE(::mkfifo(go.toUtf8().constData(), 0600) == 0 && script.open(QIODevice::WriteOnly));
  script.write(("function OnInit() io.open('" + go + "'):read() end").toUtf8());
  script.close();
  {
    const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok");  // a file the load asks for fails, not waits
    AppSettings stored(L"KLV7");
    ASSERT_TRUE(stored.loadAll());
    stored.skin7Path.value = skin.toStdWString();
    stored.addToSmartlearninglistAfterLearning.value = true;
    ASSERT_TRUE(stored.saveAll());
  }
  std::optional<apptest::HeldDatabase> held;
  const ProgramOutcome outcome = run({"/autorun=3", "/card", "/s", kSetPath}, "ok", -1, [&] {
    const int waiting = writeEndOnceRead(go);
    held.emplace(dataFile("database.klvdb7").toStdWString());
    EXPECT_EQ(::write(waiting, "\n", 1), 1) << "the study window never opened";
    ::close(waiting);
  });
  EXPECT_EQ(outcome.exitCode, ExitDataUnusable);
  EXPECT_TRUE(outcome.said.contains(QString::fromWCharArray(L"msgbox: Kelvara: 問題を読み込めませんでした。学習を終了します。")));
  // Nothing was answered: the result window has nothing to add to the smart-learning list (though
  // the learner adds to it after each study) and says nothing about it.
  EXPECT_EQ(linesStarting(outcome.said, {"msgbox:"}).filter(QString::fromWCharArray(L"スマート学習")).join('\n').toStdString(), "");
}

// What a first start writes may be refused (a trigger here, a read-only file or a full disk
// alike): the start stops with its reason, or goes on without what it could not make; never an abort.
TEST_F(ProgramRun, AFirstStartOnADatabaseThatRefusesItsWritesStopsOrGoesOnButNeverAborts) {
  ASSERT_EQ(run({}, "cancel").exitCode, ExitNormal);  // the database is in place, no user yet
  sqliteplus::SqliteConnection db;
  ASSERT_TRUE(pdb3::openDatabaseFile(db, dataFile("database.klvdb7").toStdWString()));
  const pdb3::DbObject accessor = pdb3::openQuery(db);
  const auto count = [&](const wchar_t* sql) { return pdb3::querySqlfIntOrMinus1(accessor, L"%ls", sql); };
  const auto box = [](const wchar_t* text) { return "msgbox: Kelvara: " + QString::fromWCharArray(text); };
  const int studies = count(L"SELECT count(*) FROM daily_log");

  ASSERT_TRUE(pdb3::execSql(accessor, L"CREATE TRIGGER no BEFORE INSERT ON user_info BEGIN SELECT RAISE(ABORT, 'no'); END"));
  const ProgramOutcome noUser = run({"/autorun=3", "/card", "/s", kSetPath});
  EXPECT_TRUE(noUser.finished && !noUser.crashed);
  EXPECT_EQ(noUser.exitCode, ExitDataUnusable) << "the start did not do what it was asked";
  EXPECT_TRUE(noUser.said.contains(box(L"利用者をデータベースに登録できませんでした。")));
  EXPECT_EQ(count(L"SELECT count(*) FROM daily_log"), studies) << "nothing studied under nobody";

  // The smart-learning folder could be made, its set not: neither stays, and the study is saved.
  ASSERT_TRUE(pdb3::execSql(accessor, L"DROP TRIGGER no; CREATE TRIGGER no BEFORE INSERT ON element_info "
                                      L"WHEN NEW.type = 2 BEGIN SELECT RAISE(ABORT, 'no'); END"));
  const ProgramOutcome noSmartLearning = run({"/autorun=3", "/card", "/s", kSetPath});
  EXPECT_TRUE(noSmartLearning.finished && !noSmartLearning.crashed && noSmartLearning.exitCode == ExitNormal);
  EXPECT_TRUE(noSmartLearning.said.contains(box(kSmartLearningUnavailable)));
  EXPECT_EQ(linesStarting(noSmartLearning.said, {kWelcome}).size(), 1) << "the refused name was not kept";
  EXPECT_EQ(count(L"SELECT count(*) FROM daily_log"), studies + 1);
  EXPECT_EQ(count(L"SELECT count(*) FROM element_info WHERE name = 'SmartLearning'"), 0);
  EXPECT_EQ(count(L"SELECT count(*) FROM section WHERE sid < 0"), 0);
}

// Another program writes to the file all through a start whose user is new to it: the box offers to
// try again and, with nobody there, answers once by itself; then the run ends with the status of
// data it could not write.
TEST_F(ProgramRun, AStartWhoseUserAHeldFileCannotTakeTriesOnceMoreUnattended) {
  ASSERT_EQ(run({}, "cancel").exitCode, ExitNormal);  // the database is in place, no user yet
  const std::wstring database = dataFile("database.klvdb7").toStdWString();
  ProgramOutcome held;
  {
    const apptest::HeldDatabase writer(database, L"BEGIN IMMEDIATE");
    held = run({"/autorun=3", "/card", "/s", kSetPath});
  }
  ASSERT_TRUE(held.finished && !held.crashed);
  EXPECT_EQ(held.exitCode, ExitDataUnusable);
  const QString box = QString::fromWCharArray(L"msgbox: Kelvara: 利用者をデータベースに登録できませんでした。");
  EXPECT_EQ(held.said.count(box), 2) << held.said.join('\n').toStdString();
  EXPECT_EQ(held.said.value(held.said.indexOf(box) + 1), QString::fromStdWString(apptest::kBusyCause));
}

// A first start on a full disk stops with a status of its own and says why, wherever it stops.
TEST_F(ProgramRun, AFirstStartOnAFullDiskEndsWithAFailureThatNamesTheDisk) {
  const QString full = QString::fromWCharArray(L"ディスクの空き容量が足りません。");
  const QStringList arguments{"/autorun=5", "/card", "/s", kSetPath};
  // The settings themselves cannot be made.
  const ProgramOutcome noSettings = run(arguments, "ok", 0);
  ASSERT_TRUE(noSettings.finished && !noSettings.crashed);
  EXPECT_EQ(noSettings.exitCode, ExitDataUnusable);
  const int told = noSettings.said.indexOf(QString::fromWCharArray(L"msgbox: KLV: レジストリの読み込みに失敗しました。"));
  ASSERT_GE(told, 0) << noSettings.said.join('\n').toStdString();
  EXPECT_EQ(noSettings.said.value(told + 1), full);

  // The settings fit; the program's database, copied into place for a first run, does not.
  const ProgramOutcome noDatabase = run(arguments, "ok", 32 * 1024);
  ASSERT_TRUE(noDatabase.finished && !noDatabase.crashed);
  EXPECT_EQ(noDatabase.exitCode, ExitDatabaseNotOpened);
  const int said = noDatabase.said.indexOf(QString::fromWCharArray(L"msgbox: Error!: データベースファイルを作成できませんでした。"));
  ASSERT_GE(said, 0) << noDatabase.said.join('\n').toStdString();
  EXPECT_EQ(noDatabase.said.value(said + 1), full);
  EXPECT_FALSE(QFileInfo::exists(dataFile("database.klvdb7")));
}

// The learner (or another program) moves the database away once the program has opened it, before
// the study window opens its own connection: nothing is made in its place, the run ends with the
// status of data that could not be read and says the file is gone, and the last run's backup stays.
TEST_F(ProgramRun, ADatabaseMovedAwayUnderARunningAutorunIsNeverMadeAgainAndItsBackupIsKept) {
  ASSERT_EQ(run({"/autorun=3", "/card", "/s", kSetPath}).exitCode, ExitNormal);  // the user and a backup
  const QString database = dataFile("database.klvdb7"), backup = dataFile("database.klvdb7.bak.klvdb7");
  const QByteArray backedUp = apptest::readText(backup);
  ASSERT_GT(backedUp.size(), 0);
  // The start waits on the pronouncing dictionary's index until the test has moved the file.
  const QString index = home_.path() + "/index.kpdidx";
  ASSERT_EQ(::mkfifo(index.toUtf8().constData(), 0600), 0);
  {
    const testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok");
    AppSettings stored(L"KLV7");
    ASSERT_TRUE(stored.loadAll());
    stored.kpdIdxfilePath.value = index.toStdWString();
    ASSERT_TRUE(stored.saveAll());
  }
  const QString movedTo = home_.path() + QString::fromWCharArray(L"/移動先.klvdb7");
  const ProgramOutcome outcome = run({"/autorun=3", "/card", "/s", kSetPath}, "ok", -1, [&] {
    const int reading = writeEndOnceRead(index);
    EXPECT_TRUE(QFile::rename(database, movedTo));
    ::close(reading);  // an empty index: the start goes on without the dictionary
  });
  ASSERT_TRUE(outcome.finished && !outcome.crashed);
  EXPECT_EQ(outcome.exitCode, ExitDataUnusable);
  EXPECT_FALSE(QFileInfo::exists(database)) << "an empty database was made in its place";
  const QString gone = QString::fromStdWString(missingDatabaseText(database.toStdWString()));
  const QString said = outcome.said.join('\n');
  EXPECT_TRUE(said.contains(QString::fromWCharArray(L"msgbox: Kelvara: データベースファイルを開けませんでした...\n") + gone))
      << said.toStdString();
  EXPECT_EQ(apptest::readText(backup), backedUp);
  EXPECT_TRUE(sqliteplus::isWholeDatabase(movedTo.toStdWString())) << "the moved file is the learner's, untouched";
}

// The database moved away between two runs (or on a disk not mounted yet): the next start makes
// nothing at its path, says where it is missing, and asks for it; the backups keep their bytes.
TEST_F(ProgramRun, ADatabaseMissingAtALaterStartIsAskedForAndNeverMadeAgain) {
  ASSERT_EQ(run({"/autorun=3", "/card", "/s", kSetPath}).exitCode, ExitNormal);  // the user and the backups
  const QString database = dataFile("database.klvdb7");
  const QStringList copies{dataFile("database.klvdb7.bak.klvdb7"), dataFile("database.klvdb7.w1bak.klvdb7")};
  QList<QByteArray> backedUp;
  for (const QString& copy : copies) backedUp << apptest::readText(copy);
  ASSERT_TRUE(QFile::rename(database, home_.path() + "/moved.klvdb7"));

  const ProgramOutcome outcome = run({"/autorun=3", "/card", "/s", kSetPath});
  ASSERT_TRUE(outcome.finished && !outcome.crashed);
  EXPECT_EQ(outcome.exitCode, ExitDatabaseNotOpened) << "the chooser, answered with the missing file, gave up";
  EXPECT_FALSE(QFileInfo::exists(database)) << "a database was made in its place";
  const QString said = outcome.said.join('\n');
  EXPECT_TRUE(said.contains(QString::fromWCharArray(L"msgbox: Error!: データベースファイルが読み込めませんでした。\n") +
                            QString::fromStdWString(missingDatabaseText(database.toStdWString()))))
      << said.toStdString();
  for (int i = 0; i < copies.size(); ++i)
    EXPECT_EQ(apptest::readText(copies[i]), backedUp[i]) << copies[i].toStdString();
}
