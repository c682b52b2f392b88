// The program installed under a prefix as a person installs it, then run from there by a new user
// while the installed tree can only be read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <map>

#include "app/printing/print_template.h"
#include "database/database_file.h"
#include "database/engine/sql_helpers.h"
#include "platform/files/folders.h"
#include "scoped_env.h"
#include "services/app_settings.h"
#include "test_env.h"

namespace {

const QString kSetPath = QString::fromWCharArray(L"中学生向け問題/中学校 学校・教室などの単語");
constexpr uid_t kNobody = 65534;

struct Outcome {
  bool finished = false;
  int exitCode = -1;
  QString output;
};

Outcome runCommand(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  Outcome outcome;
  outcome.finished = process.waitForFinished(120000);
  if (!outcome.finished) process.kill();
  outcome.exitCode = process.exitCode();
  outcome.output = QString::fromUtf8(process.readAll());
  return outcome;
}

// Every file and link below a folder with a digest of its bytes and its mode: what a run must not change.
std::map<QString, QByteArray> snapshot(const QString& folder) {
  std::map<QString, QByteArray> files;
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    QByteArray entry = QByteArray::number(static_cast<int>(info.permissions())) + ' ' + info.symLinkTarget().toUtf8();
    if (info.isFile() && !info.isSymLink()) {
      QFile file(info.filePath());
      if (file.open(QIODevice::ReadOnly)) entry += QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }
    files[info.filePath()] = entry;
  }
  return files;
}

// Root may write anywhere: as root the installed program runs as nobody, so that the read-only
// tree is read-only for it too.
QStringList asTheUser(const QString& program, const QStringList& arguments) {
  if (::geteuid() != 0) return QStringList{program} + arguments;
  return QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--", program} + arguments;
}

void handTo(const QString& folder, uid_t user) {
  if (::geteuid() != 0) return;
  ASSERT_EQ(::chown(folder.toUtf8().constData(), user, user), 0) << folder.toStdString();
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) ASSERT_EQ(::lchown(it.next().toUtf8().constData(), user, user), 0);
}

// Gives the owner back the right to write below a folder when the test ends, so that it can go.
struct WritableAgain {
  QString folder;
  ~WritableAgain() { runCommand("chmod", {"-R", "u+w", folder}); }
};

}  // namespace

TEST(Install, TheInstalledProgramStudiesFromAReadOnlyTreeAndWritesOnlyTheUsersFolders) {
  // In the system's temporary folder, not this test program's own: the other user must reach it.
  QTemporaryDir root(QStringLiteral("/tmp/kelvara-install-XXXXXX"));
  ASSERT_TRUE(QFile::setPermissions(root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                     QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                                     QFileDevice::ExeGroup));
  const QString prefix = root.path() + "/prefix";
  const Outcome install = runCommand("cmake", {"--install", KELVARA_BINARY_DIR, "--prefix", prefix});
  ASSERT_TRUE(install.finished && install.exitCode == 0) << install.output.toStdString();

  const QString program = prefix + "/lib/kelvara";
  EXPECT_EQ(QFileInfo(prefix + "/bin/kelvara").symLinkTarget(), QFileInfo(program + "/kelvara").canonicalFilePath());
  for (const char* file : {"kelvara", "libKlvLib.so", "libKlvLegacyLib.so", "database.klvdb7", "splash.bmp",
                           "kelvara.png", "Readme.txt", "katmode.txt", "skin7/default.lua", "help/top.html",
                           "data/pronounce.kpdidx", "data/webdic.ini", "data/irank.dat", "print-config/default.ini",
                           "print-card-config/default.ini"})
    EXPECT_TRUE(QFileInfo(program + "/" + file).isFile()) << file;
  for (const char* size : {"48x48", "128x128", "256x256"}) {
    const QImage icon(prefix + "/share/icons/hicolor/" + size + "/apps/kelvara.png");
    EXPECT_EQ(icon.width(), QString(size).section('x', 0, 0).toInt()) << size;
  }
  const QString desktopEntry = prefix + "/share/applications/kelvara.desktop";
  const QString metainfo = prefix + "/share/metainfo/io.github.kelvara.Kelvara.metainfo.xml";
  const Outcome desktopCheck = runCommand("desktop-file-validate", {desktopEntry});
  EXPECT_TRUE(desktopCheck.finished && desktopCheck.exitCode == 0 && desktopCheck.output.trimmed().isEmpty())
      << desktopCheck.output.toStdString();
  const Outcome metainfoCheck = runCommand("appstreamcli", {"validate", "--no-net", metainfo});
  EXPECT_TRUE(metainfoCheck.finished && metainfoCheck.exitCode == 0) << metainfoCheck.output.toStdString();

  WritableAgain writableAgain{prefix};
  ASSERT_EQ(runCommand("chmod", {"-R", "a-w", prefix}).exitCode, 0);
  const std::map<QString, QByteArray> installed = snapshot(prefix);

  // A new user, started from the command the menu entry runs.
  const QString home = root.path() + "/home", runtime = root.path() + "/runtime";
  ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(runtime));
  QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  handTo(home, kNobody);
  handTo(runtime, kNobody);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "KELVARA_PROGRAM_DIR", "TMPDIR"})
    environment.remove(name);
  environment.insert("HOME", home);
  environment.insert("XDG_RUNTIME_DIR", runtime);
  environment.insert("USER", "tester");
  environment.insert("KELVARA_AUTOANSWER", "ok");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  const QStringList command = asTheUser(prefix + "/bin/kelvara", {"/autorun=3", "/card", "/s", kSetPath});
  const Outcome study = runCommand(command.front(), command.mid(1), environment);
  ASSERT_TRUE(study.finished) << study.output.toStdString();
  EXPECT_EQ(study.exitCode, 0) << study.output.toStdString();

  {
    sqliteplus::SqliteConnection db;
    ASSERT_TRUE(pdb3::openDatabaseFile(db, (home + "/Documents/Kelvara/database.klvdb7").toStdWString()));
    const pdb3::DbObject accessor = pdb3::openQuery(db);
    EXPECT_EQ(pdb3::querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM daily_question_log"), 3)
        << study.output.toStdString();
    EXPECT_GE(pdb3::querySqlfIntOrMinus1(accessor, L"SELECT uid FROM user_info WHERE name='tester'"), 0);
  }

  // The same user's settings, read as the program reads them, lead the template editors home.
  handTo(home, ::geteuid());
  testenv::ScopedEnv homeEnv("HOME", home.toUtf8().constData());
  testenv::ScopedEnv configEnv("XDG_CONFIG_HOME", (home + "/.config").toUtf8().constData());
  testenv::ScopedEnv dataEnv("XDG_DATA_HOME", (home + "/.local/share").toUtf8().constData());
  platform::ProgramFolderOverride installedProgram(program.toStdWString());
  AppSettings settings(L"KLV7");
  ASSERT_TRUE(settings.loadAll());
  const QString templates = home + "/.local/share/kelvara/print-config";
  EXPECT_EQ(QString::fromStdWString(settings.printTempleteFolder.value), templates);
  PrintTemplate edited;
  edited.regionY = 42;
  ASSERT_TRUE(edited.LoadOrSave(settings.printTempleteFolder.value + L"/default.ini", true));
  PrintTemplate read;
  read.LoadOrSave((templates + "/default.ini").toStdWString(), false);
  EXPECT_EQ(read.regionY, 42);

  EXPECT_EQ(snapshot(prefix), installed);
}
