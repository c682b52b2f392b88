// Skin descriptions from an inspection state, and the skin user file.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/text.h"
#include "skin_test_support.h"
#include "study/skin/font_spec.h"
#include "study/skin/skin_info.h"
#include "study/skin/skin_user_vars.h"
#include "test_env.h"

using namespace study;
using skintest::BoxRecorder;

namespace {

std::wstring fixtureSkin(const char* name) {
  return platform::fromUtf8(testenv::sourceDir() + "/tests/study/skins/" + name);
}

}  // namespace

TEST(SkinInfo, DescribesTheFixtureSkins) {
  BoxRecorder boxes;
  SkinInfo recorder;
  EXPECT_TRUE(recorder.Load(fixtureSkin("recorder.lua")));
  EXPECT_EQ(recorder.DesignName, L"記録スキン");
  EXPECT_EQ(recorder.BackgroundImageFile, L"back.bmp");
  EXPECT_EQ(recorder.BackgroundColor, L"102030");
  EXPECT_EQ(recorder.dialogWidth, 640);
  EXPECT_EQ(recorder.dialogHeight, 480);
  EXPECT_EQ(recorder.fontVariables(), (SkinVariableMap{{L"QuestionFont", L"12,0,0,0,0,IPAGothic"}}));
  EXPECT_EQ(recorder.colorVariables(), (SkinVariableMap{{L"TextColor", L"000000"}}));
  EXPECT_EQ(recorder.imageFileVariables(), (SkinVariableMap{{L"Frame", L"frame2.bmp"}}));

  SkinInfo plain;
  plain.Load(fixtureSkin("plain.lua"));
  EXPECT_EQ(plain.DesignName, L"");
  EXPECT_EQ(plain.dialogWidth, 100);

  // Errors of an inspected skin stay silent; what ran before them still counts.
  SkinInfo bom;
  bom.Load(fixtureSkin("utf8bom.lua"));
  EXPECT_EQ(bom.DesignName, L"UTF-8 の皮");
  EXPECT_EQ(bom.BackgroundColor, L"ffffff");
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(SkinInfo, StubsRecordOnlyTheKnownTypesAndRefuseBadCalls) {
  const std::string folder = skintest::freshFolder();
  BoxRecorder boxes;
  SkinInfo info;
  info.Load(platform::fromUtf8(skintest::writeFile(
      folder, "s.lua",
      "local a = KLV.LoadUserVar('A', 'Font', 'x')\n"
      "local b = KLV.LoadUserVar('B', 'color', 'FFFFFF')\n"
      "DesignName = tostring(a) .. ' ' .. b .. ' ' .. KLV.mode .. ' ' .. KLV.limitprogressbar_range\n"
      "KLV.LoadUserVar('C', 'font')\n"
      "DlgWidth_n = 5\n")));
  EXPECT_EQ(info.DesignName, L"nil FFFFFF je 1000");
  EXPECT_TRUE(info.fontVariables().empty());
  EXPECT_EQ(info.colorVariables().size(), 1u);
  EXPECT_EQ(info.dialogWidth, 0) << "the refused call ended the chunk";
  EXPECT_TRUE(boxes.boxes.empty());

  // A file that cannot be opened: the DoFile message and an empty description.
  SkinInfo missing;
  missing.Load(platform::fromUtf8(folder + "/none.lua"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, L"KLV DoFile");
  EXPECT_EQ(missing.DesignName, L"");
  EXPECT_EQ(missing.dialogWidth, 0);
}

TEST(SkinUserVars, RoundTripWithExactKeys) {
  const std::string folder = skintest::freshFolder();
  const std::wstring userFile = platform::fromUtf8(folder + "/user.ini");
  EXPECT_EQ(skinFileName(L"/skins/blue.lua"), L"blue.lua");
  EXPECT_EQ(skinFileName(L"/スキン/青い.lua"), L"青い.lua");

  BoxRecorder boxes;
  SkinInfo skin;
  skin.Load(fixtureSkin("recorder.lua"));
  ASSERT_TRUE(boxes.boxes.empty());
  SkinUserVars loaded;
  loaded.fontValues[L"stale"] = L"x";
  loadStyle(loaded, userFile, L"花子", L"blue.lua", skin);  // no file, no section: all empty
  EXPECT_TRUE(loaded.fontValues.empty());
  EXPECT_TRUE(loaded.colorValues.empty());
  EXPECT_EQ(loaded.backgroundColor, L"");

  SkinUserVars values;
  values.fontValues[L"QuestionFont"] = L"12, 1, 0, 0, 0, Arial";
  values.colorValues[L"TextColor"] = L"";
  values.colorValues[L"Undeclared"] = L"00FF00";
  values.backgroundColor = L"FFEEDD";
  ASSERT_TRUE(saveStyle(values, userFile, L"花子", L"blue.lua"));
  EXPECT_EQ(skintest::readFile(folder + "/user.ini"),
            "[花子]\r\n"
            "blue.lua_QuestionFont=12, 1, 0, 0, 0, Arial\r\n"
            "blue.lua_TextColor=\r\n"
            "blue.lua_Undeclared=00FF00\r\n"
            "blue.lua_bgclr=FFEEDD\r\n"
            "blue.lua_bgimage=\r\n");

  loadStyle(loaded, userFile, L"花子", L"blue.lua", skin);
  EXPECT_EQ(loaded.fontValues, (std::map<std::wstring, std::wstring>{{L"QuestionFont", L"12, 1, 0, 0, 0, Arial"}}));
  EXPECT_TRUE(loaded.colorValues.empty()) << "an empty value and an undeclared variable are no values";
  EXPECT_EQ(loaded.backgroundColor, L"FFEEDD");
  EXPECT_EQ(loaded.backgroundImage, L"");

  SkinUserVars other;
  loadStyle(other, userFile, L"花子", L"red.lua", skin);
  EXPECT_TRUE(other.fontValues.empty()) << "keys belong to one skin file";
}

TEST(SkinUserVars, AValueSavedUnderAFormerNameCountsUntilOneIsSavedUnderTheName) {
  const std::string folder = skintest::freshFolder();
  const std::wstring userFile = platform::fromUtf8(folder + "/user.ini");
  BoxRecorder boxes;
  SkinInfo skin;
  skin.Load(platform::fromUtf8(skintest::writeFile(
      folder, "ours.lua",
      "\xEF\xBB\xBF"  // UTF-8, as our skins are saved
      "FormerUserVarNames = { ['枠の色'] = 'FrameColor', ['文字'] = 'TextFont', ['数'] = 5 }\n"
      "KLV.LoadUserVar('枠の色', 'color', '000000')\n"
      "KLV.LoadUserVar('文字', 'font', '9,0,0,0,0,x')\n")));
  EXPECT_EQ(skin.formerNames(), (SkinVariableMap{{L"枠の色", L"FrameColor"}, {L"文字", L"TextFont"}}));
  const std::string before = "[花子]\r\nours.lua_FrameColor=112233\r\nours.lua_TextFont=12,0,0,0,0,y\r\n";
  skintest::writeFile(folder, "user.ini", before);

  SkinUserVars values;
  loadStyle(values, userFile, L"花子", L"ours.lua", skin);
  EXPECT_EQ(values.colorValues, (std::map<std::wstring, std::wstring>{{L"枠の色", L"112233"}}));
  EXPECT_EQ(values.fontValues, (std::map<std::wstring, std::wstring>{{L"文字", L"12,0,0,0,0,y"}}));

  // Saved under the names: those values count, an empty one too (the skin's default), and the
  // former keys stay as they were.
  values.colorValues[L"枠の色"] = L"445566";
  values.fontValues[L"文字"] = L"";
  ASSERT_TRUE(saveStyle(values, userFile, L"花子", L"ours.lua"));
  EXPECT_EQ(skintest::readFile(folder + "/user.ini").rfind(before, 0), 0u);
  loadStyle(values, userFile, L"花子", L"ours.lua", skin);
  EXPECT_EQ(values.colorValues, (std::map<std::wstring, std::wstring>{{L"枠の色", L"445566"}}));
  EXPECT_TRUE(values.fontValues.empty());
}

// A NUL ends a value, as in the other INI files: read whole, the value could never be saved again.
TEST(SkinUserVars, AValueHoldingANulEndsThereAndTheFileSavesAgain) {
  const std::string folder = skintest::freshFolder();
  skintest::writeFile(folder, "user.ini", std::string("[花子]\r\nblue.lua_bgclr=FFEE") + '\0' + "DD\r\n");
  const std::wstring userFile = platform::fromUtf8(folder + "/user.ini");
  SkinUserVars values;
  loadStyle(values, userFile, L"花子", L"blue.lua", SkinInfo());
  EXPECT_EQ(values.backgroundColor, L"FFEE");
  values.backgroundImage = L"back.png";
  EXPECT_TRUE(saveStyle(values, userFile, L"花子", L"blue.lua"));
  const std::string saved = "[花子]\r\nblue.lua_bgclr=FFEE\r\nblue.lua_bgimage=back.png\r\n";
  EXPECT_EQ(skintest::readFile(folder + "/user.ini"), saved);

  // A name the file cannot hold keeps every value as it was, the others too, and says why.
  values.backgroundImage = L"other.png";
  values.colorValues[L"A=B"] = L"00FF00";
  EXPECT_FALSE(saveStyle(values, userFile, L"花子", L"blue.lua"));
  EXPECT_EQ(errno, EILSEQ);
  EXPECT_EQ(skintest::readFile(folder + "/user.ini"), saved);
}

TEST(SkinUserVars, TheDefaultSkinsVariablesHaveJapaneseNamesAndKnowTheirFormerOnes) {
  SkinInfo skin;
  skin.Load(platform::fromUtf8(testenv::sourceDir() + "/resources/skin7/default.lua"));
  std::vector<std::wstring> names;
  for (const SkinVariableMap* declared : {&skin.fontVariables(), &skin.colorVariables()})
    for (const auto& [name, defaultText] : *declared) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"問題のフォント", L"文字のフォント", L"コメントの色", L"文字の色", L"枠の色"}));
  EXPECT_EQ(skin.formerNames(),
            (SkinVariableMap{{L"問題のフォント", L"QuestionFont"}, {L"文字のフォント", L"TextFont"},
                             {L"コメントの色", L"AccentColor"}, {L"文字の色", L"TextColor"}, {L"枠の色", L"FrameColor"}}));
}

