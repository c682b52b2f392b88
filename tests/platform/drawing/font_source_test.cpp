// The installed fonts as the font source reports them.
#include "platform/drawing/font_source.h"

#include <QFontDatabase>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;

TEST(FontSourceTest, InstalledJapaneseFaceAndTheCharacterSetFilter) {
  std::vector<FontFace> all, japanese;
  fontSource().enumerate(1, [&all](const FontFace& face) { all.push_back(face); });
  fontSource().enumerate(128, [&japanese](const FontFace& face) { japanese.push_back(face); });
  ASSERT_FALSE(all.empty());
  for (const FontFace& face : all) EXPECT_EQ(face.faceName.find(L" ["), std::wstring::npos) << face.faceName.size();
  for (const FontFace& face : japanese) EXPECT_EQ(face.charSet, 128);
  // Listed under the name of the locale's language (FC_LANG), known by all of them.
  const auto namedGothic = [](const FontFace& f) {
    return std::find(f.familyNames.begin(), f.familyNames.end(), L"IPAGothic") != f.familyNames.end();
  };
  const auto gothic = std::find_if(japanese.begin(), japanese.end(), namedGothic);
  ASSERT_NE(gothic, japanese.end());
  EXPECT_EQ(gothic->familyNames.size(), 2u);
  EXPECT_NE(std::find(gothic->familyNames.begin(), gothic->familyNames.end(), L"IPAゴシック"), gothic->familyNames.end());
  EXPECT_NE(std::find(gothic->familyNames.begin(), gothic->familyNames.end(), gothic->faceName), gothic->familyNames.end());
  EXPECT_EQ(gothic->script, QFontDatabase::writingSystemName(QFontDatabase::Japanese).toStdWString());
  EXPECT_EQ(gothic->fontType, TrueTypeFontType);
  // Each of its writing systems is one report, Latin among them.
  EXPECT_GT(std::count_if(all.begin(), all.end(), namedGothic), 1);
  EXPECT_EQ(charSetOfWritingSystem(QFontDatabase::Latin), 0);
  EXPECT_EQ(charSetOfWritingSystem(QFontDatabase::Tamil), 1);
}
