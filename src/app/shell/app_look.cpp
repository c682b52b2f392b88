#include "app/shell/app_look.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPalette>
#include <QTranslator>

#include "platform/gdi_types.h"
#include "platform/system_metrics.h"

namespace {

// The toolkit's own texts (standard buttons, file and print dialogs, the fields' context menu)
// speak the program's language, whatever the user's locale.
void loadToolkitTranslations() {
  static QTranslator* translator = nullptr;
  if (translator) return;
  translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
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
}
