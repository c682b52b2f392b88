#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/shell/database_backups.h"
#include "app/shell/klv_app.h"
#include "app_test_support.h"
#include "database_fixture.h"
#include "faulty_vfs.h"
#include "folder_syncs.h"
#include "held_database.h"
#include "database/database_file.h"
#include "database/engine/check_passes.h"
#include "database/engine/text_conversion.h"
#include "database_fixture.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "database/logs/users.h"
#include "platform/windows/file_dialog.h"
#include "platform/files/folders.h"
#include "scoped_env.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/named_mutex.h"
#include "services/point_info_store.h"
#include "test_env.h"
#include "uictl/frames/frames_library.h"

namespace {

// Records each box, and whether the splash window, which stays above all others, still covered it.
struct SplashWatchingBoxes : testenv::BoxRecorder {
  int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) override {
    const QWidgetList windows = QApplication::topLevelWidgets();
    underSplash.push_back(std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
      return window->objectName() == "id215" && window->isVisible();
    }));
    if (whileShown) whileShown(text);
    return BoxRecorder::messageBox(owner, text, caption, flags);
  }
  std::vector<bool> underSplash;
  // What the learner does while the box is up.
  std::function<void(const std::wstring& text)> whileShown;
};

constexpr wchar_t kWelcomeStart[] = L"Kelvara をご利用いただきありがとうございます。";

// A new user's machine: an empty home and configuration, the login name "tester", nobody at the
// screen. Each run is a whole start-up of the program on the build's program folder.
class Startup : public ::testing::Test {
 protected:
  QString homePath(const char* name) const { return home_.path() + "/" + name; }
  QString dataFile(const char* name) const { return homePath("Documents/Kelvara/") + name; }

  void run(std::vector<std::wstring> arguments = {L"kelvara"}) {
    KlvApp app;
    app.InitInstance(arguments);
    app.ExitInstance();
  }
  // The settings as the next run reads them.
  std::unique_ptr<AppSettings> stored() {
    auto settings = std::make_unique<AppSettings>(L"KLV7");
    settings->loadAll();
    return settings;
  }
  std::vector<std::wstring> boxesAfter(size_t first) const {
    return {boxes.texts.begin() + static_cast<long>(first), boxes.texts.end()};
  }

  const UxFramesLibrary controlLibrary_;
  QTemporaryDir home_;
  testenv::ScopedEnv homeEnv_{"HOME", home_.path().toUtf8().constData()};
  testenv::ScopedEnv config_{"XDG_CONFIG_HOME", (home_.path() + "/.config").toUtf8().constData()};
  testenv::ScopedEnv login_{"USER", "tester"};
  testenv::ScopedEnv unattended_{"KELVARA_AUTOANSWER", "ok"};
  platform::ProgramFolderOverride beside_{QString::fromStdString(testenv::programDir()).toStdWString()};
  SplashWatchingBoxes boxes;
};

}  // namespace

TEST_F(Startup, FirstRunRegistersTheUserOnACopyOfTheProgramsDatabaseAndBacksItUp) {
  // Cancelling the user dialog ends the run before anything is recorded, and asks again next time.
  {
    testenv::ScopedEnv cancel("KELVARA_AUTOANSWER", "cancel");
    run();
  }
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(boxes.texts[0].starts_with(kWelcomeStart));
  EXPECT_EQ(boxes.captions[0], L"Kelvara");
  EXPECT_TRUE(stored()->userName.value.empty());
  EXPECT_FALSE(QFileInfo::exists(dataFile("database.klvdb7.bak.klvdb7")));

  run();
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_TRUE(boxes.texts[1].starts_with(kWelcomeStart));
  const auto settings = stored();
  EXPECT_EQ(settings->userName.value, L"tester");
  EXPECT_EQ(settings->databasePath.value, dataFile("database.klvdb7").toStdWString());
  // The program's own database stays as it was for the next user.
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(testenv::programDir()) + "/database.klvdb7"));
  // The copies are the database's bytes, and nothing else is left beside them.
  for (const char* copy : {"database.klvdb7.bak.klvdb7", "database.klvdb7.w1bak.klvdb7"})
    EXPECT_EQ(apptest::readText(dataFile(copy)), apptest::readText(dataFile("database.klvdb7"))) << copy;
  EXPECT_FALSE(QFileInfo::exists(dataFile("database.klvdb7.w2bak.klvdb7")));
  for (const QString& file : QDir(dataFile("")).entryList(QDir::Files))
    EXPECT_FALSE(file.contains(".tmp") || file.endsWith("-journal") || file.endsWith("-wal")) << file.toStdString();
  sqliteplus::SqliteConnection db;
  ASSERT_TRUE(pdb3::openDatabaseFile(db, settings->databasePath.value));
  const pdb3::DbObject accessor = pdb3::openQuery(db);
  EXPECT_GE(pdb3::userIdByName(accessor, L"tester"), 0);
  EXPECT_GE(pdb3::FindProblemSetByPath(accessor, L"SmartLearning/1"), 0);

  // Known from now on: no welcome, no dialog.
  run();
  EXPECT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.underSplash, std::vector<bool>(2, false));
}

TEST_F(Startup, RefusalsEndTheRunWithTheirOwnMessageOnly) {
  run();  // the first user
  const size_t before = boxes.texts.size();
  {
    NamedMutex running;
    ASSERT_TRUE(running.Create(L"Kelvara"));
    run();
    EXPECT_EQ(boxesAfter(before), std::vector<std::wstring>{});
  }
  {
    NamedMutex editor;
    ASSERT_TRUE(editor.Create(L"KlvEditor"));
    run();
    EXPECT_EQ(boxesAfter(before), std::vector<std::wstring>{L"KlvEditor を終了させてから KLV を起動してください。"});
    EXPECT_EQ(boxes.captions.back(), L"KLV");
  }
  run({L"kelvara", L"x"});
  EXPECT_EQ(boxes.texts.back(), L"起動オプションが正しくありません。");
  run({L"kelvara", L"/autorun", L"/card"});
  EXPECT_EQ(boxes.texts.back(), L"Autorun オプションがあるのに、セクションの指定がありません");
  EXPECT_EQ(boxes.captions.back(), L"Error");
  EXPECT_EQ(boxes.texts.size(), before + 3);
}

namespace {

struct ChosenDatabase : platform::FileDialogs {
  std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest&) override { return answer; }
  std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
    return std::nullopt;
  }
  std::optional<std::wstring> answer;
};

}  // namespace

