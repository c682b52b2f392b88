// Skins written for Lua 5.0 must run unchanged on 5.1.
#include <gtest/gtest.h>

#include "skin_test_support.h"
#include "study/skin/lua50_compat.h"

using skintest::BoxRecorder;
using skintest::ProgramLuaState;

namespace {

// Runs the chunk and returns the global "result" as text ("" when the chunk failed).
std::string resultOf(const std::string& source) {
  BoxRecorder boxes;
  ProgramLuaState lua;
  lua.run(source);
  for (const auto& box : boxes.boxes) ADD_FAILURE() << "alert: " << std::string(box.text.begin(), box.text.end());
  return lua.script().GetGlobalString("result");
}

}  // namespace

TEST(Lua50Compat, OnlyTheFiveLibrariesAndNoModuleLoading) {
  EXPECT_EQ(resultOf("result = type(debug) .. type(package) .. type(require) .. type(loadlib)"),
            "nilnilnilnil");
  EXPECT_EQ(resultOf("result = type(io.open) .. type(os.time) .. type(string.gfind) .. type(math.mod)"),
            "functionfunctionfunctionfunction");
}

TEST(Lua50Compat, ForInOverATableIteratesIt) {
  EXPECT_EQ(resultOf("local t = {a = 1, b = 2, 10}\n"
                     "local sum = 0\n"
                     "for k, v in t do sum = sum + v end\n"
                     "result = sum"),
            "13");
  // Iterator functions keep working, also when the list holds blocks and the loop is nested.
  EXPECT_EQ(resultOf("local out = ''\n"
                     "for i, v in ipairs({'x', 'y'}) do\n"
                     "  for k in (function() local n = 0 while n < 1 do n = n + 1 end return {z = 1} end)() do\n"
                     "    out = out .. v .. k\n"
                     "  end\n"
                     "end\n"
                     "for w in string.gfind('p q', '%a+') do out = out .. w end\n"
                     "result = out"),
            "xzyzpq");
  // A function with its own environment still gets 5.0 loops.
  EXPECT_EQ(resultOf("local function f() local n = 0 for k in {1, 2, 3} do n = n + k end return n end\n"
                     "setfenv(f, {}) result = f()"),
            "6");
}

TEST(Lua50Compat, NestedLongBracketsKeepTheirContentAndLines) {
  EXPECT_EQ(resultOf("result = [[a [[b]] c]]"), "a [[b]] c");
  EXPECT_EQ(resultOf("result = [[x [[ ]=] ]] y]]"), "x [[ ]=] ]] y");
  EXPECT_EQ(resultOf("--[[ outer [[ inner ]] still comment ]] result = 'code'"), "code");
  // "--[==[" opened no long comment in 5.0: the next line is code.
  EXPECT_EQ(resultOf("--[==[ just a line\nresult = 'run'\n--]==]"), "run");

  BoxRecorder boxes;
  ProgramLuaState lua;
  lua.run("local s = [[one\n[[two]]\nthree]]\nlocal t = {}\nerror('line five')");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find(L":5: line five"), std::wstring::npos);
}

TEST(Lua50Compat, GetnAndSetnFollowTheNField) {
  EXPECT_EQ(resultOf("result = table.getn({1, 2, 3, n = 2}) .. table.getn({1, 2, nil, 4})"), "22");
  EXPECT_EQ(resultOf("local t = {} table.setn(t, 7) result = table.getn(t)"), "7");
  EXPECT_EQ(resultOf("local t = {n = 0}\n"
                     "table.insert(t, 'a') table.insert(t, 'b') table.insert(t, 1, 'c')\n"
                     "local last = table.remove(t)\n"
                     "result = t.n .. table.concat(t) .. last .. table.getn(t)"),
            "2cab2");
  // unpack, concat and sort count to n, not to the last element.
  EXPECT_EQ(resultOf("local t = {'c', 'a', 'b', 'z', n = 3}\n"
                     "table.sort(t)\n"
                     "result = table.concat(t) .. select('#', unpack(t)) .. t[4]"),
            "abc3z");
  EXPECT_EQ(resultOf("local s = '' table.foreachi({'p', 'q', 'r', n = 2}, function(i, v) s = s .. v end) result = s"),
            "pq");
}

TEST(Lua50Compat, CollectgarbageTakesAKilobyteLimit) {
  EXPECT_EQ(resultOf("local before = collectgarbage('count')\n"
                     "do local junk = {} for i = 1, 20000 do junk[i] = {i} end end\n"
                     "local full = collectgarbage('count')\n"
                     "collectgarbage(0)\n"
                     "result = tostring(collectgarbage('count') < full) .. select('#', collectgarbage(100000))"),
            "true0");
  EXPECT_EQ(resultOf("collectgarbage() result = 'ok'"), "ok");
}

TEST(Lua50Compat, LoadstringAndDofileGetTheSamePass) {
  EXPECT_EQ(resultOf("local f = loadstring('local n = 0 for k, v in {5, 6} do n = n + v end return n')\n"
                     "result = f()"),
            "11");
  const std::string folder = skintest::freshFolder();
  // Code page 932 on disk: "ソ" is 0x83 0x5C, whose second byte is a backslash.
  skintest::writeFile(folder, "part.lua", "text = '\x83\x5C' return [[a[[b]]]]");
  EXPECT_EQ(resultOf("local r = dofile('" + folder + "/part.lua') result = r .. text"), "a[[b]]ソ");
  EXPECT_EQ(resultOf("local f, message = loadfile('" + folder + "/none.lua') result = tostring(f) .. message"),
            "nilcannot open " + folder + "/none.lua");
}

TEST(Lua50Compat, SourcePassLeavesPlainCodeAlone) {
  const std::string plain = "local s = \"for x in t do\" -- for y in u do\nfor i = 1, 3 do end\nx = 'a\\'b'";
  EXPECT_EQ(study::translateLua50Source(plain), plain);
  EXPECT_EQ(study::translateLua50Source("s = [==[ [[ ]==]"), "s = [==[ [[ ]==]");
}
