// Reading and running skin files, errors and prints, the host's getters and colours.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/text.h"
#include "skin_test_support.h"
#include "study/skin/skin_script.h"

using namespace study;
using skintest::BoxRecorder;
using skintest::ProgramLuaState;

TEST(RunSkinFile, ConvertsTheWholeFileFromCodePage932) {
  // Long lines of "ソ" (0x83 0x5C): a reader that cut the line anywhere would split a character
  // and leave a backslash that escapes the closing quote.
  std::string line = "long = '";
  for (int i = 0; i < 1500; ++i) line += "\x83\x5C";
  line += "'\r\nshort = '\x8A\xBF\x8E\x9A'\r\n";
  const std::string path = skintest::writeFile(skintest::freshFolder(), "cp932.lua", line);

  BoxRecorder boxes;
  ProgramLuaState lua;
  EXPECT_TRUE(RunSkinFile(lua.get(), path));
  EXPECT_TRUE(boxes.boxes.empty());
  std::string expected;
  for (int i = 0; i < 1500; ++i) expected += "ソ";
  EXPECT_EQ(lua.script().GetGlobalString("long"), expected);
  EXPECT_EQ(lua.script().GetGlobalString("short"), "漢字");
}

TEST(RunSkinFile, AMissingFileIsReportedOnceAndFails) {
  BoxRecorder boxes;
  ProgramLuaState lua;
  EXPECT_FALSE(RunSkinFile(lua.get(), "/nonexistent/スキン.lua"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, L"KLV DoFile");
  EXPECT_EQ(boxes.boxes[0].text, L"スキンファイル /nonexistent/スキン.lua が開けませんでした");
  EXPECT_FALSE(RunSkinFile(lua.get(), skintest::freshFolder())) << "a folder is no skin file";
}

TEST(SkinErrors, ReachTheAlertHandlerExactlyOnce) {
  {
    BoxRecorder boxes;
    ProgramLuaState lua;
    EXPECT_NE(lua.run("function OnUpdate() end\nx = = 1"), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, L"KLV-Lua");
    EXPECT_NE(boxes.boxes[0].text.find(L"test:2:"), std::wstring::npos);
    lua_getglobal(lua.get(), "OnUpdate");
    EXPECT_TRUE(lua_isnil(lua.get(), -1)) << "a chunk with a syntax error defines nothing";
  }
  {
    BoxRecorder boxes;
    ProgramLuaState lua;
    EXPECT_NE(lua.run("function OnInit() end\nlocal t = nil\nt.x = 1\nafter = 1"), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find(L"test:3: attempt to index"), std::wstring::npos);
    EXPECT_EQ(lua.script().GetGlobalNumber("after"), 0);
    EXPECT_EQ(CallScriptGlobal(lua.get(), "OnInit"), 0) << "what ran before the error stays";
    EXPECT_EQ(lua_gettop(lua.get()), 0);
  }
}

TEST(SkinErrors, ValuesThatAreNoStringsAreShownThroughTostring) {
  BoxRecorder boxes;
  ProgramLuaState lua;
  lua.run("error({})");
  lua.run("error(nil)");
  lua.run("error(setmetatable({}, {__tostring = function() return 'custom' end}))");
  lua.run("tostring = nil error(true)");
  ASSERT_EQ(boxes.boxes.size(), 4u);
  EXPECT_EQ(boxes.boxes[0].text.rfind(L"table: ", 0), 0u);
  EXPECT_EQ(boxes.boxes[1].text, L"nil");
  EXPECT_EQ(boxes.boxes[2].text, L"custom");
  EXPECT_EQ(boxes.boxes[3].text, L"true");

  testing::internal::CaptureStdout();
  lua.run("print('a', nil, 3, {})");
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.rfind("a\tnil\t3\ttable: ", 0), 0u) << printed;
  EXPECT_EQ(printed.substr(printed.size() - 2), "\t\n");
}

// A skin's print is its author's console: it is written with the program's trace off too.
TEST(SkinErrors, PrintWritesToStandardOutputWithTheTraceOff) {
  ProgramLuaState lua;
  const std::string traceWas = std::getenv("KELVARA_TRACE") ? std::getenv("KELVARA_TRACE") : "";
  unsetenv("KELVARA_TRACE");
  testing::internal::CaptureStdout();
  lua.run("print('score', 12)");
  const std::string printed = testing::internal::GetCapturedStdout();
  if (!traceWas.empty()) setenv("KELVARA_TRACE", traceWas.c_str(), 1);
  EXPECT_EQ(printed, "score\t12\t\n");
}

TEST(LuaScript, GettersDefaultAndSurviveStrictGlobals) {
  ProgramLuaState lua;
  lua.run("width = '640' name = 12 flag = true "
          "setmetatable(_G, {__index = function(t, k) error('undefined ' .. k) end})");
  LuaScript script = lua.script();
  EXPECT_EQ(script.GetGlobalNumber("width"), 640);
  EXPECT_EQ(script.GetGlobalString("name"), "12");
  EXPECT_EQ(script.GetGlobalNumber("missing"), 0);
  EXPECT_EQ(script.GetGlobalString("missing"), "");
  EXPECT_EQ(script.GetGlobalString("flag"), "");

  const int top = lua_gettop(lua.get());
  testing::internal::CaptureStdout();
  EXPECT_EQ(script.PushGlobalTable("missing"), LUA_TNIL);
  EXPECT_EQ(script.PushFieldTable("inner"), LUA_TNIL);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "missing is not a table...\ninner is not a table...\n");
  EXPECT_EQ(lua_gettop(lua.get()), top + 2);
}

TEST(SkinValues, ParseHexColorAndTruncation) {
  EXPECT_EQ(parseHexColor("FF0000"), 0x0000FFu);
  EXPECT_EQ(parseHexColor("0000FF"), 0xFF0000u);
  EXPECT_EQ(parseHexColor("123456"), 0x563412u);
  EXPECT_EQ(parseHexColor("1FF0000"), 0x0000FFu);  // only the low 24 bits count
  EXPECT_EQ(parseHexColor("ff00zz"), 0x00FF00u);   // digits up to the first non-digit: 0x00FF00
  EXPECT_EQ(parseHexColor("xyz"), 0u);
  EXPECT_EQ(parseHexColor(""), 0u);
  EXPECT_EQ(parseHexColor(" FF0000"), 0u);
  EXPECT_EQ(parseHexColor(L"00FF00"), 0x00FF00u);

  EXPECT_EQ(truncateToInt(-3.9), -3);
  EXPECT_EQ(truncateToInt(1e12), 2147483647);
  EXPECT_EQ(truncateToInt(0.0 / 0.0), 0);
}
