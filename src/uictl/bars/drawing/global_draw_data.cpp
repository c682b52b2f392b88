#include "uictl/bars/drawing/global_draw_data.h"

#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

using namespace platform;

GlobalDrawData::GlobalDrawData() {
  UpdateSysColors();
  UpdateFonts();
  bIsRemoteSession = getSystemMetrics(SmRemoteSession) != 0;
}

GlobalDrawData::~GlobalDrawData() { CleanUp(); }

void GlobalDrawData::UpdateSysColors() {
  clrBtnFace = clrBarFace = getSysColor(ColorBtnFace);
  clrBtnShadow = clrBarShadow = getSysColor(ColorBtnShadow);
  clrBtnDarkShadow = clrBarDarkShadow = getSysColor(Color3dDkShadow);
  clrBtnLight = clrBarLight = getSysColor(Color3dLight);
  clrBtnHighlight = clrBarHighlight = getSysColor(ColorBtnHighlight);
  clrBtnText = clrBarText = getSysColor(ColorBtnText);
  clrGrayText = getSysColor(ColorGrayText);
  clrWindowFrame = getSysColor(ColorWindowFrame);
  clrHighlight = getSysColor(ColorHighlight);
  clrHighlightText = getSysColor(ColorHighlightText);
  clrBarWindow = clrWindow = getSysColor(ColorWindow);
  clrWindowText = getSysColor(ColorWindowText);
  clrCaptionText = getSysColor(ColorCaptionText);
  clrMenuText = getSysColor(ColorMenuText);
  clrActiveCaption = getSysColor(ColorActiveCaption);
  clrInactiveCaption = getSysColor(ColorInactiveCaption);
  clrActiveBorder = getSysColor(ColorActiveBorder);
  clrInactiveBorder = getSysColor(ColorInactiveBorder);
  clrInactiveCaptionText = getSysColor(ColorInactiveCaptionText);
  clrHotText = rgb(0, 0, 255);

  hbrBtnShadow = Brush::solid(clrBtnShadow);
  hbrBtnHighlight = Brush::solid(clrBtnHighlight);
  hbrWindow = Brush::solid(clrWindow);

  brBtnFace = Brush::solid(clrBtnFace);
  brBarFace = Brush::solid(clrBarFace);
  brActiveCaption = Brush::solid(clrActiveCaption);
  brInactiveCaption = Brush::solid(clrInactiveCaption);
  brHighlight = Brush::solid(clrHighlight);
  brDarkShadow = Brush::solid(clrBtnDarkShadow);
  brWindow = Brush::solid(clrBarWindow);
  penHighlight = Pen::solid(clrHighlight);
  penBarFace = Pen::solid(clrBarFace);
  penBarShadow = Pen::solid(clrBarShadow);

  nBitsPerPixel = systemMetrics().bitsPerPixel();
  if (nBitsPerPixel <= 8) {
    brLight = Brush::pattern(CreateDitherBitmap());
  } else {
    brLight = Brush::solid(DrawManager::HalfwayTo(clrBtnFace, clrBtnHighlight));
  }
  // The glyph strip is loaded again, in the new colours, when it is next drawn.
  if (MenuImages* glyphs = menuImagesIfStarted(); glyphs && glyphs->strip.GetCount() > 0) glyphs->strip.Clear();
}

QImage GlobalDrawData::CreateDitherBitmap() const {
  QImage bits(8, 8, QImage::Format_RGB32);
  const uint32_t face = toPixel(clrBtnFace);
  const uint32_t high = toPixel(clrBtnHighlight);
  for (int y = 0; y < 8; ++y) {
    // Rows alternate 0xAA and 0x55: the set bits (most significant first) are the highlight.
    const int row = (y % 2 == 0) ? 0xAA : 0x55;
    for (int x = 0; x < 8; ++x) bits.setPixel(x, y, (row >> (7 - x)) & 1 ? high : face);
  }
  return bits;
}