TEST_F(Startup, ADatabaseThatDoesNotOpenIsAskedForUntilOneDoes) {
  run();
  const QString broken = homePath("broken.klvdb7");
  apptest::writeText(broken, "not a database");
  {
    auto settings = stored();
    settings->databasePath.value = broken.toStdWString();
    settings->saveAll();
  }
  const size_t before = boxes.texts.size();
  ChosenDatabase dialogs;
  platform::FileDialogOverride use(dialogs);
  run();  // cancelled: the run ends, nothing is backed up
  EXPECT_EQ(boxesAfter(before), std::vector<std::wstring>{
                                    L"データベースファイルが読み込めませんでした。\n" +
                                    std::wstring(databaseFailureCause(sqliteplus::EngineFailure::notADatabase)) +
                                    L"\n次のダイアログでデータベースファイルを指定してください。"});
  EXPECT_FALSE(QFileInfo::exists(broken + ".bak.klvdb7"));

  dialogs.answer = dataFile("database.klvdb7").toStdWString();
  run();
  EXPECT_EQ(stored()->databasePath.value, *dialogs.answer);
  EXPECT_EQ(apptest::readText(broken), "not a database");
  EXPECT_EQ(boxes.underSplash, std::vector<bool>(boxes.texts.size(), false));
}

namespace {

// Puts at the start of the root page of `table` a byte that is no kind of page, as a disk fault would.
void damageRootPage(const QString& database, const char* table) {
  int page = 0, pageSize = 0;
  {
    sqliteplus::SqliteConnection db;
    db.open(database.toStdWString().c_str());
    const pdb3::DbObject accessor = pdb3::openQuery(db);
    const std::wstring root = L"SELECT rootpage FROM sqlite_master WHERE name='" + sqliteplus::Utf8ToWString(table) + L"'";
    page = pdb3::querySqlfIntOrMinus1(accessor, root.c_str());
    pageSize = pdb3::querySqlfIntOrMinus1(accessor, L"PRAGMA page_size");
  }
  ASSERT_GT(page, 1);
  QByteArray bytes = apptest::readText(database);
  bytes[static_cast<qsizetype>(page - 1) * pageSize] = 7;
  apptest::writeText(database, bytes);
}

}  // namespace

// The learner has to find the file to mend it: a database that may not be read, or that the engine
// finds damaged, is named in the box, as a missing one is; a damaged one is said so, with where
// the backups are.
TEST_F(Startup, AFileThatMayNotBeReadOrIsDamagedIsNamedInTheBox) {
  run();
  const QString database = dataFile("database.klvdb7");
  const QByteArray sound = apptest::readText(database);
  ChosenDatabase dialogs;  // the learner cancels the choice of another
  platform::FileDialogOverride use(dialogs);
  const auto said = [&](sqliteplus::EngineFailure cause) {
    return std::vector<std::wstring>{L"データベースファイルが読み込めませんでした。\n" +
                                     std::wstring(databaseFailureCause(cause)) + L"\n" + database.toStdWString() +
                                     L"\n次のダイアログでデータベースファイルを指定してください。"};
  };
  ASSERT_EQ(::chmod(database.toUtf8().constData(), 0), 0);
  size_t before = boxes.texts.size();
  {
    const testenv::PermissionsApply asAnyUser;
    run();
  }
  EXPECT_EQ(boxesAfter(before), said(sqliteplus::EngineFailure::unreadable));
  ASSERT_EQ(::chmod(database.toUtf8().constData(), 0644), 0);

  // A schema the engine refuses only as a plain error is damage too: a schema format number it does
  // not read, and a name in the schema's text damaged where the text still parses.
  QByteArray format = sound;
  format[47] = 9;  // the last byte of the big-endian number at 44
  apptest::writeText(database, format);
  before = boxes.texts.size();
  run();
  EXPECT_EQ(boxesAfter(before), said(sqliteplus::EngineFailure::damaged)) << "an unsupported schema format";
  apptest::writeText(database, sound);
  {
    sqliteplus::SqliteConnection db;
    db.open(database.toStdWString().c_str());
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(db),
                              L"PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql=replace(sql, 'subversion', "
                              L"'subversiom') WHERE name='version'"));
  }
  before = boxes.texts.size();
  run();
  EXPECT_EQ(boxesAfter(before), said(sqliteplus::EngineFailure::damaged)) << "a name damaged in the schema's text";
  apptest::writeText(database, sound);

  damageRootPage(database, "version");
  before = boxes.texts.size();
  run();
  EXPECT_EQ(boxesAfter(before), said(sqliteplus::EngineFailure::damaged));
  const std::wstring damaged = databaseFailureCause(sqliteplus::EngineFailure::damaged);
  EXPECT_NE(damaged.find(L"壊れています"), std::wstring::npos);
  EXPECT_NE(damaged.find(L".bak.klvdb7"), std::wstring::npos);
  EXPECT_EQ(apptest::readText(database + ".bak.klvdb7"), sound) << "the backup is still the sound file";
}

// What the open finds wrong with the file itself is said once the splash has gone, in the one box
// that asks for another file, with why: an older file that cannot be written to bring it up to this
// version, or a file of another version.
TEST_F(Startup, AFileTheOpenRefusesIsSaidInOneBoxAfterTheSplash) {
  run();
  const QString database = dataFile("database.klvdb7");
  const auto change = [&](const wchar_t* sql) {  // as another program would, not as an open of the program
    sqliteplus::SqliteConnection db;
    db.open(database.toStdWString().c_str());
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(db), sql));
  };
  const auto said = [&](const std::wstring& why) {
    return std::vector<std::wstring>{L"データベースファイルが読み込めませんでした。\n" + why +
                                     L"\n次のダイアログでデータベースファイルを指定してください。"};
  };
  ChosenDatabase dialogs;  // the learner cancels the choice of another
  platform::FileDialogOverride use(dialogs);
  change(L"DROP TABLE memory_rate; UPDATE version SET subversion=1");
  ASSERT_EQ(::chmod(database.toUtf8().constData(), 0444), 0);
  size_t before = boxes.texts.size();
  {
    const testenv::PermissionsApply asAnyUser;
    run();
  }
  EXPECT_EQ(boxesAfter(before), said(L"データベースファイルに書き込めないため、このバージョンのデータベースに更新できません。"
                                     L"ファイルが読み取り専用になっていないか確認してください。"));
  ASSERT_EQ(::chmod(database.toUtf8().constData(), 0644), 0);
  change(L"UPDATE version SET version=6");
  before = boxes.texts.size();
  run();
  EXPECT_EQ(boxesAfter(before), said(L"データベースのバージョンが異なります。"));
  EXPECT_EQ(boxes.underSplash, std::vector<bool>(boxes.texts.size(), false));
}

