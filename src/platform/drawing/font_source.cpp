#include "platform/drawing/font_source.h"

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <map>

namespace platform {

namespace {

const FontSource* g_current = nullptr;

// Qt names a family that several foundries make "Family [Foundry]".
QString withoutFoundry(const QString& family) {
  const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
  return bracket > 0 && family.endsWith(QLatin1Char(']')) ? family.left(bracket) : family;
}

// Each family's names by every one of them, as fontconfig lists them (one font file may carry a
// family's names in several languages; another file of the family may add more).
std::map<std::wstring, std::vector<std::wstring>> familyNameGroups() {
  std::map<std::wstring, std::vector<std::wstring>> groups;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    std::vector<std::wstring> names;
    FcChar8* value = nullptr;
    for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &value) == FcResultMatch; ++n)
      names.push_back(QString::fromUtf8(reinterpret_cast<const char*>(value)).toStdWString());
    for (const std::wstring& name : names) {
      std::vector<std::wstring>& group = groups[name];
      for (const std::wstring& other : names)
        if (std::find(group.begin(), group.end(), other) == group.end()) group.push_back(other);
    }
  }
  if (fonts) FcFontSetDestroy(fonts);
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  return groups;
}

}  // namespace

int charSetOfWritingSystem(int writingSystem) {
  switch (static_cast<QFontDatabase::WritingSystem>(writingSystem)) {
    case QFontDatabase::Latin: return 0;
    case QFontDatabase::Symbol: return 2;
    case QFontDatabase::Japanese: return 128;
    case QFontDatabase::Korean: return 129;
    case QFontDatabase::SimplifiedChinese: return 134;
    case QFontDatabase::TraditionalChinese: return 136;
    case QFontDatabase::Greek: return 161;
    case QFontDatabase::Vietnamese: return 163;
    case QFontDatabase::Hebrew: return 177;
    case QFontDatabase::Arabic: return 178;
    case QFontDatabase::Cyrillic: return 204;
    case QFontDatabase::Thai: return 222;
    default: return 1;
  }
}

void SystemFontSource::enumerate(int charSet, const std::function<void(const FontFace&)>& report) const {
  const std::map<std::wstring, std::vector<std::wstring>> names = familyNameGroups();
  for (const QString& family : QFontDatabase::families()) {
    FontFace face;
    face.faceName = withoutFoundry(family).toStdWString();
    const auto group = names.find(face.faceName);
    face.familyNames = group != names.end() ? group->second : std::vector<std::wstring>{face.faceName};
    face.fontType = QFontDatabase::isSmoothlyScalable(family) ? TrueTypeFontType : RasterFontType;
    face.pitchAndFamily = QFontDatabase::isFixedPitch(family) ? FixedPitch : VariablePitch;
    for (QFontDatabase::WritingSystem system : QFontDatabase::writingSystems(family)) {
      face.charSet = charSetOfWritingSystem(system);
      if (charSet != 1 && face.charSet != charSet) continue;
      face.script = QFontDatabase::writingSystemName(system).toStdWString();
      report(face);
    }
  }
}

const FontSource& fontSource() {
  static const SystemFontSource installed;
  return g_current ? *g_current : installed;
}

FontSourceOverride::FontSourceOverride(const FontSource& replacement) : previous_(g_current) { g_current = &replacement; }

FontSourceOverride::~FontSourceOverride() { g_current = previous_; }

}  // namespace platform
