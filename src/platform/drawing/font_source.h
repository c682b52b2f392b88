// The installed fonts as the original platform's font enumeration reports them: one report per
// family and writing system, with a character set, a pitch and a font type. The real source
// reads fontconfig through Qt; tests install a source of their own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum FontType : int { RasterFontType = 1, DeviceFontType = 2, TrueTypeFontType = 4 };
enum FontPitch : int { DefaultPitch = 0, FixedPitch = 1, VariablePitch = 2 };
constexpr int kMacCharset = 77;

struct FontFace {
  std::wstring faceName;
  std::wstring script;
  int charSet = 0;
  int pitchAndFamily = 0;
  int fontType = 0;
  // Every name the family goes by, the face name among them: a family may be named in several
  // languages, and the system lists it under the one of its own language.
  std::vector<std::wstring> familyNames{};
};

class FontSource {
 public:
  virtual ~FontSource() = default;
  // Reports every face of the character set (1 = all of them), in the source's own order.
  virtual void enumerate(int charSet, const std::function<void(const FontFace&)>& report) const = 0;
  // Whether the system treats double-byte text (and so the vertical "@" faces) as its own.
  virtual bool doubleByteEnabled() const { return true; }
};

// The installed fonts through QFontDatabase.
class SystemFontSource : public FontSource {
 public:
  void enumerate(int charSet, const std::function<void(const FontFace&)>& report) const override;
};

// The character set a writing system stands for (QFontDatabase::WritingSystem); 1 for the rest.
int charSetOfWritingSystem(int writingSystem);

const FontSource& fontSource();

// Installs another source until the guard goes.
class FontSourceOverride {
 public:
  explicit FontSourceOverride(const FontSource& replacement);
  ~FontSourceOverride();
  FontSourceOverride(const FontSourceOverride&) = delete;
  FontSourceOverride& operator=(const FontSourceOverride&) = delete;

 private:
  const FontSource* previous_;
};

}  // namespace platform