// On a first run a data folder that may not be searched hides whether a database is there: nothing
// is copied into it, and the box names the permissions rather than a file that could not be made.
TEST_F(Startup, AFirstRunWhoseDataFolderMayNotBeSearchedNamesThePermissions) {
  const QString folder = homePath("Documents/Kelvara");
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_EQ(::chmod(folder.toUtf8().constData(), 0), 0);
  ChosenDatabase dialogs;
  platform::FileDialogOverride use(dialogs);
  {
    const testenv::PermissionsApply asAnyUser;
    run();
  }
  ::chmod(folder.toUtf8().constData(), 0700);
  EXPECT_EQ(boxes.texts, std::vector<std::wstring>{
                             L"データベースファイルが読み込めませんでした。\n" +
                             std::wstring(databaseFailureCause(sqliteplus::EngineFailure::unreadable)) + L"\n" +
                             dataFile("database.klvdb7").toStdWString() +
                             L"\n次のダイアログでデータベースファイルを指定してください。"});
  EXPECT_FALSE(QFileInfo::exists(dataFile("database.klvdb7")));
}

// Nor can one whose Documents folder may not be searched tell whether the data folder is in it:
// making it could only fail, and the permissions are said once, by the open, with no box about a
// folder that could not be made.
TEST_F(Startup, AFirstRunWhoseDocumentsMayNotBeSearchedSaysThePermissionsOnce) {
  const QString documents = homePath("Documents");
  ASSERT_TRUE(QDir().mkpath(documents));
  ASSERT_EQ(::chmod(documents.toUtf8().constData(), 0600), 0);
  ChosenDatabase dialogs;
  platform::FileDialogOverride use(dialogs);
  {
    const testenv::PermissionsApply asAnyUser;
    run();
  }
  ::chmod(documents.toUtf8().constData(), 0700);
  EXPECT_EQ(boxes.texts, std::vector<std::wstring>{
                             L"データベースファイルが読み込めませんでした。\n" +
                             std::wstring(databaseFailureCause(sqliteplus::EngineFailure::unreadable)) + L"\n" +
                             dataFile("database.klvdb7").toStdWString() +
                             L"\n次のダイアログでデータベースファイルを指定してください。"});
  EXPECT_EQ(stored()->dataFolderPath.value, dataFile("").chopped(1).toStdWString());
}

// On a later start a data folder that is missing (its disk not mounted yet) or whose way may not be
// searched is made nothing in: no folder, no copy of the program's files. The open of the database
// says why, once, and the chooser asks for another.
TEST_F(Startup, ALaterStartMakesNothingInAMissingDataFolderAndSaysWhyOnce) {
  run();
  const QString documents = homePath("Documents"), away = homePath("Documents.unmounted");
  const std::wstring database = dataFile("database.klvdb7").toStdWString();
  ChosenDatabase dialogs;  // the learner cancels the choice of another
  platform::FileDialogOverride use(dialogs);
  const auto said = [](const std::wstring& why) {
    return std::vector<std::wstring>{L"データベースファイルが読み込めませんでした。\n" + why +
                                     L"\n次のダイアログでデータベースファイルを指定してください。"};
  };
  ASSERT_TRUE(QDir().rename(documents, away));
  size_t before = boxes.texts.size();
  run();
  EXPECT_EQ(boxesAfter(before), said(missingDatabaseText(database)));
  EXPECT_FALSE(QFileInfo::exists(documents));

  ASSERT_TRUE(QDir().rename(away, documents));
  ASSERT_TRUE(QFile::remove(dataFile("irank.dat")));
  ASSERT_EQ(::chmod(documents.toUtf8().constData(), 0), 0);
  before = boxes.texts.size();
  {
    const testenv::PermissionsApply asAnyUser;
    run();
  }
  ::chmod(documents.toUtf8().constData(), 0700);
  EXPECT_EQ(boxesAfter(before), said(databaseFailureCause(sqliteplus::EngineFailure::unreadable) + (L"\n" + database)));
  EXPECT_FALSE(QFileInfo::exists(dataFile("irank.dat")));
  EXPECT_EQ(stored()->dataFolderPath.value, dataFile("").chopped(1).toStdWString());
}

// A ranking file that could not be read is said once the splash has gone, as what the database
// lacks is: the splash stays above every other window.
TEST_F(Startup, TheRankingFilesNoticeWaitsForTheSplashToGo) {
  run();
  apptest::writeText(dataFile("irank.dat"), "not a ranking file");
  const size_t before = boxes.texts.size();
  run();
  const std::vector<std::wstring> said = boxesAfter(before);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].starts_with(L"ランキングデータ ")) << QString::fromStdWString(said[0]).toStdString();
  EXPECT_EQ(boxes.underSplash, std::vector<bool>(boxes.texts.size(), false));
}

// A study's points the ranking file could not take (its folder's disk not mounted) are said once;
// the learner who mounts it meanwhile finds them in the file at the next start: the exit writes them.
TEST_F(Startup, RankingPointsTheFileCouldNotTakeAreWrittenAtTheExit) {
  run();
  const QString folder = homePath("ランキング");
  {
    const auto settings = stored();
    settings->irankDatafilePath.value = (folder + "/irank.dat").toStdWString();
    ASSERT_TRUE(settings->saveAll());
  }
  int told = 0;
  boxes.whileShown = [&](const std::wstring& text) {
    if (!text.starts_with(L"ランキングデータを保存できませんでした")) return;
    ++told;
    QDir().mkpath(folder);
  };
  run({L"kelvara", L"/autorun=3", L"/card", L"/s", L"中学生向け問題/中学校 学校・教室などの単語"});
  EXPECT_EQ(told, 1);
  PointInfoStore ranking;
  ASSERT_TRUE(ranking.load((folder + "/irank.dat").toStdWString()));
  ASSERT_GE(ranking.findIndex(L"tester"), 0);
  EXPECT_EQ(ranking.findByUser(L"tester").pendingTotal.nc, 3);
}

