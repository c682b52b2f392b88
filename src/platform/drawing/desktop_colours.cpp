#include "platform/drawing/desktop_colours.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

#include <utility>

namespace platform {
namespace {

COLORREF fromQColor(const QColor& colour) { return rgb(colour.red(), colour.green(), colour.blue()); }

// Which role of the palette stands for which system colour. The 3-D edges go from light to dark
// as the desktop's own buttons draw them: highlight, light, face, shadow, dark shadow.
constexpr std::pair<int, QPalette::ColorRole> kRoles[] = {
    {ColorScrollbar, QPalette::Button},
    {ColorActiveCaption, QPalette::Highlight},
    {ColorGradientActiveCaption, QPalette::Highlight},
    {ColorCaptionText, QPalette::HighlightedText},
    {ColorInactiveCaption, QPalette::Mid},
    {ColorGradientInactiveCaption, QPalette::Button},
    {ColorInactiveCaptionText, QPalette::WindowText},
    {ColorMenu, QPalette::Window},
    {ColorMenuText, QPalette::WindowText},
    {ColorWindow, QPalette::Base},
    {ColorWindowText, QPalette::Text},
    {ColorWindowFrame, QPalette::Shadow},
    {ColorActiveBorder, QPalette::Button},
    {ColorInactiveBorder, QPalette::Button},
    {ColorAppWorkspace, QPalette::Dark},
    {ColorHighlight, QPalette::Highlight},
    {ColorHighlightText, QPalette::HighlightedText},
    {ColorBtnFace, QPalette::Button},
    {ColorBtnShadow, QPalette::Dark},
    {ColorBtnText, QPalette::ButtonText},
    {ColorBtnHighlight, QPalette::Light},
    {Color3dDkShadow, QPalette::Shadow},
    {Color3dLight, QPalette::Midlight},
    {ColorInfoText, QPalette::ToolTipText},
    {ColorInfoBk, QPalette::ToolTipBase},
    {ColorHotLight, QPalette::Link},
};

}  // namespace

SysColourTable coloursFromPalette(const QPalette& palette, const SysColourTable& others) {
  SysColourTable colours = others;
  for (const auto& [index, role] : kRoles)
    colours[static_cast<size_t>(index)] = fromQColor(palette.color(QPalette::Active, role));
  colours[ColorGrayText] = fromQColor(palette.color(QPalette::Disabled, QPalette::Text));
  return colours;
}

std::optional<QPalette> desktopPalette() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
  const QPalette shown = QApplication::palette();
  const QPalette stock = QApplication::style()->standardPalette();
  // Only the active colours tell: the program sets its own grey for disabled text.
  for (const auto& [index, role] : kRoles)
    if (shown.color(QPalette::Active, role) != stock.color(QPalette::Active, role)) return shown;
  return std::nullopt;
}

QMetaObject::Connection whenPaletteChanges(QObject* context, std::function<void()> follow) {
  if (!qGuiApp) return {};
  // The signal is the one notice the toolkit gives while the palette is set.
  QT_WARNING_PUSH
  QT_WARNING_DISABLE_DEPRECATED
  return QObject::connect(qGuiApp, &QGuiApplication::paletteChanged, context,
                          [follow = std::move(follow)] { follow(); });
  QT_WARNING_POP
}

}  // namespace platform