TEST(FontSpec, ParsesTheSizeFirstDefinition) {
  FontSpec spec;
  ASSERT_TRUE(ParseFontSpec(spec, L"12,1,0,0,0, MS Gothic ,SHIFTJIS"));
  EXPECT_EQ(spec.size, 12);
  EXPECT_TRUE(spec.bold);
  EXPECT_FALSE(spec.italic || spec.underline || spec.strikeout);
  EXPECT_EQ(spec.faceName, L"MS Gothic");
  EXPECT_EQ(spec.charset, 128);

  // What the skin option page writes reads back the same.
  ASSERT_TRUE(ParseFontSpec(spec, L"16, 0, 1, 1, 1, Arial"));
  EXPECT_EQ(spec.size, 16);
  EXPECT_TRUE(!spec.bold && spec.italic && spec.underline && spec.strikeout);
  EXPECT_EQ(spec.faceName, L"Arial");

  ASSERT_TRUE(ParseFontSpec(spec, L"-20,2,0,0,0,'Face, Inc' (x,y),GREEK,extra"));
  EXPECT_EQ(spec.size, -20);
  EXPECT_TRUE(spec.bold);
  EXPECT_EQ(spec.faceName, L"'Face, Inc' (x,y)");
  EXPECT_EQ(spec.charset, 161);

  ASSERT_TRUE(ParseFontSpec(spec, L"12,0,0,0,0,Arial, GREEK"));
  EXPECT_EQ(spec.charset, 128) << "the blank before the name prevents the match";
}

TEST(FontSpec, RefusesShortOrOpenDefinitionsAndKeepsTheSpec) {
  FontSpec spec;
  spec.faceName = L"kept";
  EXPECT_FALSE(ParseFontSpec(spec, L"12,0,0,0"));
  EXPECT_FALSE(ParseFontSpec(spec, L"12,0,0,0,0,'open"));
  EXPECT_FALSE(ParseFontSpec(spec, L""));
  EXPECT_EQ(spec.faceName, L"kept");
  EXPECT_EQ(spec.size, 9);
}