void GlobalDrawData::UpdateFonts() {
  const SystemMetricsProvider& system = systemMetrics();
  const LogFont menu = system.menuFont();
  LogFont lf;
  lf.charSet = system.screenCharSet();
  lf.height = menu.height;
  lf.weight = menu.weight;
  lf.italic = menu.italic;
  lf.faceName = menu.faceName;
  if (menu.charSet == AnsiCharset || menu.charSet == DefaultCharset || menu.charSet == SymbolCharset)
    lf.faceName = system.isFontFamilyInstalled(fontNames().tahoma) ? fontNames().tahoma : fontNames().msSansSerif;
  fontRegular = Font::create(lf);

  const LogFont status = system.statusFont();
  lf.weight = status.weight;
  lf.italic = status.italic;
  fontTooltip = Font::create(lf);

  lf.weight = menu.weight;
  lf.italic = menu.italic;
  lf.underline = true;
  fontUnderline = Font::create(lf);
  lf.underline = false;
  lf.weight = 700;
  fontBold = Font::create(lf);

  LogFont glyphs = lf;
  glyphs.charSet = SymbolCharset;
  glyphs.weight = 0;
  glyphs.height = getSystemMetrics(SmCyMenuCheck) - 1;
  glyphs.faceName = fontNames().marlett;
  fontMarlett = Font::create(glyphs);

  fontVert = Font();
  fontVertCaption = Font();
  if (std::optional<LogFont> gui = system.defaultGuiFont()) {
    LogFont vert = *gui;
    vert.height = menu.height;
    vert.weight = menu.weight;
    vert.italic = menu.italic;
    vert.orientation = 900;
    vert.escapement = 2700;
    vert.faceName = fontNames().arial;
    fontVert = Font::create(vert);
    vert.escapement = 900;
    fontVertCaption = Font::create(vert);
  }
  UpdateTextMetrics();
  // A bar may change the list while it lays itself out (a hosted control can make or end one).
  const std::vector<ToolbarLayoutClient*> bars = toolbarList();
  for (ToolbarLayoutClient* bar : bars) {
    const auto& live = toolbarList();
    if (std::find(live.begin(), live.end(), bar) == live.end()) continue;
    bar->OnGlobalFontsChanged();
    bar->AdjustLayout();
  }
}

namespace {

int lineHeight(const Font& font) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  Dc dc(scratch);
  dc.selectFont(font);
  const TextMetrics m = dc.getTextMetrics();
  return m.height + m.internalLeading + m.externalLeading;
}

}  // namespace

void GlobalDrawData::UpdateTextMetrics() {
  nTextHeight = lineHeight(fontRegular);
  textHeightVert_.reset();
}

int GlobalDrawData::TextHeightVert() {
  if (!textHeightVert_) textHeightVert_ = fontVert.isNull() ? nTextHeight : lineHeight(fontVert);
  return *textHeightVert_;
}

bool GlobalDrawData::DrawParentBackground(QWidget* child, Dc* dc, const Rect* clip) {
  if (!child || !dc || !child->parentWidget()) return false;
  QWidget* parent = child->parentWidget();
  const QPoint origin = child->mapTo(parent, QPoint(0, 0));
  Rect area = dc->bounds();
  if (clip) area = area.intersected(*clip);
  if (area.isEmpty()) return true;
  // The parent paints its own background and contents, without its children, shifted so that
  // the child's corner lands at the image's origin.
  QPainter painter(&dc->image());
  painter.setClipRect(area.toQRect());
  const QRegion source(QRect(origin + QPoint(area.left, area.top), QSize(area.width(), area.height())));
  parent->render(&painter, QPoint(area.left, area.top), source, QWidget::DrawWindowBackground);
  return true;
}

void GlobalDrawData::CleanUp() {
  menuSoundPlay(-1);
  brLight = Brush();
  fontRegular = fontTooltip = fontBold = fontUnderline = fontVert = fontVertCaption = Font();
}

int GlobalDrawData::GetOSPlatformId() { return 2; }

const QCursor& GlobalDrawData::StretchCursor() {
  if (!hcurStretch_) hcurStretch_ = QCursor(Qt::SplitHCursor);
  return *hcurStretch_;
}

const QCursor& GlobalDrawData::StretchVertCursor() {
  if (!hcurStretchVert_) hcurStretchVert_ = QCursor(Qt::SplitVCursor);
  return *hcurStretchVert_;
}

const QCursor& GlobalDrawData::HandCursor() {
  if (!hcurHand_) hcurHand_ = QCursor(Qt::PointingHandCursor);
  return *hcurHand_;
}

const QIcon& GlobalDrawData::ToolIcon() {
  if (!hiconTool_) {
    const int side = getSystemMetrics(SmCxSmIcon);
    hiconTool_ = QIcon(QPixmap(QStringLiteral(":/uictl/icon/16931.xpm")).scaled(side, side));
  }
  return *hiconTool_;
}
