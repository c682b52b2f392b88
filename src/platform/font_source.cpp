#include "platform/font_source.h"

#include <QFontDatabase>
#include <QList>
#include <QStringList>

namespace platform {

namespace {

const FontSource* g_current = nullptr;

// Qt names a family that several foundries make "Family [Foundry]".
QString withoutFoundry(const QString& family) {
  const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
  return bracket > 0 && family.endsWith(QLatin1Char(']')) ? family.left(bracket) : family;
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
  for (const QString& family : QFontDatabase::families()) {
    FontFace face;
    face.faceName = withoutFoundry(family).toStdWString();
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