// Another program made an index of the name the upgrade needs for its table: no later start could
// make the upgrade, so the file opens without it, and smart learning says why it cannot be used:
// once, on a start that has no set chosen yet too, and after the splash has gone.
TEST_F(Startup, ADatabaseWhoseUpgradeCanNeverBeMadeOpensWithoutSmartLearning) {
  run();
  {
    sqliteplus::SqliteConnection db;
    ASSERT_TRUE(pdb3::openDatabaseFile(db, stored()->databasePath.value));
    ASSERT_TRUE(pdb3::execSql(pdb3::openQuery(db), L"DROP TABLE memory_rate; UPDATE version SET subversion=1;"
                                                   L"CREATE INDEX memory_rate ON question (qid)"));
    auto settings = stored();
    settings->lastSection.value.clear();
    settings->saveAll();
  }
  const size_t before = boxes.texts.size();
  KlvApp app;
  app.InitInstance({L"kelvara"});
  EXPECT_EQ(app.smartLearningSetId, -1);
  app.ExitInstance();
  EXPECT_EQ(boxesAfter(before), std::vector<std::wstring>{missingMemoryRatesText(pdb3::MemoryRateTable::nameTaken)});
  EXPECT_EQ(boxes.underSplash, std::vector<bool>(boxes.texts.size(), false));
}

namespace {

void setAge(const QString& path, int days) {
  const time_t when = QDateTime::currentDateTime().addDays(-days).toSecsSinceEpoch();
  const utimbuf times{when, when};
  ASSERT_EQ(utime(path.toUtf8().constData(), &times), 0);
}

// The bytes of a small database of the program's tables (on small pages) and a table t holding
// `value`, after `writes` transactions. Databases made with values of one length and as many
// writes have the same header and differ past it only.
QByteArray databaseHolding(const QByteArray& value, int writes = 1) {
  QTemporaryDir dir;
  const QString path = dir.filePath("made.klvdb7");
  apptest::writeText(path, "");
  {
    sqliteplus::SqliteConnection made;
    made.open(path.toStdWString().c_str());
    made.createQuery()->execute(L"PRAGMA page_size=512");
    made.createQuery()->execute(sqliteplus::Utf8ToWString(testdb::resourceText("schema.sql")).c_str());
    made.createQuery()->execute(
        (L"CREATE TABLE t (v BLOB); INSERT INTO t VALUES (X'" + QString(value.toHex()).toStdWString() + L"')").c_str());
    for (int write = 1; write < writes; ++write) made.createQuery()->execute(L"UPDATE t SET v = v");
  }
  return apptest::readText(path);
}

// `database` after `sql` was run on it through a connection of its own.
QByteArray changed(const QByteArray& database, const char* sql) {
  QTemporaryDir dir;
  const QString path = dir.filePath("changed.klvdb7");
  apptest::writeText(path, database);
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
  return apptest::readText(path);
}

// `database` after `sql` changed question_log while its look-up index took no rows: the index no
// longer holds what the table does, and the engine's pages are all sound.
QByteArray changedPastItsIndex(const QByteArray& database, const char* sql) {
  constexpr char kIndex[] = "CREATE INDEX question_log_qid_uid ON question_log (qid, uid, LastStudyTime)";
  const std::string hidden = std::string("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql='") + kIndex +
                             " WHERE 0' WHERE name='question_log_qid_uid'";
  const std::string shown = std::string("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql='") + kIndex +
                            "' WHERE name='question_log_qid_uid'";
  return changed(changed(changed(database, hidden.c_str()), sql), shown.c_str());
}

// The page size of `database` and the root page of its table or index `name`.
std::pair<int, int> pageSizeAndRootOf(const QByteArray& database, const char* name) {
  QTemporaryDir dir;
  const QString path = dir.filePath("read.klvdb7");
  apptest::writeText(path, database);
  sqliteplus::SqliteConnection read;
  read.open(path.toStdWString().c_str());
  const auto query = pdb3::openQuery(read);
  return {pdb3::querySqlfIntOrMinus1(query, L"PRAGMA page_size"),
          pdb3::querySqlfIntOrMinus1(query, (L"SELECT rootpage FROM sqlite_master WHERE name='" +
                                             sqliteplus::Utf8ToWString(name) + L"'").c_str())};
}

// `database` with question_log's one leaf under three levels of interior pages, each of which
// points at the level below from every cell: a reading of the table meets the leaf (pages /
// 7)^3 times, while every page is well formed.
QByteArray withQuestionLogOnASharedLeaf(const QByteArray& database) {
  const auto [pageSize, leaf] = pageSizeAndRootOf(database, "question_log");
  const int firstAdded = static_cast<int>(database.size() / pageSize) + 1, levels = 3;
  QByteArray grown = changed(database, ("PRAGMA writable_schema=ON; UPDATE sqlite_master SET rootpage=" +
                                        std::to_string(firstAdded) + " WHERE name='question_log'")
                                           .c_str());
  const auto putNumber = [](QByteArray& bytes, qsizetype at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
  };
  for (int level = 0; level < levels; ++level) {
    const uint32_t child = level + 1 < levels ? static_cast<uint32_t>(firstAdded + level + 1) : static_cast<uint32_t>(leaf);
    QByteArray page(pageSize, '\0');
    const int cells = (pageSize - 12) / 7;  // a pointer, the child's number and a key of one byte
    page[0] = 0x05;                         // an interior page of a table
    putNumber(page, 3, static_cast<uint32_t>(cells), 2);
    putNumber(page, 5, static_cast<uint32_t>(pageSize - 5 * cells), 2);
    putNumber(page, 8, child, 4);
    for (int cell = 0; cell < cells; ++cell) {
      const int at = pageSize - 5 * (cell + 1);
      putNumber(page, 12 + 2 * cell, static_cast<uint32_t>(at), 2);
      putNumber(page, at, child, 4);
      page[at + 4] = 0;  // every key 0: the engine's quick check refuses the shared pages before their keys
    }
    grown += page;
  }
  putNumber(grown, 28, static_cast<uint32_t>(grown.size() / pageSize), 4);  // the header's page count
  return grown;
}

// `database` with the first and the last entry of question_log_qid_uid's one leaf swapped: the
// index holds every row, on sound pages, but a look-up through it misses some.
QByteArray withIndexEntriesSwapped(const QByteArray& database) {
  const auto [pageSize, leaf] = pageSizeAndRootOf(database, "question_log_qid_uid");
  QByteArray swapped = database;
  const qsizetype page = static_cast<qsizetype>(leaf - 1) * pageSize;
  EXPECT_EQ(swapped[page], 0x0a) << "an index's leaf";
  const int cells = static_cast<unsigned char>(swapped[page + 3]) << 8 | static_cast<unsigned char>(swapped[page + 4]);
  EXPECT_GT(cells, 2);
  const qsizetype first = page + 8, last = page + 8 + 2 * (cells - 1);
  const QByteArray firstPointer = swapped.mid(first, 2);
  swapped.replace(first, 2, swapped.mid(last, 2));
  swapped.replace(last, 2, firstPointer);
  return swapped;
}

// `database` whose unique index on t holds its value twice, as the table does: written while the
// index was said to be a plain one.
QByteArray withAUniqueKeyTwice(const QByteArray& database) {
  const QByteArray twice = changed(database, "CREATE INDEX t_v ON t (v); INSERT INTO t SELECT v FROM t");
  return changed(twice, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql='CREATE UNIQUE INDEX t_v ON t (v)' "
                        "WHERE name='t_v'");
}

// A collation the program's engine does not have: an index made with it by another program.
int byLength(void*, int leftSize, const void*, int rightSize, const void*) { return leftSize - rightSize; }

QByteArray withIndexInCollationOfItsOwn(const QByteArray& database) {
  QTemporaryDir dir;
  const QString path = dir.filePath("collated.klvdb7");
  apptest::writeText(path, database);
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  sqlite3_create_collation(db, "by_length", SQLITE_UTF8, nullptr, byLength);
  EXPECT_EQ(sqlite3_exec(db, "CREATE INDEX t_by_length ON t (v COLLATE by_length)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  return apptest::readText(path);
}

// The bytes of a database of `rows` rows of 40 bytes on pages of `pageSize` bytes.
QByteArray databaseOnPages(int pageSize, int rows) {
  QTemporaryDir dir;
  const QString path = dir.filePath("made.klvdb7");
  apptest::writeText(path, "");
  {
    sqliteplus::SqliteConnection made;
    made.open(path.toStdWString().c_str());
    made.createQuery()->execute((L"PRAGMA page_size=" + std::to_wstring(pageSize) + L"; CREATE TABLE t (v BLOB)").c_str());
    for (int row = 0; row < rows; ++row) made.createQuery()->execute(L"INSERT INTO t VALUES (zeroblob(40))");
  }
  return apptest::readText(path);
}

// The backups at the end of a run that had the database open.
void backUp(const QString& database) {
  sqliteplus::SqliteConnection db;
  db.open(database.toStdWString().c_str());
  MakeDatabaseBackups(db);
}

}  // namespace

TEST(DatabaseBackups, TheWeeklyCopyMovesOnOnlyOnceItIsAWeekOld) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7", w2 = database + ".w2bak.klvdb7";
  apptest::writeText(database, databaseHolding("today"));
  apptest::writeText(w1, databaseHolding("three days ago"));
  setAge(w1, 3);
  backUp(database);
  EXPECT_EQ(apptest::readText(bak), databaseHolding("today"));
  EXPECT_EQ(apptest::readText(w1), databaseHolding("three days ago"));
  EXPECT_FALSE(QFileInfo::exists(w2));

  setAge(w1, 8);
  apptest::writeText(database, databaseHolding("a week on"));
  backUp(database);
  EXPECT_EQ(apptest::readText(w2), databaseHolding("three days ago"));
  EXPECT_EQ(apptest::readText(w1), databaseHolding("a week on"));
  EXPECT_LT(QFileInfo(w1).lastModified().secsTo(QDateTime::currentDateTime()), 60);
  EXPECT_EQ(apptest::readText(database), databaseHolding("a week on"));

  // A w2 that cannot be written keeps w1 as it was.
  setAge(w1, 8);
  QFile::remove(w2);
  QDir().mkpath(w2);  // a folder where the copy should go
  apptest::writeText(database, databaseHolding("later"));
  testenv::BoxRecorder boxes;
  backUp(database);
  EXPECT_EQ(apptest::readText(w1), databaseHolding("a week on"));
  EXPECT_EQ(apptest::readText(bak), databaseHolding("later"));
  EXPECT_EQ(boxes.texts.size(), 1u);
}

// The box promises the earlier copies only where there are some.
TEST(DatabaseBackups, AFailedFirstBackupDoesNotClaimAnEarlierOne) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  apptest::writeText(database, databaseHolding("first run"));
  const QString kept = QString::fromWCharArray(L"前に作成したバックアップはそのまま残っています。");
  for (const bool earlier : {false, true}) {
    SCOPED_TRACE(earlier ? "with earlier copies" : "on a first run");
    if (earlier) {
      backUp(database);
      apptest::writeText(database, databaseHolding("changed since"));
    }
    testenv::BoxRecorder boxes;
    {
      testenv::FileSizeLimit full(0);  // no copy can be written
      backUp(database);
    }
    ASSERT_EQ(boxes.texts.size(), 1u);
    const QString text = QString::fromStdWString(boxes.texts.front());
    EXPECT_TRUE(text.contains(QString::fromWCharArray(L"データベースのバックアップを作成できませんでした。")));
    EXPECT_EQ(text.contains(kept), earlier) << text.toStdString();
  }
}

