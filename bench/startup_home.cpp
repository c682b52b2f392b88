// Prepares the home folder (HOME, XDG_CONFIG_HOME) that startup_ratio.sh starts the program in:
// a copy of the shared large file as the user's database, a user, the 10,000-question set chosen,
// and the smart-learning binder holding that set. "--plain" leaves the binder empty and the
// backups off.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "database/records/db_object.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "large_database.h"
#include "platform/files/folders.h"
#include "services/app_settings.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const bool plain = argc > 1 && std::strcmp(argv[1], "--plain") == 0;
  const platform::ProgramFolderOverride beside(QString::fromUtf8(KELVARA_PROGRAM_DIR).toStdWString());
  const QString copy = QDir::homePath() + "/large.klvdb7";
  QFile::remove(copy);
  if (!QFile::copy(QString::fromStdString(benchdata::largeDatabase()), copy)) {
    std::fprintf(stderr, "cannot copy the large database\n");
    return 1;
  }
  AppSettings settings(L"KLV7");
  settings.loadAll();
  settings.databasePath.value = copy.toStdWString();
  settings.userName.value = L"bench";
  settings.lastSection.value = L"ベンチマーク/問題集 " + std::to_wstring(benchdata::kLargeSetId);
  settings.makeBackupFlag.value = !plain;
  settings.saveAll();
  if (plain) return 0;
  sqliteplus::SqliteConnection connection;
  connection.open(copy.toStdWString().c_str());
  const int binder = pdb3::EnsureSmartLearningBinder(connection);
  const bool filled = binder >= 0 && pdb3::execSqlf(pdb3::openQuery(connection),
                                                    L"INSERT INTO section SELECT %d, qid FROM section WHERE sid=%d",
                                                    binder, benchdata::kLargeSetId);
  if (!filled) std::fprintf(stderr, "cannot fill the smart-learning binder\n");
  return filled ? 0 : 1;
}
