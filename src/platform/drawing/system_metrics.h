// System colours, metrics and fonts as the original platform reports them. By default a fixed
// classic table answers (gray faces, navy highlight, Japanese menu font), but for the colours of
// a desktop that gives its palette, which are taken from that palette; tests install their own
// table.
#pragma once

#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/gdi_types.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum SysColor : int {
  ColorScrollbar = 0, ColorBackground = 1, ColorActiveCaption = 2, ColorInactiveCaption = 3,
  ColorMenu = 4, ColorWindow = 5, ColorWindowFrame = 6, ColorMenuText = 7, ColorWindowText = 8,
  ColorCaptionText = 9, ColorActiveBorder = 10, ColorInactiveBorder = 11, ColorAppWorkspace = 12,
  ColorHighlight = 13, ColorHighlightText = 14, ColorBtnFace = 15, ColorBtnShadow = 16,
  ColorGrayText = 17, ColorBtnText = 18, ColorInactiveCaptionText = 19, ColorBtnHighlight = 20,
  Color3dDkShadow = 21, Color3dLight = 22, ColorInfoText = 23, ColorInfoBk = 24,
  ColorHotLight = 26, ColorGradientActiveCaption = 27, ColorGradientInactiveCaption = 28,
  SysColorCount = 31,
};

enum SysMetric : int {
  SmCxVScroll = 2, SmCyHScroll = 3, SmCxHThumb = 10,
  SmCxBorder = 5, SmCyBorder = 6, SmCxFixedFrame = 7, SmCyFixedFrame = 8, SmCxIcon = 11, SmCyIcon = 12,
  SmCxSizeFrame = 32, SmCySizeFrame = 33, SmCxSmIcon = 49, SmCySmIcon = 50, SmCySmCaption = 51, SmCxSmSize = 52,
  SmCySmSize = 53, SmCxMenuSize = 54, SmCyMenuSize = 55, SmCxMenuCheck = 71, SmCyMenuCheck = 72, SmRemoteSession = 0x1000,
};

class SystemMetricsProvider {
 public:
  virtual ~SystemMetricsProvider() = default;
  virtual COLORREF sysColor(int index) const = 0;
  virtual int metric(int index) const = 0;
  virtual int bitsPerPixel() const = 0;
  virtual LogFont menuFont() const = 0;
  virtual LogFont statusFont() const = 0;
  // The stock GUI font; nullopt when the system has none.
  virtual std::optional<LogFont> defaultGuiFont() const = 0;
  // The character set a screen context reports for its default font.
  virtual int screenCharSet() const = 0;
  virtual bool isFontFamilyInstalled(std::wstring_view family) const = 0;
  // The work area (the screen less the desktop's panels) of the screen nearest to `point`, in
  // screen coordinates.
  virtual Rect workArea(Point point) const;
};

// The classic table. Fields are public so a test can copy it, change a value and install it.
class ClassicSystemMetrics : public SystemMetricsProvider {
 public:
  ClassicSystemMetrics();
  COLORREF sysColor(int index) const override;
  int metric(int index) const override;
  int bitsPerPixel() const override { return depth; }
  LogFont menuFont() const override { return menu; }
  LogFont statusFont() const override { return status; }
  std::optional<LogFont> defaultGuiFont() const override { return guiFont; }
  int screenCharSet() const override { return charSet; }
  bool isFontFamilyInstalled(std::wstring_view family) const override;

  std::array<COLORREF, SysColorCount> colours{};
  int depth = 32;
  LogFont menu;
  LogFont status;
  std::optional<LogFont> guiFont;
  int charSet = ShiftJisCharset;
  int menuCheckHeight = 13;
  // The small caption buttons and the menu bar's window buttons.
  int smallCaptionHeight = 17;
  int sizingFrame = 4;
  int fixedFrame = 3;
  Size menuButton{18, 18};
  bool remoteSession = false;
};

const SystemMetricsProvider& systemMetrics();
inline COLORREF getSysColor(int index) { return systemMetrics().sysColor(index); }
inline int getSystemMetrics(int index) { return systemMetrics().metric(index); }

// Installs another provider until the guard goes.
class SystemMetricsOverride {
 public:
  explicit SystemMetricsOverride(const SystemMetricsProvider& replacement);
  ~SystemMetricsOverride();
  SystemMetricsOverride(const SystemMetricsOverride&) = delete;
  SystemMetricsOverride& operator=(const SystemMetricsOverride&) = delete;

 private:
  const SystemMetricsProvider* previous_;
};

}  // namespace platform