namespace {

// Returns once a file written now gets a later time than the file's last change: the file
// system's clock, which moves in coarse ticks, has left the tick the file was changed in.
void waitForLaterFileTime(const QString& path) {
  const QDateTime changed = std::max(QFileInfo(path).lastModified(), QFileInfo(path).metadataChangeTime());
  const QString probe = path + ".tick";
  do apptest::writeText(probe, "tick");
  while (QFileInfo(probe).lastModified() <= changed);
  QFile::remove(probe);
}

ino_t fileId(const QString& path) {
  struct stat info {};
  return ::stat(path.toUtf8().constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

TEST(DatabaseBackups, TheLatestCopyIsMadeAgainWheneverItCouldDiffer) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7"), bak = database + ".bak.klvdb7";
  // Versions that differ only past the header.
  const QByteArray first = databaseHolding("first"), later = databaseHolding("later"), other = databaseHolding("other");
  ASSERT_EQ(first.left(100), later.left(100));
  apptest::writeText(database, first);
  waitForLaterFileTime(database);
  backUp(database);
  const ino_t made = fileId(bak);
  backUp(database);
  EXPECT_EQ(fileId(bak), made) << "an unchanged database is not copied again";

  apptest::writeText(database, later);
  backUp(database);
  EXPECT_EQ(apptest::readText(bak), later);

  // An older file put back with its old times has still changed since the copy.
  waitForLaterFileTime(bak);
  apptest::writeText(database, first);
  setAge(database, 1);
  waitForLaterFileTime(database);
  backUp(database);
  EXPECT_EQ(apptest::readText(bak), first);

  const QByteArray writtenSince = databaseHolding("first", 2);  // the copy opened and written to since
  ASSERT_EQ(writtenSince.size(), first.size());
  apptest::writeText(bak, writtenSince);
  backUp(database);
  EXPECT_EQ(apptest::readText(bak), first);

  // A copy stamped with a time to come (the clock set back since) tells nothing of what came after.
  waitForLaterFileTime(bak);
  apptest::writeText(database, other);
  setAge(bak, -1);
  backUp(database);
  EXPECT_EQ(apptest::readText(bak), other);
}

TEST(DatabaseBackups, CopiesThatFailLeaveTheGoodBackupsAndAreToldOnce) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7", w2 = database + ".w2bak.klvdb7";
  const QByteArray lastRun = databaseHolding("last run"), lastWeek = databaseHolding("last week");
  apptest::writeText(database, databaseHolding(QByteArray(64 * 1024, 'd')));
  apptest::writeText(bak, lastRun);
  apptest::writeText(w1, lastWeek);
  setAge(w1, 8);
  testenv::BoxRecorder boxes;
  {
    // Room for the small weekly copy to move on, none for a copy of the database: nothing moves on
    // for a new weekly copy that cannot be made.
    const testenv::FileSizeLimit full(40 * 1024);
    backUp(database);
  }
  EXPECT_EQ(apptest::readText(bak), lastRun);
  EXPECT_EQ(apptest::readText(w1), lastWeek);
  EXPECT_FALSE(QFileInfo::exists(w2));
  EXPECT_GT(QFileInfo(w1).lastModified().daysTo(QDateTime::currentDateTime()), 7) << "it is still last week's copy";
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.captions[0], L"Kelvara");
  EXPECT_NE(boxes.texts[0].find(L"バックアップを作成できませんでした"), std::wstring::npos);
  EXPECT_NE(boxes.texts[0].find(apptest::kFullCause), std::wstring::npos);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3) << "no half-written copy is left";

  backUp(database);
  EXPECT_EQ(apptest::readText(bak), apptest::readText(database));
  EXPECT_EQ(apptest::readText(w1), apptest::readText(database));
  EXPECT_EQ(apptest::readText(w2), lastWeek);
  EXPECT_EQ(boxes.texts.size(), 1u);
}

