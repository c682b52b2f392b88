#include "uictl/bars/drawing/toolbar_images.h"

#include "platform/windows/notifier.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>

using namespace platform;

namespace {

// State shared by every strip: exists from the first strip made until CleanUp.
bool g_sharedState = false;

struct ClassicColour {
  COLORREF standard;
  int system;
};
constexpr ClassicColour kColourMap[] = {
    {rgb(0, 0, 0), ColorBtnText},
    {rgb(128, 128, 128), ColorBtnShadow},
    {rgb(192, 192, 192), ColorBtnFace},
    {rgb(255, 255, 255), ColorBtnHighlight},
};

COLORREF swapRedBlue(COLORREF c) { return rgb(blueOf(c), greenOf(c), redOf(c)); }

// The depth the bitmap was stored with; Qt widens everything to 32 bits on load.
int storedDepth(const QString& path, const QImage& image) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray head = file.read(30);
    if (head.size() >= 30 && head.startsWith("BM"))
      return static_cast<unsigned char>(head[28]) | (static_cast<unsigned char>(head[29]) << 8);
  }
  if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) return 1;
  if (image.format() == QImage::Format_Indexed8) return image.colorCount() <= 16 ? 4 : 8;
  return image.hasAlphaChannel() ? 32 : 24;
}

// Loads a bitmap with the classic dark, face and light grays of a palette image turned into
// the system's 3-D colours, and widens it to 32 bits.
QImage loadBitmap(const QString& path, int* depth) {
  QImage image(path);
  if (image.isNull()) return image;
  *depth = storedDepth(path, image);
  if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
    image = image.convertToFormat(QImage::Format_Indexed8);
  if (image.format() == QImage::Format_Indexed8) {
    QVector<QRgb> table = image.colorTable();
    for (QRgb& entry : table) {
      const COLORREF c = fromPixel(entry);
      if (c == rgb(128, 128, 128)) entry = toPixel(getSysColor(ColorBtnShadow));
      else if (c == rgb(192, 192, 192)) entry = toPixel(getSysColor(ColorBtnFace));
      else if (c == rgb(223, 223, 223)) entry = toPixel(getSysColor(Color3dLight));
    }
    image.setColorTable(table);
  }
  return image.convertToFormat(*depth == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Runs `change` over the colour of every pixel; each pixel keeps its alpha.
template <class Change>
void recolour(QImage& image, Change change) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const COLORREF c = fromPixel(line[x]);
      const COLORREF changed = change(c);
      if (changed != c) line[x] = (line[x] & 0xFF000000u) | (toPixel(changed) & 0xFFFFFF);
    }
  }
}

}  // namespace

QString bitmapResourcePath(unsigned id) {
  for (const char* ext : {"bmp", "png", "xpm"}) {
    const QString path = QStringLiteral(":/bitmap/%1.%2").arg(id).arg(QLatin1String(ext));
    if (QFile::exists(path)) return path;
  }
  return {};
}

QImage loadBitmapResourceWith3dColors(unsigned id) {
  const QString path = bitmapResourcePath(id);
  int depth = 0;
  return path.isEmpty() ? QImage() : loadBitmap(path, &depth);
}

ToolbarImages::ToolbarImages() {
  g_sharedState = true;
  OnSysColorChange();
}

ToolbarImages::~ToolbarImages() { Clear(); }

void ToolbarImages::CleanUp() { g_sharedState = false; }
bool ToolbarImages::SharedStateExists() { return g_sharedState; }

void ToolbarImages::Clear() {
  if (!bReadOnly) {
    hbmImageWell = QImage();
    hbmImageLight = QImage();
  }
  lstOrigResIds.clear();
  mapOrigResOffsets.clear();
  strUDLPath.clear();
  bUserImagesList = false;
  iCount = 0;
  bModified = false;
}

void ToolbarImages::UpdateCount() {
  iCount = (hbmImageWell.isNull() || sizeImage.cx <= 0) ? 0 : hbmImageWell.width() / sizeImage.cx;
}

COLORREF ToolbarImages::SetTransparentColor(COLORREF colour) { return std::exchange(clrTransparent, colour); }

