// What the skin's host functions work on in the study window: its drawing surface, its font and
// image slots, and its controls (the engine's SkinHost covers loading and the Lua state).
#pragma once

#include <QImage>
#include <array>
#include <optional>
#include <string>

#include "platform/drawing/gdi_dc.h"
#include "study/skin/skin_host.h"

namespace study {

inline constexpr int kSkinSlotCount = 20;

class StudySkinHost : public SkinHost {
 public:
  // The DC of OnUpdate; null outside it.
  platform::Dc* paintDc = nullptr;
  // COLORREF of the window's background: the background colour of every DC the skin draws on.
  uint32_t backgroundColor = 0;
  std::array<std::optional<platform::Font>, kSkinSlotCount> fonts;
  std::array<QImage, kSkinSlotCount> images;

  // The image the window shows; drawing outside OnUpdate goes here and is shown by showDrawn.
  virtual QImage& surface() = 0;
  virtual void showDrawn() = 0;
  virtual QWidget* skinControl(int id) = 0;
  virtual std::wstring ExpandTextMacros(const std::wstring& text) const = 0;
  // The skin's Alert box.
  virtual void alert(const std::wstring& text) = 0;
  // Image 100: the glyphs of the pronunciation codes from (x, y) on; false when the window shows
  // no pronunciation as images now.
  virtual bool DrawPronunciationStrip(platform::Dc& dc, int x, int y) = 0;
};

// The folder of the skin file: where its images and included files are looked for.
QString skinFolderOf(const std::wstring& skinPath);
// A file name as a skin or its user wrote it: skins made on Windows separate folders with "\".
QString skinNamedFile(QString name);
// A file named for the skin (an image the skin loads, the user's background image): the path as
// given when a file is there, else the same path from the skin's folder (a bare name lies beside
// the skin); empty for an empty name.
QString skinFilePath(const std::wstring& skinPath, const QString& name);
// A name relative to the skin's folder (its BackgroundImageFile) as a path.
QString skinFolderFilePath(const std::wstring& skinPath, const QString& name);

// The sixteen functions of the table KLV, in their fixed order.
const SkinHostFunctions& studySkinHostFunctions();

}  // namespace study