// Another program's lock is waited for as every action waits for one; a lock that lasts, and a disk
// the engine finds full, keep the copies as they were and are said with their cause.
TEST(DatabaseBackups, ALockIsWaitedForAndWhatKeepsTheCopiesFromBeingMadeIsSaidWithItsCause) {
  QTemporaryDir dir;
  testdb::FaultyVfs disk;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7", w2 = database + ".w2bak.klvdb7";
  const QByteArray lastRun = databaseHolding("last run");
  apptest::writeText(database, databaseHolding(QByteArray(64 * 1024, 'd')));
  apptest::writeText(bak, lastRun);
  apptest::writeText(w1, lastRun);
  setAge(w1, 8);
  sqliteplus::SqliteConnection db;
  db.open(database.toStdWString().c_str());
  testenv::BoxRecorder boxes;
  const auto toldOnce = [&](const std::wstring& cause) {
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(cause), std::wstring::npos) << QString::fromStdWString(boxes.texts[0]).toStdString();
    EXPECT_NE(boxes.texts[0].find(L"前に作成したバックアップはそのまま残っています。"), std::wstring::npos);
    boxes.texts.clear();
  };
  {
    apptest::HeldDatabase held(database.toStdWString());
    MakeDatabaseBackups(db);
    EXPECT_EQ(apptest::readText(bak), lastRun);
    EXPECT_EQ(apptest::readText(w1), lastRun);
    EXPECT_FALSE(QFileInfo::exists(w2));
    // Nothing can be run again at an exit: the box says when the copy is. It is said as every
    // failure is, so the same words are not said again in the action.
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0].find(L"もう一度実行してください"), std::wstring::npos);
    reportUnmadeChangeAsSaid(nullptr, boxes.texts[0]);
    EXPECT_EQ(boxes.texts.size(), 1u);
    toldOnce(L"データベースは他のプログラムが使用中です。バックアップは、次に Kelvara を終了するときにもう一度作成します。");

    // Let go within the wait: each run's end waits anew.
    sqliteplus::setBusyWaitLimit(std::chrono::seconds(10));
    {
      const testdb::LetGoOnceWaitedFor lettingGo([&] { held.release(); });
      MakeDatabaseBackups(db);
    }
    EXPECT_EQ(apptest::readText(bak), apptest::readText(database));
    EXPECT_EQ(apptest::readText(w1), apptest::readText(database));
    EXPECT_EQ(apptest::readText(w2), lastRun);
    EXPECT_TRUE(boxes.texts.empty());
  }

  const QByteArray backedUp = apptest::readText(bak);
  db.createQuery()->execute(L"UPDATE t SET v = zeroblob(100000)");
  disk.limitDisk(40 * 1024);
  MakeDatabaseBackups(db);
  EXPECT_EQ(apptest::readText(bak), backedUp);
  toldOnce(apptest::kFullCause);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4) << "no half-written copy is left";
}