bool ToolbarImages::isAlphaStrip() const {
  // Alpha blending is always available here; only strips stored with 32 bits carry alpha.
  return nBitsPerPixel == 32;
}

COLORREF ToolbarImages::backgroundColour() const {
  return (clrTransparent == kNoColor || isAlphaStrip()) ? globalData().clrBtnFace : clrTransparent;
}

bool ToolbarImages::Load(unsigned resourceId, bool add) {
  if (bReadOnly) return false;
  if (add && std::find(lstOrigResIds.begin(), lstOrigResIds.end(), resourceId) != lstOrigResIds.end()) return true;
  const QString path = bitmapResourcePath(resourceId);
  int depth = 0;
  QImage bitmap = path.isEmpty() ? QImage() : loadBitmap(path, &depth);
  if (bitmap.isNull()) return false;
  if (add) {
    mapOrigResOffsets[resourceId] = iCount;
    appendToWell(bitmap);
    nBitsPerPixel = std::max(nBitsPerPixel, depth);
  } else {
    Clear();
    hbmImageWell = bitmap;
    nBitsPerPixel = depth;
    mapOrigResOffsets[resourceId] = 0;
  }
  lstOrigResIds.push_back(resourceId);
  if (nBitsPerPixel > 8 && nBitsPerPixel < 32) MapTo3dColors(false, kNoColor, kNoColor);
  UpdateCount();
  CreateLightImage();
  return true;
}

bool ToolbarImages::LoadStr(const std::wstring& path) {
  if (bReadOnly) return false;
  QString file = QString::fromStdWString(path);
  if (!file.contains('\\') && !file.contains('/'))
    file = QCoreApplication::applicationDirPath() + '/' + file;
  int depth = 0;
  QImage bitmap = loadBitmap(file, &depth);
  if (bitmap.isNull()) return false;
  Clear();
  hbmImageWell = bitmap;
  nBitsPerPixel = depth;
  strUDLPath = path;
  bUserImagesList = true;
  bReadOnly = !QFileInfo(file).isWritable();
  if (nBitsPerPixel > 8 && nBitsPerPixel < 32) mapPixels(hbmImageWell);
  UpdateCount();
  CreateLightImage();
  return true;
}

int ToolbarImages::AddImage(const QImage& bitmap) {
  if (bReadOnly || bitmap.isNull()) return -1;
  appendToWell(bitmap);
  UpdateCount();
  CreateLightImage();
  return iCount - 1;
}

void ToolbarImages::appendToWell(const QImage& bitmap) {
  // Alpha survives the join when either side carries it: opaque pixels stay opaque in ARGB32.
  const bool keepAlpha = hbmImageWell.format() == QImage::Format_ARGB32 || bitmap.format() == QImage::Format_ARGB32;
  const QImage added = bitmap.convertToFormat(keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  QImage well(hbmImageWell.width() + added.width(), std::max(hbmImageWell.height(), added.height()), added.format());
  well.fill(0);
  QPainter painter(&well);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (!hbmImageWell.isNull()) painter.drawImage(0, 0, hbmImageWell);
  painter.drawImage(hbmImageWell.width(), 0, added);
  painter.end();
  hbmImageWell = well;
  bModified = true;
}

int ToolbarImages::AddIcon(const QIcon& icon) {
  QImage cell(sizeImage.cx, sizeImage.cy, QImage::Format_RGB32);
  cell.fill(toPixel(globalData().clrBtnFace));
  QPainter painter(&cell);
  icon.paint(&painter, QRect(0, 0, sizeImage.cx, sizeImage.cy));
  painter.end();
  return AddImage(cell);
}

bool ToolbarImages::UpdateImage(int index, const QImage& bitmap) {
  if (bReadOnly || !bUserImagesList || index < 0 || index >= iCount || bitmap.isNull()) return false;
  QPainter painter(&hbmImageWell);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QPoint(index * sizeImage.cx, 0), bitmap, QRect(0, 0, sizeImage.cx, sizeImage.cy));
  painter.end();
  bModified = true;
  CreateLightImage();
  return true;
}

