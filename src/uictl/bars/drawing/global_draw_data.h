// What every bar, button and menu of the library draws with: the system colours of the moment,
// brushes, pens and fonts made from them, a few cursors and facts about the display. One
// instance exists between the library's start-up and shut-down (library_globals.h).
#pragma once

#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/gdi_objects.h"

#include <QCursor>
#include <QIcon>
#include <optional>

class QWidget;

using platform::COLORREF;

class GlobalDrawData {
 public:
  GlobalDrawData();
  ~GlobalDrawData();
  GlobalDrawData(const GlobalDrawData&) = delete;
  GlobalDrawData& operator=(const GlobalDrawData&) = delete;

  // Re-reads every colour, remakes the brushes and pens, the light brush, and remaps the
  // menu glyph strip when it holds images.
  void UpdateSysColors();
  // Remakes the fonts from the menu font, measures them and re-lays every toolbar.
  void UpdateFonts();
  void UpdateTextMetrics();
  // Paints the parent's background behind a child control into dc (child coordinates).
  bool DrawParentBackground(QWidget* child, platform::Dc* dc, const platform::Rect* clip = nullptr);
  void CleanUp();
  // The 8 x 8 checkerboard of face and highlight that stands for the light colour on
  // displays of 256 colours or fewer.
  QImage CreateDitherBitmap() const;
  // The platform family the shell asks for: always the NT family here.
  static int GetOSPlatformId();

  // Cursors and the tool icon, made on first use.
  const QCursor& StretchCursor();
  const QCursor& StretchVertCursor();
  const QCursor& HandCursor();
  const QIcon& ToolIcon();

  platform::Brush hbrBtnHighlight;
  platform::Brush hbrBtnShadow;
  platform::Brush hbrWindow;
  COLORREF clrBtnFace = 0;
  COLORREF clrBtnShadow = 0;
  COLORREF clrBtnHighlight = 0;
  COLORREF clrBtnText = 0;
  COLORREF clrWindowFrame = 0;
  COLORREF clrBtnDarkShadow = 0;
  COLORREF clrBtnLight = 0;
  COLORREF clrGrayText = 0;
  COLORREF clrHighlight = 0;
  COLORREF clrHighlightText = 0;
  COLORREF clrHotText = 0;
  COLORREF clrWindow = 0;
  COLORREF clrBarFace = 0;
  COLORREF clrBarShadow = 0;
  COLORREF clrBarHighlight = 0;
  COLORREF clrBarDarkShadow = 0;
  COLORREF clrBarLight = 0;
  COLORREF clrBarText = 0;
  COLORREF clrBarWindow = 0;
  COLORREF clrWindowText = 0;
  COLORREF clrCaptionText = 0;
  COLORREF clrMenuText = 0;
  COLORREF clrActiveCaption = 0;
  COLORREF clrInactiveCaption = 0;
  COLORREF clrInactiveCaptionText = 0;
  COLORREF clrActiveBorder = 0;
  COLORREF clrInactiveBorder = 0;
  platform::Brush brBtnFace;
  platform::Brush brHighlight;
  platform::Brush brLight;
  platform::Brush brDarkShadow;
  platform::Brush brActiveCaption;
  platform::Brush brInactiveCaption;
  platform::Brush brWindow;
  platform::Brush brBarFace;
  platform::Pen penHighlight;
  platform::Pen penBarFace;
  platform::Pen penBarShadow;
  platform::Font fontRegular;
  platform::Font fontTooltip;
  platform::Font fontBold;
  platform::Font fontUnderline;
  platform::Font fontVert;
  platform::Font fontVertCaption;
  platform::Font fontMarlett;
  bool bIsOldNT = false;
  bool bIsWin9x = false;
  int nBitsPerPixel = 32;
  int nMaxToolTipWidth = -1;
  bool bIsRemoteSession = false;
  int nTextHeight = 0;
  // The line height of the vertical font, measured when a bar first stands upright: its face is
  // seldom needed, and loading it would slow every start.
  int TextHeightVert();

 private:
  std::optional<int> textHeightVert_;
  std::optional<QCursor> hcurStretch_;
  std::optional<QCursor> hcurStretchVert_;
  std::optional<QCursor> hcurHand_;
  std::optional<QIcon> hiconTool_;
};

// The library's one instance; valid between start-up and shut-down.
GlobalDrawData& globalData();