// Another program that writes as soon as it can, between any two reads the copies make of the file:
// each copy is of one state of the file, the one before the write, and is made whole.
TEST(DatabaseBackups, ACopyIsOneStateOfTheFileWhateverAnotherProgramWritesMeanwhile) {
  QTemporaryDir dir;
  testdb::FaultyVfs disk;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7";
  const QByteArray before = databaseHolding(QByteArray(64 * 1024, 'd'));
  apptest::writeText(database, before);
  sqliteplus::SqliteConnection db;
  db.open(database.toStdWString().c_str());
  sqlite3* other = nullptr;  // waits for no lock: it tries again at the next read
  ASSERT_EQ(sqlite3_open_v2(database.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closeOther(other, sqlite3_close_v2);
  const std::string file = QFileInfo(database).canonicalFilePath().toStdString();
  bool written = false;
  disk.onDatabaseRead([&](const std::string& read) {
    // Pages enough to move the file's page count on.
    if (!written && read == file)
      written = sqlite3_exec(other, "INSERT INTO t VALUES (zeroblob(20000))", nullptr, nullptr, nullptr) == SQLITE_OK;
  });
  testenv::BoxRecorder boxes;
  MakeDatabaseBackups(db);
  disk.onDatabaseRead(nullptr);
  EXPECT_EQ(boxes.texts, std::vector<std::wstring>{});
  EXPECT_EQ(apptest::readText(bak), before);
  EXPECT_EQ(apptest::readText(w1), before);
}

// An exit that was killed half-way left its temporary copies beside the backups: the next exit
// removes them, whether a copy is due or not, but not the one another running program is making. A
// copy replaces its backup for good: the folder is synced after each rename, so that a crash does
// not take the rename back.
TEST(DatabaseBackups, WhatAKilledExitLeftGoesAndACopyOutlastsACrash) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7";
  apptest::writeText(database, databaseHolding("today"));
  waitForLaterFileTime(database);
  const pid_t killed = ::fork();
  if (killed == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);
  const QString leftOfBak = bak + ".tmp-" + QString::number(killed), leftOfW1 = w1 + ".tmp-" + QString::number(killed);
  const QString beingMade = bak + ".tmp-" + QString::number(::getppid());
  for (const bool copiesDue : {true, false}) {
    SCOPED_TRACE(copiesDue ? "copies due" : "no copy due");
    for (const QString& half : {leftOfBak, leftOfW1, beingMade}) apptest::writeText(half, "half a copy");
    const apptest::FolderSyncs syncs;
    backUp(database);
    EXPECT_FALSE(QFileInfo::exists(leftOfBak));
    EXPECT_FALSE(QFileInfo::exists(leftOfW1));
    EXPECT_EQ(apptest::readText(beingMade), "half a copy");
    EXPECT_EQ(apptest::readText(bak), apptest::readText(database));
    EXPECT_EQ(apptest::readText(w1), apptest::readText(database));
    const std::vector<std::string> synced = syncs.synced();
    const std::string folder = QFileInfo(dir.path()).canonicalFilePath().toStdString();
    EXPECT_EQ(std::count(synced.begin(), synced.end(), folder), copiesDue ? 2 : 0);
  }
}

// A database in write-ahead-log mode is copied with what its log holds, into a copy that asks for
// no log: opening it leaves nothing beside it.
TEST(DatabaseBackups, AFileInWriteAheadLogModeIsCopiedWhole) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7"), bak = database + ".bak.klvdb7";
  apptest::writeText(database, "");
  sqliteplus::SqliteConnection writer;
  writer.open(database.toStdWString().c_str());
  writer.createQuery()->execute(L"PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0");
  writer.createQuery()->execute(sqliteplus::Utf8ToWString(testdb::resourceText("schema.sql")).c_str());
  writer.createQuery()->execute(L"CREATE TABLE t (v TEXT); INSERT INTO t VALUES ('in the log')");
  backUp(database);
  const QByteArray header = apptest::readText(bak).left(20);
  ASSERT_EQ(header.size(), 20);
  EXPECT_EQ(header[18], 1);
  EXPECT_EQ(header[19], 1);
  sqliteplus::SqliteConnection copy;
  copy.open(bak.toStdWString().c_str());
  EXPECT_EQ(pdb3::querySqlfIntOrMinus1(pdb3::openQuery(copy), L"SELECT count(*) FROM t WHERE v = 'in the log'"), 1);
  for (const char* beside : {"-wal", "-shm", "-journal"}) EXPECT_FALSE(QFileInfo::exists(bak + beside)) << beside;
}