bool ToolbarImages::CopyImageToClipboard(int index) {
  QImage cell(sizeImage.cx, sizeImage.cy, QImage::Format_RGB32);
  Dc dc(cell);
  dc.fillRect(dc.bounds(), globalData().brBtnFace);
  ImageDrawState state;
  bool drawn = PrepareDrawImage(state);
  drawn = drawn && Draw(&dc, 0, 0, index);
  EndDrawImage(state);
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!drawn || !clipboard) {
    platform::messageBox(nullptr, libraryString(kStringClipboardFailed), L"", platform::MbOk | platform::MbIconError);
    return false;
  }
  clipboard->setImage(cell);
  return true;
}

void ToolbarImages::CopyTemp(ToolbarImages& target) const {
  target.Clear();
  target.hbmImageWell = hbmImageWell;
  target.hbmImageLight = hbmImageLight;
  target.sizeImage = sizeImage;
  target.sizeImageDest = sizeImageDest;
  target.bUserImagesList = bUserImagesList;
  target.strUDLPath = strUDLPath;
  target.nBitsPerPixel = nBitsPerPixel;
  target.iCount = iCount;
  target.clrTransparent = clrTransparent;
  target.bReadOnly = true;
  target.bIsTemporary = true;
}

COLORREF ToolbarImages::MapToSysColor(COLORREF colour, bool rgbQuad) {
  for (const ClassicColour& entry : kColourMap) {
    const COLORREF standard = rgbQuad ? swapRedBlue(entry.standard) : entry.standard;
    if (colour == standard) {
      const COLORREF system = getSysColor(entry.system);
      return rgbQuad ? swapRedBlue(system) : system;
    }
  }
  return colour;
}

COLORREF ToolbarImages::MapFromSysColor(COLORREF colour, bool rgbQuad) {
  for (const ClassicColour& entry : kColourMap) {
    const COLORREF system = rgbQuad ? swapRedBlue(getSysColor(entry.system)) : getSysColor(entry.system);
    if (colour == system) return rgbQuad ? swapRedBlue(entry.standard) : entry.standard;
  }
  return colour;
}

COLORREF ToolbarImages::MapGrayToSysColor(COLORREF colour) {
  const int g = redOf(colour);
  if (g != greenOf(colour) || g != blueOf(colour)) return colour;
  if (g == 0) return getSysColor(ColorBtnText);
  if (g == 255) return getSysColor(ColorBtnHighlight);
  if (g == 128) return getSysColor(ColorBtnShadow);
  return DrawManager::PixelAlpha(getSysColor(ColorBtnFace), 100 + (g - 192) * 100 / 255);
}

void ToolbarImages::mapPixels(QImage& image) const {
  // 24-bit strips take every shade of gray to a shade of the face colour; others only the
  // four classic colours.
  const bool grayScale = nBitsPerPixel == 24;
  recolour(image, [grayScale](COLORREF c) { return grayScale ? MapGrayToSysColor(c) : MapToSysColor(c); });
}

bool ToolbarImages::MapTo3dColors(bool rgbQuad, COLORREF source, COLORREF target) {
  if (hbmImageWell.isNull() || bReadOnly) return false;
  if (source != kNoColor && target == kNoColor) return false;
  QImage copy = hbmImageWell.copy();
  if (source == kNoColor) {
    mapPixels(copy);
  } else {
    const COLORREF from = rgbQuad ? swapRedBlue(source) : source;
    const COLORREF to = rgbQuad ? swapRedBlue(target) : target;
    recolour(copy, [from, to](COLORREF c) { return c == from ? to : c; });
  }
  hbmImageWell = copy;
  return true;
}

bool ToolbarImages::CreateLightImage() {
  if (!bReadOnly) hbmImageLight = QImage();
  if (hbmImageWell.isNull() || globalData().nBitsPerPixel <= 8 || bReadOnly) return false;
  const COLORREF transparent = isAlphaStrip() ? kNoColor : backgroundColour();
  QImage light = hbmImageWell.copy();
  recolour(light, [transparent](COLORREF c) {
    return transparent != kNoColor && c == transparent ? c : DrawManager::PixelAlpha(c, 130, 130, 130);
  });
  hbmImageLight = light;
  return true;
}

