#include "platform/drawing/system_metrics.h"

#include "platform/drawing/desktop_colours.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QThread>

#include <algorithm>

namespace platform {
namespace {

// The Japanese face names of the original desktop, served by the IPA fonts here.
void registerFontSubstitutions() {
  static const bool done = [] {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("MS Shell Dlg"), QStringLiteral("IPAPGothic"));
    return true;
  }();
  (void)done;
}

const SystemMetricsProvider* g_current = nullptr;

// The classic table, but for the colours of the desktop's palette where the desktop gives one.
// They are taken again whenever the application's palette is another one.
class DesktopSystemMetrics : public ClassicSystemMetrics {
 public:
  COLORREF sysColor(int index) const override;

 private:
  mutable SysColourTable shown_{};
  mutable std::optional<qint64> paletteKey_;
};

COLORREF DesktopSystemMetrics::sysColor(int index) const {
  if (index < 0 || index >= SysColorCount) return 0;
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  // Off the interface thread, and once the application has gone, the colours last taken answer.
  if (app && QThread::currentThread() == app->thread()) {
    const qint64 key = QGuiApplication::palette().cacheKey();
    if (paletteKey_ != key) {
      paletteKey_ = key;
      const std::optional<QPalette> desktop = desktopPalette();
      shown_ = desktop ? coloursFromPalette(*desktop, colours) : colours;
    }
  } else if (!paletteKey_) {
    return ClassicSystemMetrics::sysColor(index);
  }
  return shown_[static_cast<size_t>(index)];
}

}  // namespace

ClassicSystemMetrics::ClassicSystemMetrics() {
  registerFontSubstitutions();
  colours.fill(0xC0C0C0);
  colours[ColorBackground] = rgb(0, 128, 128);
  colours[ColorActiveCaption] = rgb(0, 0, 128);
  colours[ColorInactiveCaption] = rgb(128, 128, 128);
  colours[ColorWindow] = rgb(255, 255, 255);
  colours[ColorWindowFrame] = rgb(0, 0, 0);
  colours[ColorMenuText] = rgb(0, 0, 0);
  colours[ColorWindowText] = rgb(0, 0, 0);
  colours[ColorCaptionText] = rgb(255, 255, 255);
  colours[ColorAppWorkspace] = rgb(128, 128, 128);
  colours[ColorHighlight] = rgb(0, 0, 128);
  colours[ColorHighlightText] = rgb(255, 255, 255);
  colours[ColorBtnShadow] = rgb(128, 128, 128);
  colours[ColorGrayText] = rgb(128, 128, 128);
  colours[ColorBtnText] = rgb(0, 0, 0);
  colours[ColorBtnHighlight] = rgb(255, 255, 255);
  colours[Color3dDkShadow] = rgb(0, 0, 0);
  colours[Color3dLight] = rgb(223, 223, 223);
  colours[ColorInfoText] = rgb(0, 0, 0);
  colours[ColorInfoBk] = rgb(255, 255, 225);
  colours[ColorHotLight] = rgb(0, 0, 255);
  colours[ColorGradientActiveCaption] = rgb(16, 132, 208);
  colours[ColorGradientInactiveCaption] = rgb(181, 181, 181);
  menu.height = -12;
  menu.charSet = ShiftJisCharset;
  menu.faceName = L"ＭＳ Ｐゴシック";
  status = menu;
  guiFont = menu;
}

COLORREF ClassicSystemMetrics::sysColor(int index) const {
  if (index < 0 || index >= SysColorCount) return 0;
  return colours[static_cast<size_t>(index)];
}

int ClassicSystemMetrics::metric(int index) const {
  switch (index) {
    case SmCxVScroll:
    case SmCyHScroll:
    case SmCxHThumb: return 16;
    case SmCxBorder:
    case SmCyBorder: return 1;
    case SmCxIcon:
    case SmCyIcon: return 32;
    case SmCxSmIcon:
    case SmCySmIcon: return 16;
    case SmCxFixedFrame:
    case SmCyFixedFrame: return fixedFrame;
    case SmCxSizeFrame:
    case SmCySizeFrame: return sizingFrame;
    case SmCxSmSize:
    case SmCySmSize: return smallCaptionHeight;
    case SmCySmCaption: return smallCaptionHeight + 1;
    case SmCxMenuSize: return menuButton.cx;
    case SmCyMenuSize: return menuButton.cy;
    case SmCxMenuCheck: return menuCheckHeight;
    case SmCyMenuCheck: return menuCheckHeight;
    case SmRemoteSession: return remoteSession ? 1 : 0;
    default: return 0;
  }
}

bool ClassicSystemMetrics::isFontFamilyInstalled(std::wstring_view family) const {
  const QString wanted = QString::fromWCharArray(family.data(), static_cast<qsizetype>(family.size()));
  for (const QString& name : QFontDatabase::families())
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) return true;
  return false;
}

Rect SystemMetricsProvider::workArea(Point point) const {
  const QPoint at(point.x, point.y);
  QScreen* screen = QGuiApplication::screenAt(at);
  if (!screen) {
    int best = -1;
    for (QScreen* candidate : QGuiApplication::screens()) {
      const QRect g = candidate->geometry();
      const QPoint nearest(std::clamp(at.x(), g.left(), g.right()), std::clamp(at.y(), g.top(), g.bottom()));
      const int distance = (nearest - at).manhattanLength();
      if (best < 0 || distance < best) {
        best = distance;
        screen = candidate;
      }
    }
  }
  if (!screen) screen = QGuiApplication::primaryScreen();
  return Rect::fromQRect(screen ? screen->availableGeometry() : QRect(0, 0, 800, 600));
}

const SystemMetricsProvider& systemMetrics() {
  static const DesktopSystemMetrics desktop;
  return g_current ? *g_current : desktop;
}

SystemMetricsOverride::SystemMetricsOverride(const SystemMetricsProvider& replacement)
    : previous_(g_current) {
  g_current = &replacement;
}

SystemMetricsOverride::~SystemMetricsOverride() { g_current = previous_; }

}  // namespace platform
