#include "app/shell/app_resources.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include "platform/drawing/resource_images.h"

// Resources are registered from the global namespace, as the resource compiler names them.
static void registerAppResources() { Q_INIT_RESOURCE(app_resources); }

void initAppResources() {
  static const bool registered = (registerAppResources(), true);
  (void)registered;
}

namespace {

const QHash<int, QString>& stringTable() {
  static const QHash<int, QString> table = [] {
    initAppResources();
    QHash<int, QString> out;
    QFile file(":/app/strings.txt");
    if (!file.open(QIODevice::ReadOnly)) return out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
      const int tab = line.indexOf('\t');
      if (line.startsWith('#') || tab < 1) continue;
      out.insert(line.left(tab).toInt(), line.mid(tab + 1).replace("\\n", "\n"));
    }
    return out;
  }();
  return table;
}

}  // namespace

QIcon LoadIconResource(int id) {
  initAppResources();
  return QIcon(platform::loadResourceImage(QString(":/app/icon/%1.xpm").arg(id)));
}

QPixmap LoadBitmapResource(int id) {
  initAppResources();
  return platform::loadResourceImage(QString(":/bitmap/%1.xpm").arg(id));
}

std::wstring LoadStringResource(int id) { return stringTable().value(id).toStdWString(); }

std::wstring CommandPrompt(int id) {
  const std::wstring text = LoadStringResource(id);
  return text.substr(0, text.find(L'\n'));
}

std::wstring CommandTooltip(int id) {
  const std::wstring text = LoadStringResource(id);
  const size_t newline = text.find(L'\n');
  return newline == std::wstring::npos ? text : text.substr(newline + 1);
}