void ToolbarImages::OnSysColorChange() {
  if (bReadOnly) return;
  if (bUserImagesList && !strUDLPath.empty()) {
    const std::wstring path = strUDLPath;
    LoadStr(path);
  } else if (!lstOrigResIds.empty()) {
    const std::vector<unsigned> ids = lstOrigResIds;
    hbmImageWell = QImage();
    lstOrigResIds.clear();
    mapOrigResOffsets.clear();
    iCount = 0;
    for (unsigned id : ids) Load(id, true);
  }
  UpdateCount();
  const GlobalDrawData* data = globalDataIfStarted();
  const COLORREF shadow = data ? data->clrBtnShadow : getSysColor(ColorBtnShadow);
  const int depth = data ? data->nBitsPerPixel : systemMetrics().bitsPerPixel();
  clrImageShadow = depth <= 8 ? shadow : DrawManager::PixelAlpha(shadow, 170);
}

bool ToolbarImages::PrepareDrawImage(ImageDrawState& state, Size destination, bool fadeInactive) {
  if (hbmImageWell.isNull()) return false;
  state.fade = !hbmImageLight.isNull() && fadeInactive && nBitsPerPixel >= 1 && nBitsPerPixel <= 4;
  bFadeInactive = state.fade;
  sizeImageDest = (destination.cx > 0 && destination.cy > 0) ? destination : sizeImage;
  bStretch = !(sizeImageDest == sizeImage);
  state.active = true;
  return true;
}

void ToolbarImages::EndDrawImage(ImageDrawState& state) {
  state = ImageDrawState();
  bFadeInactive = false;
  bStretch = false;
}

std::vector<bool> ToolbarImages::createMask(const QImage& cell, bool hilite, bool hiliteShadow) const {
  const int w = sizeImage.cx + 2, h = sizeImage.cy + 2;
  std::vector<bool> white(static_cast<size_t>(w * h), true);
  const COLORREF background = backgroundColour();
  const COLORREF highlight = globalData().clrBtnHighlight;
  for (int y = 0; y < cell.height(); ++y)
    for (int x = 0; x < cell.width(); ++x) {
      const uint32_t p = cell.pixel(x, y);
      const COLORREF c = fromPixel(p);
      const bool clear = (isAlphaStrip() && (p >> 24) == 0) || c == background || (hilite && c == highlight);
      white[static_cast<size_t>(y * w + x)] = clear;
    }
  if (hiliteShadow) {
    const std::vector<bool> before = white;
    for (int y = 1; y < h; ++y)
      for (int x = 1; x < w; ++x)
        white[static_cast<size_t>(y * w + x)] = before[static_cast<size_t>(y * w + x)] && before[static_cast<size_t>((y - 1) * w + x - 1)];
  }
  return white;
}

