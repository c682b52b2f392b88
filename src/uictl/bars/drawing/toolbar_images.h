// Strips of equal toolbar images in one bitmap (image i at x = i * width), with the classic
// grays mapped to the system colours, a light copy for faded drawing, and drawing in the normal,
// checked, disabled, shadowed, transparent, scaled and alpha-blended looks. Bitmap resources are
// Qt resources named ":/bitmap/<id>.bmp" (or .png, .xpm).
#pragma once

#include "platform/settings/archive.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"

#include <QIcon>
#include <QImage>
#include <map>
#include <string>
#include <vector>

using platform::COLORREF;

// The Qt resource of a bitmap id (":/bitmap/<id>.bmp", .png or .xpm); empty when there is none.
QString bitmapResourcePath(unsigned id);
// A bitmap resource widened to 32 bits, the dark, face and light grays of its colour table
// turned into the system's shadow, face and light colours; null when there is none.
QImage loadBitmapResourceWith3dColors(unsigned id);

// What a drawing pass keeps between PrepareDrawImage and EndDrawImage.
struct ImageDrawState {
  bool active = false;
  bool fade = false;
};

class ToolbarImages : public platform::CObject {
 public:
  ToolbarImages();
  ~ToolbarImages() override;
  ToolbarImages(const ToolbarImages&) = delete;
  ToolbarImages& operator=(const ToolbarImages&) = delete;

  void Clear();
  void UpdateCount();
  // With `add`, the images are appended once per resource id; otherwise they replace the strip.
  bool Load(unsigned resourceId, bool add = false);
  // A bitmap file; a bare name is looked for beside the program.
  bool LoadStr(const std::wstring& path);
  int AddImage(const QImage& bitmap);
  int AddIcon(const QIcon& icon);
  bool UpdateImage(int index, const QImage& bitmap);
  bool CopyImageToClipboard(int index);
  // `target` becomes a read-only borrower of this strip.
  void CopyTemp(ToolbarImages& target) const;
  bool MapTo3dColors(bool rgbQuad = false, COLORREF source = platform::kNoColor, COLORREF target = platform::kNoColor);
  bool CreateLightImage();
  void OnSysColorChange();

  bool PrepareDrawImage(ImageDrawState& state, platform::Size destination = {0, 0}, bool fadeInactive = false);
  bool Draw(platform::Dc* dc, int x, int y, int index, bool highlighted = false, bool disabled = false,
            bool indeterminate = false, bool shadow = false, bool inactive = false);
  void EndDrawImage(ImageDrawState& state);

  // Closes the shared drawing state; registered to run at the library's shut-down.
  static void CleanUp();
  static bool SharedStateExists();
  static COLORREF MapToSysColor(COLORREF colour, bool rgbQuad = false);
  static COLORREF MapFromSysColor(COLORREF colour, bool rgbQuad = false);
  static COLORREF MapGrayToSysColor(COLORREF colour);

  int GetCount() const { return iCount; }
  platform::Size GetImageSize() const { return sizeImage; }
  void SetImageSize(platform::Size size) { sizeImage = size; UpdateCount(); }
  COLORREF SetTransparentColor(COLORREF colour);
  const QImage& GetImageWell() const { return hbmImageWell; }
  bool IsReadOnly() const { return bReadOnly; }
  // The list of resource ids loaded into the strip.
  void Serialize(platform::Archive& archive) override;

  platform::Size sizeImage{16, 15};
  platform::Size sizeImageDest{0, 0};
  QImage hbmImageWell;
  QImage hbmImageLight;
  bool bUserImagesList = false;
  std::wstring strUDLPath;
  bool bModified = false;
  int iCount = 0;
  std::vector<unsigned> lstOrigResIds;
  std::map<unsigned, int> mapOrigResOffsets;
  bool bStretch = false;
  COLORREF clrTransparent = platform::kNoColor;
  bool bIsTemporary = false;
  bool bReadOnly = false;
  COLORREF clrImageShadow = 0;
  bool bFadeInactive = false;
  int nBitsPerPixel = 0;

 private:
  bool isAlphaStrip() const;
  COLORREF backgroundColour() const;
  // White (true) where image i shows its background (and the highlight colour with `hilite`).
  std::vector<bool> createMask(const QImage& cell, bool hilite, bool hiliteShadow) const;
  void mapPixels(QImage& image) const;
  // Joins the bitmap to the right of the strip; the caller recounts and remakes the light copy.
  void appendToWell(const QImage& bitmap);
};

// The shared strip of 9 x 9 glyphs (arrows, close boxes, the show-all double arrow).
class MenuImages {
 public:
  static bool Initialize();
  static void Draw(platform::Dc* dc, int glyph, platform::Point topLeft, platform::Size size = {0, 0});
  static void DrawCentred(platform::Dc* dc, int glyph, const platform::Rect& rect);
  static platform::Size GlyphSize() { return {9, 9}; }
  ToolbarImages strip;
};

// The library's glyph strip; null before start-up and after shut-down.
MenuImages* menuImagesIfStarted();
