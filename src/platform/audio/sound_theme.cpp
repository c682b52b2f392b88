#include "platform/audio/sound_theme.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <optional>

namespace platform {

namespace {

const QStringList kSoundExtensions{QStringLiteral(".oga"), QStringLiteral(".ogg"), QStringLiteral(".wav")};
// Themes inherit from themes; a longer chain than this is a loop.
constexpr int kMaxInheritance = 16;

// A theme (or event) name is one folder (or file) name; a theme's sound folders lie below the theme's
// folder. Names from a theme's index or the desktop's settings that would lead elsewhere ("..",
// an absolute path) are not followed.
bool isPlainName(const QString& name) {
  return !name.isEmpty() && !name.contains('/') && name != QStringLiteral(".") &&
         name != QStringLiteral("..");
}

bool isFolderBelow(const QString& relative) {
  if (relative.isEmpty() || relative.startsWith('/')) return false;
  for (const QString& part : relative.split('/', Qt::SkipEmptyParts))
    if (part == QStringLiteral("..")) return false;
  return true;
}

QStringList dataFolders() { return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation); }

// A list value of an index file, whether written with or without quotes.
QStringList listValue(const QSettings& index, const QString& key) {
  const QVariant value = index.value(key);
  QStringList parts = value.typeId() == QMetaType::QStringList ? value.toStringList() : value.toString().split(',');
  for (QString& part : parts) part = part.trimmed();
  parts.removeAll(QString());
  return parts;
}

// The sound folders of one theme folder: stereo ones first, since the output is stereo or mono.
QStringList soundFolders(const QString& themeFolder) {
  const QString indexPath = themeFolder + QStringLiteral("/index.theme");
  if (!QFileInfo::exists(indexPath)) return {};
  const QSettings index(indexPath, QSettings::IniFormat);
  QStringList stereo, other;
  for (const QString& folder : listValue(index, QStringLiteral("Sound Theme/Directories"))) {
    if (!isFolderBelow(folder)) continue;
    const QString profile = index.value(folder + QStringLiteral("/OutputProfile"), QStringLiteral("stereo")).toString();
    (profile == QStringLiteral("stereo") ? stereo : other).append(themeFolder + '/' + folder);
  }
  return stereo + other;
}

QStringList inheritedThemes(const QString& theme) {
  for (const QString& data : dataFolders()) {
    const QString indexPath = data + QStringLiteral("/sounds/") + theme + QStringLiteral("/index.theme");
    if (!QFileInfo::exists(indexPath)) continue;
    return listValue(QSettings(indexPath, QSettings::IniFormat), QStringLiteral("Sound Theme/Inherits"));
  }
  return {};
}

// The theme and those it inherits, breadth first, each once, "freedesktop" last.
QStringList themeChain(const QString& theme) {
  QStringList chain{theme};
  for (int i = 0; i < chain.size() && i < kMaxInheritance; ++i)
    for (const QString& parent : inheritedThemes(chain[i]))
      if (isPlainName(parent) && !chain.contains(parent)) chain.append(parent);
  chain.removeAll(QStringLiteral("freedesktop"));
  chain.append(QStringLiteral("freedesktop"));
  return chain;
}

// Found (possibly empty for a sound turned off), or nothing in this folder.
std::optional<QString> soundIn(const QString& folder, const QString& name) {
  if (QFileInfo::exists(folder + '/' + name + QStringLiteral(".disabled"))) return QString();
  for (const QString& extension : kSoundExtensions) {
    const QString path = folder + '/' + name + extension;
    if (QFileInfo(path).isFile()) return path;
  }
  return std::nullopt;
}

std::optional<QString> soundOfName(const QStringList& themes, const QString& name) {
  for (const QString& theme : themes)
    for (const QString& data : dataFolders())
      for (const QString& folder : soundFolders(data + QStringLiteral("/sounds/") + theme))
        if (auto found = soundIn(folder, name)) return found;
  for (const QString& data : dataFolders())
    if (auto found = soundIn(data + QStringLiteral("/sounds"), name)) return found;
  return std::nullopt;
}

}  // namespace

std::string desktopSoundTheme() {
  for (const QString& config : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
    for (const char* gtk : {"/gtk-4.0/settings.ini", "/gtk-3.0/settings.ini"}) {
      const QString path = config + QLatin1String(gtk);
      if (!QFileInfo::exists(path)) continue;
      const QString theme = QSettings(path, QSettings::IniFormat).value(QStringLiteral("Settings/gtk-sound-theme-name")).toString().trimmed();
      if (isPlainName(theme)) return theme.toStdString();
    }
  }
  return "freedesktop";
}

std::string findThemeSound(const std::string& eventId, const std::string& theme) {
  const QString requested = QString::fromStdString(theme);
  const QStringList themes = themeChain(isPlainName(requested) ? requested : QStringLiteral("freedesktop"));
  QString name = QString::fromStdString(eventId);
  if (!isPlainName(name)) return {};
  for (;;) {
    if (const auto found = soundOfName(themes, name)) return found->toStdString();
    const qsizetype dash = name.lastIndexOf('-');
    if (dash <= 0) return {};
    name.truncate(dash);
  }
}

}  // namespace platform