// What another program left at the database's path (nothing, another file, an emptied file, one cut
// short or damaged) is no database to keep: the good copies stay byte for byte, and the box says why.
TEST(DatabaseBackups, WhatIsNoWholeDatabaseReplacesNoCopy) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  const QString bak = database + ".bak.klvdb7", w1 = database + ".w1bak.klvdb7", w2 = database + ".w2bak.klvdb7";
  const QByteArray whole = databaseHolding(QByteArray(64 * 1024, 'd')), lastRun = databaseHolding("last run");
  QByteArray damaged = whole;
  damaged.replace(100, 3900, QByteArray(3900, '\xff'));  // the schema's page, under a sound header
  // Damage the program's connection cannot see: it keeps the schema it read, and the change counter
  // and the schema's cookie stay as they were.
  QByteArray schemaTextDamaged = whole;
  const auto schemaText = schemaTextDamaged.indexOf("CREATE TABLE t");
  ASSERT_GT(schemaText, 0);
  schemaTextDamaged.replace(schemaText, 12, "CREATE TABLX");
  QByteArray tablePageDamaged = whole;
  tablePageDamaged[512] = 7;  // no kind of page: a table's root, page 2
  // What the engine's quick check passes: a column's name damaged in the schema's text where it
  // still parses, a row missing from an index, an index record that says other than its row.
  QByteArray columnNameDamaged = whole;
  const auto column = columnNameDamaged.indexOf("nAccomplish INTEGER");
  ASSERT_GT(column, 0);
  columnNameDamaged[column + 10] = 'x';
  const QByteArray rowNotInIndex = changedPastItsIndex(
      whole, "INSERT INTO question_log VALUES (1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1700000000, 0, 0, '', '')");
  const QByteArray indexSaysOther =
      changedPastItsIndex(changed(whole, "INSERT INTO question_log VALUES (1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, '', '')"),
                          "UPDATE question_log SET LastStudyTime = 6");
  // An index that holds every row in a wrong order, or a key twice in a unique one; a table whose
  // tree meets one leaf over and over, for days, which the quick check refuses at once.
  const QByteArray questionsLogged = changed(
      whole,
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 12) "
      "INSERT INTO question_log SELECT i, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1700000000, 0, 0, '', '' FROM n");
  const QByteArray indexOutOfOrder = withIndexEntriesSwapped(questionsLogged);
  const QByteArray uniqueKeyTwice = withAUniqueKeyTwice(databaseHolding("twice"));
  const QByteArray pagesShared = withQuestionLogOnASharedLeaf(changed(questionsLogged, "PRAGMA page_size=4096; VACUUM"));
  // A schema the engine refuses afresh: a format number it does not know, a collation it lacks.
  QByteArray formatDamaged = whole;
  formatDamaged[47] = 9;
  const QByteArray collated = withIndexInCollationOfItsOwn(whole);
  // The engine counts a page cut short as a page, and reads what is missing of it as zeros.
  const QByteArray twoPages = databaseOnPages(1024, 1), fortyRows = databaseOnPages(512, 40);
  ASSERT_EQ(twoPages.size(), 2048);
  const std::wstring notWhole = L"データベースとして読み込めません", replaced = L"別のファイルに置き換えられました";
  struct LeftAtThePath {
    const char* what;
    QByteArray opened;
    std::optional<QByteArray> content;  // none: the file is gone (a folder in its place, with newFile)
    bool newFile;  // the content is put there as a file of its own, not written into the one opened
    std::wstring why;
  };
  const std::vector<LeftAtThePath> cases{
      {"gone", whole, std::nullopt, false, missingDatabaseText(database.toStdWString())},
      {"a folder put in its place", whole, std::nullopt, true, missingDatabaseText(database.toStdWString())},
      {"another file put in its place", whole, lastRun, true, replaced},
      {"emptied", whole, QByteArray(), false, notWhole},
      {"cut short", whole, whole.left(whole.size() / 2), false, notWhole},
      {"damaged", whole, damaged, false, notWhole},
      {"its schema's text damaged", whole, schemaTextDamaged, false, notWhole},
      {"a table's page damaged", whole, tablePageDamaged, false, notWhole},
      {"a column's name damaged in its schema's text", whole, columnNameDamaged, false, notWhole},
      {"a row missing from an index", whole, rowNotInIndex, false, notWhole},
      {"an index record that says other than its row", indexSaysOther, indexSaysOther, false, notWhole},
      {"an index's entries out of order", indexOutOfOrder, indexOutOfOrder, false, notWhole},
      {"a key twice in a unique index and its table", uniqueKeyTwice, uniqueKeyTwice, false, notWhole},
      {"a table's pages shared", pagesShared, pagesShared, false, notWhole},
      {"its schema's format number damaged", whole, formatDamaged, false, notWhole},
      {"an index in a collation the program lacks", collated, collated, false, notWhole},
      {"foreign", whole, QByteArray(8192, 'x'), false, notWhole},
      {"cut inside its last page", twoPages, twoPages.left(1025), false, notWhole},
      {"cut by 100 bytes", fortyRows, fortyRows.chopped(100), false, notWhole},
  };
  for (const LeftAtThePath& left : cases) {
    SCOPED_TRACE(left.what);
    apptest::writeText(bak, lastRun);
    apptest::writeText(w1, lastRun);
    setAge(w1, 8);  // due for a fresh weekly copy too
    QFile::remove(database);
    apptest::writeText(database, left.opened);
    sqliteplus::SqliteConnection db;
    db.open(database.toStdWString().c_str());
    if (!left.content || left.newFile) QFile::remove(database);
    if (left.content) apptest::writeText(database, *left.content);
    if (!left.content && left.newFile) QDir().mkpath(database);
    testenv::BoxRecorder boxes;
    MakeDatabaseBackups(db);
    if (QFileInfo(database).isDir()) QDir(database).removeRecursively();
    EXPECT_EQ(apptest::readText(bak), lastRun);
    EXPECT_EQ(apptest::readText(w1), lastRun);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(left.why), std::wstring::npos) << QString::fromStdWString(boxes.texts[0]).toStdString();
    EXPECT_FALSE(QFileInfo::exists(w2)) << "the weekly copies wait for a whole database";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), left.content ? 3 : 2) << "no half-written copy is left";
  }

  // A schema that the check's fresh reading of a copy is answered with no memory for is damage,
  // as one it refuses: the program's connection holds it read already.
  {
    SCOPED_TRACE("its schema read afresh answered with no memory");
    testdb::FaultyVfs disk;
    apptest::writeText(bak, lastRun);
    apptest::writeText(database, whole);
    sqliteplus::SqliteConnection db;
    db.open(database.toStdWString().c_str());
    disk.onDatabaseRead([&](const std::string& read) {
      // Once the copy is written: its reading by the check.
      if (read.find(".tmp-") != std::string::npos && QFileInfo(QString::fromStdString(read)).size() > 0)
        disk.failReads(SQLITE_NOMEM);
    });
    testenv::BoxRecorder boxes;
    MakeDatabaseBackups(db);
    disk.onDatabaseRead(nullptr);
    disk.failReads(std::nullopt);
    EXPECT_EQ(apptest::readText(bak), lastRun);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(notWhole), std::wstring::npos) << QString::fromStdWString(boxes.texts[0]).toStdString();
  }

  // A weekly copy that is no whole database moves onto no good older one: it is simply replaced.
  // One whose header asks for a log moves on, and leaves no log beside it or the older one.
  QByteArray inLogMode = databaseHolding("in log mode");
  inLogMode[18] = inLogMode[19] = 2;
  for (const auto& [what, weekly] : std::vector<std::pair<const char*, QByteArray>>{
           {"emptied", QByteArray()}, {"cut inside its last page", twoPages.left(1025)}, {"in log mode", inLogMode}}) {
    SCOPED_TRACE(what);
    apptest::writeText(database, whole);
    apptest::writeText(w1, weekly);
    setAge(w1, 8);
    apptest::writeText(w2, lastRun);
    backUp(database);
    EXPECT_EQ(apptest::readText(w2), weekly == inLogMode ? inLogMode : lastRun);
    EXPECT_EQ(apptest::readText(w1), whole);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4) << "nothing beside the copies";
  }
}

// Each reading of a copy's check ends within what a sound file of its size can make it read: the
// quick check keeps a file whose pages are shared from the readings, and this holds should one
// slip past it.
TEST(DatabaseBackups, EachReadingOfTheCheckEndsHoweverThePagesPointAtEachOther) {
  QTemporaryDir dir;
  const QString database = dir.filePath("db.klvdb7");
  const QByteArray questionsLogged =
      changed(databaseHolding("today"), "INSERT INTO question_log VALUES (1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, '', '')");
  for (const bool shared : {false, true}) {
    SCOPED_TRACE(shared ? "shared" : "sound");
    apptest::writeText(database, shared ? withQuestionLogOnASharedLeaf(changed(questionsLogged, "PRAGMA page_size=4096; VACUUM"))
                                        : questionsLogged);
    std::vector<sqliteplus::CheckPass> passes{
        sqliteplus::CheckPass::reading("SELECT count(*), rows_digest(qid, rowid) FROM question_log NOT INDEXED", 2)};
    sqliteplus::runPasses(database.toStdString(), passes);
    EXPECT_EQ(passes[0].resultCode, shared ? SQLITE_CORRUPT : SQLITE_OK);
    if (!shared) EXPECT_EQ(passes[0].values.front(), 1);
  }
}
