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

// Disabled text is drawn in the desktop's grey text colour, legible on the button face the
// pages and dialogs are painted with, and embossed with the 3D highlight below it.
void useGreyDisabledText() {
  QPalette palette = QApplication::palette();
  const QColor grey = systemColour(platform::ColorGrayText);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    palette.setColor(QPalette::Disabled, role, grey);
  palette.setColor(QPalette::Disabled, QPalette::Light, systemColour(platform::ColorBtnHighlight));
  QApplication::setPalette(palette);
}

}  // namespace

void setUpApplicationLook() {
  loadToolkitTranslations();
  useGreyDisabledText();
}