bool ToolbarImages::Draw(Dc* dc, int x, int y, int index, bool highlighted, bool disabled, bool indeterminate,
                         bool shadow, bool inactive) {
  if (index < 0 || index >= iCount || !dc) return false;
  GlobalDrawData& g = globalData();
  if (shadow && g.nBitsPerPixel <= 8) return true;
  if (bStretch) highlighted = indeterminate = false;
  const bool alpha = isAlphaStrip();
  if (shadow && alpha) return true;
  const QImage& source = (bFadeInactive && inactive) ? hbmImageLight : hbmImageWell;
  const QImage cell = source.copy(index * sizeImage.cx, 0, sizeImage.cx, sizeImage.cy);
  const bool grayDisabled = disabled && nBitsPerPixel >= 24;

  // Scaled or transparent images are put together in a work image first and copied at the end.
  const COLORREF transparent = alpha ? kNoColor : clrTransparent;
  const bool viaWork = bStretch || transparent != kNoColor;
  QImage workImage;
  Dc* target = dc;
  int tx = x, ty = y;
  const COLORREF key = backgroundColour();
  std::unique_ptr<Dc> work;
  if (viaWork) {
    workImage = QImage(sizeImage.cx + 2, sizeImage.cy + 2, QImage::Format_RGB32);
    workImage.fill(toPixel(key));
    work = std::make_unique<Dc>(workImage);
    target = work.get();
    tx = ty = 0;
  }

  auto paintImage = [&](int constantAlpha) {
    for (int cy = 0; cy < cell.height(); ++cy)
      for (int cx = 0; cx < cell.width(); ++cx) {
        const uint32_t p = cell.pixel(cx, cy);
        COLORREF c = fromPixel(p);
        if (alpha) {
          const int a = static_cast<int>(p >> 24) * constantAlpha / 255;
          const COLORREF under = target->getPixel(tx + cx, ty + cy);
          if (under == kNoColor) continue;
          c = DrawManager::BlendColors(c, under, a * 100 / 255);
        }
        target->setPixel(tx + cx, ty + cy, c);
      }
  };
  auto paintThroughMask = [&](const std::vector<bool>& mask, bool whereWhite, int ox, int oy, const platform::Brush& brush) {
    const int w = sizeImage.cx + 2;
    for (int my = 0; my < sizeImage.cy + 2; ++my)
      for (int mx = 0; mx < w; ++mx)
        if (mask[static_cast<size_t>(my * w + mx)] == whereWhite)
          target->setPixel(tx + ox + mx, ty + oy + my, brush.colourAt(tx + ox + mx, ty + oy + my));
  };

  const bool masked = (disabled && !grayDisabled) || shadow;
  if (!masked) paintImage(grayDisabled ? 127 : 255);
  if (grayDisabled) {
    DrawManager(*target).GrayRect(Rect::fromSize(tx, ty, sizeImage.cx + 2, sizeImage.cy + 2), -1, transparent);
  } else if (masked) {
    const std::vector<bool> mask = createMask(cell, true, false);
    if (disabled && CUxVisualManager::GetInstance()->bEmbossDisabledImage)
      paintThroughMask(mask, false, 1, 1, g.hbrBtnHighlight);
    paintThroughMask(mask, false, 0, 0, shadow ? platform::Brush::solid(clrImageShadow) : g.hbrBtnShadow);
  }
  if ((highlighted || indeterminate) && !masked)
    paintThroughMask(createMask(cell, !indeterminate, disabled), true, 0, 0, g.brLight);

  if (viaWork) {
    // Copy the image part to the target, stretched to the pass's size, leaving key pixels out.
    const Size dest = sizeImageDest;
    for (int dy = 0; dy < dest.cy; ++dy)
      for (int dx = 0; dx < dest.cx; ++dx) {
        const COLORREF c = work->getPixel(dx * sizeImage.cx / dest.cx, dy * sizeImage.cy / dest.cy);
        if (c != key) dc->setPixel(x + dx, y + dy, c);
      }
  }
  return true;
}

void ToolbarImages::Serialize(Archive& archive) {
  if (archive.IsStoring()) {
    archive.writeCount(static_cast<uint32_t>(lstOrigResIds.size()));
    for (unsigned id : lstOrigResIds) archive.writeU32(id);
    return;
  }
  const uint32_t count = archive.readCount();
  lstOrigResIds.clear();
  for (uint32_t i = 0; i < count; ++i) lstOrigResIds.push_back(archive.readU32());
}

bool MenuImages::Initialize() {
  MenuImages* self = menuImagesIfStarted();
  if (!self) return false;
  ToolbarImages& strip = self->strip;
  if (strip.GetCount() > 0) return true;
  strip.SetImageSize(GlyphSize());
  if (!strip.Load(kMenuGlyphBitmapId)) return false;
  strip.SetTransparentColor(rgb(255, 0, 255));
  strip.CreateLightImage();
  strip.MapTo3dColors(true, kNoColor, kNoColor);
  return true;
}

void MenuImages::Draw(Dc* dc, int glyph, Point topLeft, platform::Size size) {
  if (!Initialize()) return;
  ToolbarImages& strip = menuImagesIfStarted()->strip;
  ImageDrawState state;
  if (!strip.PrepareDrawImage(state, size)) return;
  strip.Draw(dc, topLeft.x, topLeft.y, glyph);
  strip.EndDrawImage(state);
}

void MenuImages::DrawCentred(Dc* dc, int glyph, const Rect& rect) {
  const Size g = GlyphSize();
  Draw(dc, glyph, {rect.left + (rect.width() - g.cx) / 2, rect.top + (rect.height() - g.cy) / 2});
}
