#include "app/shell/app_look.h"

#include <QApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>

#include "platform/drawing/gdi_types.h"
#include "platform/drawing/system_metrics.h"
#include "study/window/study_resources.h"

namespace {

// The kinds of entry the file dialogs list, which the toolkit's Japanese catalogue leaves out.
class FileKindTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    static const QHash<QByteArray, QString> kinds = {
        {"Folder", QStringLiteral("フォルダー")}, {"Drive", QStringLiteral("ドライブ")},
        {"File", QStringLiteral("ファイル")},     {"%1 File", QStringLiteral("%1 ファイル")},
        {"Unknown", QStringLiteral("不明")},      {"Shortcut", QStringLiteral("ショートカット")}};
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    return kinds.value(source);
  }
};

// The toolkit's own texts (standard buttons, file and print dialogs, the fields' context menu)
// speak the program's language, whatever the user's locale; so do the kinds of file the file
// dialogs name, which the toolkit reads in the default locale's language.
void loadToolkitTranslations() {
  static QTranslator* translator = nullptr;
  if (translator) return;
  translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  QCoreApplication::installTranslator(new FileKindTranslator(qApp));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

QColor systemColour(int index) { return platform::toQColor(platform::getSysColor(index)); }

// Disabled text is drawn in the classic desktop's grey text colour: the style's own disabled
// colour is nearly the button face that pages and dialogs are painted with.
void useGreyDisabledText() {
  QPalette palette = QApplication::palette();
  const QColor grey = systemColour(platform::ColorGrayText);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    palette.setColor(QPalette::Disabled, role, grey);
  QApplication::setPalette(palette);
}

}  // namespace

void setUpApplicationLook() {
  loadToolkitTranslations();
  useGreyDisabledText();
  // Every window without an icon of its own shows the program's.
  QApplication::setWindowIcon(study::applicationIcon());
}
