#include "app/shell/app_look.h"

#include <QApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTranslator>
#include <optional>

#include "platform/drawing/desktop_colours.h"
#include "platform/drawing/dialog_units.h"
#include "platform/drawing/gdi_types.h"
#include "platform/drawing/system_metrics.h"
#include "platform/drawing/readable_colour.h"
#include "study/window/study_resources.h"

namespace {

// The texts the toolkit's Japanese catalogue leaves out: the kinds of entry the file dialogs
// list, and the print dialog's page list and two-sided printing (texts several of its parts ask for).
class ToolkitGapsTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    static const QHash<QByteArray, QString> fileKinds = {
        {"Folder", QStringLiteral("フォルダー")}, {"Drive", QStringLiteral("ドライブ")},
        {"File", QStringLiteral("ファイル")},     {"%1 File", QStringLiteral("%1 ファイル")},
        {"Unknown", QStringLiteral("不明")},      {"Shortcut", QStringLiteral("ショートカット")}};
    static const QHash<QByteArray, QString> printing = {
        {"Pages", QStringLiteral("ページ指定")},
        {"Double Sided Printing", QStringLiteral("両面印刷")},
        {"Off", QStringLiteral("なし")},
        {"Long side binding", QStringLiteral("長辺綴じ")},
        {"Short side binding", QStringLiteral("短辺綴じ")},
        {"Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
         "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
         QStringLiteral("ページや範囲をコンマで区切って指定します。範囲は二つの番号をハイフンでつなぎます。"
                        "例: 3,5-7,9 なら 3、5、6、7、9 ページを印刷します。")},
        {"Invalid Pages Definition", QStringLiteral("ページ指定の誤り")},
        {"%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges "
         "and make sure ranges do not intersect with each other.",
         QStringLiteral("%1 は正しい書き方ではありません。ページと範囲は「,」で区切り、範囲は「-」で表して、"
                        "範囲どうしが重ならないようにしてください。")}};
    const QByteArray where(context);
    if (where == "QAbstractFileIconProvider") return fileKinds.value(source);
    if (where == "QPrintDialog" || where == "QPrintSettingsOutput" || where == "QUnixPrintWidget")
      return printing.value(source);
    return {};
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
  QCoreApplication::installTranslator(new ToolkitGapsTranslator(qApp));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

QColor systemColour(int index) { return platform::toQColor(platform::getSysColor(index)); }

platform::COLORREF ref(const QColor& colour) { return platform::rgb(colour.red(), colour.green(), colour.blue()); }

constexpr QPalette::ColorRole kDisabledTextRoles[] = {QPalette::WindowText, QPalette::ButtonText, QPalette::Text};
constexpr QPalette::ColorGroup kSelectionGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

// Disabled text is drawn in the classic desktop's grey text colour: the style's own disabled
// colour is nearly the button face that pages and dialogs are painted with. A desktop's palette
// gives its own grey, and its own selection; where either stands out too little from what lies
// under it, a shade of it that stands out takes its place.
QPalette withReadableDisabledAndSelectedText(const QPalette& desktopsOwn, bool desktop) {
  QPalette palette = desktopsOwn;
  QColor grey = systemColour(platform::ColorGrayText);
  if (desktop)
    grey = platform::toQColor(platform::shadeStandingOut(ref(desktopsOwn.color(QPalette::Disabled, QPalette::Text)),
                                                         ref(palette.color(QPalette::Window)),
                                                         platform::kDesktopPairContrast));
  for (QPalette::ColorRole role : kDisabledTextRoles) palette.setColor(QPalette::Disabled, role, grey);
  if (desktop) {
    for (QPalette::ColorGroup group : kSelectionGroups) {
      const QColor text = palette.color(group, QPalette::HighlightedText);
      const QColor selection = palette.color(group, QPalette::Highlight);
      palette.setColor(group, QPalette::Highlight,
                       platform::toQColor(platform::shadeStandingOut(ref(selection), ref(text), platform::kDesktopPairContrast)));
    }
  }
  return palette;
}

// The readable grey and selection follow the desktop's scheme while the program runs: they are
// made again from each palette the desktop hands over, kept as it came, never from the shades the
// program set before (a shade of a shade drifts, and a dark scheme's grey is no start on a light one).
class DesktopSchemeFollower : public QObject {
 public:
  DesktopSchemeFollower() : QObject(qApp) { platform::whenPaletteChanges(this, [this] { follow(); }); }

  void follow() {
    // Setting the palette gives the notice again: that one is the program's own.
    if (applying_) return;
    QPalette came = QApplication::palette();
    // A theme that changes only the roles the program left to it hands back the program's own
    // shades in the others: there the desktop's colours from before still stand.
    if (applied_)
      forEachRoleSet([&](QPalette::ColorGroup group, QPalette::ColorRole role) {
        if (came.color(group, role) == applied_->color(group, role))
          came.setColor(group, role, desktopsOwn_.color(group, role));
      });
    desktopsOwn_ = came;
    applied_ = withReadableDisabledAndSelectedText(desktopsOwn_, platform::desktopPalette().has_value());
    const QScopedValueRollback applying(applying_, true);
    QApplication::setPalette(*applied_);
  }

 private:
  template <class Visit>
  static void forEachRoleSet(Visit visit) {
    for (QPalette::ColorRole role : kDisabledTextRoles) visit(QPalette::Disabled, role);
    for (QPalette::ColorGroup group : kSelectionGroups) visit(group, QPalette::Highlight);
  }

  QPalette desktopsOwn_;
  std::optional<QPalette> applied_;
  bool applying_ = false;
};

}  // namespace

void setUpApplicationLook() {
  loadToolkitTranslations();
  // The windows speak Japanese: their text is set in the dialogs' Japanese face at the desktop's
  // size, whatever the locale's own choice, rather than each text searched for a face that has it.
  QApplication::setFont(platform::japaneseDialogFont(QApplication::font()));
  static QPointer<DesktopSchemeFollower> follower;
  if (!follower) follower = new DesktopSchemeFollower;  // the application's child
  follower->follow();
  // Every window without an icon of its own shows the program's.
  QApplication::setWindowIcon(study::applicationIcon());
}
