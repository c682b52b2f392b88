#include <QApplication>
#include <clocale>

#include "database/database_file.h"
#include "platform/notifier.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/ux_registry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const UxLibrary controlLibrary;
  UxSetRegistryNames(L"Tarvo Presents", L"KLV7");
  // Until the full start-up exists: open the default database beside the program, or say why not.
  const std::wstring path = (QCoreApplication::applicationDirPath() + "/database.klvdb7").toStdWString();
  sqliteplus::SqliteConnection connection;
  if (!pdb3::openDatabaseFile(connection, path)) {
    platform::messageBox(nullptr, L"データベースを開けませんでした。\n" + path, L"KLV",
                         platform::MbOk | platform::MbIconError);
    return 1;
  }
  return 0;
}
